#include "gui/dialog_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QFontDatabase>
#include <QFontMetrics>
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

void DialogView::Build() {
  const std::vector<Control> controls = model_.Controls();
  std::size_t end = controls.size();
  while (end > 0 && controls[end - 1].kind == ControlKind::Button) --end;

  auto* top = new QVBoxLayout(this);
  auto* columnsRow = new QHBoxLayout;
  top->addLayout(columnsRow);

  struct Column {
    QVBoxLayout* layout = nullptr;
    QVBoxLayout* frame = nullptr;  // the open group box, if any
    int frameLeft = -1;            // controls it still takes; -1 up to the next box
  };
  std::map<int, Column> columns;
  entries_.clear();
  entries_.reserve(controls.size());

  for (std::size_t i = 0; i < end; ++i) {
    const Control& c = controls[i];
    Column& col = columns[c.column];
    if (!col.layout) col.layout = new QVBoxLayout;
    if (c.kind == ControlKind::GroupBox) {
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
    (col.frame ? col.frame : col.layout)->addWidget(outer);
    if (col.frame && col.frameLeft > 0 && --col.frameLeft == 0) col.frame = nullptr;
    entries_.push_back(entry);
  }
  for (auto& [number, col] : columns) {
    col.layout->addStretch(1);
    columnsRow->addLayout(col.layout);
  }
  // Labels before the fields of one column share a width, so the fields line up.
  std::map<int, int> labelWidth;
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].label)
      labelWidth[controls[i].column] =
          std::max(labelWidth[controls[i].column], entries_[i].label->sizeHint().width());
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].label) entries_[i].label->setMinimumWidth(labelWidth[controls[i].column]);

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

namespace {

// Widens (and heightens) a table box to show its lines whole, within what
// fits a screen; larger tables scroll.
void FitTable(QPlainTextEdit& table) {
  const QFontMetrics metrics(table.font());
  int width = 0, lines = 0;
  for (const QString& line : table.toPlainText().split('\n')) {
    width = std::max(width, metrics.horizontalAdvance(line));
    ++lines;
  }
  const int frame = 2 * table.frameWidth() + 2 * static_cast<int>(table.document()->documentMargin());
  table.setMinimumWidth(std::min(width + frame + 4, 1000));
  table.setMinimumHeight(std::min(lines * metrics.lineSpacing() + frame + 4, 600));
}

}  // namespace

QWidget* DialogView::MakeWidget(const Control& c, Entry& entry) {
  QWidget* widget = nullptr;
  switch (c.kind) {
    case ControlKind::Static: {
      auto* label = new QLabel(this);
      label->setTextFormat(Qt::PlainText);
      widget = label;
      break;
    }
    case ControlKind::Edit:
      if (c.multiline && c.readOnly) {
        // A read-only text box holds a table of fixed-width columns: it keeps
        // its lines whole, in a fixed-pitch font.
        auto* table = new QPlainTextEdit(this);
        table->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        table->setLineWrapMode(QPlainTextEdit::NoWrap);
        widget = table;
      } else if (c.multiline) {
        widget = new QPlainTextEdit(this);
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
      widget = new QListWidget(this);
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
  if (c.id >= 900 && c.id <= 1000) {
    // The option dialogs' value read-outs use these ids: the dialog's font,
    // never bold.
    QFont font = widget->font();
    font.setWeight(QFont::Normal);
    widget->setFont(font);
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
    layout->addWidget(label);
    layout->addWidget(widget, 1);
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
      if (c.readOnly) FitTable(*plain);
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
