// A dialog as a model: controls addressed by their numeric ids (text, check
// state, enabled, visible, focus, selection, list items) and commands
// delivered as (id, notification code). The setup-dialog framework, the
// measurement dialog and the small dialogs are written against this class;
// gui/ renders a model with Qt widgets and forwards user actions to it, and
// tests drive it directly. Control state is guarded by a mutex because the
// measurement worker writes texts while the UI thread paints them.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tsm::platform {

enum class ControlKind {
  Static,       // a label or a read-only text
  Edit,         // a one-line (or multiline) text field
  CheckBox,
  RadioButton,  // consecutive radio buttons form a group, see groupStart
  Button,
  GroupBox,     // a frame with a caption around the controls that follow it
  ComboBox,     // a drop-down list
  ListBox,
  ScrollBar,
  Custom,       // drawn by the owning module (for example the Indicator bar)
};

struct Control {
  int id = 0;
  ControlKind kind = ControlKind::Static;
  std::string text;     // edit text, button/check caption, static text
  std::string label;    // the label shown before an edit, list or custom control
  std::string tooltip;
  int check = 0;        // 0 unchecked, 1 checked, 2 indeterminate
  bool enabled = true;
  bool visible = true;
  bool groupStart = false;  // first button of a radio group
  bool readOnly = false;
  bool multiline = false;
  bool defaultButton = false;
  int textLimit = 0;        // maximum text length, 0 = none
  int selectionStart = 0;   // selected text range of an edit
  int selectionEnd = 0;
  std::vector<std::string> items;  // list and combo entries
  int currentItem = -1;
  int scrollMin = 0, scrollMax = 0, scrollPos = 0;
  // GroupBox: how many of the controls after it the frame holds (0: all up
  // to the next group box or the dialog's closing row of buttons).
  int frameCount = 0;

  // --- layout hints for renderers; the model never depends on them -------
  // Columns stand side by side in number order; 0 is the main column.
  int column = 0;
  // Placed to the right of the previous control of its column, on its line.
  bool sameLine = false;
  // The width of a read-out or a field in characters of its font (digits),
  // fixed, so a changing text never resizes the dialog; 0: the renderer's
  // choice.
  int widthChars = 0;
  // The text in a fixed-pitch font (values that change while they are shown).
  bool fixedPitch = false;
  // ListBox: the headings of its columns; every item is then one row of
  // tab-separated cells shown under them.
  std::vector<std::string> headings;
};

// Where a renderer opens a dialog: centred over its owner window, or beside
// it, so the owner's picture stays in sight (the measurement dialog beside
// the plot that shows its curves).
enum class DialogPlacement { OverOwner, BesideOwner };

class DialogModel {
 public:
  DialogModel(int resourceId, std::string caption);
  virtual ~DialogModel();
  DialogModel(const DialogModel&) = delete;
  DialogModel& operator=(const DialogModel&) = delete;

  int ResourceId() const { return resourceId_; }
  std::string Caption() const;
  void SetCaption(const std::string& caption);

  // --- lifecycle, driven by a Ui back end or by tests
  // WM_INITDIALOG: clears the end state and calls OnInit.
  void Init();
  // WM_COMMAND: the notification code is 0 for a click / a change.
  void Command(int id, int code = 0);
  // The window's close box: OnClose (default: command IDCANCEL).
  void Close();
  // EndDialog.
  void End(int result);
  bool Ended() const;
  // Whether the dialog is working on its own (a measurement worker runs) and
  // will end itself; a headless back end then waits instead of pressing
  // Cancel. Default: false.
  virtual bool Running() const { return false; }
  // Blocks until End has been called (from any thread) or the timeout passed;
  // returns Ended().
  bool WaitForEnd(std::chrono::milliseconds timeout = std::chrono::hours(24 * 365));
  int Result() const;

  // --- building the control list (before Init or inside OnInit)
  Control& AddControl(const Control& control);
  bool HasControl(int id) const;
  // A snapshot of every control in order, for renderers.
  std::vector<Control> Controls() const;
  std::optional<Control> GetControl(int id) const;

  // --- control state; operations on a missing id do nothing / read empty
  std::string GetText(int id) const;
  void SetText(int id, const std::string& text);
  int GetCheck(int id) const;
  void SetCheck(int id, int state);
  bool IsEnabled(int id) const;
  void Enable(int id, bool enabled);
  bool IsVisible(int id) const;
  void Show(int id, bool visible);
  int Focus() const;
  void SetFocus(int id);
  // Selects text of an edit; end -1 selects to the end of the text.
  void SelectText(int id, int start, int end);
  std::pair<int, int> Selection(int id) const;
  void SetItems(int id, const std::vector<std::string>& items);
  std::vector<std::string> Items(int id) const;
  int CurrentItem(int id) const;
  void SetCurrentItem(int id, int index);
  void SetScrollRange(int id, int minimum, int maximum);
  int ScrollPos(int id) const;
  void SetScrollPos(int id, int pos);
  // The radio buttons of the group that contains the control, in order.
  std::vector<int> RadioGroupOf(int id) const;

  // --- layout hints for renderers
  // A heading shown above the controls of a layout column (empty: none).
  void SetColumnHeading(int column, const std::string& heading);
  std::map<int, std::string> ColumnHeadings() const;
  void SetPlacement(DialogPlacement placement);
  DialogPlacement Placement() const;

  // Called (on whatever thread changed the state) after any control or
  // caption change with the control id (0 for caption and end state);
  // renderers use it to refresh their widgets.
  void SetChangeListener(std::function<void(int id)> listener);

 protected:
  virtual void OnInit() {}
  // Default: IDOK ends with 1, IDCANCEL ends with 0.
  virtual void OnCommand(int id, int code);
  virtual void OnClose();

 private:
  Control* Find(int id);
  const Control* Find(int id) const;
  void Notify(int id);

  const int resourceId_;
  mutable std::recursive_mutex mutex_;
  std::condition_variable_any endedCondition_;
  std::string caption_;
  std::vector<Control> controls_;
  std::map<int, std::string> columnHeadings_;
  DialogPlacement placement_ = DialogPlacement::OverOwner;
  int focus_ = 0;
  bool ended_ = false;
  int result_ = 0;
  std::function<void(int)> listener_;
};

}  // namespace tsm::platform
