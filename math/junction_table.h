// The "Ic, Rn, Ie, Vc table" (command 110): the junction parameters of every
// marked curve in a dialog that copies and saves them as tab-separated text;
// afterwards the family becomes Ic+, |Ic-| and Ie against the curves'
// parameter, or, with "Rn.DrawLines", gets the fitted ohmic lines added.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "curves/curvefam.h"
#include "math/junction.h"
#include "platform/dialog.h"

namespace tsm::math {

struct JunctionRow {
  std::uint32_t index = 0;  // in the family
  std::string name;
  double parameter = 0.0;
  JunctionParameters values;
};

// The rows of the curves of at least 2 points (only the marked ones when
// markedOnly), in family order.
std::vector<JunctionRow> JunctionRows(const curves::CurveFamily& family,
                                      const JunctionOptions& options, bool markedOnly);

// The table as the dialog shows it: fixed-width columns, the values with
// their unit and prefix ("+1.560 mA"), "-" where a value could not be had.
std::string JunctionTableText(const std::vector<JunctionRow>& rows);
// The table as tab-separated text for the clipboard and files: a header
// with the units, the values as plain numbers ("%.7G"), empty fields where
// a value could not be had, CR LF line ends.
std::string JunctionTableTabText(const std::vector<JunctionRow>& rows);

// The family that replaces the analysed one: curves "Ic+", "|Ic-|" and "Ie"
// (values in A) against the curves' parameter, or against their family index
// when every row has the same parameter; a curve without any value is left
// out. The picture information is kept, units "" and "A".
bool JunctionResultFamily(const curves::CurveFamily& source, const std::vector<JunctionRow>& rows,
                          curves::CurveFamily& out);
// Appends the fitted ohmic lines (two points: I = 0 and the outermost I of
// the branch) as curves "<name> Rn+" and "<name> Rn-". False when memory ran
// out.
bool AddOhmicLines(curves::CurveFamily& family, const std::vector<JunctionRow>& rows);

inline constexpr int kJunctionTableDialogId = 3132;
inline constexpr const char* kJunctionTableCaption = "Ic, Rn, Ie, Vc table";
inline constexpr int kJunctionTableTextControl = 1380;
inline constexpr int kJunctionTableCopy = 1381;
inline constexpr int kJunctionTableSave = 1382;
inline constexpr const char* kJunctionNoCurvesText =
    "There is no curve of 2 points or more to analyse.";
inline constexpr const char* kJunctionNothingFoundText =
    "No curve gave a switching current or an excess current.\nThe family stays as it was.";
inline constexpr const char* kJunctionNoLinesText =
    "No curve has an ohmic branch to fit.\nNo line was added.";
inline constexpr const char* kTableSaveFailedText = "The table could not be saved to\n%s";
inline constexpr const char* kTableCopyFailedText = "The table could not be put on the clipboard.";

// A read-only text with "&Copy" and "Sa&ve..." beside "&OK" (and
// "&Cancel" when asked). Copy puts the tab text on the clipboard, Save asks
// for a file and writes it there (the old file stays intact when that fails).
class TextTableDialog : public platform::DialogModel {
 public:
  TextTableDialog(int resourceId, const std::string& caption, const std::string& shown,
                  std::string tabText, bool withCancel = true);

 protected:
  void OnCommand(int id, int code) override;

 private:
  std::string tabText_;
};

// Saves text through the save-file chooser ("Text files (*.txt)"); false
// when cancelled or failed (after telling the user).
bool SaveTextThroughChooser(platform::WindowHandle owner, const std::string& text,
                            const std::string& caption);

}  // namespace tsm::math
