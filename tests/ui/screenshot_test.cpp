// Not a check: writes pictures of the three windows for a person to look at (scripts/screenshot.sh runs it
// under Xvfb). Disabled in ordinary test runs.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>

#include "form_about.h"
#include "form_colors_help.h"
#include "ui_test_support.h"

namespace quillet::test {
namespace {

void Save(QWidget& window, const std::string& path) {
  EXPECT_TRUE(window.grab().save(QString::fromStdString(path), "PNG")) << path;
}

TEST(Screenshots, DISABLED_WriteTheWindows) {
  const char* folder = std::getenv("QUILLET_SCREENSHOT_DIR");
  ASSERT_NE(folder, nullptr) << "set QUILLET_SCREENSHOT_DIR";
  std::filesystem::create_directories(folder);
  const std::string out(folder);

  DrivenWindow w;
  w.ShowAndActivate();
  QTest::qWait(200);
  Save(w.Window(), out + "/main_start.png");

  // The bundled sample with the generic palette, as a person would load it.
  DrivenWindow::Click(w->i_dont_have_ifo);
  w.AnswerDialog(w.Copy(std::string(QUILLET_SOURCE_DIR) + "/samples/sample.srt", "sample.srt"));
  DrivenWindow::Click(w->ButtonLoadSub);
  ASSERT_TRUE(w->State().SubtitleLoaded);
  QTest::qWait(200);
  Save(w.Window(), out + "/main_sample.png");

  // A run in progress: the busy window shows the frames as they are made.
  const std::string longSrt = w.Dir().File("long.srt");
  ASSERT_EQ(std::system(
                ("bash '" + std::string(QUILLET_SOURCE_DIR) + "/scripts/make_long_srt' '" + longSrt + "' 600").c_str()),
            0);
  w.AnswerDialog(longSrt);
  DrivenWindow::Click(w->ButtonLoadSub);
  bool grabbed = false;
  QTimer grabber;
  grabber.setInterval(0);
  QObject::connect(&grabber, &QTimer::timeout, [&] {
    if (grabbed || w->State().ProgressBar1.position < 200) return;
    grabbed = true;
    Save(w.Window(), out + "/main_busy.png");
    DrivenWindow::Click(w->ButtonGenerateSup);  // "Abort"
  });
  grabber.start();
  DrivenWindow::Click(w->ButtonGenerateSup);
  grabber.stop();
  EXPECT_TRUE(grabbed);

  ui::TFormAbout& about = w->FormAbout();
  about.show();
  QTest::qWait(200);
  Save(about, out + "/about.png");
  about.close();

  ui::TFormColorsHelp& help = w->FormColorsHelp();
  help.show();
  QTest::qWait(200);
  Save(help, out + "/colors_help.png");
  help.close();
}

}  // namespace
}  // namespace quillet::test
