// Setup-dialog framework: an option group declared once as a field list (one
// record per control: the variable it edits, its settings key, its limits)
// gives the group's load and save over the settings file and a modal dialog
// model that fills, validates, saves and reloads the fields and enables or
// shows dependent controls by check boxes. Toolkit-free; gui/ renders it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "platform/dialog.h"
#include "platform/ui.h"
#include "shell/optiongroups.h"

namespace tsm::shell {

// Field kinds (the numbers are those of the field records).
inline constexpr int kFieldSigned = 1;    // signed integer, stored "%d"
inline constexpr int kFieldUnsigned = 2;  // unsigned integer, stored "%u"
inline constexpr int kFieldFloat = 5;     // floating-point, stored "%-G"
inline constexpr int kFieldText = 7;      // text of at most length - 1 bytes
inline constexpr int kFieldCheck = 8;     // check box: 0, 1 (2 indeterminate), stored "%u"
inline constexpr int kFieldRadio = 9;     // radio group: index of the chosen button, "%u"

// Command ids of the framework's buttons (OK and Cancel are IDOK, IDCANCEL).
inline constexpr int kSetupSave = 2000;
inline constexpr int kSetupLoad = 2001;

inline constexpr const char* kMissingRadioText =
    "Can not find radio button with specified ID\nContact developper and describe what were "
    "you doing.";
inline constexpr const char* kMissingRadioCaption = "SetupDlg failure";

// The program variable a field edits. Numeric kinds take any of the numeric
// pointers (a value that does not fit the variable's type is refused like one
// outside the limits); kind 7 takes a char buffer of `length` bytes or a
// std::string held to length - 1 bytes.
using FieldVariable = std::variant<std::monostate, int*, unsigned*, std::int16_t*,
                                   std::uint16_t*, bool*, float*, double*, char*, std::string*>;

inline constexpr double kNoMinimum = std::numeric_limits<double>::lowest();
inline constexpr double kNoMaximum = std::numeric_limits<double>::max();

struct Field {
  int controlId = 0;
  int kind = 0;
  FieldVariable variable;
  std::string section;
  std::string key;     // empty: the field is not stored
  std::string format;  // kept with the record; load and save use the kind's format
  // Accepted interval of kinds 1, 2, 5 (and of a loaded kind 9 index). A
  // minimum above the maximum is allowed: the interval is [maximum, minimum].
  double minimum = kNoMinimum;
  double maximum = kNoMaximum;
  std::size_t length = 0;  // kind 7: bytes of the text, terminator included
  // What the built dialog shows: the label before an edit, the caption of a
  // check box, the caption of a radio group's frame.
  std::string label;
  // Kind 9: the captions of the buttons; their ids are controlId, controlId+1...
  std::vector<std::string> choices;
  std::string tooltip;
  int column = 0;  // layout column of the built dialog

  bool Stored() const { return !key.empty(); }
};

// Field records of each kind. Section and key may be empty (not stored).
Field SignedField(int controlId, FieldVariable variable, std::string section, std::string key,
                  double minimum, double maximum, std::string label);
Field UnsignedField(int controlId, FieldVariable variable, std::string section, std::string key,
                    double minimum, double maximum, std::string label);
Field FloatField(int controlId, FieldVariable variable, std::string section, std::string key,
                 double minimum, double maximum, std::string label);
Field TextField(int controlId, char* buffer, std::size_t length, std::string section,
                std::string key, std::string label);
Field TextField(int controlId, std::string* text, std::size_t length, std::string section,
                std::string key, std::string label);
Field CheckField(int controlId, FieldVariable variable, std::string section, std::string key,
                 std::string label);
Field RadioField(int controlId, FieldVariable variable, std::string section, std::string key,
                 std::vector<std::string> choices, std::string caption);

// Dependency rules: the action on the slaves for the master's state
// (unchecked, indeterminate, checked).
//   0 disable/disable/enable   1 enable/enable/disable   2 disable/-/enable
//   3 enable/-/disable         4 hide/-/show             5 show/-/hide
inline constexpr int kRuleEnableIfChecked = 0;
inline constexpr int kRuleDisableIfChecked = 1;
inline constexpr int kRuleEnableIfChecked2 = 2;
inline constexpr int kRuleDisableIfChecked2 = 3;
inline constexpr int kRuleShowIfChecked = 4;
inline constexpr int kRuleHideIfChecked = 5;

inline constexpr int kActionDisable = 0;
inline constexpr int kActionEnable = 1;
inline constexpr int kActionHide = 2;
inline constexpr int kActionShow = 3;
inline constexpr int kActionInvalid = -1;
// The action of a rule for a master state (0 unchecked, 1 checked,
// 2 indeterminate); kActionInvalid for "-" entries and unknown rules.
int DependencyAction(int rule, int masterState);

struct Dependency {
  int rule = 0;
  int master = 0;  // check box id; 0 = the record is skipped
  std::vector<int> slaves;
};

class SetupDialog;
// Sees every command (id, notification code) before the framework and
// returns true to consume it; called once with id 0 and code 0 when the
// dialog starts, after the controls are filled.
using SetupHook = std::function<bool(SetupDialog& dialog, int id, int code)>;
inline constexpr int kHookStart = 0;

struct FieldList {
  std::vector<Field> fields;
  SetupHook hook;
  std::vector<Dependency> dependencies;
  // Controls the owning module adds to the built dialog after the fields
  // (buttons that open a font or pen editor, description texts...); their
  // commands reach the hook.
  std::vector<platform::Control> extraControls;
  // Headings over the layout columns of the built dialog (column -> text).
  std::map<int, std::string> columnHeadings;
};

// Extra controls for a built dialog: a push button (its clicks reach the
// hook) and a static description text; any other platform::Control works too.
platform::Control ButtonControl(int id, std::string text, int column = 0);
platform::Control TextControl(int id, std::string text, int column = 0);

// The value of a field while a dialog, a load or a save is in progress.
struct EditValue {
  long long integer = 0;  // kinds 1, 2, 8, 9
  double real = 0;        // kind 5
  std::string text;       // kind 7
};

// Loads every stored field from the file, the variable's current value being
// the default (a missing key leaves the variable as it is), then sets the
// variables. A stored value outside the field's limits or its variable's type
// is ignored like a missing key. Returns the number of fields.
int LoadGroup(const FieldList& list, const std::string& fileName);
// Writes every stored field with its kind's format (one file replacement).
int SaveGroup(const FieldList& list, const std::string& fileName);
// Writes the given edit values (one per field) of the stored fields.
void WriteGroupValues(const FieldList& list, const std::vector<EditValue>& values,
                      const std::string& fileName);

// The registry entry of a field-list group; the list must outlive the
// registry (a static list of the owning module).
OptionGroup FieldListGroup(std::string name, const FieldList& list);

// The dialog model of a field list.
class SetupDialog : public platform::DialogModel {
 public:
  // Build: the dialog makes its own controls from the field list (labels,
  // edits, check boxes, radio buttons in a frame, the list's extra controls),
  // and at start the buttons "&OK", "&Cancel" and, when a field is stored,
  // "&Save" and "&Load". Caller: the caller adds every control itself.
  enum class Layout { Build, Caller };

  SetupDialog(int resourceId, std::string caption, FieldList& list,
              Layout layout = Layout::Build);

  FieldList& List() const { return list_; }
  const std::vector<EditValue>& EditValues() const { return values_; }
  // Index of the field shown by a control id, -1 when none.
  int FieldIndex(int controlId) const;

  // Copies the variables into the edit values.
  void CopyVariablesToValues();
  // Shows edit values in the controls (all fields, or only the stored ones).
  // False when a radio field's button is missing (after the message).
  bool FillControls(bool storedOnly = false);
  // Reads and validates every field into the edit values. On the first bad
  // field: beep (MB_ICONHAND), focus and whole-text selection, false.
  bool ReadFields();
  void ApplyDependencies();

 protected:
  void OnInit() override;
  void OnCommand(int id, int code) override;

 private:
  bool FillField(const Field& field, const EditValue& value);
  void AddStandardButtons();

  FieldList& list_;
  Layout layout_;
  std::vector<EditValue> values_;
};

// Runs the field list's dialog modally; 1 after OK, 0 after Cancel.
int RunSetupDialog(int resourceId, platform::WindowHandle owner, FieldList& list,
                   const std::string& caption);

// "%-G" with a decimal point whatever the C locale says.
std::string FormatFloatG(double value);

}  // namespace tsm::shell
