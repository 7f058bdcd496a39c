// Renders any dialog model as a modal Qt dialog centred on its owner:
// labels, edits, check boxes, radio groups, group boxes, combo and list
// boxes, scroll bars, buttons and owner-drawn controls, with tool tips.
// Model changes (from any thread) update the widgets; user actions go back
// into the model: texts and check states are set, clicks arrive as
// Command(id, 0), list selections as Command(id, kSelChange), double clicks
// as Command(id, kDoubleClick), scroll moves as Command(id, kScrolled).
//
// Layout: controls of the same `column` stack top to bottom, columns side by
// side; a group box frames the controls after it (its frameCount, or up to
// the next group box); the run of buttons that ends the control list forms
// the dialog's button row.
#pragma once

#include <QDialog>
#include <QSize>

#include <functional>
#include <memory>
#include <vector>

#include "platform/dialog.h"

class QLabel;
class QPainter;
class QRect;

namespace tsm::gui {

inline constexpr int kClicked = 0;
inline constexpr int kSelChange = 1;
inline constexpr int kDoubleClick = 2;
inline constexpr int kScrolled = 0x0114;

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
  // The widget of a control (the first with that id), or null.
  QWidget* Widget(int id) const;

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
