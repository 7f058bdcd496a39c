// The library's error-text table: rows of (status code, category, string
// id) ending with a row of category 0, and the string resources the ids
// name. Internal to libacqutil.
#pragma once

#include <cstdint>

namespace tsm::acqutil {

struct ErrorRow {
  std::int16_t code;
  std::int16_t category;  // 8 for every description row, 0 ends the table
  std::uint16_t stringId;
};

inline constexpr std::int16_t kErrorCategory = 8;

// The table, terminated by a row with category 0.
const ErrorRow* ErrorTable();

// The string id of the row with this code and category 8, or 0 when absent.
std::uint16_t FindErrorString(std::int16_t code);

// Copies string `id` into buffer[size] (truncated, terminated); returns the
// number of characters copied, 0 when the library has no such string.
int LoadLibraryString(std::uint16_t id, char* buffer, int size);

}  // namespace tsm::acqutil
