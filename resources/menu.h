// The menus and the accelerator table of the main window, free of any
// toolkit: the main menu "TsmMenu" and the plot's "ContextMenu" as trees of
// popups and items (id, text with its "\t" key hint), and accelerator table
// 120 as (virtual key, modifiers) -> command. gui/ builds its widgets from
// them; batch mode finds commands by their menu text.
#pragma once

#include <string>
#include <vector>

namespace tsm::resources {

struct MenuItem {
  enum class Kind { Item, Popup, Separator };
  Kind kind = Kind::Item;
  int id = 0;            // command id of an item
  std::string text;      // "&Open\tCtrl+O"; a popup's title
  std::vector<MenuItem> children;  // a popup's items
};

inline constexpr const char* kMainMenuName = "TsmMenu";
inline constexpr const char* kContextMenuName = "ContextMenu";

// The main menu bar: its top-level popups in order.
const std::vector<MenuItem>& MainMenu();
// The first popup of "ContextMenu" (what a held right click opens).
const MenuItem& ContextMenu();

// Every item of a menu tree, depth first, in menu order.
std::vector<const MenuItem*> MenuItems(const std::vector<MenuItem>& menu);
std::vector<const MenuItem*> MenuItems(const MenuItem& popup);
// The item of the main menu (else of the context menu) with this id.
const MenuItem* FindMenuItem(int id);
// A menu text as a person would type it: the "&" marks dropped ("&&" stands
// for "&"), the key hint after "\t" cut, blanks trimmed.
std::string PlainMenuText(const std::string& text);
// The first item (main menu first, then the context menu) whose plain text
// equals `text`, ignoring case; 0 when none does.
int CommandOfMenuText(const std::string& text);

// --- accelerator table 120 -----------------------------------------------

// Modifier bits of an accelerator (FSHIFT, FCONTROL, FALT).
inline constexpr unsigned kShift = 0x04;
inline constexpr unsigned kControl = 0x08;
inline constexpr unsigned kAlt = 0x10;

// Virtual-key codes (the Win32 numbers) of the keys the table uses.
inline constexpr unsigned VK_BACK = 0x08;
inline constexpr unsigned VK_LEFT = 0x25;
inline constexpr unsigned VK_UP = 0x26;
inline constexpr unsigned VK_RIGHT = 0x27;
inline constexpr unsigned VK_DOWN = 0x28;
inline constexpr unsigned VK_DELETE = 0x2E;
inline constexpr unsigned VK_ADD = 0x6B;       // "+" of the numeric keypad
inline constexpr unsigned VK_SUBTRACT = 0x6D;  // "-" of the numeric keypad
inline constexpr unsigned VK_F1 = 0x70;        // VK_F1 + n - 1 is Fn
inline constexpr unsigned VK_OEM_5 = 0xDC;     // "\"

struct Accelerator {
  unsigned key = 0;        // virtual key ('A'..'Z' for letters)
  unsigned modifiers = 0;  // kShift | kControl | kAlt, matched exactly
  int command = 0;
};

const std::vector<Accelerator>& AcceleratorTable();
// The command of a key with exactly these modifiers, or 0.
int AcceleratorCommand(unsigned key, unsigned modifiers);
// How a person writes the key: "Ctrl+Shift+T", "Num +", "Back Space", "F2".
std::string AcceleratorName(const Accelerator& accelerator);

}  // namespace tsm::resources
