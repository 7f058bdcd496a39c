// The program's string table: texts loaded by numeric id, as a resource file
// of a Windows program would hold them. Other resource tables (menus,
// accelerators) live beside it.
#pragma once

#include <string>

namespace tsm::resources {

// Copies string `id` into buffer[size] (truncated, terminated); returns the
// number of characters copied, 0 when the id does not exist.
int LoadString(unsigned id, char* buffer, int size);
// The whole string, or empty when the id does not exist.
std::string String(unsigned id);

}  // namespace tsm::resources
