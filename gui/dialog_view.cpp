#include "gui/dialog_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTreeWidget>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionFrame>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <utility>

#include "gui/cp1252.h"
#include "gui/ui_thread.h"

namespace tsm::gui {

using namespace tsm::platform;

namespace {
// Static texts wider than this wrap into lines of this width.
constexpr int kWrapWidth = 440;
// A scroll bar is never shorter than this, so its thumb can be moved.
constexpr int kScrollBarWidth = 110;
// Room beside the widest cell of a table column.
constexpr int kCellPadding = 18;

struct CustomEntry {
  CustomPainter painter;
  QSize minimumSize;
};

// Painters are registered once at start-up on the UI thread and read when a
// dialog is built, on the same thread.
std::map<std::pair<int, int>, CustomEntry>& CustomPainters() {
  static std::map<std::pair<int, int>, CustomEntry> painters;
  return painters;
}

// A table of text asks for the room its lines take (FitLines sets it as the
// minimum), not for the usual size of a text box, so a short table opens
// without an empty half; it still grows with the window.
class TableText : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;
  QSize sizeHint() const override { return minimumSize().expandedTo(QSize(160, 60)); }
};

class CustomWidget : public QWidget {
 public:
  CustomWidget(const DialogModel& model, int id, QWidget* parent)
      : QWidget(parent), model_(model) {
    auto it = CustomPainters().find({model.ResourceId(), id});
    if (it != CustomPainters().end()) {
      painter_ = it->second.painter;
      setMinimumSize(it->second.minimumSize);
    } else {
      setMinimumSize(120, 90);
    }
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (painter_) {
      painter_(p, rect(), model_);
      return;
    }
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }

 private:
  const DialogModel& model_;
  CustomPainter painter_;
};

QStringList ItemsOf(const std::vector<std::string>& items) {
  QStringList list;
  for (const std::string& s : items) list << FromCp1252(s);
  return list;
}

// The rows of a list with headings: each item's tab-separated cells under
// the headings; the columns as wide as their widest cell, and the table wide
// enough to show them all (within the largest dialog).
void RefreshTable(QTreeWidget& table, const Control& c) {
  std::vector<QStringList> rows;
  rows.reserve(c.items.size());
  for (const std::string& item : c.items) rows.push_back(FromCp1252(item).split('\t'));
  bool same = table.topLevelItemCount() == static_cast<int>(rows.size());
  for (int r = 0; same && r < table.topLevelItemCount(); ++r) {
    const QTreeWidgetItem* item = table.topLevelItem(r);
    for (int k = 0; same && k < rows[r].size(); ++k) same = item->text(k) == rows[r][k];
  }
  if (!same) {
    table.clear();
    QList<QTreeWidgetItem*> items;
    for (const QStringList& cells : rows) items << new QTreeWidgetItem(cells);
    table.addTopLevelItems(items);
    int width = 2 * table.frameWidth() + table.verticalScrollBar()->sizeHint().width();
    for (int k = 0; k < table.columnCount(); ++k) {
      table.resizeColumnToContents(k);
      table.setColumnWidth(k, table.columnWidth(k) + kCellPadding);
      width += table.columnWidth(k);
    }
    table.setMinimumWidth(std::min(width, kMaxDialogWidth - 40));
    const int rowHeight = std::max(table.fontMetrics().height() + 4, 16);
    table.setMinimumHeight(rowHeight * 12 + table.header()->sizeHint().height());
  }
  QTreeWidgetItem* current = c.currentItem >= 0 ? table.topLevelItem(c.currentItem) : nullptr;
  if (table.currentItem() != current) table.setCurrentItem(current);
}

// A text whose lines are not broken asks for the room of its widest line
// and of its lines (within the largest dialog; beyond that it scrolls).
void FitLines(QPlainTextEdit& edit, const QString& text) {
  const QStringList lines = text.split('\n');
  int widest = 0;
  for (const QString& line : lines) widest = std::max(widest, edit.fontMetrics().horizontalAdvance(line));
  const int margins = 2 * edit.frameWidth() + 2 * static_cast<int>(edit.document()->documentMargin());
  edit.setMinimumWidth(std::min(widest + margins + edit.verticalScrollBar()->sizeHint().width() + 4,
                                kMaxDialogWidth - 40));
  const int height = static_cast<int>(lines.size()) * edit.fontMetrics().lineSpacing() + margins + 4;
  edit.setMinimumHeight(std::min(height, kMaxDialogHeight / 2));
}

Qt::CheckState CheckStateOf(int check) {
  return check == 1 ? Qt::Checked : check == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

int CheckOf(Qt::CheckState state) {
  return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
}
}  // namespace

void RegisterCustomPainter(int resourceId, int controlId, CustomPainter painter,
                           QSize minimumSize) {
  CustomPainters()[{resourceId, controlId}] = CustomEntry{std::move(painter), minimumSize};
}

struct DialogView::Token {
  DialogView* view;
};

DialogView::DialogView(DialogModel& model, QWidget* parent)
    : QDialog(parent), model_(model), token_(std::make_shared<Token>(Token{this})) {
  setModal(true);
  setWindowTitle(FromCp1252(model_.Caption()));
}

DialogView::~DialogView() {
  model_.SetChangeListener(nullptr);
  token_.reset();
}

QWidget* DialogView::Widget(int id) const {
  for (const Entry& e : entries_)
    if (e.id == id) return e.widget;
  return nullptr;
}

int DialogView::Run() {
  // The model may change from the measurement worker: such changes are
  // carried to this thread; the token tells whether the view still exists.
  std::weak_ptr<Token> weak = token_;
  QThread* uiThread = thread();
  model_.SetChangeListener([weak, uiThread](int id) {
    if (QThread::currentThread() == uiThread) {
      if (auto token = weak.lock()) token->view->OnModelChanged(id);
      return;
    }
    PostToUiThread(nullptr, [weak, id] {
      if (auto token = weak.lock()) token->view->OnModelChanged(id);
    });
  });

  model_.Init();
  if (!model_.Ended()) {
    Build();
    setWindowTitle(FromCp1252(model_.Caption()));
    RefreshAll();
    Place();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
  }
  if (!model_.Ended()) {
    running_ = true;
    exec();
    running_ = false;
  }
  model_.SetChangeListener(nullptr);
  if (!model_.Ended()) model_.End(0);  // closed by something else than the model
  return model_.Result();
}

void DialogView::reject() {
  // The model decides: Close ends it (or not); its end closes the window.
  model_.Close();
}

namespace {

// A control that takes the width the window grows by.
bool GrowsSideways(const Control& c) {
  if (c.widthChars > 0) return false;
  switch (c.kind) {
    case ControlKind::Edit:
    case ControlKind::ComboBox:
    case ControlKind::ListBox:
    case ControlKind::ScrollBar:
    case ControlKind::Custom:
      return true;
    default:
      return false;
  }
}

// A control that takes the height the window grows by.
bool GrowsDown(const Control& c) {
  return c.kind == ControlKind::ListBox || (c.kind == ControlKind::Edit && c.multiline);
}


// The width of n digits of the widget's font plus what the kind draws
// around its text.
int WidthOfChars(const QWidget* w, const Control& c) {
  const int text = w->fontMetrics().horizontalAdvance(QString(c.widthChars, QChar('0')));
  switch (c.kind) {
    case ControlKind::Edit:
    case ControlKind::ComboBox: return text + 14;
    case ControlKind::Button: return text + 18;
    case ControlKind::CheckBox:
    case ControlKind::RadioButton: return text + 26;
    default: return text + 2;
  }
}

}  // namespace

void DialogView::Build() {
  const std::vector<Control> controls = model_.Controls();
  std::size_t end = controls.size();
  while (end > 0 && controls[end - 1].kind == ControlKind::Button) --end;

  auto* top = new QVBoxLayout(this);
  auto* columnsRow = new QHBoxLayout;
  top->addLayout(columnsRow, 1);

  struct Column {
    QVBoxLayout* layout = nullptr;
    QVBoxLayout* frame = nullptr;  // the open group box, if any
    int frameLeft = -1;            // controls it still takes; -1 up to the next box
    QHBoxLayout* line = nullptr;   // the line the next sameLine control joins
    bool lineGrows = false;
    bool growsSideways = false;
    bool growsDown = false;
  };
  std::map<int, Column> columns;
  const std::map<int, std::string> headings = model_.ColumnHeadings();
  entries_.clear();
  entries_.reserve(controls.size());
  std::vector<bool> startsLine(controls.size(), false);
  std::vector<const QVBoxLayout*> frameOf(controls.size(), nullptr);

  auto endLine = [](Column& col) {
    if (col.line && !col.lineGrows) col.line->addStretch(1);
    col.line = nullptr;
    col.lineGrows = false;
  };
  auto columnOf = [&](int number) -> Column& {
    Column& col = columns[number];
    if (!col.layout) {
      col.layout = new QVBoxLayout;
      auto it = headings.find(number);
      if (it != headings.end()) {
        auto* heading = new QLabel(FromCp1252(it->second), this);
        heading->setTextFormat(Qt::PlainText);
        heading->setObjectName(QString("heading%1").arg(number));
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        col.layout->addWidget(heading);
      }
    }
    return col;
  };

  for (std::size_t i = 0; i < end; ++i) {
    const Control& c = controls[i];
    Column& col = columnOf(c.column);
    if (c.kind == ControlKind::GroupBox) {
      endLine(col);
      auto* box = new QGroupBox(FromCp1252(c.text), this);
      box->setObjectName(QString("control%1").arg(c.id));
      col.layout->addWidget(box);
      col.frame = new QVBoxLayout(box);
      col.frameLeft = c.frameCount > 0 ? c.frameCount : -1;
      entries_.push_back(Entry{c.id, c.kind, box, box, nullptr});
      continue;
    }
    Entry entry{c.id, c.kind, nullptr, nullptr, nullptr};
    QWidget* outer = MakeWidget(c, entry);
    frameOf[entries_.size()] = col.frame;
    if (!c.sameLine || !col.line) {
      endLine(col);
      col.line = new QHBoxLayout;
      (col.frame ? col.frame : col.layout)->addLayout(col.line, GrowsDown(c) ? 1 : 0);
      startsLine[i] = true;
    }
    const bool grows = GrowsSideways(c);
    col.line->addWidget(outer, grows ? 1 : 0);
    col.lineGrows = col.lineGrows || grows;
    col.growsSideways = col.growsSideways || grows;
    col.growsDown = col.growsDown || GrowsDown(c);
    if (col.frame && col.frameLeft > 0 && --col.frameLeft == 0) {
      endLine(col);
      col.frame = nullptr;
    }
    entries_.push_back(entry);
  }
  for (auto& [number, col] : columns) {
    endLine(col);
    if (!col.growsDown) col.layout->addStretch(1);
    columnsRow->addLayout(col.layout, col.growsSideways ? 1 : 0);
  }
  // Labels that begin a line share a width with those of the same column,
  // so the fields line up: those outside frames with one another, those
  // inside frames with one another (frames of a column indent alike, so the
  // fields of frames one under the other line up too).
  std::map<std::pair<int, bool>, int> labelWidth;
  auto key = [&](std::size_t i) {
    return std::make_pair(controls[i].column, frameOf[i] != nullptr);
  };
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].label && startsLine[i])
      labelWidth[key(i)] = std::max(labelWidth[key(i)], entries_[i].label->sizeHint().width());
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].label && startsLine[i]) entries_[i].label->setMinimumWidth(labelWidth[key(i)]);

  if (end < controls.size()) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (std::size_t i = end; i < controls.size(); ++i) {
      Entry entry{controls[i].id, controls[i].kind, nullptr, nullptr, nullptr};
      buttons->addWidget(MakeWidget(controls[i], entry));
      entries_.push_back(entry);
    }
    top->addLayout(buttons);
  }
  for (const Entry& e : entries_) Connect(e);
}

QPoint DialogPosition(DialogPlacement placement, const QRect& owner, const QSize& outer,
                      const QRect& screen) {
  auto inScreen = [&screen, &outer](QPoint p) {
    p.setX(std::clamp(p.x(), screen.left(),
                      std::max(screen.left(), screen.right() + 1 - outer.width())));
    p.setY(std::clamp(p.y(), screen.top(),
                      std::max(screen.top(), screen.bottom() + 1 - outer.height())));
    return p;
  };
  QPoint at = inScreen(QPoint(owner.x() + (owner.width() - outer.width()) / 2,
                              owner.y() + (owner.height() - outer.height()) / 2));
  if (placement != DialogPlacement::BesideOwner || owner == screen) return at;
  // Right of the owner, left of it, below or above: the place that covers
  // the least of it (on a screen too small for both, some overlap stays).
  const QPoint candidates[] = {
      QPoint(owner.right() + 1, owner.top()),
      QPoint(owner.left() - outer.width(), owner.top()),
      QPoint(owner.left(), owner.bottom() + 1),
      QPoint(owner.left(), owner.top() - outer.height()),
  };
  long long least = -1;
  for (const QPoint& candidate : candidates) {
    const QPoint p = inScreen(candidate);
    const QRect covered = QRect(p, outer).intersected(owner);
    const long long area = covered.isEmpty() ? 0 : 1LL * covered.width() * covered.height();
    if (least < 0 || area < least) {
      least = area;
      at = p;
    }
  }
  return at;
}

void DialogView::Place() {
  // The size the layout asks for, within the largest dialog. Read-outs that
  // change while the dialog is open have fixed widths and empty texts keep
  // their line, so the layout never asks for more later: the buttons stay
  // where the mouse expects them.
  // (Not adjustSize: it gives a window at least 100 pixels of height and at
  // most two thirds of the screen.)
  QSize wanted = sizeHint();
  if (layout() && layout()->hasHeightForWidth())
    wanted.setHeight(layout()->totalHeightForWidth(wanted.width()));
  const QSize size = wanted.expandedTo(minimumSizeHint())
                         .boundedTo(QSize(kMaxDialogWidth, kMaxDialogHeight));
  resize(size);

  // The owner's rectangle: the window of the widget this dialog belongs to,
  // else the program's main window, else the screen.
  QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
  if (!owner || !owner->isVisible()) {
    owner = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<QMainWindow*>(w) && w->isVisible()) owner = w;
  }
  QScreen* screen = owner && owner->isVisible() ? owner->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
  const QRect ownerRect = owner && owner->isVisible() ? owner->frameGeometry() : area;
  const QSize frame = frameGeometry().size() - geometry().size();
  const QSize outer = size + frame;

  move(DialogPosition(model_.Placement(), ownerRect, outer, area));
}

void DialogView::ShowStarted() {
  Build();
  setWindowTitle(FromCp1252(model_.Caption()));
  RefreshAll();
  Place();
  show();
  // Widgets made visible get their final geometry from the pending events.
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

std::vector<DialogView::Shown> DialogView::ShownControls() const {
  std::vector<Shown> out;
  out.reserve(entries_.size());
  for (const Entry& e : entries_) out.push_back(Shown{e.id, e.kind, e.widget, e.outer});
  return out;
}

QWidget* DialogView::MakeWidget(const Control& c, Entry& entry) {
  QWidget* widget = nullptr;
  switch (c.kind) {
    case ControlKind::Static: {
      auto* label = new QLabel(this);
      label->setTextFormat(Qt::PlainText);
      // A read-out (it has a width) takes its line while still empty, so a
      // text that arrives later does not push what follows.
      if (c.widthChars > 0) label->setMinimumHeight(label->fontMetrics().height());
      if (c.widthChars == 0 &&
          label->fontMetrics().horizontalAdvance(FromCp1252(c.text)) > kWrapWidth) {
        label->setWordWrap(true);
        label->setMinimumWidth(kWrapWidth);
      }
      widget = label;
      break;
    }
    case ControlKind::Edit:
      if (c.multiline) {
        // Fixed-pitch or read-only text is a table: its lines are not broken.
        if (c.fixedPitch || c.readOnly) {
          auto* table = new TableText(this);
          table->setLineWrapMode(QPlainTextEdit::NoWrap);
          widget = table;
        } else {
          widget = new QPlainTextEdit(this);
        }
      } else {
        widget = new QLineEdit(this);
      }
      break;
    case ControlKind::CheckBox:
      widget = new QCheckBox(this);
      break;
    case ControlKind::RadioButton: {
      auto* radio = new QRadioButton(this);
      // Exclusivity is the model's: a group may also have no button checked.
      radio->setAutoExclusive(false);
      widget = radio;
      break;
    }
    case ControlKind::Button:
      widget = new QPushButton(this);
      break;
    case ControlKind::ComboBox:
      widget = new QComboBox(this);
      break;
    case ControlKind::ListBox:
      if (!c.headings.empty()) {
        auto* table = new QTreeWidget(this);
        table->setRootIsDecorated(false);
        table->setUniformRowHeights(true);
        table->setAllColumnsShowFocus(true);
        table->setSelectionMode(QAbstractItemView::SingleSelection);
        QStringList headings;
        for (const std::string& h : c.headings) headings << FromCp1252(h);
        table->setHeaderLabels(headings);
        table->header()->setStretchLastSection(true);
        widget = table;
      } else {
        widget = new QListWidget(this);
      }
      break;
    case ControlKind::ScrollBar:
      widget = new QScrollBar(Qt::Horizontal, this);
      break;
    case ControlKind::Custom:
      widget = new CustomWidget(model_, c.id, this);
      break;
    case ControlKind::GroupBox:
      widget = new QGroupBox(this);
      break;
  }
  widget->setObjectName(QString("control%1").arg(c.id));
  if (c.fixedPitch || (c.kind == ControlKind::Edit && c.multiline && c.readOnly)) {
    // A read-only text box holds a table of fixed-width columns.
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(widget->font().pointSizeF());
    widget->setFont(font);
  }
  if (c.id >= 900 && c.id <= 1000) {
    // The option dialogs' value read-outs use these ids: the dialog's font,
    // never bold.
    QFont font = widget->font();
    font.setWeight(QFont::Normal);
    widget->setFont(font);
  }
  if (c.widthChars > 0) {
    widget->setFixedWidth(WidthOfChars(widget, c));
  } else if (c.kind == ControlKind::Edit && !c.multiline) {
    // A number field is never squeezed below a few digits.
    widget->setMinimumWidth(widget->fontMetrics().horizontalAdvance(QString(6, QChar('0'))) + 14);
  } else if (c.kind == ControlKind::ScrollBar) {
    widget->setMinimumWidth(kScrollBarWidth);
  }
  entry.widget = widget;
  entry.outer = widget;
  const bool labelled = !c.label.empty() &&
                        (c.kind == ControlKind::Edit || c.kind == ControlKind::ComboBox ||
                         c.kind == ControlKind::ListBox || c.kind == ControlKind::Custom ||
                         c.kind == ControlKind::ScrollBar);
  if (labelled) {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(FromCp1252(c.label), row);
    label->setTextFormat(Qt::PlainText);
    label->setBuddy(widget);
    if (GrowsDown(c)) {
      // Beside a tall list the label stands at its first line, not halfway down.
      label->setContentsMargins(0, 3, 0, 0);
      layout->addWidget(label, 0, Qt::AlignTop);
    } else {
      layout->addWidget(label);
    }
    layout->addWidget(widget, 1);
    if (c.widthChars > 0) row->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    entry.outer = row;
    entry.label = label;
  }
  return entry.outer;
}

void DialogView::Connect(const Entry& e) {
  const int id = e.id;
  if (auto* edit = qobject_cast<QLineEdit*>(e.widget)) {
    connect(edit, &QLineEdit::textChanged, this, [this, id](const QString& text) {
      if (!refreshing_) PushText(id, text);
    });
  } else if (auto* text = qobject_cast<QPlainTextEdit*>(e.widget)) {
    connect(text, &QPlainTextEdit::textChanged, this, [this, id, text] {
      if (!refreshing_) PushText(id, text->toPlainText());
    });
  } else if (auto* check = qobject_cast<QCheckBox*>(e.widget)) {
    connect(check, &QCheckBox::clicked, this, [this, id, check] {
      if (refreshing_) return;
      model_.SetCheck(id, CheckOf(check->checkState()));
      model_.Command(id, kClicked);
    });
  } else if (auto* radio = qobject_cast<QRadioButton*>(e.widget)) {
    connect(radio, &QRadioButton::clicked, this, [this, id] {
      if (refreshing_) return;
      const std::vector<int> group = model_.RadioGroupOf(id);
      for (int b : group) model_.SetCheck(b, b == id ? 1 : 0);
      if (group.empty()) model_.SetCheck(id, 1);
      model_.Command(id, kClicked);
    });
  } else if (auto* button = qobject_cast<QPushButton*>(e.widget)) {
    connect(button, &QPushButton::clicked, this, [this, id] {
      if (!refreshing_) model_.Command(id, kClicked);
    });
  } else if (auto* combo = qobject_cast<QComboBox*>(e.widget)) {
    connect(combo, &QComboBox::activated, this, [this, id](int index) {
      model_.SetCurrentItem(id, index);
      model_.Command(id, kSelChange);
    });
  } else if (auto* table = qobject_cast<QTreeWidget*>(e.widget)) {
    connect(table, &QTreeWidget::currentItemChanged, this,
            [this, id, table](QTreeWidgetItem* item, QTreeWidgetItem*) {
              if (refreshing_ || !item) return;
              model_.SetCurrentItem(id, table->indexOfTopLevelItem(item));
              model_.Command(id, kSelChange);
            });
    connect(table, &QTreeWidget::itemDoubleClicked, this,
            [this, id](QTreeWidgetItem*, int) { model_.Command(id, kDoubleClick); });
  } else if (auto* list = qobject_cast<QListWidget*>(e.widget)) {
    connect(list, &QListWidget::currentRowChanged, this, [this, id](int row) {
      if (refreshing_) return;
      model_.SetCurrentItem(id, row);
      model_.Command(id, kSelChange);
    });
    connect(list, &QListWidget::itemDoubleClicked, this,
            [this, id](QListWidgetItem*) { model_.Command(id, kDoubleClick); });
  } else if (auto* scroll = qobject_cast<QScrollBar*>(e.widget)) {
    connect(scroll, &QScrollBar::valueChanged, this, [this, id](int value) {
      if (refreshing_) return;
      model_.SetScrollPos(id, value);
      model_.Command(id, kScrolled);
    });
  }
}

void DialogView::PushText(int id, const QString& text) {
  const int previous = pushingId_;
  pushingId_ = id;
  model_.SetText(id, ToCp1252(text));
  pushingId_ = previous;
}

void DialogView::OnFocusChanged(QWidget* now) {
  if (refreshing_ || !running_ || !now) return;
  for (const Entry& e : entries_) {
    if (e.id <= 0 || (e.widget != now && !e.widget->isAncestorOf(now))) continue;
    if (model_.Focus() == e.id) return;
    const int previous = pushingId_;
    pushingId_ = e.id;
    model_.SetFocus(e.id);
    pushingId_ = previous;
    return;
  }
}

void DialogView::OnModelChanged(int id) {
  if (id == 0) {
    setWindowTitle(FromCp1252(model_.Caption()));
    if (model_.Ended() && running_) done(model_.Result());
    return;
  }
  int count = 0;
  for (const Entry& e : entries_)
    if (e.id == id) ++count;
  if (count != 1) {  // shared ids (-1 statics) are told apart by position only
    RefreshAll();
    return;
  }
  const std::optional<Control> c = model_.GetControl(id);
  if (!c) return;
  for (const Entry& e : entries_)
    if (e.id == id) {
      const bool was = refreshing_;
      refreshing_ = true;
      Refresh(e, *c);
      refreshing_ = was;
    }
}

void DialogView::RefreshAll() {
  // Entries follow the model's control order, so a snapshot by position
  // also serves controls that share an id.
  const std::vector<Control> controls = model_.Controls();
  const bool was = refreshing_;
  refreshing_ = true;
  for (std::size_t i = 0; i < entries_.size() && i < controls.size(); ++i)
    if (controls[i].id == entries_[i].id) Refresh(entries_[i], controls[i]);
  refreshing_ = was;
}

void DialogView::Refresh(const Entry& e, const Control& c) {
  const bool pushing = pushingId_ == e.id;

  e.outer->setVisible(c.visible);
  e.widget->setEnabled(c.enabled);
  e.widget->setToolTip(FromCp1252(c.tooltip));
  if (e.label) {
    e.label->setText(FromCp1252(c.label));
    e.label->setEnabled(c.enabled);
  }
  const QString text = FromCp1252(c.text);
  if (auto* label = qobject_cast<QLabel*>(e.widget)) {
    label->setText(text);
  } else if (auto* edit = qobject_cast<QLineEdit*>(e.widget)) {
    edit->setMaxLength(c.textLimit > 0 ? c.textLimit : 32767);
    edit->setReadOnly(c.readOnly);
    if (!pushing) {
      if (edit->text() != text) edit->setText(text);
      if (c.selectionEnd > c.selectionStart)
        edit->setSelection(c.selectionStart, c.selectionEnd - c.selectionStart);
    }
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(e.widget)) {
    plain->setReadOnly(c.readOnly);
    if (!pushing && plain->toPlainText() != text) {
      plain->setPlainText(text);
      if (plain->lineWrapMode() == QPlainTextEdit::NoWrap) FitLines(*plain, text);
    }
  } else if (auto* check = qobject_cast<QCheckBox*>(e.widget)) {
    check->setText(text);
    check->setCheckState(CheckStateOf(c.check));
  } else if (auto* radio = qobject_cast<QRadioButton*>(e.widget)) {
    radio->setText(text);
    radio->setChecked(c.check == 1);
  } else if (auto* button = qobject_cast<QPushButton*>(e.widget)) {
    button->setText(text);
    button->setDefault(c.defaultButton);
  } else if (auto* box = qobject_cast<QGroupBox*>(e.widget)) {
    box->setTitle(text);
  } else if (auto* combo = qobject_cast<QComboBox*>(e.widget)) {
    const QStringList items = ItemsOf(c.items);
    QStringList present;
    for (int k = 0; k < combo->count(); ++k) present << combo->itemText(k);
    if (present != items) {
      combo->clear();
      combo->addItems(items);
    }
    combo->setCurrentIndex(c.currentItem);
  } else if (auto* table = qobject_cast<QTreeWidget*>(e.widget)) {
    RefreshTable(*table, c);
  } else if (auto* list = qobject_cast<QListWidget*>(e.widget)) {
    const QStringList items = ItemsOf(c.items);
    QStringList present;
    for (int k = 0; k < list->count(); ++k) present << list->item(k)->text();
    if (present != items) {
      list->clear();
      list->addItems(items);
    }
    list->setCurrentRow(c.currentItem);
  } else if (auto* scroll = qobject_cast<QScrollBar*>(e.widget)) {
    scroll->setRange(std::min(c.scrollMin, c.scrollMax), std::max(c.scrollMin, c.scrollMax));
    scroll->setValue(c.scrollPos);
  } else {
    e.widget->update();
  }
  if (e.id > 0 && !pushing && model_.Focus() == e.id && !e.widget->hasFocus())
    e.widget->setFocus(Qt::OtherFocusReason);
}

}  // namespace tsm::gui
