#include "gui/picture_info_window.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QVBoxLayout>

#include "curves/state.h"
#include "gui/cp1252.h"
#include "gui/qt_canvas.h"
#include "app/picture_info.h"

namespace tsm::gui {

PictureInfoView::PictureInfoView(QWidget* owner, bool legendOnly) : QWidget(owner, Qt::Tool) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(legendOnly ? "pictureInfoLegend" : "pictureInfo");
  setWindowTitle(app::kPictureInfoCaption);
  auto* layout = new QVBoxLayout(this);
  if (!legendOnly) {
    form_ = new QFormLayout;
    layout->addLayout(form_);
  }
  legend_ = new QListWidget(this);
  layout->addWidget(legend_);
  resize(320, legendOnly ? 200 : 380);
  Refresh();
}

PictureInfoView::~PictureInfoView() = default;

void PictureInfoView::Refresh() {
  const app::PictureInfo info = app::PictureInfoOf(curves::FamilyForPlot());
  if (form_) {
    while (form_->rowCount() > 0) form_->removeRow(0);
    for (const auto& [label, text] : info.fields) {
      auto* value = new QLabel(FromCp1252(text), this);
      value->setWordWrap(true);
      value->setTextInteractionFlags(Qt::TextSelectableByMouse);
      form_->addRow(FromCp1252(label), value);
    }
  }
  legend_->clear();
  for (const app::LegendEntry& e : info.legend) {
    QPixmap swatch(14, 14);
    swatch.fill(ToQColor(e.color));
    legend_->addItem(new QListWidgetItem(QIcon(swatch),
                                         FromCp1252(e.name) + QString("  (%1)").arg(e.points)));
  }
}

QString PictureInfoView::FieldText(const QString& label) const {
  if (!form_) return {};
  for (int row = 0; row < form_->rowCount(); ++row) {
    auto* l = qobject_cast<QLabel*>(form_->itemAt(row, QFormLayout::LabelRole)->widget());
    auto* v = qobject_cast<QLabel*>(form_->itemAt(row, QFormLayout::FieldRole)->widget());
    if (l && v && l->text() == label) return v->text();
  }
  return {};
}

void PictureInfoView::closeEvent(QCloseEvent* event) {
  if (closed_) {
    auto closed = std::move(closed_);
    closed_ = nullptr;
    closed();
  }
  event->accept();
}

}  // namespace tsm::gui
