#include "gui/snapshot.h"

#include <QApplication>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>


#include "gui/application.h"
#include "gui/cp1252.h"
#include "gui/dialog_view.h"
#include "gui/main_window.h"
#include "gui/picture_output.h"
#include "gui/plot_widget.h"

namespace tsm::gui {

namespace {

// The client area under a caption bar, as a window manager would frame it.
QImage Framed(const QImage& client, const QString& caption) {
  const int bar = 26;
  QImage out(client.width() + 2, client.height() + bar + 1, QImage::Format_RGB32);
  out.fill(QColor(70, 78, 92));
  QPainter p(&out);
  p.drawImage(1, bar, client);
  QFont font = QApplication::font();
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRect(10, 0, client.width() - 20, bar), Qt::AlignVCenter | Qt::AlignLeft,
             QFontMetrics(font).elidedText(caption, Qt::ElideRight, client.width() - 20));
  p.end();
  return out;
}

void Settle() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

// Batch mode has no window: its first picture starts the offscreen Qt that
// export and print use as well, and the painters of the dialogs.
void EnsureApplication() {
  EnsureQtForDrawing();
  RegisterViews();
}

}  // namespace

QImage DialogPicture(DialogView& view) {
  return Framed(view.grab().toImage(), view.windowTitle());
}

QImage DialogPicture(platform::DialogModel& model) {
  DialogView view(model, nullptr);
  view.ShowStarted();
  const QImage picture = DialogPicture(view);
  view.hide();
  return picture;
}

QImage MainWindowPicture(const app::WindowPicture& window) {
  MainWindow main;
  main.SetTitle(window.title);
  for (int part = 0; part < 3; ++part) main.SetStatusPart(part, FromCp1252(window.status[part]));
  main.Plot()->setFixedSize(window.plotWidth, window.plotHeight);
  main.show();
  Settle();
  // The size its layout asks for around the plot (adjustSize would keep a
  // window within two thirds of the screen).
  main.resize(main.sizeHint());
  Settle();
  main.Plot()->Render();
  return Framed(main.grab().toImage(), main.windowTitle());
}

bool SavePicture(const QImage& picture, const std::string& path, std::string& why) {
  QImageWriter writer(FromCp1252(path));
  if (writer.write(picture)) return true;
  why = ToCp1252(writer.errorString()) + " (" + path + ")";
  return false;
}

void InstallSnapshotRenderer() {
  app::SnapshotRenderer renderer;
  renderer.window = [](const app::WindowPicture& window, const std::string& path,
                       std::string& why) {
    EnsureApplication();
    return SavePicture(MainWindowPicture(window), path, why);
  };
  renderer.dialog = [](platform::DialogModel& dialog, const std::string& path, std::string& why) {
    EnsureApplication();
    return SavePicture(DialogPicture(dialog), path, why);
  };
  app::SetSnapshotRenderer(std::move(renderer));
}

}  // namespace tsm::gui
