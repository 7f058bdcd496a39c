#include "shell/setupdlg.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstring>

#include "platform/assert.h"
#include "platform/decimal.h"
#include "platform/dialog_buttons.h"
#include "platform/profile.h"
#include "shell/errors.h"
#include "shell/settings.h"
#include "shell/stringex.h"

namespace tsm::shell {

using namespace tsm::platform;

namespace {
constexpr const char* kSource = "setupdlg";
constexpr long long kIntegerTextLimit = 1'000'000'000'000'000'000LL;

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

bool IsFloatVariable(const FieldVariable& v) { return std::holds_alternative<float*>(v); }

// The values the variable's type can hold.
void TypeRange(const FieldVariable& v, double* lo, double* hi) {
  *lo = kNoMinimum;
  *hi = kNoMaximum;
  std::visit(Overloaded{
                 [&](int*) {
                   *lo = std::numeric_limits<int>::min();
                   *hi = std::numeric_limits<int>::max();
                 },
                 [&](unsigned*) {
                   *lo = 0;
                   *hi = std::numeric_limits<unsigned>::max();
                 },
                 [&](std::int16_t*) {
                   *lo = std::numeric_limits<std::int16_t>::min();
                   *hi = std::numeric_limits<std::int16_t>::max();
                 },
                 [&](std::uint16_t*) {
                   *lo = 0;
                   *hi = std::numeric_limits<std::uint16_t>::max();
                 },
                 [&](bool*) {
                   *lo = 0;
                   *hi = 1;
                 },
                 [&](float*) {
                   *lo = -std::numeric_limits<float>::max();
                   *hi = std::numeric_limits<float>::max();
                 },
                 [&](auto) {},
             },
             v);
}

// Whether a number is accepted by the field: inside its limits (either
// order) and representable by its variable.
bool Accepts(const Field& field, double value) {
  if (!std::isfinite(value)) return false;
  double typeLo, typeHi;
  TypeRange(field.variable, &typeLo, &typeHi);
  if (value < typeLo || value > typeHi) return false;
  const double lo = std::min(field.minimum, field.maximum);
  const double hi = std::max(field.minimum, field.maximum);
  if (IsFloatVariable(field.variable)) {
    // Compare as the variable will hold it, so a limit of 0.1 accepts "0.1".
    const float f = static_cast<float>(value);
    return f >= static_cast<float>(lo) && f <= static_cast<float>(hi);
  }
  return value >= lo && value <= hi;
}

EditValue ValueOf(const Field& field) {
  EditValue out;
  std::visit(Overloaded{
                 [](std::monostate) {},
                 [&](char* p) {
                   if (p && field.length) out.text.assign(p, strnlen(p, field.length - 1));
                 },
                 [&](std::string* s) {
                   if (s) out.text = *s;
                 },
                 [&](float* p) {
                   if (p) out.real = *p;
                 },
                 [&](double* p) {
                   if (p) out.real = *p;
                 },
                 [&](auto* p) {
                   if (!p) return;
                   out.integer = static_cast<long long>(*p);
                   out.real = static_cast<double>(*p);
                 },
             },
             field.variable);
  return out;
}

void StoreValue(const Field& field, const EditValue& value) {
  const bool real = field.kind == kFieldFloat;
  const double number = real ? value.real : static_cast<double>(value.integer);
  std::visit(Overloaded{
                 [](std::monostate) {},
                 [&](char* p) {
                   if (p && TSM_ASSERT(field.length > 0, kSource))
                     BoundedCopy(p, value.text.c_str(), field.length);
                 },
                 [&](std::string* s) {
                   if (s && TSM_ASSERT(field.length > 0, kSource))
                     BoundedAssign(*s, value.text, field.length);
                 },
                 [&](bool* p) {
                   if (p) *p = number != 0;
                 },
                 [&](float* p) {
                   if (p) *p = static_cast<float>(number);
                 },
                 [&](double* p) {
                   if (p) *p = number;
                 },
                 [&](auto* p) {
                   using T = std::remove_pointer_t<decltype(p)>;
                   if (p) *p = real ? static_cast<T>(number) : static_cast<T>(value.integer);
                 },
             },
             field.variable);
}

// A whole text as a decimal integer: blanks around it, a minus sign only for
// signed fields, nothing else.
bool ParseInteger(const std::string& text, bool allowSign, long long* out) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (allowSign && i < text.size() && text[i] == '-') {
    negative = true;
    ++i;
  }
  const std::size_t digitsStart = i;
  long long v = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    v = v * 10 + (text[i] - '0');
    if (v > kIntegerTextLimit) return false;
    ++i;
  }
  if (i == digitsStart) return false;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i != text.size()) return false;
  *out = negative ? -v : v;
  return true;
}

bool ParseReal(const std::string& text, double* out) {
  bool overflow = false;
  double v = 0;
  if (ReadDecimal(text.c_str(), &v, &overflow) == 0 || overflow) return false;
  *out = v;
  return true;
}

const char* KindFormat(int kind) {
  switch (kind) {
    case kFieldSigned: return "%d";
    case kFieldUnsigned:
    case kFieldCheck:
    case kFieldRadio: return "%u";
    case kFieldFloat: return "%-G";
    default: return "%s";
  }
}

// Reads a stored field with the edit value as default; false when the stored
// value is not one the field accepts (the default then stays).
bool ReadStoredField(const Field& field, EditValue* value, const std::string& fileName) {
  const char* section = field.section.c_str();
  const char* key = field.key.c_str();
  const char* file = fileName.c_str();
  switch (field.kind) {
    case kFieldSigned: {
      const int v = GetPrivateProfileIntA(section, key, static_cast<int>(value->integer), file);
      if (!Accepts(field, v)) return false;
      value->integer = v;
      return true;
    }
    case kFieldUnsigned:
    case kFieldCheck:
    case kFieldRadio: {
      const unsigned v = static_cast<unsigned>(GetPrivateProfileIntA(
          section, key, static_cast<int>(static_cast<unsigned>(value->integer)), file));
      if (field.kind == kFieldCheck) {
        if (v > 2) return false;
      } else if (!Accepts(field, v)) {
        return false;
      }
      value->integer = v;
      return true;
    }
    case kFieldFloat: {
      const double v = ReadProfileFloat(section, key, value->real, file);
      if (!Accepts(field, v)) return false;
      value->real = v;
      return true;
    }
    case kFieldText: {
      if (!TSM_ASSERT(field.length > 0, kSource)) return false;
      std::string buffer(field.length, '\0');
      const unsigned long n = GetPrivateProfileStringA(section, key, value->text.c_str(),
                                                       buffer.data(), field.length, file);
      buffer.resize(n);
      value->text = buffer;
      return true;
    }
    default:
      TSM_ASSERT(!"unknown field kind", kSource);
      return false;
  }
}

void WriteStoredField(const Field& field, const EditValue& value, const std::string& fileName) {
  const char* section = field.section.c_str();
  const char* key = field.key.c_str();
  const char* file = fileName.c_str();
  switch (field.kind) {
    case kFieldSigned:
      WriteProfileInt(section, key, value.integer, KindFormat(field.kind), file);
      break;
    case kFieldUnsigned:
    case kFieldCheck:
    case kFieldRadio:
      WriteProfileInt(section, key, static_cast<unsigned>(value.integer), KindFormat(field.kind),
                      file);
      break;
    case kFieldFloat:
      WriteProfileFloat(section, key, value.real, KindFormat(field.kind), file);
      break;
    case kFieldText:
      WritePrivateProfileStringA(section, key, value.text.c_str(), file);
      break;
    default:
      TSM_ASSERT(!"unknown field kind", kSource);
  }
}

Field MakeField(int id, int kind, FieldVariable variable, std::string section, std::string key,
                std::string label) {
  Field f;
  f.controlId = id;
  f.kind = kind;
  f.variable = variable;
  f.section = std::move(section);
  f.key = std::move(key);
  f.format = KindFormat(kind);
  f.label = std::move(label);
  return f;
}

// A number field limited to [minimum, maximum].
Field RangedField(int id, int kind, FieldVariable variable, std::string section, std::string key,
                  double minimum, double maximum, std::string label) {
  Field f = MakeField(id, kind, variable, std::move(section), std::move(key), std::move(label));
  f.minimum = minimum;
  f.maximum = maximum;
  return f;
}
}  // namespace

// --- field records ---------------------------------------------------------

Field SignedField(int controlId, FieldVariable variable, std::string section, std::string key,
                  double minimum, double maximum, std::string label) {
  return RangedField(controlId, kFieldSigned, variable, std::move(section), std::move(key),
                     minimum, maximum, std::move(label));
}

Field UnsignedField(int controlId, FieldVariable variable, std::string section, std::string key,
                    double minimum, double maximum, std::string label) {
  return RangedField(controlId, kFieldUnsigned, variable, std::move(section), std::move(key),
                     minimum, maximum, std::move(label));
}

Field FloatField(int controlId, FieldVariable variable, std::string section, std::string key,
                 double minimum, double maximum, std::string label) {
  Field f = RangedField(controlId, kFieldFloat, variable, std::move(section), std::move(key),
                        minimum, maximum, std::move(label));
  f.format = "%G";
  return f;
}

Field TextField(int controlId, char* buffer, std::size_t length, std::string section,
                std::string key, std::string label) {
  Field f = MakeField(controlId, kFieldText, buffer, std::move(section), std::move(key),
                      std::move(label));
  f.length = length;
  return f;
}

Field TextField(int controlId, std::string* text, std::size_t length, std::string section,
                std::string key, std::string label) {
  Field f = MakeField(controlId, kFieldText, text, std::move(section), std::move(key),
                      std::move(label));
  f.length = length;
  return f;
}

Field CheckField(int controlId, FieldVariable variable, std::string section, std::string key,
                 std::string label) {
  Field f = MakeField(controlId, kFieldCheck, variable, std::move(section), std::move(key),
                      std::move(label));
  f.minimum = 0;
  f.maximum = 2;
  return f;
}

Field RadioField(int controlId, FieldVariable variable, std::string section, std::string key,
                 std::vector<std::string> choices, std::string caption) {
  Field f = MakeField(controlId, kFieldRadio, variable, std::move(section), std::move(key),
                      std::move(caption));
  f.minimum = 0;
  f.maximum = choices.empty() ? 0 : static_cast<double>(choices.size() - 1);
  f.choices = std::move(choices);
  return f;
}

Control ButtonControl(int id, std::string text, int column) {
  Control c = PushButton(id, std::move(text));
  c.column = column;
  return c;
}

Control TextControl(int id, std::string text, int column) {
  Control c;
  c.id = id;
  c.kind = ControlKind::Static;
  c.text = std::move(text);
  c.column = column;
  return c;
}

// --- dependencies ----------------------------------------------------------

int DependencyAction(int rule, int masterState) {
  // Columns: unchecked, indeterminate, checked.
  static constexpr int kTable[6][3] = {
      {kActionDisable, kActionDisable, kActionEnable},
      {kActionEnable, kActionEnable, kActionDisable},
      {kActionDisable, kActionInvalid, kActionEnable},
      {kActionEnable, kActionInvalid, kActionDisable},
      {kActionHide, kActionInvalid, kActionShow},
      {kActionShow, kActionInvalid, kActionHide},
  };
  if (rule < 0 || rule > 5) return kActionInvalid;
  switch (masterState) {
    case 0: return kTable[rule][0];
    case 2: return kTable[rule][1];
    case 1: return kTable[rule][2];
    default: return kActionInvalid;
  }
}

// --- group load and save ---------------------------------------------------

int LoadGroup(const FieldList& list, const std::string& fileName) {
  std::vector<EditValue> values;
  values.reserve(list.fields.size());
  for (const Field& f : list.fields) {
    EditValue v = ValueOf(f);
    if (f.Stored()) ReadStoredField(f, &v, fileName);
    values.push_back(std::move(v));
  }
  for (std::size_t i = 0; i < list.fields.size(); ++i) StoreValue(list.fields[i], values[i]);
  return static_cast<int>(list.fields.size());
}

void WriteGroupValues(const FieldList& list, const std::vector<EditValue>& values,
                      const std::string& fileName) {
  if (!TSM_ASSERT(values.size() == list.fields.size(), kSource)) return;
  ProfileBatch batch;
  for (std::size_t i = 0; i < list.fields.size(); ++i)
    if (list.fields[i].Stored()) WriteStoredField(list.fields[i], values[i], fileName);
}

int SaveGroup(const FieldList& list, const std::string& fileName) {
  std::vector<EditValue> values;
  values.reserve(list.fields.size());
  for (const Field& f : list.fields) values.push_back(ValueOf(f));
  WriteGroupValues(list, values, fileName);
  return static_cast<int>(list.fields.size());
}

OptionGroup FieldListGroup(std::string name, const FieldList& list) {
  const FieldList* p = &list;
  return OptionGroup{std::move(name),
                     [p](const std::string& file) {
                       LoadGroup(*p, file);
                       return 1;
                     },
                     [p](const std::string& file) {
                       SaveGroup(*p, file);
                       return 1;
                     }};
}

std::string FormatFloatG(double value) {
  std::string text = Format("%-G", value);
  const char* point = std::localeconv()->decimal_point;
  if (point && point[0] && point[0] != '.' && !point[1]) ReplaceChar(text, point[0], '.');
  return text;
}

// --- the dialog model ------------------------------------------------------

SetupDialog::SetupDialog(int resourceId, std::string caption, FieldList& list, Layout layout)
    : DialogModel(resourceId, std::move(caption)), list_(list), layout_(layout) {
  if (layout_ != Layout::Build) return;
  for (const Field& f : list_.fields) {
    Control c;
    c.id = f.controlId;
    c.label = f.label;
    c.tooltip = f.tooltip;
    c.column = f.column;
    switch (f.kind) {
      case kFieldSigned:
      case kFieldUnsigned:
      case kFieldFloat:
        c.kind = ControlKind::Edit;
        AddControl(c);
        break;
      case kFieldText:
        c.kind = ControlKind::Edit;
        c.textLimit = f.length > 0 ? static_cast<int>(f.length - 1) : 0;
        AddControl(c);
        break;
      case kFieldCheck:
        c.kind = ControlKind::CheckBox;
        c.text = f.label;
        c.label.clear();
        AddControl(c);
        break;
      case kFieldRadio: {
        if (f.choices.empty()) break;
        Control frame;
        frame.id = -1;
        frame.kind = ControlKind::GroupBox;
        frame.text = f.label;
        frame.column = f.column;
        frame.frameCount = static_cast<int>(f.choices.size());
        AddControl(frame);
        for (std::size_t k = 0; k < f.choices.size(); ++k) {
          Control b;
          b.id = f.controlId + static_cast<int>(k);
          b.kind = ControlKind::RadioButton;
          b.text = f.choices[k];
          b.groupStart = k == 0;
          b.tooltip = f.tooltip;
          b.column = f.column;
          AddControl(b);
        }
        break;
      }
      default:
        TSM_ASSERT(!"unknown field kind", kSource);
    }
  }
  for (const Control& c : list_.extraControls) AddControl(c);
  for (const auto& [column, heading] : list_.columnHeadings) SetColumnHeading(column, heading);
}

int SetupDialog::FieldIndex(int controlId) const {
  for (std::size_t i = 0; i < list_.fields.size(); ++i)
    if (list_.fields[i].controlId == controlId) return static_cast<int>(i);
  return -1;
}

void SetupDialog::AddStandardButtons() {
  auto button = [this](int id, const char* text, bool isDefault) {
    if (HasControl(id)) return;
    AddControl(PushButton(id, text, isDefault));
  };
  button(IDOK, "&OK", true);
  button(IDCANCEL, "&Cancel", false);
  const bool stored = std::any_of(list_.fields.begin(), list_.fields.end(),
                                  [](const Field& f) { return f.Stored(); });
  if (stored) {
    button(kSetupSave, "&Save", false);
    button(kSetupLoad, "&Load", false);
  }
}

void SetupDialog::CopyVariablesToValues() {
  values_.clear();
  values_.reserve(list_.fields.size());
  for (const Field& f : list_.fields) values_.push_back(ValueOf(f));
}

bool SetupDialog::FillField(const Field& field, const EditValue& value) {
  switch (field.kind) {
    case kFieldSigned:
    case kFieldUnsigned:
      SetText(field.controlId, std::to_string(value.integer));
      return true;
    case kFieldFloat:
      SetText(field.controlId, FormatFloatG(value.real));
      return true;
    case kFieldText:
      SetText(field.controlId, value.text);
      return true;
    case kFieldCheck:
      SetCheck(field.controlId, static_cast<int>(value.integer));
      return true;
    case kFieldRadio: {
      std::vector<int> group = RadioGroupOf(field.controlId);
      if (group.empty()) {
        ShowMessage(MainWindow(), kMissingRadioText, kMissingRadioCaption, MB_OK | MB_ICONHAND);
        return false;
      }
      // The group counts from the field's own button on.
      group.erase(group.begin(), std::find(group.begin(), group.end(), field.controlId));
      for (std::size_t k = 0; k < group.size(); ++k)
        SetCheck(group[k], static_cast<long long>(k) == value.integer ? 1 : 0);
      return true;
    }
    default:
      return true;
  }
}

bool SetupDialog::FillControls(bool storedOnly) {
  if (values_.size() != list_.fields.size()) CopyVariablesToValues();
  for (std::size_t i = 0; i < list_.fields.size(); ++i) {
    const Field& f = list_.fields[i];
    if (storedOnly && !f.Stored()) continue;
    if (!FillField(f, values_[i])) return false;
  }
  return true;
}

bool SetupDialog::ReadFields() {
  std::vector<EditValue> read;
  read.reserve(list_.fields.size());
  for (const Field& f : list_.fields) {
    EditValue v = ValueOf(f);
    const std::optional<Control> c = GetControl(f.controlId);
    // A missing, static or disabled control keeps its variable's value.
    if (!c || c->kind == ControlKind::Static || !c->enabled) {
      read.push_back(std::move(v));
      continue;
    }
    bool ok = true;
    switch (f.kind) {
      case kFieldSigned:
      case kFieldUnsigned: {
        long long n = 0;
        ok = ParseInteger(c->text, f.kind == kFieldSigned, &n) &&
             Accepts(f, static_cast<double>(n));
        if (ok) v.integer = n;
        break;
      }
      case kFieldFloat: {
        double x = 0;
        ok = ParseReal(c->text, &x) && Accepts(f, x);
        if (ok) v.real = IsFloatVariable(f.variable) ? static_cast<float>(x) : x;
        break;
      }
      case kFieldText:
        v.text = c->text;
        if (f.length > 0 && v.text.size() > f.length - 1) v.text.resize(f.length - 1);
        break;
      case kFieldCheck:
        v.integer = c->check;
        break;
      case kFieldRadio: {
        std::vector<int> group = RadioGroupOf(f.controlId);
        group.erase(group.begin(), std::find(group.begin(), group.end(), f.controlId));
        std::size_t k = 0;
        while (k < group.size() && GetCheck(group[k]) != 1) ++k;
        v.integer = static_cast<long long>(k);
        break;
      }
      default:
        break;
    }
    if (!ok) {
      GetUi().MessageBeep(MB_ICONHAND);
      SetFocus(f.controlId);
      SelectText(f.controlId, 0, -1);
      return false;
    }
    read.push_back(std::move(v));
  }
  values_ = std::move(read);
  return true;
}

void SetupDialog::ApplyDependencies() {
  for (const Dependency& d : list_.dependencies) {
    if (d.master == 0) continue;
    const int state = GetCheck(d.master);
    if (state < 0 || state > 2) {
      TSM_ASSERT(!"ProcessMasterSlaveDependences() -- unknown master-control state", kSource);
      continue;
    }
    const int action = DependencyAction(d.rule, state);
    for (int slave : d.slaves) {
      switch (action) {
        case kActionDisable: Enable(slave, false); break;
        case kActionEnable: Enable(slave, true); break;
        case kActionHide: Show(slave, false); break;
        case kActionShow: Show(slave, true); break;
        default:
          TSM_ASSERT(!"ProcessMasterSlaveDependences() -- unknown action", kSource);
          break;
      }
      if (action == kActionInvalid) break;  // one report per record
    }
  }
}

void SetupDialog::OnInit() {
  if (layout_ == Layout::Build) AddStandardButtons();
  CopyVariablesToValues();
  if (!FillControls()) {
    End(0);
    return;
  }
  if (list_.hook) list_.hook(*this, kHookStart, 0);
  if (Ended()) return;
  ApplyDependencies();
}

void SetupDialog::OnCommand(int id, int code) {
  const bool consumed = list_.hook && list_.hook(*this, id, code);
  if (!consumed && !Ended()) {
    switch (id) {
      case IDOK:
        if (ReadFields()) {
          for (std::size_t i = 0; i < list_.fields.size(); ++i)
            StoreValue(list_.fields[i], values_[i]);
          End(1);
        }
        break;
      case IDCANCEL:
        End(0);
        break;
      case kSetupSave:
        if (ReadFields()) WriteGroupValues(list_, values_, SettingsFileName());
        break;
      case kSetupLoad: {
        const std::string file = SettingsFileName();
        for (std::size_t i = 0; i < list_.fields.size(); ++i) {
          const Field& f = list_.fields[i];
          if (!f.Stored()) continue;
          values_[i] = ValueOf(f);
          ReadStoredField(f, &values_[i], file);
        }
        FillControls(true);
        break;
      }
      default:
        break;
    }
  }
  if (code == 0 && !Ended()) ApplyDependencies();
}

int RunSetupDialog(int resourceId, WindowHandle owner, FieldList& list,
                   const std::string& caption) {
  SetupDialog dialog(resourceId, caption, list);
  return GetUi().RunModal(dialog, owner) == 1 ? 1 : 0;
}

}  // namespace tsm::shell
