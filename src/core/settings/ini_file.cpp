// The settings file as an in-memory INI image.
#include "settings/ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <stdexcept>
#include <utility>

#include "base/ascii_text.h"
#include "base/errors.h"
#include "base/whole_file.h"
#include "settings/atomic_write.h"

namespace quillet {
namespace {

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// Splits at CR LF, LF or a lone CR.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

}  // namespace

IniFile::IniFile(std::string path) : m_path(std::move(path)) {}

void IniFile::Load() {
  if (m_loaded) return;
  m_loaded = true;
  std::optional<std::string> text;
  // Whatever stops the file from being read whole (no permission, not a regular file, too large, no memory) also
  // stops it from being written back: a rewrite would lose what could not be read.
  m_unreadable = true;
  try {
    text = ReadWholeFileIfPresent(m_path, kMaxSettingsFileBytes);
  } catch (const FileTooLargeError& e) {
    throw FileError(std::string(e.what()) + " No settings file of this program is anywhere near that size, so it is " +
                    "neither read nor written; the settings of this run are not saved.");
  } catch (const FileError& e) {
    throw FileError(std::string(e.what()) + " It is left as it is; the settings of this run are not saved.");
  }
  m_unreadable = false;
  Parse(text.value_or(std::string()));
}

void IniFile::Parse(std::string_view text) {
  m_sections.clear();
  Section* current = nullptr;
  for (std::string_view raw : SplitLines(text)) {
    std::string_view line = TrimBlanks(raw);
    if (line.empty() || line.front() == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      std::string_view name = TrimBlanks(line.substr(1, line.size() - 2));
      current = FindSection(name);
      if (current == nullptr) {
        m_sections.push_back(Section{std::string(name), {}});
        current = &m_sections.back();
      }
      continue;
    }
    if (current == nullptr) continue;  // nothing belongs outside a section
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      current->lines.push_back(Line{std::string(line), {}, false});
    } else {
      current->lines.push_back(Line{std::string(TrimBlanks(line.substr(0, equals))),
                                    std::string(TrimBlanks(line.substr(equals + 1))), true});
    }
  }
}

std::string IniFile::Text() const {
  std::string text;
  for (const Section& section : m_sections) {
    text += "[" + section.name + "]\n";
    for (const Line& line : section.lines) {
      text += line.isKey ? line.key + "=" + line.value : line.key;
      text += "\n";
    }
    text += "\n";
  }
  return text;
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
  for (const Section& section : m_sections) {
    if (EqualsIgnoringAsciiCase(section.name, name)) return &section;
  }
  return nullptr;
}

IniFile::Section* IniFile::FindSection(std::string_view name) {
  return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

std::optional<std::string> IniFile::Value(std::string_view section, std::string_view key) const {
  const Section* found = FindSection(section);
  if (found == nullptr) return std::nullopt;
  for (const Line& line : found->lines) {
    if (line.isKey && EqualsIgnoringAsciiCase(line.key, key)) return line.value;
  }
  return std::nullopt;
}

bool IniFile::IsStorable(std::string_view key, std::string_view value) {
  // The key must read back as the same key: not empty, no "=", not taken for a comment or a section header,
  // nothing the reader trims away. Blanks around a value are not kept, which the format accepts.
  if (key.empty() || key != TrimBlanks(key) || key.find('=') != std::string_view::npos) return false;
  if (key.front() == ';' || key.front() == '[') return false;
  return !HasLineBreak(key) && !HasLineBreak(value);
}

void IniFile::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  if (!IsStorable(key, value) || section != TrimBlanks(section) || HasLineBreak(section) ||
      section.find(']') != std::string_view::npos) {
    throw std::invalid_argument("cannot store \"" + std::string(key) + "\" in an INI file line");
  }
  Section* found = FindSection(section);
  if (found == nullptr) {
    m_sections.push_back(Section{std::string(section), {}});
    found = &m_sections.back();
  }
  for (Line& line : found->lines) {
    if (line.isKey && EqualsIgnoringAsciiCase(line.key, key)) {
      line.key = std::string(key);
      line.value = std::string(value);
      return;
    }
  }
  found->lines.push_back(Line{std::string(key), std::string(value), true});
}

bool IniFile::IsReadOnly() const {
  struct stat info {};
  if (::stat(m_path.c_str(), &info) != 0) return false;  // no file yet: it will be created
  // The system lets a privileged user write anything, so the bits are asked as well as the system.
  return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(m_path.c_str(), W_OK) != 0;
}

bool IniFile::Write() {
  Load();  // an image that was never read would wipe the file's keys
  if (m_unreadable || IsReadOnly()) return false;
  const std::string text = Text();
  // A file that already holds these very bytes is left alone: rewriting it safely costs three waits on the disk
  // at every program end.
  std::optional<std::string> onDisk;
  try {
    onDisk = ReadWholeFileIfPresent(m_path, kMaxSettingsFileBytes);
  } catch (const std::exception&) {
    // Whatever it holds now, the write below replaces it.
  }
  if (onDisk && *onDisk == text) return true;
  AtomicWriteFile(m_path, text);
  return true;
}

}  // namespace quillet
