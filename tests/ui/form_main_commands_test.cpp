// The main window's commands driven through its widgets: loads, the length check, generation, abort, batch jobs,
// and the unattended run with a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "dvdsub_decoder.h"
#include "preview_image.h"
#include "ui_test_support.h"

namespace quillet::test {
namespace {

namespace fs = std::filesystem;
using ui::TFormMain;

const std::string kSample = std::string(QUILLET_SOURCE_DIR) + "/samples/sample.srt";

std::string LongSubtitle(const TempDir& dir, int entries) {
  const std::string path = dir.File("long.srt");
  const std::string command =
      "bash '" + std::string(QUILLET_SOURCE_DIR) + "/scripts/make_long_srt' '" + path + "' " + std::to_string(entries);
  EXPECT_EQ(std::system(command.c_str()), 0);
  return path;
}

std::size_t PacketCount(const std::string& supPath) { return SplitSupFile(ReadFile(supPath)).size(); }

// A window with the greys IFO loaded and the sample subtitle listed.
void LoadIfoAndSample(DrivenWindow& w) {
  w.AnswerDialog(w.Copy(DataFile("ifo_greys_pal.ifo"), "VTS_01_0.IFO"));
  DrivenWindow::Click(w->ButtonLoadIfo);
  w.AnswerDialog(w.Copy(kSample, "movie.srt"));
  DrivenWindow::Click(w->ButtonLoadSub);
}

TEST(FormMainCommands, LoadIfoFromItsDialogShowsThePaletteAndTheSample) {
  DrivenWindow w;
  w.ShowAndActivate();
  const std::string ifo = w.Copy(DataFile("ifo_greys_pal.ifo"), "VTS_01_0.IFO");
  w.AnswerDialog(ifo);
  DrivenWindow::Click(w->ButtonLoadIfo);

  ASSERT_EQ(w.dialogs.size(), 1u);
  EXPECT_EQ(w.dialogs[0].filter, "ifo|*.ifo");
  EXPECT_TRUE(w.errors.empty());
  EXPECT_TRUE(w.messages.empty());
  EXPECT_EQ(w->EditLoadIfo->text(), QString::fromStdString(ifo));
  EXPECT_TRUE(w->State().IfoLoaded);
  EXPECT_TRUE(w->Pal->isChecked());
  EXPECT_FALSE(w->Pal->isEnabled());
  EXPECT_FALSE(w->i_dont_have_ifo->isChecked());
  for (int n = 0; n < 16; ++n) {
    ASSERT_NE(w->PaletteSwatches[n], nullptr);
    EXPECT_EQ(w->PaletteSwatches[n]->toolTip().size(), 8) << n;  // the entry in hexadecimal
  }
  // The automatic colours are shown in the lists.
  EXPECT_EQ(w->ComboBoxText->currentIndex(), w->State().ComboBoxText.itemIndex);
  EXPECT_EQ(w->ComboBoxBg->currentIndex(), w->State().ComboBoxBg.itemIndex);
  // The sample was drawn onto the background: the preview is no longer the plain picture.
  EXPECT_NE(w->State().preview, Image24());

  // A second load whose dialog is cancelled reads the remembered file again.
  w.AnswerDialog(std::nullopt);
  DrivenWindow::Click(w->ButtonLoadIfo);
  ASSERT_EQ(w.dialogs.size(), 2u);
  EXPECT_EQ(w.dialogs[1].fileName, ifo);
  EXPECT_EQ(w->EditLoadIfo->text(), QString::fromStdString(ifo));
}

TEST(FormMainCommands, RejectedIfoTellsAboutTheGenericPalette) {
  DrivenWindow w;
  w.ShowAndActivate();
  w.AnswerDialog(w.Copy(DataFile("ifo_monochrome_ntsc.ifo"), "VTS_02_0.IFO"));
  DrivenWindow::Click(w->ButtonLoadIfo);
  ASSERT_EQ(w.messages.size(), 1u);
  EXPECT_TRUE(HasMessageStarting(w.messages, "ATTENTION :\rYour loaded ifo has not a polycromatic color palette."));
  EXPECT_TRUE(w->i_dont_have_ifo->isChecked());
  EXPECT_FALSE(w->ButtonLoadIfo->isEnabled());
  EXPECT_TRUE(w->Ntsc->isChecked());
  EXPECT_FALSE(w->Ntsc->isEnabled());
  EXPECT_EQ(w->preview->height(), 480);
  ASSERT_NE(w->PaletteSwatches[2], nullptr);
  EXPECT_EQ(w->PaletteSwatches[2]->toolTip(), QStringLiteral("170170170"));
}

TEST(FormMainCommands, LoadSubtitleBeforeAPaletteIsRefused) {
  DrivenWindow w;
  w.ShowAndActivate();
  w.AnswerDialog(w.Copy(kSample, "movie.srt"));
  DrivenWindow::Click(w->ButtonLoadSub);
  EXPECT_EQ(w.messages, std::vector<std::string>{"Please load an Ifo file first and then an Srt/Sub/Txt file."});
  EXPECT_EQ(w->ListBoxPreview->count(), 0);
}

TEST(FormMainCommands, LoadSubtitleListsItsEntriesAndChecksTheirLength) {
  DrivenWindow w;
  w.ShowAndActivate();
  LoadIfoAndSample(w);
  EXPECT_TRUE(w.errors.empty());
  EXPECT_EQ(w.messages, std::vector<std::string>{"Subtitle Style Modified/Loaded Successfully"});
  EXPECT_EQ(w.dialogs.back().filter, "*.srt;*.sub;*.txt|*.srt;*.sub;*.txt|*.vtt;*.ass;*.ssa|*.vtt;*.ass;*.ssa");
  EXPECT_EQ(w->EditLoadSrt->text(), QString::fromStdString(w.Dir().File("movie.srt")));
  ASSERT_EQ(w->ListBoxPreview->count(), 4);
  EXPECT_EQ(w->ListBoxPreview->item(0)->text(), QStringLiteral("Rethymno.|Crete Hellas."));
  EXPECT_EQ(w->ListBoxPreview->currentRow(), 0);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Quillet By Veltrix"));
  EXPECT_TRUE(w->State().SubtitleLoaded);

  // Choosing another entry draws it.
  const Image24 first = w->State().preview;
  w->ListBoxPreview->setCurrentRow(3);
  EXPECT_EQ(w->State().ListBoxPreviewIndex, 3);
  const Image24 fourth = w->State().preview;
  EXPECT_NE(fourth, first);

  // A run leaves its last frame on show; a click on the entry already chosen draws that entry again.
  DrivenWindow::Click(w->ButtonGenerateSup);
  ASSERT_NE(w->State().preview, fourth);
  QListWidget* list = w->ListBoxPreview;
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(3)).center());
  EXPECT_EQ(list->currentRow(), 3);
  EXPECT_EQ(w->State().preview, fourth);
}

TEST(FormMainCommands, GrowingTheFontUntilALineIsTooLongStopsGeneration) {
  DrivenWindow w;
  w.ShowAndActivate();
  LoadIfoAndSample(w);
  w.messages.clear();
  int index = w->ComboBoxFontSize->currentIndex();
  while (!HasMessageStarting(w.messages, "The string ") && index < 34) {
    w.messages.clear();
    DrivenWindow::Choose(w->ComboBoxFontSize, ++index);
    ASSERT_EQ(w->State().ComboBoxFontSize.itemIndex, index);
  }
  ASSERT_TRUE(HasMessageStarting(w.messages, "The string \r")) << "no size up to 50 made a line too long";
  EXPECT_FALSE(w->State().LinesFit);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Quillet By Veltrix"));
  const std::string& last = w.messages.back();
  EXPECT_NE(last.find("is too long. Please use a smaler font size."), std::string::npos) << last;

  w.messages.clear();
  DrivenWindow::Click(w->ButtonGenerateSup);
  EXPECT_EQ(w.messages, std::vector<std::string>{"Please use smaller font."});
  EXPECT_FALSE(fs::exists(w.Dir().File("movie.sup")));
  EXPECT_EQ(w->ButtonGenerateSup->text(), QStringLiteral("Generate Sup"));
  EXPECT_TRUE(w->GroupBoxRenderFonts->isEnabled());
}

TEST(FormMainCommands, GenerateWritesTheFilesAndShowsTheReport) {
  DrivenWindow w;
  w.ShowAndActivate();
  LoadIfoAndSample(w);
  w.messages.clear();
  DrivenWindow::Click(w->ButtonGenerateSup);
  EXPECT_TRUE(w.errors.empty());
  ASSERT_EQ(w.messages.size(), 1u);
  EXPECT_TRUE(HasMessageStarting(w.messages, "All Done !!! (Case : With Ifo)\r\n"));
  const std::string sup = w.Dir().File("movie.sup");
  const std::string help = w.Dir().File("movie.Quillet_Help.txt");
  EXPECT_NE(w.messages[0].find("Generated Files:\r\n" + sup + "\r\n" + help), std::string::npos);
  EXPECT_EQ(PacketCount(sup), 4u);
  EXPECT_EQ(ReadFile(help), w.messages[0]);
  EXPECT_EQ(w->ButtonGenerateSup->text(), QStringLiteral("Generate Sup"));
  EXPECT_EQ(w->ProgressBar1->value(), w->ProgressBar1->maximum());
  EXPECT_EQ(w->ProgressBar1->maximum(), 3);
  EXPECT_TRUE(w->GroupBoxInput->isEnabled());
  EXPECT_TRUE(w->ButtonBatch->isEnabled());
  // The preview keeps the last frame generated: the blue of the frame shows through it as transparent.
  EXPECT_EQ(w->preview->Shown().size(), QSize(720, 576));
}

TEST(FormMainCommands, AbortDuringARunStopsItAndSaysSo) {
  DrivenWindow w;
  w.ShowAndActivate();
  w.AnswerDialog(w.Copy(DataFile("ifo_greys_pal.ifo"), "VTS_01_0.IFO"));
  DrivenWindow::Click(w->ButtonLoadIfo);
  w.AnswerDialog(LongSubtitle(w.Dir(), 300));
  DrivenWindow::Click(w->ButtonLoadSub);
  ASSERT_TRUE(w->State().SubtitleLoaded);
  w.messages.clear();

  // While the run works, the person sees the busy window and presses "Abort".
  bool pressed = false;
  bool busyAsExpected = false;
  QTimer presser;
  presser.setInterval(0);
  QObject::connect(&presser, &QTimer::timeout, [&] {
    if (pressed || w->State().ProgressBar1.position < 5) return;
    pressed = true;
    busyAsExpected = w->ButtonGenerateSup->text() == QStringLiteral("Abort") && w->ButtonGenerateSup->isEnabled() &&
                     !w->GroupBoxInput->isEnabled() && !w->GroupBoxColors->isEnabled() &&
                     !w->GroupBoxGeneralSettings->isEnabled() && !w->GroupBoxRenderFonts->isEnabled() &&
                     !w->ListBoxPreview->isEnabled() && !w->ButtonBatch->isEnabled();
    DrivenWindow::Click(w->ButtonGenerateSup);
  });
  presser.start();
  DrivenWindow::Click(w->ButtonGenerateSup);
  presser.stop();

  ASSERT_TRUE(pressed);
  EXPECT_TRUE(busyAsExpected);
  EXPECT_EQ(w.messages, std::vector<std::string>{"Operation Aborted"});
  const std::size_t packets = PacketCount(w.Dir().File("long.sup"));
  EXPECT_GE(packets, 5u);
  EXPECT_LT(packets, 300u);
  EXPECT_FALSE(fs::exists(w.Dir().File("long.Quillet_Help.txt")));
  EXPECT_EQ(w->ButtonGenerateSup->text(), QStringLiteral("Generate Sup"));
  EXPECT_TRUE(w->GroupBoxInput->isEnabled());
  EXPECT_TRUE(w->State().GenerationStopped);
}

TEST(FormMainCommands, ClosingTheWindowDuringARunStopsItQuietly) {
  DrivenWindow w;
  w.ShowAndActivate();
  DrivenWindow::Click(w->i_dont_have_ifo);
  w.AnswerDialog(LongSubtitle(w.Dir(), 300));
  DrivenWindow::Click(w->ButtonLoadSub);
  ASSERT_TRUE(w->State().SubtitleLoaded);
  w.messages.clear();

  QTimer closer;
  closer.setInterval(0);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (w->isVisible() && w->State().ProgressBar1.position >= 3) w->close();
  });
  closer.start();
  DrivenWindow::Click(w->ButtonGenerateSup);
  closer.stop();

  EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(w.messages.empty());
  EXPECT_LT(PacketCount(w.Dir().File("long.sup")), 300u);
  EXPECT_FALSE(fs::exists(w.Dir().File("long.Quillet_Help.txt")));
}

TEST(FormMainCommands, AddToBatchAppendsTheJobLine) {
  DrivenWindow w;
  w.ShowAndActivate();
  DrivenWindow::Click(w->ButtonBatch);
  EXPECT_EQ(w.messages, std::vector<std::string>{"Load an srt"});

  LoadIfoAndSample(w);
  w.messages.clear();
  const std::string batch = w.Dir().File("MyBatch.bat");
  w.AnswerDialog(batch);
  DrivenWindow::Click(w->ButtonBatch);
  EXPECT_EQ(w.dialogs.back().filter, "*.bat|*.bat");
  EXPECT_EQ(w.messages, std::vector<std::string>{"Job added to Batch file: " + batch});
  const std::string line = ReadFile(batch);
  EXPECT_NE(line.find("quillet.exe\""), std::string::npos) << line;
  EXPECT_NE(line.find(w.Dir().File("movie.srt")), std::string::npos) << line;
  EXPECT_EQ(line.substr(line.size() - 2), "\r\n");

  // The second job goes to the same file without asking again.
  const std::size_t dialogs = w.dialogs.size();
  DrivenWindow::Click(w->ButtonBatch);
  EXPECT_EQ(w.dialogs.size(), dialogs);
  EXPECT_EQ(ReadFile(batch), line + line);
}

// Answers the real file dialog of the next command as a person does: types `fileName` and presses Save or Open.
// Returns false when a message box came up instead (a refusal such as "File not found").
bool TypeIntoTheRealDialog(DrivenWindow& w, const std::string& fileName, const std::function<void()>& command) {
  w->openDialogHook = nullptr;
  bool typed = false;
  bool refused = false;
  int tries = 0;   // times the name was typed
  int waited = 0;  // ticks the dialog held the name without closing
  QTimer person;
  person.setInterval(10);
  QObject::connect(&person, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      refused = true;
      box->done(QMessageBox::Ok);
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      if (refused) return dialog->reject();
      auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      if (edit == nullptr) return dialog->reject();
      // The whole path goes into the name field, as a person types it. Selecting the file instead moved the dialog
      // to its folder first, and on a busy machine that folder, still loading, replaced the name with itself. Should
      // the name still be lost, it is typed again and Save or Open pressed again.
      const QString name = QString::fromStdString(fileName);
      if (typed && edit->text() == name && ++waited < 300) return;
      if (++tries > 50) return dialog->reject();
      typed = true;
      edit->setText(name);
      // Save or Open, outside this timer's handler: the timer must fire again to answer a message box.
      QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    }
  });
  person.start();
  command();
  return typed && !refused;
}

TEST(FormMainCommands, AddToBatchStartsANewBatchFileOrAppendsToAnExistingOneWithoutAsking) {
  DrivenWindow w;
  w.ShowAndActivate();
  LoadIfoAndSample(w);
  w.messages.clear();
  const std::string batch = w.Dir().File("MyBatch");
  EXPECT_TRUE(TypeIntoTheRealDialog(w, batch, [&] { DrivenWindow::Click(w->ButtonBatch); }));
  EXPECT_EQ(w.messages, std::vector<std::string>{"Job added to Batch file: " + batch + ".bat"});
  const std::string line = ReadFile(batch + ".bat");

  // Another run of the program picks the file that now exists: the job is appended, nothing is asked.
  DrivenWindow again;
  again.ShowAndActivate();
  LoadIfoAndSample(again);
  again.messages.clear();
  EXPECT_TRUE(TypeIntoTheRealDialog(again, batch + ".bat", [&] { DrivenWindow::Click(again->ButtonBatch); }));
  EXPECT_EQ(again.messages, std::vector<std::string>{"Job added to Batch file: " + batch + ".bat"});
  EXPECT_EQ(ReadFile(batch + ".bat").substr(0, line.size()), line);
  EXPECT_GT(ReadFile(batch + ".bat").size(), line.size());
}

TEST(FormMainCommands, CompleteCommandLineRunsUnattendedAndEndsTheProgram) {
  TempDir subtitles;
  const std::string subtitle = subtitles.File("job.srt");
  std::filesystem::copy_file(kSample, subtitle);
  DrivenWindow w({"1", "none.ifo", subtitle, "0", "1", "0", "3", "0", "0", "4", "0", "14", "0", "40", "-3", "1"});
  EXPECT_TRUE(w->State().Unattended);
  w->show();
  ASSERT_TRUE(WaitUntil([&] { return w->ProgramEndRequested(); }));
  EXPECT_TRUE(w.messages.empty());
  EXPECT_TRUE(w.errors.empty());
  EXPECT_TRUE(w.dialogs.empty());
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(PacketCount(subtitles.File("job.sup")), 4u);
  EXPECT_TRUE(fs::exists(subtitles.File("job.Quillet_Help.txt")));
  EXPECT_FALSE(w->State().Pal);  // value 4 was false: NTSC
  EXPECT_EQ(w->offset_or->value(), -2);
  EXPECT_EQ(w->offset->value(), 40);
}

TEST(FormMainCommands, TheProgramWithADisplayRunsTheJobInItsWindowAndExitsWithZero) {
  TempDir subtitles;
  const std::string subtitle = subtitles.File("with space.srt");
  std::filesystem::copy_file(kSample, subtitle);
  const std::string command = "timeout 120 env DISPLAY=:quillet-test QT_QPA_PLATFORM=offscreen '" + ProgramCopy() +
                              "' 1 none.ifo '" + subtitle + "' -1 1 0 3 0 0 4 0 14 0 30 -4 1 2>/dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(PacketCount(subtitles.File("with space.sup")), 4u);
  EXPECT_TRUE(fs::exists(subtitles.File("with space.Quillet_Help.txt")));
}

TEST(FormMainCommands, UnattendedFailureWaitsForTheMessageAndKeepsTheWindow) {
  TempDir subtitles;
  DrivenWindow w({"0", subtitles.File("missing.ifo"), subtitles.File("missing.srt"), "x", "0", "0", "3", "0", "0", "4",
                  "0", "14", "0", "30", "-4", "1"});
  w->show();
  ASSERT_TRUE(WaitUntil([&] { return !w.errors.empty() || !w.messages.empty(); }));
  EXPECT_FALSE(w->ProgramEndRequested());
  EXPECT_TRUE(w->isVisible());
  EXPECT_TRUE(w->State().Unattended);
}

}  // namespace
}  // namespace quillet::test
