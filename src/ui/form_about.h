// The About window: what the program is, its version, how to use it, credits and links.
#pragma once

#include <QDialog>
#include <QStringList>
#include <QUrl>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quillet::ui {

class ClickableLabel;

// The web addresses the window opens; a neutral placeholder site of the project.
inline constexpr const char* kSiteName = "quillet.example.org";
inline constexpr const char* kProgramPageUrl = "https://quillet.example.org/";
inline constexpr const char* kDownloadPageUrl = "https://quillet.example.org/download";
inline constexpr const char* kDonatePageUrl = "https://quillet.example.org/donate";
inline constexpr const char* kForumUrl = "https://quillet.example.org/forum";
inline constexpr const char* kMailAddress = "quillet@example.org";
inline constexpr const char* kThanksPageUrl = "https://freetype.org/";

// The usage text, one entry per line, with separator rows of `hyphens` hyphens.
QStringList UsageLines(int hyphens);

class TFormAbout : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 616;
  static constexpr int kClientHeight = 566;

  explicit TFormAbout(QWidget* parent = nullptr);

  // Replaces handing the address to the desktop (tests).
  std::function<void(const QUrl& url)> openUrlHook;

  void ButtonVistiSiteClick();
  void LabelThx2Click();
  void ButtonCheckVersionClick();
  void ImageDonateClick();

  QLabel* ImageVeltrixLogo = nullptr;
  QLabel* LabelInfo = nullptr;
  QLabel* LabelMadeByVeltrixInfo = nullptr;
  ClickableLabel* LabelMadeByVeltrix = nullptr;
  QLabel* LabelVersionInfo = nullptr;
  QLabel* LabelVersion = nullptr;
  QPlainTextEdit* MemoUsage = nullptr;
  QLabel* LabelSpecialThanksInfo = nullptr;
  QLabel* LabelThx1 = nullptr;
  ClickableLabel* LabelThx2 = nullptr;
  QPushButton* ButtonVistiSite = nullptr;
  QPushButton* ButtonCheckVersion = nullptr;
  ClickableLabel* ImageDonate = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildHeader(QWidget* content);
  void BuildCredits(QWidget* content);
  void FormCreate();
  void Open(const char* url);
};

}  // namespace quillet::ui
