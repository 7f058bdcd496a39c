#include "gui/key_map.h"

#include <QKeyEvent>

#include "resources/menu.h"

namespace tsm::gui {

using namespace tsm::resources;

VirtualKey VirtualKeyOf(const QKeyEvent& event) {
  VirtualKey v;
  const Qt::KeyboardModifiers m = event.modifiers();
  if (m & Qt::ShiftModifier) v.modifiers |= kShift;
  if (m & Qt::ControlModifier) v.modifiers |= kControl;
  if (m & Qt::AltModifier) v.modifiers |= kAlt;
  const bool keypad = m & Qt::KeypadModifier;
  const int k = event.key();
  if (k >= Qt::Key_A && k <= Qt::Key_Z) v.key = 'A' + (k - Qt::Key_A);
  else if (k >= Qt::Key_0 && k <= Qt::Key_9 && !keypad) v.key = '0' + (k - Qt::Key_0);
  else if (k >= Qt::Key_F1 && k <= Qt::Key_F24) v.key = VK_F1 + (k - Qt::Key_F1);
  else if (k == Qt::Key_Backspace) v.key = VK_BACK;
  else if (k == Qt::Key_Delete) v.key = VK_DELETE;
  else if (k == Qt::Key_Left) v.key = VK_LEFT;
  else if (k == Qt::Key_Right) v.key = VK_RIGHT;
  else if (k == Qt::Key_Up) v.key = VK_UP;
  else if (k == Qt::Key_Down) v.key = VK_DOWN;
  else if (k == Qt::Key_Backslash) v.key = VK_OEM_5;
  // Only the keypad's "+" and "-" zoom; Shift is part of typing "+" elsewhere.
  else if (k == Qt::Key_Plus && keypad) v.key = VK_ADD;
  else if (k == Qt::Key_Minus && keypad) v.key = VK_SUBTRACT;
  return v;
}

int AcceleratorCommandOf(const QKeyEvent& event) {
  const VirtualKey v = VirtualKeyOf(event);
  return v.key ? AcceleratorCommand(v.key, v.modifiers) : 0;
}

}  // namespace tsm::gui
