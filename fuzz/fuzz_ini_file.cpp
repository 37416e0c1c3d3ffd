// Fuzzes the settings file: reading a file's text, writing the image back, and storing a value in it.
//
// Input: one byte of choices, then "section\x00key\x00value\x00" for the value to store, then the file's text.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/errors.h"
#include "fuzz_support.h"
#include "settings/ini_file.h"

using namespace quillet;

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Every "key=value" line of a written image with the section it stands in, in file order.
std::vector<std::pair<std::string_view, std::string_view>> KeyLines(std::string_view written) {
  std::vector<std::pair<std::string_view, std::string_view>> keys;
  std::string_view section;
  while (!written.empty()) {
    const std::size_t end = written.find('\n');
    const std::string_view line = written.substr(0, end);
    written.remove_prefix(end == std::string_view::npos ? written.size() : end + 1);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else if (const std::size_t equals = line.find('='); equals != std::string_view::npos) {
      keys.emplace_back(section, line.substr(0, equals));
    }
  }
  return keys;
}

// Two images hold the same sections, keys and values.
bool SameImage(const IniFile& a, const IniFile& b) { return a.Text() == b.Text(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::InputSplitter input(data, size);
  const uint8_t choices = input.Byte();
  const std::string_view section = input.Until('\0');
  const std::string_view key = input.Until('\0');
  const std::string_view value = input.Until('\0');
  const std::string_view text = input.Rest();

  // Reading the text, writing it and reading that again gives the same image.
  IniFile image("unused.ini");
  image.Parse(text);
  const std::string written = image.Text();
  IniFile reread("unused.ini");
  reread.Parse(written);
  QUILLET_FUZZ_CHECK(reread.Text() == written);

  // Every key written can be looked up, and finds the value of the first key of that name.
  for (const auto& [name, k] : KeyLines(written)) {
    QUILLET_FUZZ_CHECK(image.Value(name, k).has_value());
    QUILLET_FUZZ_CHECK(image.Value(name, k) == reread.Value(name, k));
  }

  // A stored value reads back from the written text (blanks around a value are not kept).
  try {
    image.SetValue(section, key, value);
    QUILLET_FUZZ_CHECK(IniFile::IsStorable(key, value));
    IniFile stored("unused.ini");
    stored.Parse(image.Text());
    const auto readBack = stored.Value(section, key);
    QUILLET_FUZZ_CHECK(readBack.has_value() && *readBack == Trim(value));
  } catch (const std::invalid_argument&) {
  }

  // Now and then the same through a real file: load, write back through the temporary file, load again.
  if ((choices & 0x0F) == 0) {
    const std::string path = fuzz::ScratchFolder::Get().Write("Quillet_Settings.ini", text);
    IniFile file(path);
    file.Load();
    IniFile parsed("unused.ini");
    parsed.Parse(text);
    QUILLET_FUZZ_CHECK(SameImage(file, parsed));
    QUILLET_FUZZ_CHECK(file.Write());
    IniFile again(path);
    again.Load();
    QUILLET_FUZZ_CHECK(SameImage(again, file));
  }
  return 0;
}
