// The colour help window: which colour role is which, with an example picture.
#include "form_colors_help.h"

#include <QLabel>

#include "pictures.h"
#include "window_style.h"

namespace quillet::ui {

TFormColorsHelp::TFormColorsHelp(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("FormColorsHelp"));
  setWindowTitle(QStringLiteral("Colors Help"));
  setFont(WindowFont());
  setFixedSize(317, 174);
  setModal(true);

  LabelAttention = new QLabel(QStringLiteral("ATTENTION"), this);
  LabelAttention->setObjectName(QStringLiteral("LabelAttention"));
  LabelAttention->setStyleSheet(QStringLiteral("color: red"));
  LabelAttention->adjustSize();
  LabelAttention->move(115, 10);

  LabelInfo = new QLabel(QStringLiteral("For Antialias ,Outline and Text color please dont pick a blue color."), this);
  LabelInfo->setObjectName(QStringLiteral("LabelInfo"));
  LabelInfo->setWordWrap(true);
  LabelInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  LabelInfo->setGeometry(51, 30, 204, 26);

  LabelColorsHeader = new QLabel(QStringLiteral("Colors Example"), this);
  LabelColorsHeader->setObjectName(QStringLiteral("LabelColorsHeader"));
  LabelColorsHeader->adjustSize();
  LabelColorsHeader->move(113, 80);

  ImageColors = new QLabel(this);
  ImageColors->setObjectName(QStringLiteral("ImageColors"));
  ImageColors->setGeometry(112, 94, 73, 73);
  ImageColors->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

// Every showing loads the picture afresh.
void TFormColorsHelp::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ImageColors->setPixmap(QPixmap::fromImage(ColorsPicture()));
  CentreOnScreen(*this);
}

}  // namespace quillet::ui
