#include "shell/texttable.h"

#include <utility>

namespace tsm::shell {

InfoTable& InfoTable::Add(std::string label, std::string value) {
  rows.push_back(InfoRow{std::move(label), {std::move(value)}});
  return *this;
}

InfoTable& InfoTable::Add(std::string label, std::vector<std::string> values) {
  rows.push_back(InfoRow{std::move(label), std::move(values)});
  return *this;
}

const InfoRow* InfoTable::Find(const std::string& label) const {
  for (const InfoRow& row : rows)
    if (row.label == label) return &row;
  return nullptr;
}

const char* YesNo(bool value) { return value ? "Yes" : "No"; }

std::string InfoTableText(const InfoTable& table) {
  std::string text = table.title + "\r\n";
  for (const InfoRow& row : table.rows) {
    text += row.label;
    for (const std::string& v : row.values) text += "\t" + v;
    text += "\r\n";
  }
  return text;
}

}  // namespace tsm::shell
