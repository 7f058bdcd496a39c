#include "resources/menu.h"

#include <cctype>
#include <string>

namespace tsm::resources {

namespace {

MenuItem Item(int id, std::string text) { return {MenuItem::Kind::Item, id, std::move(text), {}}; }
MenuItem Separator() { return {MenuItem::Kind::Separator, 0, {}, {}}; }
MenuItem Popup(std::string text, std::vector<MenuItem> children) {
  return {MenuItem::Kind::Popup, 0, std::move(text), std::move(children)};
}

// "Program WaveForm": "&0" .. "&9", "1&0" .. "1&5" open sequences 0 .. 15.
MenuItem WaveformPopup() {
  std::vector<MenuItem> items;
  for (int n = 0; n < 16; ++n) {
    std::string text = n < 10 ? "&" : "1&";
    text.push_back(static_cast<char>('0' + n % 10));
    items.push_back(Item(1000 + n, std::move(text)));
  }
  return Popup("Program &WaveForm", std::move(items));
}

std::vector<MenuItem> BuildMainMenu() {
  return {
      Popup("&File",
            {
                Item(197, "&Open\tCtrl+O"),
                Item(198, "&Add\tCtrl+A"),
                Item(271, "&Save\tCtrl+S"),
                Item(266, "Open command line file"),
                Separator(),
                Item(206, "&Print"),
                Item(176, "Page Set&up"),
                Item(283, "E&xport Picture..."),
                Separator(),
                Item(125, "E&xit \t Alt-X"),
            }),
      Popup("&Edit",
            {
                Item(187, "Undo\tCtrl+Z"),
                Item(191, "Clear Screen\t "),
                Popup("Copy &as..",
                      {
                          Item(192, "&Picture"),
                          Item(193, "&SVG drawing"),
                          Item(194, "&Text columns"),
                      }),
                Separator(),
                Item(233, "Delete data points in\tDel"),
                Item(234, "&DeSelect\tD"),
                Item(236, "&ReSelect\tR"),
                Separator(),
                Item(159, "Curve &Management\tCtrl+M"),
            }),
      Popup("&View",
            {
                Item(230, "Zoom &In"),
                Item(232, "Zoom &Out"),
                Item(231, "Zoom &Window"),
                Item(220, "Zoom &Extents"),
                Item(242, "Zoom &Previous"),
                Separator(),
                Item(237, "Pan Left"),
                Item(238, "Pan Right"),
                Item(239, "Pan Up"),
                Item(240, "Pan Down"),
            }),
      Popup("&Measure",
            {
                Item(29, "V(I)\tF2"),
                Item(213, "I&c(H)\tF3"),
                Item(185, "I&m(H)\tF4"),
                Item(186, "I-V &families\tF5"),
                Item(151, "Ic(H) with &Reset\tF6"),
                Item(152, "Ic(T) \tF7"),
                Item(153, "&V(T) && R(T)\tF8"),
                Item(154, "V(I_wfm)\tF9"),
                Item(261, "V(time)\tF11"),
                Item(279, "V_dc(I_ac)\tF12"),
                Separator(),
                Item(209, "&Calibration"),
            }),
      Popup("M&ath",
            {
                Item(100, "&Filter"),
                Item(101, "&Smooth"),
                Item(184, "Skip Extra Points"),
                Separator(),
                Popup("Ca&lculus",
                      {
                          Item(253, "Simple dy/dx (x)"),
                          Item(254, "Simple dy/dx (y)"),
                          Item(255, "Integrate"),
                          Separator(),
                          Item(145, "Multi-point dY/dX (X)"),
                          Item(183, "Multi-point dY/dX (Y)"),
                      }),
                Item(216, "S&hift"),
                Item(217, "S&cale"),
                Item(248, "&Abs"),
                Item(281, "Log_10"),
                Item(250, "Self-field"),
                Separator(),
                Item(158, "&y as new x"),
                Item(144, "X <--> Y"),
                Item(156, "First pt <--> Last pt"),
                Popup("&Normalize",
                      {
                          Item(204, "(Y-Ymin) / Ymin"),
                          Item(205, "(Y-Ymin) / Ymax"),
                      }),
                Item(275, "&Regularize"),
                Item(280, "FF&T"),
                Separator(),
                Item(110, "Ic, Rn, Ie, Vc table"),
                Popup("Hist&ograms",
                      {
                          Item(273, "Histogram of &Ic"),
                          Item(256, "Histogram of &Rn"),
                          Item(274, "Histogram of Ie&x"),
                          Item(277, "Ic &histogram"),
                      }),
                Item(120, "Si&gma Ic"),
                Item(257, "S&tatistics"),
            }),
      Popup("&Options",
            {
                Item(139, "Math"),
                Item(284, "&Junction Parameters"),
                Item(146, "&Averaging"),
                Item(172, "Dela&y"),
                Item(265, "Auto &Zero"),
                Item(142, "&Data Saving && Loading"),
                Item(147, "Virtual &Voltages\tCtrl+V"),
                Item(148, "Virtual &Currents\tCtrl+I"),
                Popup("&Measurements",
                      {
                          Item(264, "General"),
                          Item(268, "V(I)"),
                          Item(149, "&Ic(H)"),
                          Item(267, "Ic(T)"),
                          Item(219, "V(T) && R(T)"),
                          Item(169, "&V(I_wfm)"),
                          Item(262, "V(time)"),
                          Item(278, "V_dc(I_ac)"),
                          Item(215, "Voltage Calibration"),
                          Item(282, "Trigger"),
                      }),
                Separator(),
                Item(166, "Thermometer &Setup"),
                Item(263, "Show &Calibration Curve"),
                Item(276, "&Generator"),
                WaveformPopup(),
                Separator(),
                Item(171, "A&xes"),
                Item(260, "&Printing"),
                Item(199, "&User name"),
                Separator(),
                Item(201, "&Load Options"),
                Item(202, "&Save Options.."),
                Item(203, "Save Options As.."),
                Item(218, "Load Window Position"),
                Item(140, "Save Window Position"),
            }),
      Popup("&Window",
            {
                Item(132, "&Cursors\tCtrl+R"),
                Item(134, "&Temperature\tCtrl+T"),
                Item(135, "&Picture Info\tCtrl+P"),
                Separator(),
                Item(180, "Derivative Window dY/dX (X)"),
                Item(181, "Derivative Window dY/dX (Y)"),
            }),
      Popup("&Help",
            {
                Item(195, "Content\tF1"),
                Item(196, "Search\tCtrl+F1"),
                Separator(),
                Item(2, "&About"),
            }),
  };
}

MenuItem BuildContextMenu() {
  return Popup("Plot",
               {
                   Item(231, "Zoom &Window"),
                   Item(242, "Zoom &Previous"),
                   Item(220, "Zoom &Extents"),
                   Separator(),
                   Item(221, "&Delete"),
                   Item(222, "&Properties"),
                   Item(229, "&Style"),
                   Item(227, "Make &1st"),
                   Item(228, "Make &last"),
                   Separator(),
                   Item(244, "S&hift"),
                   Item(245, "S&cale"),
                   Item(247, "&Abs"),
                   Item(246, "&y axis as new x"),
                   Item(252, "Self &Field"),
                   Separator(),
                   Item(259, "Split curve at this point"),
                   Item(233, "Delete data points in\tDel"),
                   Item(234, "&DeSelect\tD"),
               });
}

void Collect(const MenuItem& item, std::vector<const MenuItem*>& out) {
  if (item.kind == MenuItem::Kind::Item) out.push_back(&item);
  for (const MenuItem& child : item.children) Collect(child, out);
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::vector<Accelerator> BuildAccelerators() {
  const unsigned F = VK_F1 - 1;  // F + n is the key Fn
  return {
      {F + 2, 0, 29},          {F + 3, 0, 213},        {F + 4, 0, 185},
      {F + 5, 0, 186},         {F + 6, 0, 151},        {F + 7, 0, 152},        {F + 8, 0, 153},
      {F + 9, 0, 154},         {F + 11, 0, 261},       {F + 12, 0, 279},
      {'O', kControl, 197},    {'A', kControl, 198},   {'S', kControl, 271},
      {'X', kAlt, 125},        {'Z', kControl, 187},   {VK_BACK, kAlt, 187},
      {VK_DELETE, 0, 233},     {'D', 0, 234},          {'R', 0, 236},
      {VK_ADD, 0, 230},        {VK_SUBTRACT, 0, 232},  {VK_OEM_5, kControl, 220},
      {VK_BACK, 0, 242},       {VK_LEFT, 0, 237},      {VK_RIGHT, 0, 238},
      {VK_UP, 0, 239},         {VK_DOWN, 0, 240},      {'R', kControl, 132},
      {'T', kControl, 134},    {'T', kControl | kShift, 134},
      {'P', kControl, 135},    {'P', kControl | kShift, 135},
      {'M', kControl, 159},    {'V', kControl, 147},   {'I', kControl, 148},
      {F + 1, 0, 195},         {F + 1, kControl, 196}, {'D', kControl, 137},
      {'T', kControl | kAlt, 130},
  };
}

}  // namespace

const std::vector<MenuItem>& MainMenu() {
  static const std::vector<MenuItem> menu = BuildMainMenu();
  return menu;
}

const MenuItem& ContextMenu() {
  static const MenuItem menu = BuildContextMenu();
  return menu;
}

std::vector<const MenuItem*> MenuItems(const std::vector<MenuItem>& menu) {
  std::vector<const MenuItem*> out;
  for (const MenuItem& item : menu) Collect(item, out);
  return out;
}

std::vector<const MenuItem*> MenuItems(const MenuItem& popup) {
  std::vector<const MenuItem*> out;
  Collect(popup, out);
  return out;
}

const MenuItem* FindMenuItem(int id) {
  for (const MenuItem* item : MenuItems(MainMenu()))
    if (item->id == id) return item;
  for (const MenuItem* item : MenuItems(ContextMenu()))
    if (item->id == id) return item;
  return nullptr;
}

std::string PlainMenuText(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size() && text[i] != '\t'; ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') out.push_back('&'), ++i;
      continue;
    }
    out.push_back(text[i]);
  }
  const auto first = out.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

int CommandOfMenuText(const std::string& text) {
  // Typed as shown ("Data Saving & Loading") or as in the resource
  // ("&Data Saving && Loading").
  const auto first = text.find_first_not_of(' ');
  const std::string shown =
      first == std::string::npos ? std::string()
                                 : text.substr(first, text.find_last_not_of(' ') - first + 1);
  const std::string plain = PlainMenuText(text);
  if (shown.empty() && plain.empty()) return 0;
  auto matches = [&](const MenuItem* item) {
    const std::string itemText = PlainMenuText(item->text);
    return EqualNoCase(itemText, shown) || EqualNoCase(itemText, plain);
  };
  for (const MenuItem* item : MenuItems(MainMenu()))
    if (matches(item)) return item->id;
  for (const MenuItem* item : MenuItems(ContextMenu()))
    if (matches(item)) return item->id;
  return 0;
}

const std::vector<Accelerator>& AcceleratorTable() {
  static const std::vector<Accelerator> table = BuildAccelerators();
  return table;
}

int AcceleratorCommand(unsigned key, unsigned modifiers) {
  for (const Accelerator& a : AcceleratorTable())
    if (a.key == key && a.modifiers == modifiers) return a.command;
  return 0;
}

std::string AcceleratorName(const Accelerator& a) {
  std::string name;
  if (a.modifiers & kControl) name += "Ctrl+";
  if (a.modifiers & kShift) name += "Shift+";
  if (a.modifiers & kAlt) name += "Alt+";
  switch (a.key) {
    case VK_BACK: return name + "Back Space";
    case VK_LEFT: return name + "Left";
    case VK_RIGHT: return name + "Right";
    case VK_UP: return name + "Up";
    case VK_DOWN: return name + "Down";
    case VK_DELETE: return name + "Del";
    case VK_ADD: return name + "Num +";
    case VK_SUBTRACT: return name + "Num -";
    case VK_OEM_5: return name + "\\";
    default: break;
  }
  if (a.key >= VK_F1 && a.key < VK_F1 + 24) return name + "F" + std::to_string(a.key - VK_F1 + 1);
  return name + static_cast<char>(a.key);
}

}  // namespace tsm::resources
