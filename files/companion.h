// The companion file of a data file (same path, extension ".ini"): picture
// information, plot settings, the curve names and point counts, and the
// option groups stored with the data. Writing and reading of the keys; the
// save and load sequences around them are fileio's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "curves/curvefam.h"

namespace tsm::files {

inline constexpr const char* kPictureInfo = "Picture Info";
inline constexpr const char* kSetupSection = "Setup";
inline constexpr double kTsmVersion = 3.32;
// A companion file describes each curve with at least a line
// "NumberOfPointsInCurve%u=..." of this many bytes; a file claiming more
// curves than its size allows is not believed.
inline constexpr std::uint64_t kMinBytesPerCurve = 24;

// "7-Dec-2026": the day, month and year of the local date of the time.
std::string DateText(std::uint32_t secondsSince1970);

// Writes every key of the family into the (new) companion file, in the
// order earlier versions wrote them: the picture information, the plot's
// "Setup" flags, the curve count, each curve's point count and name, then
// every group whose write-with-data flag is set. One file replacement; false
// when the file could not be written.
bool WriteCompanion(const curves::CurveFamily& family, const std::string& fileName);

// Reads the picture information into the family (replacing a family).
// Comment lines that would make the comment longer than 511 characters are
// skipped; the first one skipped is reported as an internal error.
void ReadPictureInfo(curves::CurveFamily& family, const std::string& fileName);

// "NumberOfCurves" as stored (0 when missing).
std::uint32_t ReadCurveCount(const std::string& fileName);
// "NumberOfPointsInCurve%u" and "NameOfCurve%u" of curve i of the file.
std::uint32_t ReadPointCount(std::uint32_t i, const std::string& fileName);
std::string ReadCurveName(std::uint32_t i, const std::string& fileName);

}  // namespace tsm::files
