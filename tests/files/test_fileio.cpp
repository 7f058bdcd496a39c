#include "files/fileio.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>

#include "files/columns.h"
#include "files/companion.h"
#include "tests/files/files_fixture.h"

namespace tsm::files {
namespace {

using curves::CurrentFamily;
using curves::CurveFamily;
using curves::CurvePoint;
using platform::IDNO;
using platform::IDYES;
using platform::MB_ICONHAND;
using platform::MB_ICONQUESTION;
using platform::MB_YESNO;
using testing::AddCurve;
using testing::FilesTest;
using testing::PointsOf;
using tsm::testing::TempDir;

std::string Key(const std::string& file, const char* section, const char* key) {
  return platform::ReadProfileString(section, key, "<none>", file);
}

// The key names of a section in file order.
std::vector<std::string> KeysOf(const std::string& file, const char* section) {
  std::vector<char> buffer(1 << 16);
  const unsigned long n = platform::GetPrivateProfileStringA(section, nullptr, "", buffer.data(),
                                                              buffer.size(), file.c_str());
  std::vector<std::string> keys;
  for (unsigned long i = 0; i < n && buffer[i];) {
    keys.emplace_back(buffer.data() + i);
    i += keys.back().size() + 1;
  }
  return keys;
}

class FileIoTest : public FilesTest {
 protected:
  std::string dat = dir.File("run.dat");
  std::string ini = dir.File("run.ini");
};

TEST_F(FileIoTest, SaveWritesTheCompanionKeysInOrderAndSortsTheFamily) {
  CurveFamily& f = CurrentFamily();
  AddCurve(f, "short", {{7, 8}});
  AddCurve(f, "long", {{1, 2}, {3, 4}, {5, 6}});
  f.SetInfo("IVC", "A", "V", "Ann");
  f.SetChipName("chip 7");
  f.SetCircuitName("SQUID");
  f.SetComment("a\r\nb");
  f.SetDateTime(1796601600);
  f.SetTimeSpent(12.5f);
  plot::GetPlotView().autoScale = false;
  plot::GetPlotView().xMax = 2.5f;
  channels::GetMeasurementOptions().general.swapXYAxes = true;

  ASSERT_EQ(SaveDataFile(dat), kFileOk);
  EXPECT_TRUE(ui->MessageBoxes().empty());
  EXPECT_STREQ(f.Curve(0).Name(), "long");  // the family keeps the new order

  EXPECT_EQ(KeysOf(ini, "Picture Info"),
            (std::vector<std::string>{"TSM_Version", "Date&TimeBin", "TimeSpent", "Date&Time",
                                      "GraphName", "Designer", "ChipName", "CircuitName",
                                      "Comment0", "Comment1", "CommentLines", "UnitX", "UnitY",
                                      "NumberOfCurves", "NumberOfPointsInCurve0", "NameOfCurve0",
                                      "NumberOfPointsInCurve1", "NameOfCurve1"}));
  EXPECT_EQ(KeysOf(ini, "Setup"),
            (std::vector<std::string>{"ScaleAuto", "FixedViewScaleMinX", "FixedViewScaleMaxX",
                                      "FixedViewScaleMinY", "FixedViewScaleMaxY", "SwapXY_Axes",
                                      "RescalePlotAfterMeasurement"}));
  EXPECT_EQ(Key(ini, "Picture Info", "TSM_Version"), "3.32");
  EXPECT_EQ(Key(ini, "Picture Info", "Date&TimeBin"), "1796601600");
  EXPECT_EQ(Key(ini, "Picture Info", "TimeSpent"), "12.500");
  EXPECT_EQ(Key(ini, "Picture Info", "Date&Time"), DateText(1796601600));
  EXPECT_EQ(Key(ini, "Picture Info", "Comment0"), "a");
  EXPECT_EQ(Key(ini, "Picture Info", "Comment1"), "b");
  EXPECT_EQ(Key(ini, "Picture Info", "CommentLines"), "2");
  EXPECT_EQ(Key(ini, "Picture Info", "NumberOfPointsInCurve0"), "3");
  EXPECT_EQ(Key(ini, "Picture Info", "NameOfCurve1"), "short");
  EXPECT_EQ(Key(ini, "Setup", "ScaleAuto"), "0");
  EXPECT_EQ(Key(ini, "Setup", "FixedViewScaleMaxX"), "2.500000");
  EXPECT_EQ(Key(ini, "Setup", "SwapXY_Axes"), "1");
  EXPECT_EQ(Key(ini, "Setup", "RescalePlotAfterMeasurement"), "1");

  EXPECT_EQ(TempDir::Read(dat), FormatRows(f, RowLayout{12, '\t', true}));
  EXPECT_EQ(GetFilesState().windowTitle, "Tesmira -- " + dat);
  EXPECT_TRUE(shell::DataSaved());
  EXPECT_EQ(ui->StatusText(0).rfind("Time spent: ", 0), 0u);
  EXPECT_NE(ui->StatusText(0).find(" sec (INI) + "), std::string::npos);
  // No temporary file is left behind.
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) (void)e, ++files;
  EXPECT_EQ(files, 2);
}

TEST_F(FileIoTest, DateTextIsDayMonthYear) {
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(DateText(1796644800), "7-Dec-2026");
  EXPECT_EQ(DateText(0), "1-Jan-1970");
}

TEST_F(FileIoTest, RoundTripGivesTheSameFamilyBitForBit) {
  // Nine significant digits hold every float exactly. The data file takes
  // several of the pieces it is read in, with the blank fields of the
  // shorter curves.
  GetDataFileOptions().columnWidth = 13;
  GetDataFileOptions().sort = false;
  CurveFamily& f = CurrentFamily();
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> value(-1e3f, 1e3f);
  for (int c = 0; c < 3; ++c) {
    f.SetCount(f.Count() + 1);
    curves::Curve& curve = f.Curve(f.Count() - 1);
    for (int i = 0; i < 40000 - 10000 * c; ++i)
      curve.Append(std::ldexp(value(rng), -static_cast<int>(rng() % 40)), value(rng));
    curve.Append(0.0f, -0.0f);
    curve.Append(std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::max());
    curve.Append(std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity());
    curve.SetName(("curve " + std::to_string(c)).c_str());
  }
  f.SetInfo("IVF", "A", "V", "Designer");
  f.SetComment("first\r\nsecond\r\n");
  f.SetTimeSpent(3.25f);
  f.SetDateTime(123456789);
  CurveFamily before;
  before.CopyFrom(f);

  ASSERT_EQ(SaveDataFile(dat), kFileOk);
  f.Clear();
  ASSERT_EQ(LoadDataFile(dat, false), kFileOk);
  EXPECT_TRUE(ui->MessageBoxes().empty());
  ASSERT_EQ(f.Count(), before.Count());
  for (std::uint32_t c = 0; c < f.Count(); ++c) {
    ASSERT_EQ(f.Curve(c).Count(), before.Curve(c).Count());
    EXPECT_EQ(std::memcmp(f.Curve(c).Data(), before.Curve(c).Data(),
                          f.Curve(c).Count() * sizeof(CurvePoint)),
              0)
        << "curve " << c;
    EXPECT_STREQ(f.Curve(c).Name(), before.Curve(c).Name());
  }
  EXPECT_STREQ(f.GraphName(), "IVF");
  EXPECT_STREQ(f.Designer(), "Designer");
  EXPECT_STREQ(f.Comment(), "first\r\nsecond\r\n");
  EXPECT_EQ(f.TimeSpent(), 3.25f);
  EXPECT_EQ(f.DateTime(), 123456789u);
  EXPECT_EQ(GetFilesState().saveDirectory, dir.Path().string() + "/");
}

TEST_F(FileIoTest, ACommentOfTwoLinesComesBackWithALineEndAfterEach) {
  CurveFamily& f = CurrentFamily();
  AddCurve(f, "c", {{1, 2}});
  f.SetComment("a\r\nb");
  ASSERT_EQ(SaveDataFile(dat), kFileOk);
  ASSERT_EQ(LoadDataFile(dat, false), kFileOk);
  EXPECT_STREQ(f.Comment(), "a\r\nb\r\n");
  // Older files hold the comment in one key.
  dir.Write("old.ini", "[Picture Info]\r\nTSM_Version=3.1\r\nComment=one line\r\n");
  dir.Write("old.dat", "");
  ASSERT_EQ(LoadDataFile(dir.File("old.dat"), false), kFileOk);
  EXPECT_STREQ(f.Comment(), "one line");
}

TEST_F(FileIoTest, CommentLinesThatDoNotFitAreSkippedWithOneReport) {
  std::string text = "[Picture Info]\r\nTSM_Version=3.32\r\nCommentLines=4000000000\r\n";
  const std::string longLine(300, 'x');
  text += "Comment0=" + longLine + "\r\nComment1=" + longLine + "\r\nComment2=" + longLine +
          "\r\nComment3=end\r\n";
  dir.Write("run.ini", text);
  dir.Write("run.dat", "");
  ASSERT_EQ(LoadDataFile(dat, false), kFileOk);
  // Missing lines up to the bound read as empty lines while they fit.
  std::string expected = longLine + "\r\nend\r\n";
  while (expected.size() + 2 <= 511) expected += "\r\n";
  EXPECT_EQ(std::string(CurrentFamily().Comment()), expected);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "Tesmira Error!");
}

TEST_F(FileIoTest, MilliUnitsScaleTheValuesAndLeaveTheBaseUnit) {
  dir.Write("run.ini",
            "[Picture Info]\r\nTSM_Version=3.32\r\nUnitX=mA\r\nUnitY=\xB5V\r\nGraphName=IVC\r\n"
            "NumberOfCurves=1\r\nNumberOfPointsInCurve0=2\r\nNameOfCurve0=V1\r\n");
  dir.Write("run.dat", "1 2\r\n3 4\r\n");
  ASSERT_EQ(LoadDataFile(dat, false), kFileOk);
  CurveFamily& f = CurrentFamily();
  EXPECT_STREQ(f.UnitX(), "A");
  EXPECT_STREQ(f.UnitY(), "V");
  EXPECT_EQ(PointsOf(f.Curve(0)),
            (std::vector<CurvePoint>{{static_cast<float>(1 * 1e-3), static_cast<float>(2 * 1e-6)},
                                     {static_cast<float>(3 * 1e-3), static_cast<float>(4 * 1e-6)}}));
  EXPECT_STREQ(f.Curve(0).Name(), "V1");
}

TEST_F(FileIoTest, AddingAppendsCurvesAndKeepsTheFamilyInformation) {
  CurveFamily& f = CurrentFamily();
  AddCurve(f, "old", {{1, 1}});
  f.SetInfo("IVC", "A", "V", "me");
  SetCurrentFile("/data/first.dat");
  dir.Write("run.ini",
            "[Picture Info]\r\nTSM_Version=3.32\r\nUnitX=mA\r\nGraphName=other\r\n"
            "NumberOfCurves=2\r\nNumberOfPointsInCurve0=1\r\nNumberOfPointsInCurve1=1\r\n");
  dir.Write("run.dat", "5 6 7 8\r\n");
  ASSERT_EQ(LoadDataFile(dat, true), kFileOk);
  ASSERT_EQ(f.Count(), 3u);
  EXPECT_STREQ(f.GraphName(), "IVC");
  EXPECT_STREQ(f.UnitX(), "A");
  EXPECT_EQ(f.Curve(1).Point(0), (CurvePoint{0.005f, 6}));
  EXPECT_EQ(f.Curve(2).Point(0), (CurvePoint{0.007f, 8}));
  EXPECT_EQ(GetFilesState().currentFileName, "/data/first.dat");  // adding keeps the title
}

TEST_F(FileIoTest, WithoutCompanionTheUserMayReadTheNumbersRaw) {
  dir.Write("run.dat", "1 2 3 4 5\n6 7 8 9 10\n");
  AddCurve(CurrentFamily(), "kept", {{1, 1}});
  ui->PushAnswer(IDNO);
  EXPECT_EQ(LoadDataFile(dat, false), kBadExtension);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text,
            "The file\n" + ini + "\nis missing or bad\nWould U like to continue without\n"
                                  "reading info from this file?");
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "Wrong or Missing INI file");
  EXPECT_EQ(ui->MessageBoxes()[0].type, MB_YESNO | MB_ICONQUESTION);
  EXPECT_STREQ(CurrentFamily().Curve(0).Name(), "kept");

  ui->PushAnswer(IDYES);
  ASSERT_EQ(LoadDataFile(dat, false), kFileOk);
  CurveFamily& f = CurrentFamily();
  ASSERT_EQ(f.Count(), 2u);  // five numbers give two curves
  EXPECT_EQ(PointsOf(f.Curve(0)), (std::vector<CurvePoint>{{1, 2}, {5, 6}, {9, 10}}));
  EXPECT_EQ(PointsOf(f.Curve(1)), (std::vector<CurvePoint>{{3, 4}, {7, 8}}));
  EXPECT_EQ(GetFilesState().windowTitle, "Tesmira -- " + dat);
}

TEST_F(FileIoTest, ExtensionsDecideTheReader) {
  dir.Write("run.ini",
            "[Picture Info]\nTSM_Version=3.32\nNumberOfCurves=1\nNumberOfPointsInCurve0=1\n");
  dir.Write("run.TQD", "1 2\n");
  ASSERT_EQ(LoadDataFile(dir.File("run.TQD"), false), kFileOk);
  EXPECT_EQ(CurrentFamily().Curve(0).Point(0), (CurvePoint{1, 2}));
  for (const char* name : {"run.tq", "run.PRN", "run.tesmiradata"}) {
    dir.Write(name, "3 4\n");
    EXPECT_EQ(LoadDataFile(dir.File(name), false), kFileOk) << name;
  }
  EXPECT_TRUE(ui->MessageBoxes().empty());

  const std::string title = GetFilesState().windowTitle;
  EXPECT_EQ(LoadDataFile(dir.File("run.xyz"), false), kBadExtension);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, "Can not open file\nThe extention .xyz is unknown.");
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "Error");
  EXPECT_EQ(ui->MessageBoxes()[0].type, MB_ICONHAND);
  EXPECT_EQ(GetFilesState().windowTitle, title);

  // A drawing file goes to its own reader (this one is no drawing).
  ui->Clear();
  dir.Write("drawing.DXB", "3 4\n");
  EXPECT_EQ(LoadDataFile(dir.File("drawing.DXB"), false), kCompanionError);
  EXPECT_EQ(Texts(), std::vector<std::string>{kReadErrorText});

  ui->Clear();
  EXPECT_EQ(SaveDataFile(dir.File("run.txt")), kBadExtension);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Can not save file.\nThe extention .txt is unknown."});
}

TEST_F(FileIoTest, AMissingDataFileIsReportedAndChangesNothing) {
  dir.Write("run.ini", "[Picture Info]\nTSM_Version=3.32\n");
  AddCurve(CurrentFamily(), "kept", {{1, 1}});
  EXPECT_EQ(LoadDataFile(dat, false), kDataFileError);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Can't open DAT file"});
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "Input error");
  EXPECT_EQ(CurrentFamily().Count(), 1u);
  EXPECT_EQ(GetFilesState().windowTitle, "");
}

TEST_F(FileIoTest, ATruncatedDataFileKeepsThePointsRead) {
  dir.Write("run.ini",
            "[Picture Info]\nTSM_Version=3.32\nNumberOfCurves=2\nNumberOfPointsInCurve0=3\n"
            "NumberOfPointsInCurve1=3\n");
  dir.Write("run.dat", "1 2 3 4\r\n5 6 7 8\r\n9 10 11");
  EXPECT_EQ(LoadDataFile(dat, false), kCompanionError);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Error reading file"});
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "Error");
  CurveFamily& f = CurrentFamily();
  ASSERT_EQ(f.Count(), 2u);
  EXPECT_EQ(PointsOf(f.Curve(0)), (std::vector<CurvePoint>{{1, 2}, {5, 6}, {9, 10}}));
  EXPECT_EQ(PointsOf(f.Curve(1)), (std::vector<CurvePoint>{{3, 4}, {7, 8}}));
  EXPECT_EQ(GetFilesState().windowTitle, "");
}

TEST_F(FileIoTest, CountsTheDataCannotHoldCostNoMemory) {
  // Nothing the size of the claims may be asked for.
  curves::SetAllocationHook([](std::size_t bytes) {
    EXPECT_LT(bytes, 1u << 20);
    return bytes >= (1u << 20);
  });
  dir.Write("run.ini",
            "[Picture Info]\nTSM_Version=3.32\nNumberOfCurves=1\n"
            "NumberOfPointsInCurve0=4000000000\n");
  dir.Write("run.dat", "1 2\n3 4\n");
  EXPECT_EQ(LoadDataFile(dat, false), kCompanionError);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Error reading file"});
  EXPECT_EQ(PointsOf(CurrentFamily().Curve(0)), (std::vector<CurvePoint>{{1, 2}, {3, 4}}));

  ui->Clear();
  dir.Write("run.ini", "[Picture Info]\nTSM_Version=3.32\nNumberOfCurves=4000000000\n");
  EXPECT_EQ(LoadDataFile(dat, false), kCompanionError);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Error reading file"});
  EXPECT_EQ(CurrentFamily().Count(), 0u);

  ui->Clear();
  dir.Write("run.ini", "[Picture Info]\nTSM_Version=3.32\nNumberOfCurves=-1\n");
  EXPECT_EQ(LoadDataFile(dat, false), kCompanionError);
  curves::SetAllocationHook(nullptr);
}

TEST_F(FileIoTest, NaNAndInfinityTravelThroughTheFile) {
  AddCurve(CurrentFamily(), "c", {{std::nanf(""), 1}, {2, -std::numeric_limits<float>::infinity()}});
  ASSERT_EQ(SaveDataFile(dat), kFileOk);
  EXPECT_NE(TempDir::Read(dat).find("nan"), std::string::npos);
  ASSERT_EQ(LoadDataFile(dat, false), kFileOk);
  const curves::Curve& c = CurrentFamily().Curve(0);
  ASSERT_EQ(c.Count(), 2u);
  EXPECT_TRUE(std::isnan(c.Point(0).x));
  EXPECT_EQ(c.Point(1).y, -std::numeric_limits<float>::infinity());
}

TEST_F(FileIoTest, LoadingReadsThePlotFlagsAndResetsTheView) {
  dir.Write("run.ini",
            "[Picture Info]\nTSM_Version=3.32\n[Setup]\nSwapXY_Axes=1\nScaleAuto=0\n");
  dir.Write("run.dat", "");
  plot::GetPlotView().autoScale = false;
  plot::GetPlotView().xMax = 7;
  ASSERT_EQ(LoadDataFile(dat, false), kFileOk);
  EXPECT_TRUE(plot::GetPlotView().autoScale);
  EXPECT_EQ(plot::GetPlotView().xMax, 1.0f);
  EXPECT_TRUE(channels::GetMeasurementOptions().general.swapXYAxes);
  EXPECT_TRUE(channels::GetMeasurementOptions().general.rescalePlotAfterMeasurement);
}

TEST_F(FileIoTest, TheOptionsDialogComesUpWhenAsked) {
  GetDataFileOptions().showOptionsOnSave = true;
  GetDataFileOptions().showOptionsOnLoad = true;
  AddCurve(CurrentFamily(), "c", {{1, 2}});
  ASSERT_EQ(SaveDataFile(dat), kFileOk);
  ASSERT_EQ(LoadDataFile(dat, false), kFileOk);
  const auto modals = ui->CallsOf(platform::UiCall::Kind::Modal);
  ASSERT_EQ(modals.size(), 2u);
  EXPECT_EQ(modals[0].caption, "Data Saving && Loading");
}

// A FIFO would block the Open, /dev/zero fill the memory: a data file that
// is no regular file cannot be opened, a companion file that is none reads
// as missing.
TEST_F(FileIoTest, AFifoOrADeviceIsRefusedWithTheReadersOwnMessage) {
  const std::string fifo = dir.File("pipe.dat");
  tsm::testing::MakeFifo(fifo);
  dir.Write("pipe.ini", "[Picture Info]\nTSM_Version=3.32\n");
  ASSERT_EQ(::symlink("/dev/zero", dir.File("zero.dat").c_str()), 0);
  dir.Write("zero.ini", "[Picture Info]\nTSM_Version=3.32\n");
  for (const std::string& path : {fifo, dir.File("zero.dat")}) {
    SCOPED_TRACE(path);
    ui->Clear();
    int result = 0;
    EXPECT_TRUE(tsm::testing::ReturnsWithin(
        std::chrono::seconds(10), [&] { result = LoadDataFile(path, false); },
        [&] { tsm::testing::UnblockFifo(fifo); }));
    EXPECT_EQ(result, kDataFileError);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Can't open DAT file"});
  }

  dir.Write("run.dat", "1 2\n");
  const std::string companionFifo = dir.File("run.ini");
  tsm::testing::MakeFifo(companionFifo);
  ASSERT_EQ(::symlink("/dev/zero", dir.File("other.ini").c_str()), 0);
  dir.Write("other.dat", "1 2\n");
  for (const std::string& path : {dat, dir.File("other.dat")}) {
    SCOPED_TRACE(path);
    ui->Clear();
    ui->PushAnswer(IDNO);
    int result = 0;
    EXPECT_TRUE(tsm::testing::ReturnsWithin(
        std::chrono::seconds(10), [&] { result = LoadDataFile(path, false); },
        [&] { tsm::testing::UnblockFifo(companionFifo); }));
    EXPECT_EQ(result, kBadExtension);
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    EXPECT_EQ(ui->MessageBoxes()[0].caption, "Wrong or Missing INI file");
  }
}

// --- saving without losing the previous pair -----------------------------

class SaveFailureTest : public FileIoTest {
 protected:
  void SaveOldPair() {
    AddCurve(CurrentFamily(), "old", {{1, 2}});
    ASSERT_EQ(SaveDataFile(dat), kFileOk);
    oldData = TempDir::Read(dat);
    oldCompanion = TempDir::Read(ini);
    CurrentFamily().Curve(0).Append(3, 4);
    ui->Clear();
  }
  void ExpectOldPair() {
    EXPECT_EQ(TempDir::Read(dat), oldData);
    EXPECT_EQ(TempDir::Read(ini), oldCompanion);
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
      const std::string name = e.path().filename().string();
      EXPECT_TRUE(name == "run.dat" || name == "run.ini" || name == "run.ini.tsm-new")
          << "left behind: " << name;
    }
  }
  std::string oldData, oldCompanion;
};

TEST_F(SaveFailureTest, AReadOnlyCompanionAbortsBeforeAnythingIsWritten) {
  SaveOldPair();
  ASSERT_EQ(::chmod(ini.c_str(), 0444), 0);
  EXPECT_EQ(SaveDataFile(dat), kCompanionError);
  EXPECT_EQ(Texts(), std::vector<std::string>{"INI File marked as 'ReadOnly'Operaton will be aborted!"});
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "Can not delete old INI file");
  EXPECT_EQ(ui->MessageBoxes()[0].type, MB_ICONHAND);
  ExpectOldPair();
  ::chmod(ini.c_str(), 0644);
}

TEST_F(SaveFailureTest, ADataFileThatCannotBeCreatedIsReported) {
  AddCurve(CurrentFamily(), "c", {{1, 2}});
  EXPECT_EQ(SaveDataFile(dir.File("missing/run.dat")), kDataFileError);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Error of Output to Data FileCan't open file"});
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "Tesmira");
  EXPECT_FALSE(shell::DataSaved() && !GetFilesState().currentFileName.empty());
  EXPECT_EQ(GetFilesState().windowTitle, "");
}

TEST_F(SaveFailureTest, ACompanionThatCannotBeWrittenKeepsThePreviousPair) {
  SaveOldPair();
  // Something in the way of the new companion file.
  ASSERT_EQ(::mkdir((ini + ".tsm-new").c_str(), 0755), 0);
  ::close(::creat((ini + ".tsm-new/x").c_str(), 0644));
  EXPECT_EQ(SaveDataFile(dat), kCompanionError);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "Tesmira");
  ExpectOldPair();
  std::filesystem::remove_all(ini + ".tsm-new");
}

TEST_F(SaveFailureTest, WhenTheCompanionCannotBeReplacedTheOldDataFileComesBack) {
  SaveOldPair();
  // A folder where the companion file belongs: the data file is renamed
  // into place first, then the companion's rename fails.
  ASSERT_EQ(::unlink(ini.c_str()), 0);
  ASSERT_EQ(::mkdir(ini.c_str(), 0755), 0);
  ::close(::creat((ini + "/x").c_str(), 0644));
  EXPECT_EQ(SaveDataFile(dat), kDataFileError);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_NE(ui->MessageBoxes()[0].text.find("could not replace"), std::string::npos);
  EXPECT_EQ(TempDir::Read(dat), oldData);
  EXPECT_FALSE(std::filesystem::exists(dat + ".tsm-old"));
  std::filesystem::remove_all(ini);
}

TEST_F(SaveFailureTest, ADataFileThatCannotBeWrittenWholeKeepsThePreviousPair) {
  SaveOldPair();
  curves::Curve& c = CurrentFamily().Curve(0);
  for (int i = 0; i < 20000; ++i) c.Append(static_cast<float>(i), 1.0f / (i + 1));
  // A file-size limit stands in for a full disk.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 64 * 1024;
  ::setrlimit(RLIMIT_FSIZE, &small);
  const int result = SaveDataFile(dat);
  ::setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(result, kDataFileError);
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_NE(ui->MessageBoxes()[0].text.find("could not be written completely"), std::string::npos);
  ExpectOldPair();
}

}  // namespace
}  // namespace tsm::files
