// The window module's entry: everything else in the module (the window, Qt) stays hidden behind it.
#include "window_module.h"

#include "quillet_window.h"

extern "C" __attribute__((visibility("default"))) int QuilletRunWindow(int argc, char** argv,
                                                                       const char* programFolder) {
  return quillet::ui::RunWindow(argc, argv, programFolder);
}
