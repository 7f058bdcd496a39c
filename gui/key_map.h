// Qt keys as the accelerator table knows them: the Win32 virtual-key code
// and the Shift / Ctrl / Alt bits of resources/menu.h.
#pragma once

class QKeyEvent;

namespace tsm::gui {

struct VirtualKey {
  unsigned key = 0;  // 0: a key the table cannot name
  unsigned modifiers = 0;
};

VirtualKey VirtualKeyOf(const QKeyEvent& event);
// The command of the key in accelerator table 120, or 0.
int AcceleratorCommandOf(const QKeyEvent& event);

}  // namespace tsm::gui
