// The Qt boundary: the Windows-1252 codec, the completion sounds, the
// placeholder main window with its status bar, and the About box drawn by Qt.
#include <QAudioDevice>
#include <QFileInfo>
#include <QImage>
#include <QMediaDevices>
#include <QLabel>
#include <QPushButton>

#include "gui/about_view.h"
#include "gui/cp1252.h"
#include "gui/main_window.h"
#include "gui/qt_ui.h"
#include "gui/sound_player.h"
#include "shell/about.h"
#include "tests/gui/qt_test_app.h"
#include "tests/support/test_support.h"

#include <thread>

namespace tsm::gui {
namespace {

using testing::QtApp;
using testing::WhenModal;

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(ToCp1252(FromCp1252(all)), all);
  EXPECT_EQ(FromCp1252("\xB5").at(0).unicode(), 0x00B5);
  EXPECT_EQ(FromCp1252("\x80").at(0).unicode(), 0x20AC);
  EXPECT_EQ(FromCp1252("\x9F").at(0).unicode(), 0x0178);
  EXPECT_EQ(ToCp1252(QString(QChar(0x03BC)) + "A"), "\xB5" "A");  // mu as micro
  EXPECT_EQ(ToCp1252(QString(QChar(0x4E2D))), "?");
  EXPECT_FALSE(FitsCp1252(QString(QChar(0x4E2D))));
  EXPECT_TRUE(FitsCp1252(QString::fromUtf8("\u20AC 5 \u00B5A")));
}

// The completion sounds: a missing file is silent; a file beside the
// program plays where there is an audio output and is silent where there is
// none, and neither asks anything of the user nor waits.
TEST(QtSound, MissingFilesAndMissingOutputsAreSilent) {
  QtApp();
  QtUi ui;
  platform::SetUi(&ui);
  SoundPlayer player;
  EXPECT_FALSE(player.Play(QCoreApplication::applicationDirPath() + "/no such sound.wav"));
  const QString chime = QCoreApplication::applicationDirPath() + "/IVC.wav";
  ASSERT_TRUE(QFileInfo(chime).isFile()) << "the build puts the sounds beside the programs";
  const bool played = player.Play(chime);
  EXPECT_EQ(played, !QMediaDevices::defaultAudioOutput().isNull());
  // Through the Ui, from a worker thread, as a routine plays it.
  std::thread worker([&] { platform::GetUi().PlaySound(ToCp1252(chime)); });
  worker.join();
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  platform::SetUi(nullptr);
}

TEST(QtMainWindow, StatusBarAndPosition) {
  QtApp();
  QtUi ui;
  platform::SetUi(&ui);
  {
    MainWindow window;
    ui.SetStatusSink([&](int part, const QString& text) { window.SetStatusPart(part, text); });
    EXPECT_EQ(window.windowTitle(), "Tesmira");
    EXPECT_EQ(window.StatusPart(3), "v3.32beta build 122");
    for (int part = 1; part <= 3; ++part)
      EXPECT_EQ(window.findChild<QLabel*>(QString("statusPart%1").arg(part))->width(), 100);
    platform::GetUi().SetStatusText(0, "Time spent to load all settings: 0.1 sec");
    EXPECT_EQ(window.StatusPart(0), "Time spent to load all settings: 0.1 sec");
    window.MoveWindow({30, 40, 630, 500});
    EXPECT_EQ(window.WindowRectangle(), (app::WindowRect{30, 40, 630, 500}));
    ui.SetStatusSink(nullptr);
  }
  platform::SetUi(nullptr);
}

TEST(QtAbout, DrawsThePictureAndStopsItsTimer) {
  QtApp();
  QtUi ui;
  platform::SetUi(&ui);
  RegisterAboutView();
  bool painted = false;
  WhenModal([&](QWidget* dialog) {
    QWidget* picture = dialog->findChild<QWidget*>(QString("control%1").arg(shell::kAboutPicture));
    ASSERT_NE(picture, nullptr);
    const QImage image = picture->grab().toImage();
    int coloured = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (c.blue() > c.red() + 80) ++coloured;  // the blue branch of the curve
      }
    painted = coloured > 20;
    if (const char* out = std::getenv("TSM_ABOUT_SCREENSHOT")) dialog->grab().save(out);
    auto* version = dialog->findChild<QLabel*>(QString("control%1").arg(shell::kAboutVersion));
    EXPECT_EQ(version->text(), "Tesmira v 3.32 beta (build 122)");
    dialog->findChild<QPushButton*>("control1")->click();
  });
  EXPECT_EQ(shell::RunAboutDialog(nullptr), 0);
  EXPECT_TRUE(painted);
  platform::SetUi(nullptr);
}

}  // namespace
}  // namespace tsm::gui
