// Whether a window can be opened here: the display the environment names must answer before any toolkit starts.
#pragma once

#include <string>

namespace quillet {

// The environment variables that decide where the toolkit opens its windows.
struct DisplayEnvironment {
  std::string qtPlatform;      // QT_QPA_PLATFORM: "" for the toolkit's choice, else "name[:options][;name…]"
  std::string display;         // DISPLAY
  std::string waylandDisplay;  // WAYLAND_DISPLAY: a socket name in runtimeDir, or an absolute path
  std::string runtimeDir;      // XDG_RUNTIME_DIR
  std::string sessionType;     // XDG_SESSION_TYPE: "wayland" puts the Wayland socket first

  static DisplayEnvironment FromProcess();
};

struct DisplayCheck {
  bool usable = false;
  // The platform that answered ("xcb" or "wayland") when the toolkit was left to choose; the program then asks
  // the toolkit for exactly that one, so it does not try another that was not checked.
  std::string platform;
  // Why not, when a display was named but cannot be opened; empty when none was named at all.
  std::string problem;
};

/*
 * The toolkit ends the whole process when the display it was told about does not answer, so the program asks
 * first, the way the toolkit will: an X display must accept a connection (its authorisation included), a
 * Wayland socket must accept one. Where the toolkit is left to choose, the X display is tried first, the Wayland
 * socket first in a Wayland session. A platform that needs no display server (offscreen, say) is taken as it
 * is, but only when a display is named, since a window nobody can see would wait for ever.
 */
DisplayCheck CheckDisplay(const DisplayEnvironment& env);

}  // namespace quillet
