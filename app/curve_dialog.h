// The curve management and properties dialog (168): the curves of the family
// with name, point count, parameter and style; rename, edit the parameter,
// delete, move up and down, make first or last, mark for the operations on
// selected curves, and the style dialog of a curve. Edits are made on a list
// of its own and reach the family only with OK, so Cancel leaves the family
// (and every style) as it was. The same dialog, without its editing
// controls, is the curve choice of "y as new x".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "curves/curvefam.h"
#include "platform/dialog.h"
#include "platform/ui.h"
#include "plot/curve_styles.h"

namespace tsm::app {

inline constexpr int kCmdCurveManagement = 159;
inline constexpr int kCmdCurveProperties = 222;
inline constexpr int kCmdMakeFirst = 227;  // the first selected curve becomes the first
inline constexpr int kCmdMakeLast = 228;
inline constexpr int kCurveDialogId = 168;
inline constexpr const char* kCurveManagementCaption = "Curve Management";
inline constexpr const char* kCurvePropertiesCaption = "Curve Properties";

inline constexpr int kCurveListControl = 1681;
inline constexpr int kCurveNameControl = 1682;
inline constexpr int kCurveParameterControl = 1683;
inline constexpr int kCurveApplyControl = 1684;
inline constexpr int kCurveMarkedControl = 1685;
inline constexpr int kCurveUpControl = 1686;
inline constexpr int kCurveDownControl = 1687;
inline constexpr int kCurveFirstControl = 1688;  // "Make &1st"
inline constexpr int kCurveLastControl = 1689;   // "Make &last"
inline constexpr int kCurveDeleteControl = 1690;
inline constexpr int kCurveStyleControl = 1691;
inline constexpr int kCurvePromptControl = 1692;

// List notifications (as the renderers send them).
inline constexpr int kListSelChange = 1;
inline constexpr int kListDoubleClick = 2;

class CurveDialog : public platform::DialogModel {
 public:
  enum class Mode {
    Manage,      // every control
    Choose,      // the list only; OK takes the highlighted curve
  };
  // `highlighted`: the curve shown first (none: the first curve).
  CurveDialog(const curves::CurveFamily& family, Mode mode, const std::string& caption,
              std::optional<std::uint32_t> highlighted = std::nullopt);

  // One line of the list: index, name, point count, parameter, style (its
  // colour as red, green, blue).
  static std::string ItemText(std::uint32_t position, const char* name, std::uint32_t points,
                              float parameter, bool marked, const plot::CurveStyle& style);

  // After OK: makes the family what the list says (order, deletions, names,
  // parameters, marks). True when its data changed (marks are no data).
  bool ApplyTo(curves::CurveFamily& family) const;
  // After OK in Choose mode: the curve chosen.
  std::uint32_t Chosen() const { return chosen_; }

 protected:
  void OnInit() override;
  void OnCommand(int id, int code) override;

 private:
  struct Entry {
    std::uint32_t source;  // index in the family the dialog started from
    std::string name;
    float parameter;
    bool marked;
    std::uint32_t points;
  };

  void Fill();
  void ShowEntry(int index);
  // Takes the name and parameter fields into the shown entry; false (after a
  // beep, the bad field focused) when the parameter is no number.
  bool CommitEdits();
  void Move(int to);
  void Highlight(int index);
  bool Original() const;

  const Mode mode_;
  std::vector<Entry> entries_;
  std::size_t originalCount_;
  int shown_ = -1;  // the entry whose values the fields hold
  std::optional<std::uint32_t> start_;
  std::uint32_t chosen_ = 0;
  plot::CurveStyles stylesBefore_;  // Cancel puts them back
};

// Runs the dialog on the current family and applies OK. Returns 1 after OK
// when the data changed, 2 after OK when only marks or styles did, 0 after
// Cancel. The caller has taken the undo copy.
int RunCurveDialog(platform::WindowHandle owner, std::optional<std::uint32_t> highlighted);
// The properties of one curve (the undo copy already taken: command 222 and
// a double click on the plot); redraws and marks the data unsaved as the
// dialog's result asks. False after Cancel or for a curve that is not there.
bool OpenCurveProperties(std::uint32_t curve);
// The curve choice of "y as new x"; nullopt when cancelled.
std::optional<std::uint32_t> ChooseCurveToUse(platform::WindowHandle owner,
                                              const curves::CurveFamily& family);

}  // namespace tsm::app
