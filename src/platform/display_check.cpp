// Whether a window can be opened here: the display the environment names must answer before any toolkit starts.
#include "display_check.h"

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace quillet {

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The X library is opened only here, when a display is named: a run without one loads no X library at all.
// Without the library no window can open on X either.
bool XDisplayAnswers(const std::string& display) {
  void* library = ::dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
  if (library == nullptr) return false;
  auto connect = reinterpret_cast<decltype(&xcb_connect)>(::dlsym(library, "xcb_connect"));
  auto hasError = reinterpret_cast<decltype(&xcb_connection_has_error)>(::dlsym(library, "xcb_connection_has_error"));
  auto disconnect = reinterpret_cast<decltype(&xcb_disconnect)>(::dlsym(library, "xcb_disconnect"));
  bool answers = false;
  if (connect != nullptr && hasError != nullptr && disconnect != nullptr) {
    xcb_connection_t* connection = connect(display.c_str(), nullptr);
    answers = hasError(connection) == 0;
    disconnect(connection);
  }
  ::dlclose(library);
  return answers;
}

bool WaylandSocketAnswers(const DisplayEnvironment& env) {
  std::string path = env.waylandDisplay;
  if (path.front() != '/') {
    if (env.runtimeDir.empty()) return false;
    path = env.runtimeDir + "/" + path;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool answers = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  close(fd);
  return answers;
}

}  // namespace

DisplayEnvironment DisplayEnvironment::FromProcess() {
  return {Env("QT_QPA_PLATFORM"), Env("DISPLAY"), Env("WAYLAND_DISPLAY"), Env("XDG_RUNTIME_DIR"),
          Env("XDG_SESSION_TYPE")};
}

DisplayCheck CheckDisplay(const DisplayEnvironment& env) {
  if (env.display.empty() && env.waylandDisplay.empty()) return {};

  // The platforms to try, in order: those the toolkit was told to use, or the two display servers.
  std::vector<std::string> platforms;
  const bool chosen = !env.qtPlatform.empty();
  if (chosen) {
    std::string::size_type start = 0;
    while (start <= env.qtPlatform.size()) {
      std::string::size_type end = env.qtPlatform.find(';', start);
      if (end == std::string::npos) end = env.qtPlatform.size();
      const std::string entry = env.qtPlatform.substr(start, end - start);
      const std::string name = entry.substr(0, entry.find(':'));
      if (name.rfind("wayland", 0) == 0) {
        platforms.push_back("wayland");
      } else if (name == "xcb") {
        platforms.push_back("xcb");
      } else if (!name.empty()) {
        return {true, "", ""};  // a platform of its own (offscreen, vnc …)
      }
      start = end + 1;
    }
  } else if (env.sessionType == "wayland") {
    platforms = {"wayland", "xcb"};
  } else {
    platforms = {"xcb", "wayland"};
  }

  std::string problem;
  for (const std::string& platform : platforms) {
    if (platform == "xcb" && !env.display.empty()) {
      if (XDisplayAnswers(env.display)) return {true, chosen ? "" : platform, ""};
      problem +=
          (problem.empty() ? "" : ", and ") + std::string("the X display \"") + env.display + "\" cannot be opened";
    }
    if (platform == "wayland" && !env.waylandDisplay.empty()) {
      if (WaylandSocketAnswers(env)) return {true, chosen ? "" : platform, ""};
      problem += (problem.empty() ? "" : ", and ") + std::string("the Wayland display \"") + env.waylandDisplay +
                 "\" does not answer";
    }
  }
  if (problem.empty()) problem = "no display suits the platform \"" + env.qtPlatform + "\"";
  return {false, "", problem};
}

}  // namespace quillet
