// What the settings store needs from the main window: its placement, the screen, and the stored control values.
#pragma once

#include <array>
#include <string>

namespace quillet {

struct ScreenPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Screen pixels; right and bottom are exclusive, as the system reports them.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// The window placement as the platform reports it; flags and show state are stored as they come.
struct WindowPlacement {
  int flags = 0;
  int showCmd = 1;  // 1 normal, 2 minimised, 3 maximised
  ScreenPoint minPosition;
  ScreenPoint maxPosition;
  ScreenRect normalRect;
  friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

struct ScreenInfo {
  int widthPx = 0;
  int heightPx = 0;
  int pixelsPerInch = 96;  // logical pixels per inch
  friend bool operator==(const ScreenInfo&, const ScreenInfo&) = default;
};

enum class WindowState { Normal, Minimized, Maximized };

// The stored control values, in the order they are restored and saved.
enum class StoredProperty {
  LabelImageChangedPALCaption,
  LabelImageChangedNTSCCaption,
  ComboBoxAlignItemIndex,
  ComboBoxFontStyleItemIndex,
  ComboBoxFontCharsetItemIndex,
  ComboBoxFontNameItemIndex,
  ComboBoxFontSizeItemIndex,
  ComboBoxOutlineWidthItemIndex,
  OffsetPosition,
  OffsetOrPosition,
  CheckBoxVobSubChecked,
  CheckBoxBreakLinesChecked,
  CheckBoxFileStylesChecked,
  CheckBoxWideScreenChecked,
};

enum class PropertyKind { Caption, ItemIndex, Position, Checked };

struct StoredPropertyInfo {
  StoredProperty property;
  const char* key;  // control name, "_", property name
  PropertyKind kind;
};

// The VobSub, "Break long lines", "Styles and placement from the file" and "16:9 video" check boxes came later
// than the others; they are last so that older files keep their order.
inline constexpr std::array<StoredPropertyInfo, 14> kStoredProperties{{
    {StoredProperty::LabelImageChangedPALCaption, "LabelImageChangedPAL_Caption", PropertyKind::Caption},
    {StoredProperty::LabelImageChangedNTSCCaption, "LabelImageChangedNTSC_Caption", PropertyKind::Caption},
    {StoredProperty::ComboBoxAlignItemIndex, "ComboBoxAlign_ItemIndex", PropertyKind::ItemIndex},
    {StoredProperty::ComboBoxFontStyleItemIndex, "ComboBoxFontStyle_ItemIndex", PropertyKind::ItemIndex},
    {StoredProperty::ComboBoxFontCharsetItemIndex, "ComboBoxFontCharset_ItemIndex", PropertyKind::ItemIndex},
    {StoredProperty::ComboBoxFontNameItemIndex, "ComboBoxFontName_ItemIndex", PropertyKind::ItemIndex},
    {StoredProperty::ComboBoxFontSizeItemIndex, "ComboBoxFontSize_ItemIndex", PropertyKind::ItemIndex},
    {StoredProperty::ComboBoxOutlineWidthItemIndex, "ComboBoxOutlineWidth_ItemIndex", PropertyKind::ItemIndex},
    {StoredProperty::OffsetPosition, "offset_Position", PropertyKind::Position},
    {StoredProperty::OffsetOrPosition, "offset_or_Position", PropertyKind::Position},
    {StoredProperty::CheckBoxVobSubChecked, "CheckBoxVobSub_Checked", PropertyKind::Checked},
    {StoredProperty::CheckBoxBreakLinesChecked, "CheckBoxBreakLines_Checked", PropertyKind::Checked},
    {StoredProperty::CheckBoxFileStylesChecked, "CheckBoxFileStyles_Checked", PropertyKind::Checked},
    {StoredProperty::CheckBoxWideScreenChecked, "CheckBoxWideScreen_Checked", PropertyKind::Checked},
}};

/*
 * The main window as the settings store sees it. The controller (or the Qt window) implements it; each method is
 * told which stored property it is about, so one switch per method covers the values:
 *   Caption / SetCaption             the two invisible labels holding the user's preview picture paths
 *   ItemIndex / ItemCount / SetItemIndex   the six drop-down lists
 *   Position / SetPosition           the track bars `offset` and `offset_or`
 *   Checked / SetChecked             the "VobSub too", "Break long lines", "Styles and placement from the
 *                                    file" and "16:9 video" check boxes
 */
class StoredForm {
 public:
  virtual ~StoredForm() = default;

  virtual ScreenInfo Screen() const = 0;
  // The system's current placement of the window. For the main window, showCmd is 2 when the whole program is
  // minimised, whatever the window itself reports.
  virtual WindowPlacement Placement() const = 0;
  // Switches the window's automatic centring off and hands the placement to the system. The normal rectangle
  // already has the window's own size (the main window's border is fixed).
  virtual void SetPlacement(const WindowPlacement& placement) = 0;
  // Minimized means the whole program is minimised.
  virtual void SetWindowState(WindowState state) = 0;

  virtual std::string Caption(StoredProperty property) const = 0;
  virtual void SetCaption(StoredProperty property, const std::string& text) = 0;

  // -1 when the list has no selected entry.
  virtual int ItemIndex(StoredProperty property) const = 0;
  virtual int ItemCount(StoredProperty property) const = 0;
  // Selects entry `index`, or nothing for -1, as program code does: the list's change action does not run.
  virtual void SetItemIndex(StoredProperty property, int index) = 0;

  virtual int Position(StoredProperty property) const = 0;
  // Moves the track bar as program code does: the position is clamped to the bar's range and the bar's change
  // action runs when the position changes (for `offset_or` that action raises an odd position to the even one).
  virtual void SetPosition(StoredProperty property, int position) = 0;

  virtual bool Checked(StoredProperty property) const = 0;
  // Ticks or clears the box as program code does.
  virtual void SetChecked(StoredProperty property, bool checked) = 0;
};

}  // namespace quillet
