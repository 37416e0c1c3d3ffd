// The check made before the window opens: which named displays answer, and what the toolkit would try.
#include "display_check.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "test_support.h"

namespace quillet {
namespace {

// A Unix socket at `path`; listening, or closed again so that its file stays behind with nobody behind it.
int Socket(const std::string& path, bool listening) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  EXPECT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0) << path;
  if (listening) {
    EXPECT_EQ(listen(fd, 1), 0);
    return fd;
  }
  close(fd);
  return -1;
}

TEST(DisplayCheck, AnXDisplayWithoutAServerIsNamedAsTheProblem) {
  const std::string display = test::UnusedXDisplay();
  const DisplayCheck check = CheckDisplay({"", display, "", "", ""});
  EXPECT_FALSE(check.usable);
  EXPECT_EQ(check.problem, "the X display \"" + display + "\" cannot be opened");
  EXPECT_EQ(CheckDisplay({"xcb", display, "", "", ""}).problem, check.problem);

  const DisplayCheck nothing = CheckDisplay({});
  EXPECT_FALSE(nothing.usable);
  EXPECT_EQ(nothing.problem, "");
}

TEST(DisplayCheck, AWaylandSocketMustAnswer) {
  const test::TempDir runtime;
  const std::string dead = test::UnusedXDisplay();
  Socket(runtime.File("wayland-dead"), false);
  const int live = Socket(runtime.File("wayland-1"), true);
  const std::string dir = runtime.Path().string();

  EXPECT_FALSE(CheckDisplay({"", "", "wayland-dead", dir, "wayland"}).usable);
  EXPECT_FALSE(CheckDisplay({"", "", "wayland-1", "", ""}).usable) << "no runtime folder to find it in";
  const DisplayCheck byName = CheckDisplay({"", dead, "wayland-1", dir, ""});
  EXPECT_TRUE(byName.usable);
  EXPECT_EQ(byName.platform, "wayland");  // the toolkit is then told to use the one that answered
  EXPECT_TRUE(CheckDisplay({"wayland", "", runtime.File("wayland-1"), "", ""}).usable);
  // Told to use X only, the toolkit would not fall back to the live socket.
  const DisplayCheck xOnly = CheckDisplay({"xcb", dead, "wayland-1", dir, ""});
  EXPECT_FALSE(xOnly.usable);
  EXPECT_EQ(xOnly.problem, "the X display \"" + dead + "\" cannot be opened");
  close(live);
}

TEST(DisplayCheck, APlatformWithoutADisplayServerNeedsADisplayNamedAllTheSame) {
  const DisplayCheck offscreen = CheckDisplay({"offscreen", test::UnusedXDisplay(), "", "", ""});
  EXPECT_TRUE(offscreen.usable);
  EXPECT_EQ(offscreen.platform, "");  // as it was chosen
  EXPECT_FALSE(CheckDisplay({"offscreen", "", "", "", ""}).usable);
}

}  // namespace
}  // namespace quillet
