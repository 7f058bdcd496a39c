// The program's version and its two printed forms: the long one of the About
// box and the short one of the status bar's last part.
#pragma once

#include <string>

namespace tsm::shell {

inline constexpr int kVersionMajor = 3;
inline constexpr int kVersionMinor = 32;
inline constexpr const char* kVersionSuffix = "beta";
inline constexpr unsigned kVersionBuild = 122;
inline constexpr const char* kProgramName = "Tesmira";

// "Tesmira v 3.32 beta (build 122)"
std::string LongVersionText();
// "v3.32beta build 122"
std::string ShortVersionText();

}  // namespace tsm::shell
