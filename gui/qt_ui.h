// The Qt back end of the Ui seam: real message boxes (with the Win32 button
// sets and icons), beeps, the busy cursor, status-bar texts forwarded to the
// main window, file/font/colour choosers, timers as QTimer, and modal
// dialogs rendered from their models. A call from another thread (the
// measurement worker) is carried out on the UI thread and blocks the caller
// until it is answered. Sounds play through Qt Multimedia (gui/sound_player.h).
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <map>

#include "gui/sound_player.h"
#include "platform/ui.h"

class QTimer;
class QWidget;

namespace tsm::gui {

class QtUi : public QObject, public platform::Ui {
 public:
  explicit QtUi(QObject* parent = nullptr);
  ~QtUi() override;

  int MessageBox(platform::WindowHandle owner, const std::string& text,
                 const std::string& caption, unsigned type) override;
  void MessageBeep(unsigned type) override;
  void PlaySound(const std::string& file) override;
  void BeginBusyCursor() override;
  void EndBusyCursor() override;
  void SetStatusText(int part, const std::string& text) override;
  platform::FileDialogResult GetOpenFileName(const platform::FileDialogRequest& request) override;
  platform::FileDialogResult GetSaveFileName(const platform::FileDialogRequest& request) override;
  platform::FontDialogResult ChooseFont(platform::FontChoice& font) override;
  bool ChooseColor(std::uint32_t& color) override;
  platform::TimerId StartTimer(unsigned milliseconds, bool periodic,
                               std::function<void()> callback) override;
  void StopTimer(platform::TimerId id) override;
  int RunModal(platform::DialogModel& dialog, platform::WindowHandle owner) override;
  bool SetClipboardText(const std::string& text) override;

  // Where status-bar texts go (the main window); none: they are dropped.
  using StatusSink = std::function<void(int part, const QString& text)>;
  void SetStatusSink(StatusSink sink);

  // The widget a window handle stands for (handles are QWidget pointers).
  static QWidget* WidgetOf(platform::WindowHandle handle);
  static platform::WindowHandle HandleOf(QWidget* widget) { return widget; }

 private:
  // Runs f on the UI thread, blocking a caller on another thread.
  template <class F>
  auto OnUiThread(F&& f) -> decltype(f());
  // Runs f on the UI thread without waiting for it (f must own its data).
  template <class F>
  void PostToUiThread(F&& f);
  platform::FileDialogResult RunFileDialog(const platform::FileDialogRequest& request, bool save);

  StatusSink sink_;
  SoundPlayer sounds_;
  int busy_ = 0;
  platform::TimerId nextTimer_ = 1;
  std::map<platform::TimerId, QTimer*> timers_;
};

// The parent a message box or dialog of this owner should get: the active
// modal dialog when there is one (so it stays above it), else the owner.
QWidget* ParentFor(platform::WindowHandle owner);

}  // namespace tsm::gui
