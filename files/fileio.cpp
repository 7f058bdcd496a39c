#include "files/fileio.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <utility>
#include <vector>

#include "channels/measurement_options.h"
#include "curves/state.h"
#include "curves/undo.h"
#include "daq/timing.h"
#include "files/columns.h"
#include "files/companion.h"
#include "files/curve_order.h"
#include "files/dxb.h"
#include "files/options.h"
#include "files/pathnames.h"
#include "files/pieces.h"
#include "files/replace.h"
#include "files/state.h"
#include "platform/file_access.h"
#include "platform/profile.h"
#include "platform/ui.h"
#include "plot/view.h"
#include "shell/errors.h"
#include "shell/phyunits.h"
#include "shell/settings.h"
#include "shell/stringex.h"

namespace tsm::files {

using curves::CurveFamily;
using platform::MB_ICONHAND;
using platform::MB_ICONQUESTION;
using platform::MB_OK;
using platform::MB_YESNO;
using shell::Format;

namespace {

// Paths on this system may be longer than the 260 bytes the file-name
// field keeps; the companion file name must not be cut.
constexpr std::size_t kPathLimit = 4096;

bool EqualsNoCase(const std::string& a, const char* b) { return ::strcasecmp(a.c_str(), b) == 0; }

void Tell(const std::string& text, const char* caption) {
  shell::ShowMessage(shell::MainWindow(), text, caption, MB_OK | MB_ICONHAND);
}

void ShowTimes(std::uint32_t iniMs, std::uint32_t datMs) {
  platform::GetUi().SetStatusText(0, Format(kTimeSpentFormat, iniMs / 1000.0, datMs / 1000.0));
}

struct CloseOnExit {
  int fd;
  ~CloseOnExit() { ::close(fd); }
};

std::uint64_t FileSize(const std::string& path) {
  struct stat st {};
  return platform::StatPath(path, &st) ? static_cast<std::uint64_t>(st.st_size) : 0;
}

// Reads the data file into the current family. Results as LoadDataFile.
int ReadDataFile(const std::string& path, bool add) {
  const DataFileOptions& options = GetDataFileOptions();
  if (options.showOptionsOnLoad) RunDataFileDialog();

  daq::Stopwatch watch;
  std::uint32_t iniMs = 0, datMs = 0;
  const std::string companion = CompanionFileName(path);
  const char* ini = companion.c_str();
  // A save of this pair that was cut short is finished or undone first: the
  // data are never read with the companion of another save.
  if (!RecoverPair(path, companion)) {
    Tell(kCantOpenDataText, kCantOpenDataCaption);
    return kDataFileError;
  }
  bool raw = false;
  if (platform::ReadProfileFloat(kPictureInfo, "TSM_Version", 0.0, ini) == 0.0) {
    iniMs += watch.Elapsed();
    if (shell::ShowMessage(shell::MainWindow(), Format(kMissingCompanionText, ini),
                           kMissingCompanionCaption, MB_YESNO | MB_ICONQUESTION) != platform::IDYES)
      return kBadExtension;
    raw = true;
    watch.Restart();
  }

  std::uint64_t fileSize = 0;
  // A FIFO is refused before it could block the open, a device that would
  // never end as well.
  const int fd = platform::OpenRegularFile(path, nullptr, &fileSize);
  if (fd < 0) {
    Tell(kCantOpenDataText, kCantOpenDataCaption);
    return kDataFileError;
  }
  const CloseOnExit closer{fd};
  TextPieces pieces(fd);
  datMs += watch.Elapsed();
  watch.Restart();

  CurveFamily& family = curves::CurrentFamily();
  if (!add) family.Clear();
  const std::uint32_t first = family.Count();

  Scale scale;
  if (add || raw) {
    std::string unitX = platform::ReadProfileString(kPictureInfo, "UnitX", "", companion,
                                                    curves::kUnitSize);
    std::string unitY = platform::ReadProfileString(kPictureInfo, "UnitY", "", companion,
                                                    curves::kUnitSize);
    scale.x = shell::UnitMultiplier(unitX);
    scale.y = shell::UnitMultiplier(unitY);
  } else {
    ReadPictureInfo(family, companion);
    std::string unitX = family.UnitX(), unitY = family.UnitY();
    scale.x = shell::UnitMultiplier(unitX);
    scale.y = shell::UnitMultiplier(unitY);
    family.SetUnits(unitX.c_str(), unitY.c_str());
    plot::ResetPlotView();
    channels::GeneralMeasurementOptions& general = channels::GetMeasurementOptions().general;
    general.swapXYAxes =
        platform::GetPrivateProfileIntA(kSetupSection, "SwapXY_Axes", general.swapXYAxes, ini) != 0;
    general.rescalePlotAfterMeasurement =
        platform::GetPrivateProfileIntA(kSetupSection, "RescalePlotAfterMeasurement",
                                        general.rescalePlotAfterMeasurement, ini) != 0;
    LoadGroupsWithData(companion);
  }

  ReadStatus status = ReadStatus::Ok;
  if (!raw) {
    const std::uint32_t claimed = ReadCurveCount(companion);
    if (claimed > FileSize(companion) / kMinBytesPerCurve) {
      status = ReadStatus::EndOfFile;
    } else if (!family.SetCount(first + claimed)) {
      status = ReadStatus::OutOfMemory;
    } else {
      // Every point takes at least two characters of the data file, so
      // reserving more than that would only follow the companion's word.
      std::uint64_t room = fileSize / 2;
      std::vector<std::uint32_t> counts(claimed);
      for (std::uint32_t i = 0; i < claimed; ++i) {
        counts[i] = ReadPointCount(i, companion);
        curves::Curve& c = family.Curve(first + i);
        c.SetName(ReadCurveName(i, companion).c_str());
        const std::uint64_t reserve = std::min<std::uint64_t>(counts[i], room);
        room -= reserve;
        if (reserve) c.Reserve(static_cast<std::uint32_t>(reserve));
      }
      iniMs += watch.Elapsed();
      watch.Restart();
      platform::BusyCursor busy;
      ColumnReader reader(family, first, std::move(counts), scale);
      status = ReadPieces(pieces, reader);
    }
  } else if (!pieces.Fill()) {
    status = ReadStatus::OutOfMemory;
  } else {
    // The first line lies in the first piece (a piece is longer than the
    // part of it that is looked at).
    const unsigned numbers = CountNumbersInFirstLine(pieces.begin(), pieces.end());
    if (!family.SetCount(first + numbers / 2)) {
      status = ReadStatus::OutOfMemory;
    } else if (numbers > 1) {
      platform::BusyCursor busy;
      RawReader reader(family, first, numbers / 2, scale);
      status = ReadPieces(pieces, reader);
    }
  }
  datMs += watch.Elapsed();
  if (status == ReadStatus::EndOfFile) {
    Tell(kReadErrorText, kErrorCaption);
    return kCompanionError;
  }
  if (status == ReadStatus::OutOfMemory) {
    Tell(curves::kOutOfMemoryText, curves::kOutOfMemoryCaption);
    return kCompanionError;
  }
  ShowTimes(iniMs, datMs);
  return kFileOk;
}

}  // namespace

bool IsDataFileExtension(const std::string& extension) {
  for (const char* e : {"dat", "TesmiraData", "tq", "TQD", "prn"})
    if (EqualsNoCase(extension, e)) return true;
  return false;
}

std::string CompanionFileName(const std::string& dataFile) {
  std::string companion = dataFile;
  ReplaceExtension(companion, ".ini", kPathLimit);
  return companion;
}

int SaveDataFile(const std::string& path) {
  const std::string extension = ExtensionPart(path);
  if (!EqualsNoCase(extension, "dat")) {
    Tell(Format(kUnknownSaveExtensionText, extension.c_str()), kErrorCaption);
    return kBadExtension;
  }
  const DataFileOptions& options = GetDataFileOptions();
  if (options.showOptionsOnSave) RunDataFileDialog();

  const std::string companion = CompanionFileName(path);
  if (IsReadOnlyFile(companion)) {
    Tell(kReadOnlyCompanionText, kReadOnlyCompanionCaption);
    return kCompanionError;
  }
  if (IsReadOnlyFile(path)) {
    Tell(kCantCreateDataText, kTesmiraCaption);
    return kDataFileError;
  }

  daq::Stopwatch watch;
  CurveFamily& family = curves::CurrentFamily();
  if (options.sort) SortByPointCount(family);

  // An earlier save of this name that was cut short is finished or undone
  // first, and what crashed saves left beside the pair is removed.
  PairReplacement pair(path, companion);
  if (!pair.Ok() || !pair.Recover(true)) {
    Tell(kCantCreateDataText, kTesmiraCaption);
    return kDataFileError;
  }

  // The new companion file is complete before the data are written.
  const std::string newCompanion = pair.StartCompanion();
  const bool companionOk = WriteCompanion(family, newCompanion);
  platform::ProfileCacheForget(newCompanion);
  const std::uint32_t iniMs = watch.Elapsed();
  if (!companionOk) {
    Tell(Format(kCompanionWriteFailedText, companion.c_str()), kTesmiraCaption);
    return kCompanionError;
  }
  if (!pair.CreateData()) {
    Tell(kCantCreateDataText, kTesmiraCaption);
    return kDataFileError;
  }

  watch.Restart();
  RowLayout layout;
  layout.width = static_cast<int>(ColumnWidth(options));
  layout.delimiter = DelimiterChar(options.delimiterId);
  layout.sorted = options.sort;
  bool written;
  {
    platform::BusyCursor busy;
    written = WriteRows(family, layout,
                        [&](const char* piece, std::size_t n) { return pair.Write(piece, n); });
    written = pair.CloseData() && written;
  }
  if (!written) {
    Tell(Format(kDataWriteFailedText, path.c_str()), kTesmiraCaption);
    return kDataFileError;
  }
  if (!pair.Commit()) {
    Tell(Format(kReplaceFailedText, path.c_str()), kTesmiraCaption);
    return kDataFileError;
  }
  ShowTimes(iniMs, watch.Elapsed());
  SetCurrentFile(path);
  shell::SetDataSaved(true);
  return kFileOk;
}

int LoadDataFile(const std::string& path, bool add) {
  const std::string extension = ExtensionPart(path);
  int result;
  if (IsDataFileExtension(extension)) {
    result = ReadDataFile(path, add);
  } else if (EqualsNoCase(extension, "dxb")) {
    result = LoadDxbFile(path, add);
  } else {
    Tell(Format(kUnknownLoadExtensionText, extension.c_str()), kErrorCaption);
    return kBadExtension;
  }
  if (result < 0) return result;
  if (!add) SetCurrentFile(path);
  GetFilesState().saveDirectory = DirectoryPart(path);
  Redraw();
  return result;
}

}  // namespace tsm::files
