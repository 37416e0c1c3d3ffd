// The main window: the Qt controls of the job settings and commands, a view of MainController.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_controller.h"
#include "app/settings_lifecycle.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;

namespace quillet::ui {

class PreviewImage;
class QtWindowGeometry;
class TFormAbout;
class TFormColorsHelp;

struct FormMainOptions {
  std::vector<std::string> args;     // the command line after the program name
  std::string programFolder = "./";  // ends with "/"; batch lines name the program there
  std::string settingsPath;          // empty: where ChooseSettingsFile puts it for programFolder
  int generationWorkers = -1;        // threads that render ahead during generation; -1: by the usable processors
  std::string openFile;              // not empty: loaded at the first activation, as a file dropped on the window
};

/*
 * Every control carries the name the rest of the program uses for it (member name = objectName). The widgets
 * forward each change the person makes to the controller and show the controller's state; values put into
 * the widgets by the window itself never run a change action (their signals are blocked meanwhile).
 *
 * The settings file follows the window's moments (SettingsLifecycle): shown, first activation, closing, and
 * program end (FinishProgram, or the window's destruction).
 */
class TFormMain : public QWidget, public MainView {
  Q_OBJECT
 public:
  // The window's own size; on a smaller screen the window is smaller and scrolls over its controls.
  static constexpr int kClientWidth = 803;
  static constexpr int kClientHeight = 705;
  // The colour swatch of each item in the colour roles' lists.
  static constexpr int kColourIconPx = 12;

  explicit TFormMain(FormMainOptions options, QWidget* parent = nullptr);
  ~TFormMain() override;

  MainController& Controller() { return *m_controller; }
  const MainState& State() const { return m_controller->State(); }
  TFormAbout& FormAbout() { return *m_formAbout; }
  TFormColorsHelp& FormColorsHelp() { return *m_formColorsHelp; }

  // Program end for the settings file: saved if closing did not, then written once. The destructor does it when
  // it was not called; called here, a failure shows the error box (during the destruction, standard error).
  void FinishProgram();
  // A successful unattended run asked the program to end.
  bool ProgramEndRequested() const { return m_endRequested; }

  // Replacements for the modal dialogs, so the window can be driven without a person (tests, screenshots).
  // Unset, the real message boxes and file dialogs are shown.
  std::function<void(const std::string& text)> messageHook;
  std::function<void(const std::string& text)> errorHook;
  std::function<void(FileDialogState& dialog)> openDialogHook;
  // Replaces the modal showing of the About and colour help windows.
  std::function<void(QWidget& window)> showModalHook;

  // MainView
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ShowNotice(const std::string& text) override;
  void ExecuteOpenDialog(FileDialogState& dialog) override;
  void ProcessEvents() override;
  void StateChanged() override;
  void PictureChanged() override;
  void ProgressChanged() override;
  void EndProgram() override;

  // "Input"
  QGroupBox* GroupBoxInput = nullptr;
  QLineEdit* EditLoadIfo = nullptr;
  QPushButton* ButtonLoadIfo = nullptr;
  QCheckBox* i_dont_have_ifo = nullptr;
  QLabel* no_ifo = nullptr;
  QRadioButton* Pal = nullptr;
  QRadioButton* Ntsc = nullptr;
  QCheckBox* CheckBoxWideScreen = nullptr;  // "16:9 video"
  QLineEdit* EditLoadSrt = nullptr;
  QPushButton* ButtonLoadSub = nullptr;
  QLabel* LabelIfoColors = nullptr;
  std::array<QLabel*, 16> PaletteSwatches{};  // created by the palette commands, none before
  std::array<QLabel*, 16> PaletteLabels{};

  // outside the groups
  QListWidget* ListBoxPreview = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QPushButton* ButtonGenerateSup = nullptr;
  QPushButton* ButtonBatch = nullptr;
  PreviewImage* preview = nullptr;

  // "Colors"
  QGroupBox* GroupBoxColors = nullptr;
  QComboBox* ComboBoxAntialias = nullptr;
  QComboBox* ComboBoxOutline = nullptr;
  QComboBox* ComboBoxText = nullptr;
  QComboBox* ComboBoxBg = nullptr;
  QPushButton* ButtonColorsHelp = nullptr;

  // "General Settings"
  QGroupBox* GroupBoxGeneralSettings = nullptr;
  QPushButton* BitBtnSetDefaultValues = nullptr;
  QPushButton* BitBtnChangeImage = nullptr;
  QPushButton* ButtonAbout = nullptr;
  QCheckBox* CheckBoxVobSub = nullptr;      // "VobSub too"
  QCheckBox* CheckBoxBreakLines = nullptr;  // "Break long lines"
  QCheckBox* CheckBoxFileStyles = nullptr;  // "Styles and placement from the file"

  // "Render Fonts"
  QGroupBox* GroupBoxRenderFonts = nullptr;
  QComboBox* ComboBoxFontName = nullptr;
  QComboBox* ComboBoxFontCharset = nullptr;
  QComboBox* ComboBoxFontStyle = nullptr;
  QComboBox* ComboBoxFontSize = nullptr;
  QComboBox* ComboBoxAlign = nullptr;
  QSlider* offset = nullptr;
  QSlider* offset_or = nullptr;
  QLabel* LabelOffset = nullptr;
  QLabel* LabelOffset_Or = nullptr;
  QComboBox* ComboBoxOutlineWidth = nullptr;

  // invisible: the user's preview pictures
  QLabel* LabelImageChangedPAL = nullptr;
  QLabel* LabelImageChangedNTSC = nullptr;

 protected:
  bool event(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void BuildInputGroup();
  void BuildColorsGroup();
  void BuildGeneralSettingsGroup();
  void BuildRenderFontsGroup();
  void ConnectControls();
  QComboBox* MakeList(QWidget* parent, const char* name, int x, int y, int width);
  QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int width = 0);

  void MirrorLists(const MainState& s);
  void MirrorColourIcons(const MainState& s);
  void MirrorPalette(const MainState& s);
  void MirrorProgress(const MainState& s);
  void ShowModal(QWidget& window);

  void FirstActivation();

  QWidget* m_content = nullptr;  // holds every control, inside the window's scroll area
  FormMainOptions m_options;
  std::unique_ptr<MainController> m_controller;
  std::unique_ptr<QtWindowGeometry> m_geometry;
  std::unique_ptr<SettingsLifecycle> m_settings;
  TFormAbout* m_formAbout = nullptr;
  TFormColorsHelp* m_formColorsHelp = nullptr;

  // what the widgets show, to change only what changed
  std::vector<std::string> m_shownSubtitleItems;
  std::optional<PaletteDisplay> m_shownPalette;
  std::optional<PaletteDisplay> m_iconPalette;  // the colours the role lists' items show
  bool m_iconsShown = false;
  bool m_fontNamesShown = false;

  bool m_shown = false;
  bool m_activated = false;
  bool m_fittedInFrame = false;
  bool m_endRequested = false;
  bool m_goingAway = false;  // destroyed: no more message boxes
  int m_modalDepth = 0;
};

}  // namespace quillet::ui
