#include "app/picture_output.h"

namespace tsm::app {

namespace {
PictureOutput*& Installed() {
  static PictureOutput* output = nullptr;
  return output;
}
}  // namespace

void SetPictureOutput(PictureOutput* output) { Installed() = output; }

PictureOutput* GetPictureOutput() { return Installed(); }

}  // namespace tsm::app
