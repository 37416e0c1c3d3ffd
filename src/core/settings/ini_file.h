// The settings file as an in-memory INI image: read once, looked up without regard to letter case, written back
// whole through a temporary file so an interrupted write never loses the old file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

/*
 * Line handling when a file is read: every line is trimmed of surrounding blanks (and control characters such as a
 * carriage return); empty lines and lines that start with ";" are dropped; lines before the first "[section]" line
 * are dropped; a line that holds "=" becomes a key line with the key before the first "=" and the value after it,
 * both trimmed; any other line inside a section stays as a line of its own. A section header that repeats an
 * earlier one continues that section.
 *
 * When the image is written, each section is its "[name]" line, its lines in their order and one empty line, so
 * comment lines do not survive a rewrite while every section and key does. Section names and keys are matched
 * without regard to ASCII letter case; the first of several equal keys is the one read and set.
 */
class IniFile {
 public:
  // Far beyond any real settings file (a few hundred bytes): a larger one is not this program's, or is damaged.
  static constexpr uint64_t kMaxSettingsFileBytes = 1 << 20;

  explicit IniFile(std::string path);

  const std::string& Path() const { return m_path; }

  // Reads the file into memory the first time it is called; later calls do nothing, so the file is read once.
  // No file gives an empty image. A file that exists but cannot be read whole throws (FileError for no permission,
  // a folder, a named pipe, a device, or a file over kMaxSettingsFileBytes; std::bad_alloc); the image then stays
  // empty and the file is never written (what could not be read must not be overwritten).
  void Load();
  bool Loaded() const { return m_loaded; }

  // Replaces the image with the given file text, using the line handling above.
  void Parse(std::string_view text);
  // The image as file text.
  std::string Text() const;

  std::optional<std::string> Value(std::string_view section, std::string_view key) const;
  bool HasKey(std::string_view section, std::string_view key) const { return Value(section, key).has_value(); }
  // Sets an existing key in place (it takes the given spelling) or appends it to its section; a missing section is
  // appended to the image. Throws std::invalid_argument when the key or value cannot stand on one INI line.
  void SetValue(std::string_view section, std::string_view key, std::string_view value);
  // True when the key and value can be written as one "key=value" line that reads back as the same key and value.
  static bool IsStorable(std::string_view key, std::string_view value);

  // True when the file exists and may not be written: its permission bits grant no write access, or the system
  // refuses write access to this process. The bits count even for a user the system would let write anyway.
  bool IsReadOnly() const;

  // Writes the whole image over the file (reading the file first when that has not happened yet); the file is
  // created when missing, and left untouched when it already holds exactly the image's text. The text goes to a
  // new file in the same folder that then replaces the old one by rename, so a crash or a full disk leaves the
  // old file whole.
  // Returns false, writing nothing, for a read-only file or one that could not be read. Throws FileError when the
  // write fails; the old file is then untouched and no temporary file is left behind.
  bool Write();

 private:
  struct Line {
    std::string key;  // the whole line when isKey is false
    std::string value;
    bool isKey = false;
  };
  struct Section {
    std::string name;
    std::vector<Line> lines;
  };

  const Section* FindSection(std::string_view name) const;
  Section* FindSection(std::string_view name);

  std::string m_path;
  std::vector<Section> m_sections;
  bool m_loaded = false;
  bool m_unreadable = false;
};

}  // namespace quillet
