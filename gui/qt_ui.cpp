#include "gui/qt_ui.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <type_traits>

#include "gui/cp1252.h"
#include "gui/dialog_view.h"
#include "gui/ui_thread.h"
#include "shell/errors.h"

namespace tsm::gui {

using namespace tsm::platform;

namespace {
// "Invalide filename passed to FileOpen or FileSave": a chosen path the
// program's texts cannot hold.
constexpr unsigned long kBadFileName = 0x3002;

QMessageBox::StandardButton StandardButtonOf(int id) {
  switch (id) {
    case IDOK: return QMessageBox::Ok;
    case IDCANCEL: return QMessageBox::Cancel;
    case IDABORT: return QMessageBox::Abort;
    case IDRETRY: return QMessageBox::Retry;
    case IDIGNORE: return QMessageBox::Ignore;
    case IDYES: return QMessageBox::Yes;
    case IDNO: return QMessageBox::No;
    default: return QMessageBox::NoButton;
  }
}

int IdOf(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Abort: return IDABORT;
    case QMessageBox::Retry: return IDRETRY;
    case QMessageBox::Ignore: return IDIGNORE;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return 0;
  }
}

QMessageBox::Icon IconOf(unsigned type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

QString FilterText(const FileDialogRequest& request) {
  QStringList filters;
  for (const FileFilter& f : request.filters) {
    QString text = FromCp1252(f.description);
    // Qt reads the patterns from the parentheses of the description.
    if (!text.contains('(')) text += " (" + FromCp1252(f.pattern) + ")";
    filters << text;
  }
  return filters.join(";;");
}
}  // namespace

QtUi::QtUi(QObject* parent) : QObject(parent) {}

QtUi::~QtUi() {
  for (auto& [id, timer] : timers_) delete timer;
  while (busy_ > 0) {
    QApplication::restoreOverrideCursor();
    --busy_;
  }
}

QWidget* QtUi::WidgetOf(WindowHandle handle) { return static_cast<QWidget*>(handle); }

QWidget* ParentFor(WindowHandle owner) {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QtUi::WidgetOf(owner);
}

template <class F>
auto QtUi::OnUiThread(F&& f) -> decltype(f()) {
  using R = decltype(f());
  if (QThread::currentThread() == thread()) return f();
  if constexpr (std::is_void_v<R>) {
    RunOnUiThread(f);
  } else {
    R result{};
    RunOnUiThread([&] { result = f(); });
    return result;
  }
}

template <class F>
void QtUi::PostToUiThread(F&& f) {
  if (QThread::currentThread() == thread())
    f();
  else
    gui::PostToUiThread(this, std::forward<F>(f));
}

void QtUi::SetStatusSink(StatusSink sink) {
  OnUiThread([&] { sink_ = std::move(sink); });
}

int QtUi::MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                     unsigned type) {
  return OnUiThread([&]() -> int {
    QMessageBox box(IconOf(type), FromCp1252(caption), FromCp1252(text), QMessageBox::NoButton,
                    ParentFor(owner));
    const std::vector<int> buttons = ButtonsOf(type);
    for (int id : buttons) box.addButton(StandardButtonOf(id));
    box.setDefaultButton(StandardButtonOf(DefaultButtonOf(type)));
    box.exec();
    const int answer = IdOf(box.standardButton(box.clickedButton()));
    if (answer != 0) return answer;
    // Closed without a button: what the box's Escape stands for.
    for (int id : buttons)
      if (id == IDCANCEL || id == IDNO) return id;
    return buttons.empty() ? IDOK : buttons.front();
  });
}

// Effects that need no answer are posted, not waited for: the worker beeps
// on a failed reading while it holds the driver lock, and the UI thread may be
// waiting for that lock at the same moment.
void QtUi::MessageBeep(unsigned /*type*/) {
  PostToUiThread([] { QApplication::beep(); });
}

void QtUi::PlaySound(const std::string& file) {
  // Asynchronous like the original call: the worker that finished a
  // measurement does not wait for the sound, nor for the audio system.
  const QString path = FromCp1252(file);
  PostToUiThread([this, path] { sounds_.Play(path); });
}

void QtUi::BeginBusyCursor() {
  PostToUiThread([this] {
    ++busy_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
  });
}

void QtUi::EndBusyCursor() {
  PostToUiThread([this] {
    if (busy_ == 0) return;
    --busy_;
    QApplication::restoreOverrideCursor();
  });
}

void QtUi::SetStatusText(int part, const std::string& text) {
  // Not blocking: the worker reports progress often and needs no answer.
  const QString qtext = FromCp1252(text);
  PostToUiThread([this, part, qtext] {
    if (sink_) sink_(part, qtext);
  });
}

FileDialogResult QtUi::RunFileDialog(const FileDialogRequest& request, bool save) {
  return OnUiThread([&]() -> FileDialogResult {
    QFileDialog dialog(ParentFor(shell::MainWindow()), FromCp1252(request.title),
                       FromCp1252(request.initialDirectory), FilterText(request));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode((!save && (request.flags & OFN_FILEMUSTEXIST)) ? QFileDialog::ExistingFile
                                                                     : QFileDialog::AnyFile);
    if (!request.defaultExtension.empty())
      dialog.setDefaultSuffix(FromCp1252(request.defaultExtension));
    if (save && !(request.flags & OFN_OVERWRITEPROMPT))
      dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.initialFile.empty()) dialog.selectFile(FromCp1252(request.initialFile));
    FileDialogResult result;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return result;
    const QString path = dialog.selectedFiles().first();
    if (!FitsCp1252(path)) {
      result.errorCode = kBadFileName;
      return result;
    }
    result.ok = true;
    result.path = ToCp1252(path);
    return result;
  });
}

FileDialogResult QtUi::GetOpenFileName(const FileDialogRequest& request) {
  return RunFileDialog(request, false);
}

FileDialogResult QtUi::GetSaveFileName(const FileDialogRequest& request) {
  return RunFileDialog(request, true);
}

FontDialogResult QtUi::ChooseFont(FontChoice& font) {
  return OnUiThread([&]() -> FontDialogResult {
    QFont initial(FromCp1252(font.face), font.pointSize > 0 ? font.pointSize : 9);
    initial.setItalic(font.italic);
    initial.setWeight(font.weight > 0 ? QFont::Weight(font.weight) : QFont::Normal);
    initial.setUnderline(font.underline);
    initial.setStrikeOut(font.strikeOut);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, ParentFor(shell::MainWindow()));
    FontDialogResult result;
    if (!ok) return result;
    result.ok = true;
    font.face = ToCp1252(chosen.family());
    font.pointSize = chosen.pointSize() > 0 ? chosen.pointSize() : font.pointSize;
    font.italic = chosen.italic();
    font.weight = chosen.weight();
    font.underline = chosen.underline();
    font.strikeOut = chosen.strikeOut();
    return result;
  });
}

bool QtUi::ChooseColor(std::uint32_t& color) {
  return OnUiThread([&]() -> bool {
    const QColor initial(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(initial, ParentFor(shell::MainWindow()));
    if (!chosen.isValid()) return false;
    color = static_cast<std::uint32_t>(chosen.red()) |
            (static_cast<std::uint32_t>(chosen.green()) << 8) |
            (static_cast<std::uint32_t>(chosen.blue()) << 16);
    return true;
  });
}

bool QtUi::SetClipboardText(const std::string& text) {
  return OnUiThread([&]() -> bool {
    QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard) return false;
    clipboard->setText(FromCp1252(text));
    return true;
  });
}

TimerId QtUi::StartTimer(unsigned milliseconds, bool periodic, std::function<void()> callback) {
  return OnUiThread([&]() -> TimerId {
    const TimerId id = nextTimer_++;
    auto* timer = new QTimer(this);
    timer->setSingleShot(!periodic);
    timer->setInterval(static_cast<int>(milliseconds));
    timer->setTimerType(milliseconds <= 20 ? Qt::PreciseTimer : Qt::CoarseTimer);
    connect(timer, &QTimer::timeout, this, [this, id, periodic, callback] {
      if (!periodic) StopTimer(id);
      if (callback) callback();
    });
    timers_[id] = timer;
    timer->start();
    return id;
  });
}

void QtUi::StopTimer(TimerId id) {
  OnUiThread([&] {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
  });
}

int QtUi::RunModal(DialogModel& dialog, WindowHandle owner) {
  return OnUiThread([&]() -> int {
    DialogView view(dialog, ParentFor(owner));
    return view.Run();
  });
}

}  // namespace tsm::gui
