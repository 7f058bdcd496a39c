// Renders any dialog model as a modal Qt dialog centred on its owner:
// labels, edits, check boxes, radio groups, group boxes, combo and list
// boxes, scroll bars, buttons and owner-drawn controls, with tool tips.
// Model changes (from any thread) update the widgets; user actions go back
// into the model: texts and check states are set, clicks arrive as
// Command(id, 0), list selections as Command(id, kSelChange), double clicks
// as Command(id, kDoubleClick), scroll moves as Command(id, kScrolled).
//
// Layout, from the hints of the model's controls: controls of the same
// `column` stack top to bottom, columns side by side under their headings;
// a control marked `sameLine` stands right of the one before it; a group
// box frames the controls after it (its frameCount, or up to the next group
// box); the run of buttons that ends the control list forms the dialog's
// button row. Labels before the fields of a column share one width, long
// static texts wrap, read-outs with a width in characters keep it, lists
// with headings show their rows as a table, and lists and multi-line
// fields take what the window grows by. A dialog without such growing
// controls keeps the size it opened with, whatever texts change later.
// It opens centred over its owner (or beside it, as the model asks), within
// the screen, at most kMaxDialogSize.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <memory>
#include <vector>

#include "platform/dialog.h"

class QLabel;
class QPainter;

namespace tsm::gui {

inline constexpr int kClicked = 0;
inline constexpr int kSelChange = 1;
inline constexpr int kDoubleClick = 2;
inline constexpr int kScrolled = 0x0114;
// The largest dialog, frame excluded: it fits a 1280 x 800 screen with the
// window frame and a panel.
inline constexpr int kMaxDialogWidth = 1260;
inline constexpr int kMaxDialogHeight = 740;

// Where a dialog whose window (frame included) measures `outer` opens:
// centred over its owner's window, or beside it, on the side that covers
// the least of it; always within the screen's area.
QPoint DialogPosition(platform::DialogPlacement placement, const QRect& owner, const QSize& outer,
                      const QRect& screen);

// Draws an owner-drawn control (kind Custom) of a dialog into its rectangle.
using CustomPainter =
    std::function<void(QPainter& painter, const QRect& rect, const platform::DialogModel& model)>;
// Registers the painter of control `controlId` in dialogs of `resourceId`.
void RegisterCustomPainter(int resourceId, int controlId, CustomPainter painter,
                           QSize minimumSize = QSize(120, 90));

class DialogView : public QDialog {
 public:
  DialogView(platform::DialogModel& model, QWidget* parent);
  ~DialogView() override;

  // Starts the model, builds the widgets and runs the dialog modally;
  // returns the value the model ended with.
  int Run();
  // Builds, lays out and places the widgets of a model that has started
  // already, and shows them without running a loop (pictures of a dialog
  // that is open in another renderer).
  void ShowStarted();
  // The widget of a control (the first with that id), or null.
  QWidget* Widget(int id) const;
  // Every control with its widget and what shows and hides it, in the
  // model's order (layout checks).
  struct Shown {
    int id;
    platform::ControlKind kind;
    QWidget* widget;
    QWidget* outer;
  };
  std::vector<Shown> ShownControls() const;

 protected:
  void reject() override;  // Escape and the close box: the model's Close

 private:
  struct Entry {
    int id;
    platform::ControlKind kind;
    QWidget* widget;  // the control itself
    QWidget* outer;   // what shows and hides (a row with its label)
    QLabel* label;    // the label before it, or null
  };
  struct Token;

  void Build();
  void Place();
  QWidget* MakeWidget(const platform::Control& c, Entry& entry);
  void Connect(const Entry& entry);
  void OnModelChanged(int id);
  void Refresh(const Entry& entry, const platform::Control& control);
  void RefreshAll();
  void PushText(int id, const QString& text);
  void OnFocusChanged(QWidget* now);

  platform::DialogModel& model_;
  std::vector<Entry> entries_;
  bool refreshing_ = false;  // widget signals caused by a refresh are ignored
  int pushingId_ = 0;        // the control whose change is going into the model
  bool running_ = false;
  std::shared_ptr<Token> token_;
};

}  // namespace tsm::gui
