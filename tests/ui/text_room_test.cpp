// With the default fonts, no label's text runs into another control of its window or group.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QTextLayout>

#include "form_about.h"
#include "form_colors_help.h"
#include "ui_test_support.h"

namespace quillet::test {
namespace {

// The rectangles a label's text covers, one per line from its first to its last non-blank character, in the
// coordinates of the label's parent; laid out as the label lays it out (wrapping, alignment).
QList<QRect> TextRects(const QLabel& label) {
  QString text = label.text();
  text.replace(QChar('\n'), QChar::LineSeparator);
  const QRect box = label.contentsRect().translated(label.pos());
  QTextOption option(label.alignment() & Qt::AlignHorizontal_Mask);
  option.setWrapMode(label.wordWrap() ? QTextOption::WordWrap : QTextOption::NoWrap);
  QTextLayout layout(text, label.font());
  layout.setTextOption(option);
  layout.beginLayout();
  qreal y = 0;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(box.width());
    line.setPosition({0, y});
    y += line.height();
  }
  layout.endLayout();
  const qreal height = layout.boundingRect().height();
  const qreal top = label.alignment() & Qt::AlignTop      ? 0
                    : label.alignment() & Qt::AlignBottom ? box.height() - height
                                                          : (box.height() - height) / 2;
  QList<QRect> rects;
  for (int i = 0; i < layout.lineCount(); ++i) {
    const QTextLine line = layout.lineAt(i);
    int first = line.textStart(), last = line.textStart() + line.textLength();
    while (first < last && text[first].isSpace()) ++first;
    while (last > first && text[last - 1].isSpace()) --last;
    if (first == last) continue;
    const QRectF rect(line.cursorToX(first), top + line.y(), line.cursorToX(last) - line.cursorToX(first),
                      line.height());
    rects << rect.translated(box.topLeft()).toAlignedRect();
  }
  return rects;
}

QList<QRect> Covered(const QWidget& widget) {
  const auto* label = qobject_cast<const QLabel*>(&widget);
  return label && !label->text().isEmpty() ? TextRects(*label) : QList<QRect>{widget.geometry()};
}

// "name / name" for every label whose text overlaps another visible control among the container's children.
std::vector<std::string> TextRunningIntoControls(const QWidget& container) {
  QList<const QWidget*> children;
  for (const QWidget* child : container.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isVisibleTo(&container)) children << child;
  }
  std::vector<std::string> found;
  for (const QWidget* a : children) {
    const auto* label = qobject_cast<const QLabel*>(a);
    if (!label || label->text().isEmpty()) continue;
    for (const QWidget* b : children) {
      if (a == b || (qobject_cast<const QLabel*>(b) && b < a && !qobject_cast<const QLabel*>(b)->text().isEmpty()))
        continue;  // each pair of texts once
      for (const QRect& text : TextRects(*label)) {
        for (const QRect& other : Covered(*b)) {
          if (text.intersects(other)) found.push_back((a->objectName() + " / " + b->objectName()).toStdString());
        }
      }
    }
  }
  return found;
}

TEST(TextRoom, NoLabelRunsIntoAnotherControl) {
  DrivenWindow w;
  w.ShowAndActivate();
  DrivenWindow::Click(w->i_dont_have_ifo);  // the swatches and their number labels
  ASSERT_NE(w->PaletteLabels[15], nullptr);
  for (const QWidget* container : std::initializer_list<const QWidget*>{
           &w.Window(), w->GroupBoxInput, w->GroupBoxColors, w->GroupBoxGeneralSettings, w->GroupBoxRenderFonts,
           &w->FormAbout(), &w->FormColorsHelp()}) {
    EXPECT_EQ(TextRunningIntoControls(*container), std::vector<std::string>{}) << container->objectName().toStdString();
  }
}

}  // namespace
}  // namespace quillet::test
