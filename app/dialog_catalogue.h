// Every dialog of the program, one line each: how to open it from the
// program's state, under a short name. The offscreen test that renders every
// dialog (tests/gui/test_dialog_catalogue.cpp) and the picture maker of the
// user guide (scripts/pictures.sh) both go through this list, so a new
// dialog is covered by adding its line to app/dialog_catalogue.cpp.
//
// The dialogs are opened as the user opens them (mostly by their command);
// the caller provides a family with curves for the Math tools, and its Ui
// decides what happens to the dialog that opens.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tsm::app {

struct CatalogueEntry {
  std::string name;            // the picture's file name, without extension
  std::function<void()> open;  // opens it (it may open further dialogs)
};

const std::vector<CatalogueEntry>& DialogCatalogue();

}  // namespace tsm::app
