// Pictures of the program's screens, drawn offscreen and written to image
// files: the renderer behind batch mode's "snapshot" statement and dialog
// step (app/snapshot.h), and the pictures of scripts/pictures.sh. A picture
// shows the window's client area under a plain caption bar.
#pragma once

#include <QImage>
#include <QString>

#include <string>

#include "app/snapshot.h"
#include "platform/dialog.h"

namespace tsm::gui {

class DialogView;

// An open dialog as DialogView shows it (the model has started already).
QImage DialogPicture(platform::DialogModel& model);
// A shown dialog view.
QImage DialogPicture(DialogView& view);
// The main window with the plot as the plot's state draws it now.
QImage MainWindowPicture(const app::WindowPicture& window);
// Writes a picture (format by the extension); false with the reason.
bool SavePicture(const QImage& picture, const std::string& path, std::string& why);

// Installs the renderer of batch mode's snapshots. The first picture starts
// an offscreen Qt application when none runs (EnsureQtForDrawing).
void InstallSnapshotRenderer();

}  // namespace tsm::gui
