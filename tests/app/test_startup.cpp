// The start-up sequence: user name and settings file from the command line,
// the card check, loading every group, the window position, and the About
// box or the command-line files at the end.
#include "app/startup.h"

#include "app/options_registry.h"
#include "shell/setupdlg.h"
#include "tests/app/app_fixture.h"

namespace tsm::app {
namespace {

using testing::AppTest;

// A group with factory defaults in one slot.
struct MathGroup {
  float smooth = 0.25f;
  unsigned points = 5;
  shell::FieldList list;
  MathGroup() {
    list.fields = {
        shell::FloatField(1, &smooth, "Math", "SmoothParameter", 0, 1, "Smooth"),
        shell::UnsignedField(2, &points, "Math", "DerivePoints", 2, 100, "Points"),
    };
    shell::RegisterOptionGroup(shell::OptionGroupId::Math, shell::FieldListGroup("Math", list));
  }
};

class StartupTest : public AppTest {
 protected:
  bool Start(std::vector<std::string> args, std::uint16_t flags = 0) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    shell::SetProgramDirectory(dir.Path().string() + "/");
    ParseStartupCommandLine(static_cast<int>(args.size()), argv.data());
    StartupOptions options;
    options.detectCards = [this, flags](std::string& report, std::size_t capacity,
                                        const std::string& directory) {
      detectDirectory = directory;
      detectCapacity = capacity;
      report = "DAC_00:id=1(emulated), 16 chanels\n";
      return flags;
    };
    return RunWindowCreation(window, options);
  }

  std::string detectDirectory;
  std::size_t detectCapacity = 0;
};

TEST_F(StartupTest, SettingsFileNamedWithIIsLoaded) {
  MathGroup math;
  const std::string file = dir.Write(
      "lab.ini", "[Math]\r\nSmoothParameter=0.75\r\nDerivePoints=9\r\n"
                 "[Setup]\r\nWindowPositionLeft=20\r\nWindowPositionTop=30\r\n");
  ASSERT_TRUE(Start({"tesmira", "-i:" + file, "-u:Ada"}));
  EXPECT_EQ(shell::SettingsFileName(), file);
  EXPECT_EQ(shell::UserName(), "Ada");
  EXPECT_FLOAT_EQ(math.smooth, 0.75f);
  EXPECT_EQ(math.points, 9u);
  EXPECT_EQ(window.rect, (WindowRect{20, 30, 900, 680}));
  EXPECT_EQ(detectDirectory, dir.Path().string() + "/");
  EXPECT_EQ(detectCapacity, 1024u);
  EXPECT_EQ(window.plotInits, 1);
  EXPECT_EQ(window.aboutBoxes, 1);  // no data file named
  EXPECT_EQ(window.fileOpens, 0);
  EXPECT_EQ(ui->StatusText(0).rfind("Time spent to load all settings", 0), 0u);
}

TEST_F(StartupTest, WithoutASettingsFileEveryGroupKeepsItsDefaults) {
  MathGroup math;
  ASSERT_TRUE(Start({"tesmira", "run1.dat", "run2.dat"}));
  EXPECT_EQ(shell::SettingsFileName(), dir.Path().string() + "/tsm.ini");
  EXPECT_EQ(shell::UserName(), "anonymous");
  EXPECT_FLOAT_EQ(math.smooth, 0.25f);
  EXPECT_EQ(math.points, 5u);
  EXPECT_EQ(window.rect, (WindowRect{100, 80, 900, 680}));
  EXPECT_EQ(window.aboutBoxes, 0);
  EXPECT_EQ(window.fileOpens, 1);
  EXPECT_TRUE(ui->MessageBoxes().empty());
  EXPECT_FALSE(std::filesystem::exists(dir.File("tsm.ini")));  // nothing saved at start
}

TEST_F(StartupTest, MissingCardsEndStartupWithTwoMessages) {
  MathGroup math;
  dir.Write("tsm.ini", "[Math]\r\nDerivePoints=9\r\n");
  EXPECT_FALSE(Start({"tesmira"}, 1));  // an ADC but no DAC
  const auto boxes = ui->MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text,
            "At least one DAC and one ADC card are required\nto run Tesmira. In your system you "
            "have:\n[x] no DACs\n[ ] no ADCs\nTesmira will show detailed info in the next window "
            "and exit.");
  EXPECT_EQ(boxes[0].caption, "DAC/ADC Initialization Error");
  EXPECT_EQ(boxes[0].type & platform::MB_ICONMASK, platform::MB_ICONHAND);
  EXPECT_EQ(boxes[1].text, "DAC_00:id=1(emulated), 16 chanels\n");
  EXPECT_EQ(boxes[1].caption, "Detected Zentra Cards");
  EXPECT_EQ(boxes[1].type & platform::MB_ICONMASK, platform::MB_ICONINFORMATION);
  EXPECT_EQ(math.points, 5u);  // stopped before the settings
  EXPECT_TRUE(window.moves.empty());
  EXPECT_EQ(window.aboutBoxes, 0);

  ui->Clear();
  shell::ResetCommandLine();
  EXPECT_FALSE(Start({"tesmira"}, 3));
  EXPECT_NE(ui->MessageBoxes()[0].text.find("[x] no DACs\n[x] no ADCs"), std::string::npos);
}

TEST_F(StartupTest, ProgramDirectoryIsTheExecutablesFolder) {
  DetermineProgramDirectory("/nowhere/tesmira");
  const std::string d = shell::ProgramDirectory();
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(d));
}

}  // namespace
}  // namespace tsm::app
