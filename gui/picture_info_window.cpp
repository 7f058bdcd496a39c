#include "gui/picture_info_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "curves/state.h"
#include "gui/cp1252.h"
#include "gui/qt_canvas.h"
#include "gui/qt_ui.h"
#include "plot/legend.h"
#include "plot/state.h"
#include "plot/style_dialog.h"
#include "app/commands.h"
#include "app/picture_info.h"

namespace tsm::gui {

struct PictureInfoView::Field {
  app::PictureField field;
  QString label;
  QLineEdit* line = nullptr;      // one-line fields
  QPlainTextEdit* text = nullptr;  // the comment
  QWidget* Editor() const { return line ? static_cast<QWidget*>(line) : text; }
  QString Text() const { return line ? line->text() : text->toPlainText(); }
};

namespace {

constexpr int kSampleWidth = 36, kSampleHeight = 16;

// The style of a curve as the plot draws it, for the legend's first column.
QIcon StyleSample(const plot::CurveStyle& style) {
  QImage image(kSampleWidth, kSampleHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    QtCanvas canvas(painter, image);
    plot::DrawStyleSample(canvas, plot::CanvasRect{2, 0, kSampleWidth - 2, kSampleHeight}, style,
                          false);
  }
  return QIcon(QPixmap::fromImage(image));
}

}  // namespace

PictureInfoView::PictureInfoView(QWidget* owner, bool legendOnly) : QWidget(owner, Qt::Tool) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(legendOnly ? "pictureInfoLegend" : "pictureInfo");
  setWindowTitle(app::kPictureInfoCaption);
  auto* layout = new QVBoxLayout(this);
  if (!legendOnly) {
    auto* form = new QFormLayout;
    for (const app::PictureFieldSpec& spec : app::kPictureFields) {
      Field f{spec.field, spec.label};
      if (spec.multiline) {
        f.text = new QPlainTextEdit(this);
        f.text->setTabChangesFocus(true);
        f.text->setFixedHeight(f.text->fontMetrics().lineSpacing() * 4 + 12);
        f.text->installEventFilter(this);
      } else {
        f.line = new QLineEdit(this);
        if (spec.size > 0) f.line->setMaxLength(static_cast<int>(spec.size - 1));
      }
      form->addRow(f.label, f.Editor());
      fields_.push_back(f);
    }
    layout->addLayout(form);
    for (std::size_t i = 0; i < fields_.size(); ++i)
      if (fields_[i].line)
        connect(fields_[i].line, &QLineEdit::editingFinished, this, [this, i] { Apply(i); });
  }
  legend_ = new QTableWidget(0, 2, this);
  legend_->setObjectName("legend");
  legend_->setHorizontalHeaderLabels({"Curve", "Points"});
  legend_->verticalHeader()->hide();
  legend_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  legend_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  legend_->setIconSize(QSize(kSampleWidth, kSampleHeight));
  legend_->setSelectionBehavior(QAbstractItemView::SelectRows);
  legend_->setSelectionMode(QAbstractItemView::SingleSelection);
  layout->addWidget(legend_);
  auto* row = new QHBoxLayout;
  legendInPlot_ = new QCheckBox(app::kLegendInPlotText, this);
  style_ = new QPushButton("&Style...", this);
  row->addWidget(legendInPlot_, 1);
  row->addWidget(style_);
  layout->addLayout(row);

  // A renamed curve: the edited name goes into the family.
  connect(legend_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (refreshing_ || item->column() != 0) return;
    if (app::RenameCurve(static_cast<std::uint32_t>(item->row()), ToCp1252(item->text())) ==
        app::EditResult::Refused)
      RefreshLegend();
  });
  connect(legendInPlot_, &QCheckBox::toggled, this, [this](bool on) {
    if (!refreshing_) app::SetLegendInPlot(on);
  });
  connect(style_, &QPushButton::clicked, this, [this] {
    const int row = legend_->currentRow();
    if (row < 0) return;
    if (plot::RunStyleDialog(QtUi::HandleOf(this), static_cast<std::uint32_t>(row)) == 1)
      app::Redraw();
  });
  resize(360, legendOnly ? 240 : 520);
  Refresh();
}

PictureInfoView::~PictureInfoView() = default;

void PictureInfoView::Apply(std::size_t index) {
  if (refreshing_ || index >= fields_.size()) return;
  const Field& f = fields_[index];
  if (app::EditPictureField(f.field, ToCp1252(f.Text())) == app::EditResult::Refused) {
    // The family keeps its value; so does the field.
    refreshing_ = true;
    const QString shown = FromCp1252(app::PictureFieldText(curves::CurrentFamily(), f.field));
    if (f.line) f.line->setText(shown);
    else f.text->setPlainText(shown);
    refreshing_ = false;
  }
  if (f.line) f.line->setModified(false);
}

bool PictureInfoView::eventFilter(QObject* watched, QEvent* event) {
  // The comment is taken when it loses the focus.
  if (event->type() == QEvent::FocusOut)
    for (std::size_t i = 0; i < fields_.size(); ++i)
      if (fields_[i].text == watched && fields_[i].text->document()->isModified()) {
        Apply(i);
        fields_[i].text->document()->setModified(false);
      }
  return QWidget::eventFilter(watched, event);
}

void PictureInfoView::Refresh() {
  refreshing_ = true;
  const curves::CurveFamily& family = curves::FamilyForPlot();
  const bool editable = app::PictureInfoEditable();
  for (Field& f : fields_) {
    QString shown = FromCp1252(app::PictureFieldText(family, f.field));
    shown.replace("\r\n", "\n");  // the comment's lines as the editor keeps them
    // What is being typed stays until it is taken.
    const bool typing = f.Editor()->hasFocus() &&
                        (f.line ? f.line->isModified() : f.text->document()->isModified());
    if (!typing && f.Text() != shown) {
      if (f.line) f.line->setText(shown);
      else f.text->setPlainText(shown);
    }
    if (f.line) f.line->setReadOnly(!editable);
    else f.text->setReadOnly(!editable);
  }
  legendInPlot_->setChecked(plot::GetPlotState().legendInPlot);
  refreshing_ = false;
  RefreshLegend();
}

void PictureInfoView::RefreshLegend() {
  refreshing_ = true;
  const app::PictureInfo info = app::PictureInfoOf(curves::FamilyForPlot());
  const bool editable = app::PictureInfoEditable();
  legend_->setRowCount(static_cast<int>(info.legend.size()));
  // The items are updated where they are: a rename arrives from the item
  // being edited, which must outlive the refresh it causes.
  auto item = [this](int row, int column) {
    QTableWidgetItem* it = legend_->item(row, column);
    if (!it) {
      it = new QTableWidgetItem;
      legend_->setItem(row, column, it);
    }
    return it;
  };
  for (std::size_t i = 0; i < info.legend.size(); ++i) {
    const int row = static_cast<int>(i);
    const app::LegendEntry& e = info.legend[i];
    QTableWidgetItem* name = item(row, 0);
    name->setIcon(StyleSample(e.style));
    name->setText(FromCp1252(e.name));
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (editable) flags |= Qt::ItemIsEditable;
    name->setFlags(flags);
    QTableWidgetItem* points = item(row, 1);
    points->setText(QString::number(e.points));
    points->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    points->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  style_->setEnabled(editable);
  refreshing_ = false;
}

QWidget* PictureInfoView::FieldEditor(const QString& label) const {
  for (const Field& f : fields_)
    if (f.label == label) return f.Editor();
  return nullptr;
}

QString PictureInfoView::FieldText(const QString& label) const {
  for (const Field& f : fields_)
    if (f.label == label) return f.Text();
  return {};
}

void PictureInfoView::closeEvent(QCloseEvent* event) {
  // A field being typed in is taken before the window goes.
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const Field& f = fields_[i];
    if (f.line ? f.line->isModified() : f.text->document()->isModified()) Apply(i);
  }
  closed_.Tell();
  event->accept();
}

}  // namespace tsm::gui
