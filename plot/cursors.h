// The Cursors tool window (command 132, dialog 127) as a model: cursor 1 is
// the pointer over the plot, cursor 2 the data point nearest to it (both in
// pixels), and a list gives, for every curve with a point in the view, the
// number of its point nearest to the pointer; the chosen entry's values are
// shown with their units. The front end shows it modelessly, feeds it the
// pointer moves and calls Refresh on the plot-changed notification.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog.h"

namespace tsm::plot {

inline constexpr int kCmdCursors = 132;
inline constexpr int kCursorsDialogId = 127;
inline constexpr int kCursorPointerText = 1501;  // "Cursor 1:(x,y)"
inline constexpr int kCursorPointText = 1502;    // "Cursor 2:(x,y)"
inline constexpr int kCursorCurveList = 1503;    // "%03u (%4u)" per curve
inline constexpr int kCursorValueText = 1504;    // X and Y of the chosen entry
inline constexpr const char* kCursorFormat = "Cursor %-u:(%u,%u)";
inline constexpr const char* kCursorEntryFormat = "%03u (%4u)";
inline constexpr const char* kCursorsCaption = "Cursors";
// The list's notification of a changed selection (the Qt renderer's code).
inline constexpr int kCursorListSelChange = 1;

class CursorsModel : public platform::DialogModel {
 public:
  CursorsModel();

  // The pointer moved to (x, y) over the plot.
  void Update(int x, int y);
  // The family or the view changed: the same pointer, new points.
  void Refresh();

  struct Entry {
    std::uint32_t curve;
    std::uint32_t point;
  };
  const std::vector<Entry>& Entries() const { return entries_; }

 protected:
  void OnInit() override;
  void OnCommand(int id, int code) override;

 private:
  void ShowValues();

  int x_ = 0, y_ = 0;
  std::vector<Entry> entries_;
};

}  // namespace tsm::plot
