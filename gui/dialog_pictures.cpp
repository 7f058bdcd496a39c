#include "gui/dialog_pictures.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTreeWidget>

#include "gui/cp1252.h"
#include "gui/dialog_view.h"

namespace tsm::gui {

using platform::ControlKind;

int PictureUi::RunModal(platform::DialogModel& dialog, platform::WindowHandle) {
  dialog.Init();
  if (!dialog.Ended()) {
    DialogView view(dialog, nullptr);
    view.ShowStarted();
    ++seen_count_;
    if (seen_) seen_(dialog, view);
    view.hide();
  }
  if (!dialog.Ended()) dialog.Close();
  if (!dialog.Ended()) dialog.End(0);
  return dialog.Result();
}

namespace {

// A button's caption without its mnemonic marks ("&&" is one "&").
QString Shown(const QString& text) {
  QString out;
  for (int i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

int TextWidth(const QWidget* w, const QString& text) {
  int width = 0;
  for (const QString& line : text.split('\n'))
    width = std::max(width, w->fontMetrics().horizontalAdvance(line));
  return width;
}

// How much wider the text is than the room the control gives it (<= 0: fits).
int Overflow(const QWidget* w) {
  if (auto* label = qobject_cast<const QLabel*>(w)) {
    if (label->wordWrap() || label->text().isEmpty()) return 0;
    return TextWidth(w, label->text()) - label->contentsRect().width();
  }
  if (auto* check = qobject_cast<const QCheckBox*>(w))
    return check->text().isEmpty() ? 0 : check->minimumSizeHint().width() - check->width();
  if (auto* radio = qobject_cast<const QRadioButton*>(w))
    return radio->minimumSizeHint().width() - radio->width();
  if (auto* button = qobject_cast<const QPushButton*>(w))
    return TextWidth(w, Shown(button->text())) + 8 - button->width();
  if (auto* box = qobject_cast<const QGroupBox*>(w))
    return box->title().isEmpty() ? 0 : TextWidth(w, Shown(box->title())) + 16 - box->width();
  if (auto* edit = qobject_cast<const QLineEdit*>(w))
    return TextWidth(w, edit->text()) + 8 - edit->width();
  if (auto* combo = qobject_cast<const QComboBox*>(w)) {
    int widest = 0;
    for (int k = 0; k < combo->count(); ++k)
      widest = std::max(widest, TextWidth(w, combo->itemText(k)));
    return widest + 24 - combo->width();
  }
  if (auto* text = qobject_cast<const QPlainTextEdit*>(w)) {
    // Lines that are not broken must not need scrolling sideways.
    return text->lineWrapMode() == QPlainTextEdit::NoWrap ? text->horizontalScrollBar()->maximum()
                                                          : 0;
  }
  if (auto* table = qobject_cast<const QTreeWidget*>(w)) {
    // Every column shows its heading and its cells whole, without scrolling sideways.
    int worst = table->horizontalScrollBar()->maximum();
    for (int k = 0; k < table->columnCount(); ++k) {
      int widest = table->header()->sectionSizeHint(k);
      for (int r = 0; r < table->topLevelItemCount(); ++r)
        widest = std::max(widest, TextWidth(w, table->topLevelItem(r)->text(k)) + 8);
      worst = std::max(worst, widest - table->columnWidth(k));
    }
    return worst;
  }
  if (auto* list = qobject_cast<const QListWidget*>(w)) {
    int widest = 0;
    for (int k = 0; k < list->count(); ++k)
      widest = std::max(widest, TextWidth(w, list->item(k)->text()));
    return widest + 8 - list->viewport()->width();
  }
  return 0;
}

QString Name(const DialogView::Shown& c) {
  return QString("control %1 (%2)").arg(c.id).arg(QString::fromLatin1(c.widget->metaObject()->className()));
}

}  // namespace

std::vector<std::string> LayoutProblems(const DialogView& view) {
  std::vector<std::string> problems;
  auto add = [&](const QString& text) { problems.push_back(ToCp1252(text)); };
  if (view.width() > kMaxDialogWidth || view.height() > kMaxDialogHeight)
    add(QString("the dialog is %1 x %2 pixels").arg(view.width()).arg(view.height()));

  struct Placed {
    DialogView::Shown control;
    QRect rect;
  };
  std::vector<Placed> placed;
  for (const DialogView::Shown& c : view.ShownControls()) {
    if (!c.outer->isVisibleTo(&view)) continue;
    const int over = Overflow(c.widget);
    if (over > 0) add(Name(c) + QString(": the text needs %1 more pixels").arg(over));
    const QRect rect(c.outer->mapTo(&view, QPoint(0, 0)), c.outer->size());
    if (!view.rect().contains(rect)) add(Name(c) + ": outside the dialog");
    placed.push_back(Placed{c, rect});
  }
  for (std::size_t i = 0; i < placed.size(); ++i)
    for (std::size_t j = i + 1; j < placed.size(); ++j) {
      const Placed& a = placed[i];
      const Placed& b = placed[j];
      // A frame holds the controls inside it.
      if (a.control.outer->isAncestorOf(b.control.outer) ||
          b.control.outer->isAncestorOf(a.control.outer))
        continue;
      if (a.rect.intersects(b.rect))
        add(Name(a.control) + " overlaps " + Name(b.control));
    }
  return problems;
}

}  // namespace tsm::gui
