#include "gui/channel_tables_view.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/cp1252.h"
#include "platform/ui.h"

namespace tsm::gui {

ChannelTableView::ChannelTableView(channels::ChannelTableDialog& model, QWidget* parent)
    : QDialog(parent), model_(model), table_(new QTableWidget(this)) {
  auto* layout = new QVBoxLayout(this);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->verticalHeader()->setVisible(false);
  table_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(table_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    model_.Command(platform::IDOK);
    if (model_.Ended()) done(model_.Result());
  });
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    model_.SetCurrentItem(channels::kIdTableList, row);
    model_.Command(channels::kIdTableList, channels::kNotifyDoubleClick);
    Fill();
    table_->selectRow(row);
  });
  resize(720, 480);
}

void ChannelTableView::Fill() {
  const channels::ChannelTable& t = model_.Table();
  table_->setColumnCount(static_cast<int>(t.columns.size()));
  QStringList headings;
  for (const std::string& c : t.columns) headings << FromCp1252(c);
  table_->setHorizontalHeaderLabels(headings);
  table_->setRowCount(static_cast<int>(t.rows.size()));
  for (int r = 0; r < static_cast<int>(t.rows.size()); ++r)
    for (int c = 0; c < static_cast<int>(t.rows[r].size()); ++c)
      table_->setItem(r, c, new QTableWidgetItem(FromCp1252(t.rows[r][c])));
  table_->resizeColumnsToContents();
}

int ChannelTableView::Run() {
  model_.Init();
  if (model_.Ended()) return model_.Result();
  setWindowTitle(FromCp1252(model_.Caption()));
  Fill();
  exec();
  return model_.Result();
}

void ChannelTableView::reject() {
  model_.Close();
  if (model_.Ended()) done(model_.Result());
}

int RunChannelTableView(channels::ChannelTableDialog::Kind kind, QWidget* parent) {
  channels::ChannelTableDialog model(kind);
  ChannelTableView view(model, parent);
  return view.Run();
}

}  // namespace tsm::gui
