// The main window's position keys: defaults, clipping to a smaller screen,
// round trip, and the two commands that load and save them.
#include "app/window_position.h"

#include "app/settings_commands.h"
#include "tests/app/app_fixture.h"

namespace tsm::app {
namespace {

using testing::AppTest;

TEST_F(AppTest, PositionRoundTripsThroughTheSettingsFile) {
  const std::string file = dir.File("pos.ini");
  window.rect = {-8, -8, 1288, 1032};  // a maximised window hangs over the edges
  EXPECT_EQ(SaveWindowPosition(window, file), 1);
  EXPECT_EQ(platform::ReadProfileString("Setup", "WindowPositionLeft", "", file), "4294967288");
  EXPECT_EQ(ReadWindowPosition({}, file), (WindowRect{-8, -8, 1288, 1032}));
  window.rect = {10, 20, 610, 420};
  SaveWindowPosition(window, file);
  window.rect = {0, 0, 300, 200};
  LoadWindowPosition(window, file);
  ASSERT_EQ(window.moves.size(), 1u);
  EXPECT_EQ(window.rect, (WindowRect{10, 20, 610, 420}));
}

TEST(WindowPosition, ClippingToASmallerScreen) {
  const WindowRect screen{0, 0, 800, 600};
  const WindowRect fallback{1, 2, 3, 4};
  // Left beyond the right edge: back to x = 0.
  EXPECT_EQ(ClipToDesktop({1500, 100, 1700, 300}, screen, fallback),
            (WindowRect{0, 100, 800, 300}));
  // A bottom edge below the screen is pulled up to it.
  EXPECT_EQ(ClipToDesktop({100, 100, 500, 900}, screen, fallback),
            (WindowRect{100, 100, 500, 600}));
  EXPECT_EQ(ClipToDesktop({100, 700, 500, 900}, screen, fallback),
            (WindowRect{100, 0, 500, 600}));
  // Nothing left to show: the present rectangle stays.
  EXPECT_EQ(ClipToDesktop({500, 100, 400, 300}, screen, fallback), fallback);
}

TEST_F(AppTest, MissingKeysKeepThePresentRectangle) {
  const std::string file = dir.Write("nosetup.ini", "[Graphics]\r\nPenWidth=2\r\n");
  shell::SetSettingsFileName(file);
  HandleSettingsCommand(kCmdLoadWindowPosition, window);
  EXPECT_EQ(window.rect, (WindowRect{100, 80, 900, 680}));
  dir.Write("half.ini", "[Setup]\r\nWindowPositionLeft=5\r\n");
  LoadWindowPosition(window, dir.File("half.ini"));
  EXPECT_EQ(window.rect, (WindowRect{5, 80, 900, 680}));
}

TEST_F(AppTest, SaveWindowPositionCommandWritesTheCurrentFile) {
  shell::SetSettingsFileName(dir.File("cur.ini"));
  EXPECT_TRUE(HandleSettingsCommand(kCmdSaveWindowPosition, window));
  EXPECT_EQ(ReadWindowPosition({}, dir.File("cur.ini")), window.rect);
  EXPECT_FALSE(HandleSettingsCommand(125, window));
}

}  // namespace
}  // namespace tsm::app
