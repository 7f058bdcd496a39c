// The menu and accelerator resources: every key of table 120 reaches its
// command, modifiers match exactly, menu texts are found as people type
// them, and no id stands twice in the main menu.
#include <gtest/gtest.h>

#include <set>

#include "resources/menu.h"

namespace tsm::resources {
namespace {

TEST(AcceleratorTable, KeysReachTheirCommands) {
  struct Key {
    unsigned key, modifiers;
    int command;
  };
  const Key keys[] = {
      {VK_F1 + 1, 0, 29},          {VK_F1 + 2, 0, 213},     {VK_F1 + 3, 0, 185},
      {VK_F1 + 4, 0, 186},         {VK_F1 + 5, 0, 151},     {VK_F1 + 6, 0, 152},
      {VK_F1 + 7, 0, 153},
      {VK_F1 + 8, 0, 154},         {VK_F1 + 10, 0, 261},    {VK_F1 + 11, 0, 279},
      {'O', kControl, 197},        {'A', kControl, 198},    {'S', kControl, 271},
      {'X', kAlt, 125},            {'Z', kControl, 187},    {VK_BACK, kAlt, 187},
      {VK_DELETE, 0, 233},         {'D', 0, 234},           {'R', 0, 236},
      {VK_ADD, 0, 230},            {VK_SUBTRACT, 0, 232},   {VK_OEM_5, kControl, 220},
      {VK_BACK, 0, 242},           {VK_LEFT, 0, 237},       {VK_RIGHT, 0, 238},
      {VK_UP, 0, 239},             {VK_DOWN, 0, 240},       {'R', kControl, 132},
      {'T', kControl, 134},        {'T', kControl | kShift, 134},
      {'P', kControl, 135},        {'P', kControl | kShift, 135},
      {'M', kControl, 159},        {'V', kControl, 147},    {'I', kControl, 148},
      {VK_F1, 0, 195},             {VK_F1, kControl, 196},  {'D', kControl, 137},
      {'T', kControl | kAlt, 130},
  };
  for (const Key& k : keys)
    EXPECT_EQ(AcceleratorCommand(k.key, k.modifiers), k.command)
        << AcceleratorName({k.key, k.modifiers, 0});
  EXPECT_EQ(AcceleratorTable().size(), std::size(keys));
  // F6, shown beside "Ic(H) with &Reset" in the menu, runs it.
  EXPECT_EQ(AcceleratorCommand(VK_F1 + 5, 0), 151);
  EXPECT_EQ(AcceleratorCommand('O', kControl | kShift), 0);
  EXPECT_EQ(AcceleratorCommand('Z', 0), 0);
  EXPECT_EQ(AcceleratorName({'T', kControl | kShift, 0}), "Ctrl+Shift+T");
  EXPECT_EQ(AcceleratorName({VK_ADD, 0, 0}), "Num +");
}

TEST(Menus, TextsAreFoundAsTypedAndIdsAreUnique) {
  EXPECT_EQ(CommandOfMenuText("Open"), 197);
  EXPECT_EQ(CommandOfMenuText("zoom in"), 230);
  EXPECT_EQ(CommandOfMenuText("E&xit"), 125);
  EXPECT_EQ(CommandOfMenuText("Data Saving & Loading"), 142);
  EXPECT_EQ(CommandOfMenuText("V(T) & R(T)"), 153);  // the Measure menu comes first
  EXPECT_EQ(CommandOfMenuText("Split curve at this point"), 259);  // context menu only
  EXPECT_EQ(CommandOfMenuText("Shift"), 216);  // the Math menu before the context menu
  EXPECT_EQ(CommandOfMenuText("Zoom"), 0);
  EXPECT_EQ(CommandOfMenuText(""), 0);
  EXPECT_EQ(PlainMenuText("E&xit \t Alt-X"), "Exit");
  EXPECT_EQ(PlainMenuText("Clear Screen\t "), "Clear Screen");

  std::set<int> ids;
  for (const MenuItem* item : MenuItems(MainMenu()))
    EXPECT_TRUE(ids.insert(item->id).second) << "id " << item->id << " twice";
  EXPECT_EQ(FindMenuItem(1015)->text, "1&5");
  EXPECT_EQ(FindMenuItem(125)->text, "E&xit \t Alt-X");
}

}  // namespace
}  // namespace tsm::resources
