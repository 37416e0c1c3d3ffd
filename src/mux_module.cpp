// The mux module's entry: everything else in the module (the core, libavformat) stays hidden behind it.
#include "mux_module.h"

#include <iostream>
#include <string>
#include <vector>

#include "app/mux_run.h"
#include "app/spumux_run.h"

extern "C" __attribute__((visibility("default"))) int QuilletRunMux(int argc, const char* const* argv,
                                                                    int errIsTerminal) {
  const std::vector<std::string> args(argv, argv + argc);
  return quillet::RunMuxCommand(args, std::cout, std::cerr, errIsTerminal != 0);
}

extern "C" __attribute__((visibility("default"))) int QuilletRunSpumux(int argc, const char* const* argv) {
  const std::vector<std::string> args(argv, argv + argc);
  return quillet::RunSpumuxCommand(args, 0, 1, std::cerr);
}
