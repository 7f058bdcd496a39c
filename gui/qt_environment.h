// What the process sets up before Qt starts, so a normal start prints no Qt
// warning: a private runtime folder when the session gives none (Qt wants
// XDG_RUNTIME_DIR and complains without it, as under a virtual X server or
// a plain ssh login).
#pragma once

namespace tsm::gui {

void PrepareQtEnvironment();

}  // namespace tsm::gui
