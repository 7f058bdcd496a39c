#include "files/companion.h"

#include <sys/stat.h>

#include <ctime>

#include "channels/measurement_options.h"
#include "files/options.h"
#include "platform/profile.h"
#include "plot/view.h"
#include "shell/errors.h"
#include "shell/stringex.h"

namespace tsm::files {

using curves::CurveFamily;
using platform::GetPrivateProfileIntA;
using platform::GetPrivateProfileStringA;
using platform::WriteProfileFloat;
using platform::WriteProfileInt;
using shell::Format;

namespace {
constexpr const char* kSource = "fileio";
constexpr std::size_t kCommentLineSize = 512;
// The comment holds at most 511 characters, so at most 256 lines of it can
// come back: a bigger "CommentLines" is not believed.
constexpr unsigned kMaxCommentLines = 256;

// A value is one line of the file: line ends inside a text become blanks,
// or they would start lines of their own.
bool WriteText(const char* section, const char* key, const std::string& text,
               const std::string& file) {
  std::string value = text;
  for (char& c : value)
    if (c == '\r' || c == '\n') c = ' ';
  return platform::WritePrivateProfileStringA(section, key, value.c_str(), file.c_str());
}

std::string ReadText(const char* section, const std::string& key, std::size_t size,
                     const std::string& file) {
  return platform::ReadProfileString(section, key, "", file, size);
}

// The comment as lines: a line ends at a carriage return (a line feed right
// after it belongs to the line end) or at the end of the text.
std::vector<std::string> CommentLines(const char* comment) {
  std::vector<std::string> lines;
  std::string line;
  const char* p = comment;
  while (*p) {
    if (*p == '\r') {
      lines.push_back(line);
      line.clear();
      ++p;
      if (*p == '\n') ++p;
    } else {
      line += *p++;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

std::string DateText(std::uint32_t secondsSince1970) {
  static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::time_t t = static_cast<std::time_t>(secondsSince1970);
  std::tm local{};
  if (!::localtime_r(&t, &local)) return "1-Jan-1970";
  return Format("%d-%3s-%d", local.tm_mday, kMonths[local.tm_mon % 12], local.tm_year + 1900);
}

bool WriteCompanion(const CurveFamily& family, const std::string& fileName) {
  const char* file = fileName.c_str();
  bool ok = true;
  platform::ProfileBatch batch;
  // The file is new; a leftover of an interrupted save must not lend it keys.
  {
    std::vector<char> names(1 << 16);
    const unsigned long n = GetPrivateProfileStringA(nullptr, nullptr, "", names.data(),
                                                     names.size(), file);
    std::vector<std::string> sections;
    for (unsigned long i = 0; i < n;) {
      sections.emplace_back(names.data() + i);
      i += sections.back().size() + 1;
      if (sections.back().empty()) break;
    }
    for (const std::string& s : sections)
      if (!s.empty()) platform::WritePrivateProfileStringA(s.c_str(), nullptr, nullptr, file);
  }

  const char* pi = kPictureInfo;
  ok &= WriteProfileFloat(pi, "TSM_Version", kTsmVersion, "%.2f", file);
  ok &= WriteProfileInt(pi, "Date&TimeBin", family.DateTime(), "%lu", file);
  ok &= WriteProfileFloat(pi, "TimeSpent", family.TimeSpent(), "%.3f", file);
  ok &= WriteText(pi, "Date&Time", DateText(family.DateTime()), fileName);
  ok &= WriteText(pi, "GraphName", family.GraphName(), fileName);
  ok &= WriteText(pi, "Designer", family.Designer(), fileName);
  ok &= WriteText(pi, "ChipName", family.ChipName(), fileName);
  ok &= WriteText(pi, "CircuitName", family.CircuitName(), fileName);
  const std::vector<std::string> lines = CommentLines(family.Comment());
  for (std::size_t i = 0; i < lines.size(); ++i)
    ok &= WriteText(pi, Format("Comment%d", static_cast<int>(i)).c_str(), lines[i], fileName);
  ok &= WriteProfileInt(pi, "CommentLines", static_cast<long long>(lines.size()), "%u", file);
  ok &= WriteText(pi, "UnitX", family.UnitX(), fileName);
  ok &= WriteText(pi, "UnitY", family.UnitY(), fileName);

  const plot::PlotView& view = plot::GetPlotView();
  const channels::GeneralMeasurementOptions& general =
      channels::GetMeasurementOptions().general;
  const char* setup = kSetupSection;
  ok &= WriteProfileInt(setup, "ScaleAuto", view.autoScale ? 1 : 0, "%d", file);
  ok &= WriteProfileFloat(setup, "FixedViewScaleMinX", view.xMin, "%f", file);
  ok &= WriteProfileFloat(setup, "FixedViewScaleMaxX", view.xMax, "%f", file);
  ok &= WriteProfileFloat(setup, "FixedViewScaleMinY", view.yMin, "%f", file);
  ok &= WriteProfileFloat(setup, "FixedViewScaleMaxY", view.yMax, "%f", file);
  ok &= WriteProfileInt(setup, "SwapXY_Axes", general.swapXYAxes ? 1 : 0, "%d", file);
  ok &= WriteProfileInt(setup, "RescalePlotAfterMeasurement",
                        general.rescalePlotAfterMeasurement ? 1 : 0, "%d", file);

  ok &= WriteProfileInt(pi, "NumberOfCurves", family.Count(), "%u", file);
  for (std::uint32_t i = 0; i < family.Count(); ++i) {
    ok &= WriteProfileInt(pi, Format("NumberOfPointsInCurve%u", i).c_str(),
                          family.Curve(i).Count(), "%u", file);
    ok &= WriteText(pi, Format("NameOfCurve%u", i).c_str(), family.Curve(i).Name(), fileName);
  }

  SaveGroupsWithData(fileName);
  ok &= batch.Commit();
  // Inside a caller's batch nothing has reached the disk yet; the file must
  // be complete before it is renamed into place.
  struct stat st {};
  if (::stat(file, &st) != 0) {
    platform::ProfileCacheClear();
    ok &= ::stat(file, &st) == 0;
  }
  return ok;
}

void ReadPictureInfo(CurveFamily& family, const std::string& fileName) {
  const char* pi = kPictureInfo;
  const char* file = fileName.c_str();
  family.SetDateTime(static_cast<std::uint32_t>(platform::ReadProfileLong(pi, "Date&TimeBin", 0, file)));
  family.SetTimeSpent(static_cast<float>(platform::ReadProfileFloat(pi, "TimeSpent", -1.0, file)));
  family.SetGraphName(ReadText(pi, "GraphName", curves::kGraphNameSize, fileName).c_str());
  family.SetDesigner(ReadText(pi, "Designer", curves::kDesignerSize, fileName).c_str());
  family.SetChipName(ReadText(pi, "ChipName", curves::kChipNameSize, fileName).c_str());
  family.SetCircuitName(ReadText(pi, "CircuitName", curves::kCircuitNameSize, fileName).c_str());

  const unsigned lines = static_cast<unsigned>(GetPrivateProfileIntA(pi, "CommentLines", 0, file));
  if (lines > 0) {
    std::string comment;
    bool reported = false;
    const unsigned n = lines < kMaxCommentLines ? lines : kMaxCommentLines;
    for (unsigned i = 0; i < n; ++i) {
      const std::string line =
          ReadText(pi, Format("Comment%d", static_cast<int>(i)), kCommentLineSize, fileName);
      if (comment.size() + line.size() + 2 > curves::kCommentSize - 1) {
        if (!reported) shell::ReportInternalError(shell::kStringInternalError, __LINE__, kSource);
        reported = true;
        continue;
      }
      comment += line;
      comment += "\r\n";
    }
    family.SetComment(comment.c_str());
  } else {
    family.SetComment(ReadText(pi, "Comment", curves::kCommentSize, fileName).c_str());
  }
  family.SetUnitX(ReadText(pi, "UnitX", curves::kUnitSize, fileName).c_str());
  family.SetUnitY(ReadText(pi, "UnitY", curves::kUnitSize, fileName).c_str());
}

std::uint32_t ReadCurveCount(const std::string& fileName) {
  return static_cast<std::uint32_t>(
      GetPrivateProfileIntA(kPictureInfo, "NumberOfCurves", 0, fileName.c_str()));
}

std::uint32_t ReadPointCount(std::uint32_t i, const std::string& fileName) {
  return static_cast<std::uint32_t>(GetPrivateProfileIntA(
      kPictureInfo, Format("NumberOfPointsInCurve%u", i).c_str(), 0, fileName.c_str()));
}

std::string ReadCurveName(std::uint32_t i, const std::string& fileName) {
  return ReadText(kPictureInfo, Format("NameOfCurve%u", i), curves::kCurveNameSize, fileName);
}

}  // namespace tsm::files
