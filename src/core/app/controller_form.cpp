// The main window as the settings store sees it: the controller's stored values and the window's placement.
#include "app/controller_form.h"

namespace quillet {

namespace {

ListId ListFor(StoredProperty property) {
  switch (property) {
    case StoredProperty::ComboBoxAlignItemIndex:
      return ListId::Align;
    case StoredProperty::ComboBoxFontStyleItemIndex:
      return ListId::FontStyle;
    case StoredProperty::ComboBoxFontCharsetItemIndex:
      return ListId::FontCharset;
    case StoredProperty::ComboBoxFontNameItemIndex:
      return ListId::FontName;
    case StoredProperty::ComboBoxFontSizeItemIndex:
      return ListId::FontSize;
    default:
      return ListId::OutlineWidth;
  }
}

}  // namespace

std::string ControllerForm::Caption(StoredProperty property) const {
  const MainState& s = m_controller.State();
  return property == StoredProperty::LabelImageChangedPALCaption ? s.LabelImageChangedPAL : s.LabelImageChangedNTSC;
}

void ControllerForm::SetCaption(StoredProperty property, const std::string& text) {
  m_controller.SetUserPicture(property == StoredProperty::LabelImageChangedPALCaption, text);
}

int ControllerForm::ItemIndex(StoredProperty property) const {
  const ListControl& list = m_controller.State().List(ListFor(property));
  return list.HasSelection() ? list.itemIndex : -1;
}

int ControllerForm::ItemCount(StoredProperty property) const {
  return static_cast<int>(m_controller.State().List(ListFor(property)).items.size());
}

void ControllerForm::SetItemIndex(StoredProperty property, int index) {
  m_controller.SelectListItem(ListFor(property), index);
}

int ControllerForm::Position(StoredProperty property) const {
  const MainState& s = m_controller.State();
  return property == StoredProperty::OffsetPosition ? s.offset.position : s.offset_or.position;
}

void ControllerForm::SetPosition(StoredProperty property, int position) {
  if (property == StoredProperty::OffsetPosition) {
    m_controller.SetOffsetPosition(position);
  } else {
    m_controller.SetOffsetOrPosition(position);
  }
}

bool ControllerForm::Checked(StoredProperty property) const {
  const MainState& s = m_controller.State();
  if (property == StoredProperty::CheckBoxFileStylesChecked) return s.CheckBoxFileStyles;
  if (property == StoredProperty::CheckBoxWideScreenChecked) return s.CheckBoxWideScreen;
  return property == StoredProperty::CheckBoxBreakLinesChecked ? s.CheckBoxBreakLines : s.CheckBoxVobSub();
}

void ControllerForm::SetChecked(StoredProperty property, bool checked) {
  if (property == StoredProperty::CheckBoxWideScreenChecked) {
    m_controller.SetWideScreen(checked);
  } else if (property == StoredProperty::CheckBoxBreakLinesChecked) {
    m_controller.SetBreakLongLines(checked);
  } else if (property == StoredProperty::CheckBoxFileStylesChecked) {
    m_controller.SetFileStyles(checked);
  } else {
    m_controller.SetVobSubToo(checked);
  }
}

}  // namespace quillet
