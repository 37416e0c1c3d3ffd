// Everything the main window's controls and flags hold, as plain values the controller owns.
#include "app/main_state.h"

namespace quillet {

namespace {

template <typename State>
auto& ListOf(State& s, ListId id) {
  switch (id) {
    case ListId::Antialias:
      return s.ComboBoxAntialias;
    case ListId::Outline:
      return s.ComboBoxOutline;
    case ListId::Text:
      return s.ComboBoxText;
    case ListId::Bg:
      return s.ComboBoxBg;
    case ListId::FontName:
      return s.ComboBoxFontName;
    case ListId::FontCharset:
      return s.ComboBoxFontCharset;
    case ListId::FontStyle:
      return s.ComboBoxFontStyle;
    case ListId::FontSize:
      return s.ComboBoxFontSize;
    case ListId::Align:
      return s.ComboBoxAlign;
    case ListId::OutlineWidth:
      break;
  }
  return s.ComboBoxOutlineWidth;
}

}  // namespace

ListControl& MainState::List(ListId id) { return ListOf(*this, id); }
const ListControl& MainState::List(ListId id) const { return ListOf(*this, id); }

}  // namespace quillet
