// Summaries of option groups as small "info tables": a title and rows of a
// label with one or more value texts. The option Parts fill them, the print
// and information views lay them out; nothing here knows a toolkit.
#pragma once

#include <string>
#include <vector>

namespace tsm::shell {

struct InfoRow {
  std::string label;
  std::vector<std::string> values;  // one per column (side-by-side groups)
};

struct InfoTable {
  std::string title;
  std::vector<InfoRow> rows;

  InfoTable& Add(std::string label, std::string value);
  InfoTable& Add(std::string label, std::vector<std::string> values);
  // The row of a label, or nullptr.
  const InfoRow* Find(const std::string& label) const;
};

// "Yes" / "No" for the yes/no rows of the summaries.
const char* YesNo(bool value);

// Plain text of a table: the title on its own line, then one line per row
// with the label and the values separated by tabs (CR LF line ends, as the
// program's text files have).
std::string InfoTableText(const InfoTable& table);

}  // namespace tsm::shell
