// The colour help window: which colour role is which, with an example picture.
#pragma once

#include <QDialog>

class QLabel;

namespace quillet::ui {

class TFormColorsHelp : public QDialog {
  Q_OBJECT
 public:
  explicit TFormColorsHelp(QWidget* parent = nullptr);

  QLabel* LabelAttention = nullptr;
  QLabel* LabelInfo = nullptr;
  QLabel* LabelColorsHeader = nullptr;
  QLabel* ImageColors = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace quillet::ui
