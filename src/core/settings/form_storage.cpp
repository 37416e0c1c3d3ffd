// The main window's settings store: keys, restore and save rules, and the store's lifecycle.
#include "settings/form_storage.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/ascii_text.h"
#include "base/errors.h"

namespace quillet {
namespace {

// A signed decimal integer that fits an int, blanks around it allowed; nothing else.
std::optional<int> ParseInteger(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) return std::nullopt;
  return static_cast<int>(value);
}

// The index-th (0-based) number of a "%d,%d,%d,%d" text, or the fallback when it is missing or not a number.
int ListNumber(std::string_view text, size_t index, int fallback) {
  size_t start = 0;
  for (size_t i = 0; i < index; ++i) {
    size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) return fallback;
    start = comma + 1;
  }
  size_t end = text.find(',', start);
  std::optional<int> value = ParseInteger(text.substr(start, end == std::string_view::npos ? end : end - start));
  return value.value_or(fallback);
}

// The store writes TRUE and FALSE; reading also takes the short words, in any letter case.
constexpr std::string_view kStoredTrue = "TRUE";
constexpr std::string_view kStoredFalse = "FALSE";

bool IsOneOf(std::string_view text, std::initializer_list<std::string_view> words) {
  for (std::string_view word : words) {
    if (EqualsIgnoringAsciiCase(text, word)) return true;
  }
  return false;
}

// The text comes trimmed from the settings file.
std::optional<bool> ParseStoredBoolean(std::string_view text) {
  if (IsOneOf(text, {kStoredTrue, "YES", "Y"})) return true;
  if (IsOneOf(text, {kStoredFalse, "NO", "N"})) return false;
  return std::nullopt;
}

std::string FourNumbers(int a, int b, int c, int d) {
  return std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + "," + std::to_string(d);
}

std::string WithResolution(std::string_view key, const ScreenInfo& screen) {
  return std::string(key) + "(" + std::to_string(screen.widthPx) + "x" + std::to_string(screen.heightPx) + ")";
}

WindowState StateFromShowCmd(int showCmd) {
  switch (showCmd) {
    case 2:
    case 6:
    case 7:
      return WindowState::Minimized;
    case 3:
      return WindowState::Maximized;
    default:  // 1, 5, 9 and anything unknown
      return WindowState::Normal;
  }
}

}  // namespace

FormStorage::FormStorage(std::string iniPath, StoredForm& form) : m_ini(std::move(iniPath)), m_form(form) {}

void FormStorage::WindowShown() {
  if (m_active) Restore();
}

void FormStorage::FirstActivation(bool unattended) {
  if (m_activated) return;
  m_activated = true;
  if (unattended) {
    SwitchOff();
  } else if (m_active) {
    Restore();
  }
}

void FormStorage::WindowClosing() {
  if (!m_active) return;
  Save();
  m_saved = true;
}

void FormStorage::WindowDestroyed() {
  if (!m_active || m_saved) return;
  Save();
  m_saved = true;
}

bool FormStorage::ProgramEnd() {
  if (m_ended) return false;
  m_ended = true;
  return m_ini.Write();
}

std::optional<std::string> FormStorage::Read(std::string_view key) const { return m_ini.Value(kSettingsSection, key); }

// An absent or empty value gives the fallback; any other text must be an integer.
int FormStorage::ReadInteger(std::string_view key, int fallback) const {
  std::optional<std::string> text = Read(key);
  if (!text || text->empty()) return fallback;
  std::optional<int> value = ParseInteger(*text);
  if (!value) throw ConversionError("'" + *text + "' is not a valid integer value");
  return *value;
}

void FormStorage::Write(std::string_view key, std::string_view value) { m_ini.SetValue(kSettingsSection, key, value); }

void FormStorage::Restore() {
  m_ini.Load();
  if (ReadInteger("FormVersion", 0) < kFormVersion) return;
  RestorePlacement();
  // Without a stored show state the window stays as it was shown (normal).
  if (Read("ShowCmd")) m_form.SetWindowState(StateFromShowCmd(ReadInteger("ShowCmd", 0)));
  RestoreProperties();
}

/*
 * The positions are looked up under the key for the current screen resolution first and the plain key (the last
 * one saved at any resolution) second. The window keeps its own size: only the normal rectangle's left and top
 * are taken. A placement saved at another pixels-per-inch setting would put the window somewhere else than it
 * was, so it is not applied at all.
 */
void FormStorage::RestorePlacement() {
  const ScreenInfo screen = m_form.Screen();
  WindowPlacement placement = m_form.Placement();
  placement.flags = ReadInteger("Flags", 0);

  auto positionText = [&](std::string_view key) {
    std::string withResolution = WithResolution(key, screen);
    std::optional<std::string> text = m_ini.HasKey(kSettingsSection, withResolution) ? Read(withResolution) : Read(key);
    return text.value_or("");
  };

  const std::string minMax = positionText("MinMaxPos");
  if (!minMax.empty()) {
    placement.minPosition = {ListNumber(minMax, 0, 0), ListNumber(minMax, 1, 0)};
    placement.maxPosition = {ListNumber(minMax, 2, 0), ListNumber(minMax, 3, 0)};
  }
  const std::string normal = positionText("NormPos");
  if (!normal.empty()) {
    ScreenRect current = placement.normalRect;
    int left = ListNumber(normal, 0, current.left);
    int top = ListNumber(normal, 1, current.top);
    placement.normalRect = {left, top, left + current.Width(), top + current.Height()};
  }
  if (minMax.empty() && normal.empty()) return;
  if (ReadInteger("PixelsPerInch", screen.pixelsPerInch) != screen.pixelsPerInch) return;
  m_form.SetPlacement(placement);
}

// A value that does not convert leaves its control as it is, and so does an index outside its list (a font index
// after fonts were removed, say): a list left without a selection would fail every later run, an unattended one
// whose command line gives the value included.
void FormStorage::RestoreProperties() {
  for (const StoredPropertyInfo& info : kStoredProperties) {
    std::optional<std::string> text = Read(info.key);
    if (!text) continue;
    if (info.kind == PropertyKind::Caption) {
      m_form.SetCaption(info.property, *text);
      continue;
    }
    if (info.kind == PropertyKind::Checked) {
      if (std::optional<bool> checked = ParseStoredBoolean(*text)) m_form.SetChecked(info.property, *checked);
      continue;
    }
    std::optional<int> value = ParseInteger(*text);
    if (!value) continue;
    if (info.kind == PropertyKind::Position) {
      m_form.SetPosition(info.property, *value);
    } else if (*value >= 0 && *value < m_form.ItemCount(info.property)) {
      m_form.SetItemIndex(info.property, *value);
    }
  }
}

void FormStorage::Save() {
  m_ini.Load();
  const ScreenInfo screen = m_form.Screen();
  const WindowPlacement placement = m_form.Placement();
  Write("FormVersion", std::to_string(kFormVersion));
  Write("ShowCmd", std::to_string(placement.showCmd));
  Write("Flags", std::to_string(placement.flags));
  Write("PixelsPerInch", std::to_string(screen.pixelsPerInch));
  const std::string minMax =
      FourNumbers(placement.minPosition.x, placement.minPosition.y, placement.maxPosition.x, placement.maxPosition.y);
  Write(WithResolution("MinMaxPos", screen), minMax);
  Write("MinMaxPos", minMax);
  const ScreenRect& rect = placement.normalRect;
  const std::string normal = FourNumbers(rect.left, rect.top, rect.right, rect.bottom);
  Write(WithResolution("NormPos", screen), normal);
  Write("NormPos", normal);

  for (const StoredPropertyInfo& info : kStoredProperties) {
    switch (info.kind) {
      case PropertyKind::Caption: {
        // A path with a line break in it cannot be one INI line; writing it would break the file apart, so the
        // value stored before stays.
        std::string caption = m_form.Caption(info.property);
        if (IniFile::IsStorable(info.key, caption)) Write(info.key, caption);
        break;
      }
      case PropertyKind::ItemIndex:
        Write(info.key, std::to_string(m_form.ItemIndex(info.property)));
        break;
      case PropertyKind::Position:
        Write(info.key, std::to_string(m_form.Position(info.property)));
        break;
      case PropertyKind::Checked:
        Write(info.key, m_form.Checked(info.property) ? kStoredTrue : kStoredFalse);
        break;
    }
  }
}

}  // namespace quillet
