// What fontconfig answered in earlier runs, kept in the user's cache folder for as long as the files and
// settings it answered from stay as they were.
#include "render/font_answers.h"

#include <fontconfig/fontconfig.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <set>
#include <string_view>

#include "base/output_file.h"
#include "base/user_folders.h"
#include "base/whole_file.h"

extern char** environ;

namespace quillet {
namespace {

constexpr std::string_view kFormatLine = "quillet font answers 1";
constexpr uint64_t kMaxAnswersBytes = 1 << 20;

// The cache or config folder the XDG variable names, or the usual one in the home folder.
std::string XdgFolder(const char* variable, const char* underHome) {
  return XdgBaseFolder(EnvironmentValue(variable), EnvironmentValue("HOME"), underHome);
}

// The first lines of the file: the format, fontconfig's version and the environment it reads.
std::string HeaderLines() {
  std::string header(kFormatLine);
  header += "\nfontconfig " + std::to_string(FcGetVersion()) + "\n";
  std::vector<std::string> variables;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    const std::string_view name = text.substr(0, text.find('='));
    static constexpr std::string_view kRead[] = {"HOME",        "LANG",         "LANGUAGE",        "LC_ALL",
                                                 "LC_CTYPE",    "LC_MESSAGES",  "XDG_CACHE_HOME",  "XDG_CONFIG_HOME",
                                                 "XDG_DATA_HOME", "XDG_DATA_DIRS"};
    const bool read = name.starts_with("FC_") || name.starts_with("FONTCONFIG") ||
                      std::find(std::begin(kRead), std::end(kRead), name) != std::end(kRead);
    if (read && text.find('\n') == std::string_view::npos) variables.emplace_back(text);
  }
  std::sort(variables.begin(), variables.end());
  for (const std::string& variable : variables) header += "env " + variable + "\n";
  return header;
}

// "state EXISTS DEVICE INODE SIZE SECONDS NANOSECONDS PATH": what a file or folder is now (all zeros when it
// is not there).
std::string StateLine(const std::string& path) {
  struct stat info {};
  const bool exists = ::stat(path.c_str(), &info) == 0;
  if (!exists) info = {};
  return "state " + std::to_string(exists ? 1 : 0) + " " + std::to_string(info.st_dev) + " " +
         std::to_string(info.st_ino) + " " + std::to_string(info.st_size) + " " + std::to_string(info.st_mtim.tv_sec) +
         " " + std::to_string(info.st_mtim.tv_nsec) + " " + path;
}

// The path at the end of a state line: after its seven fields.
std::string_view StatePath(std::string_view line) {
  std::size_t at = 0;
  for (int field = 0; field < 7; ++field) {
    at = line.find(' ', at);
    if (at == std::string_view::npos) return {};
    ++at;
  }
  return line.substr(at);
}

void AddAll(FcStrList* list, std::set<std::string>& paths) {
  if (list == nullptr) return;
  while (FcChar8* path = FcStrListNext(list)) paths.insert(reinterpret_cast<const char*>(path));
  FcStrListDone(list);
}

// Every file and folder the configuration was read from or could be read from, and every font folder.
std::set<std::string> StatePaths(FcConfig* config) {
  std::set<std::string> files;
  AddAll(FcConfigGetConfigFiles(config), files);
  std::set<std::string> paths = files;
  for (const std::string& file : files) paths.insert(FolderOf(file));  // a file added beside them
  AddAll(FcConfigGetConfigDirs(config), paths);
  AddAll(FcConfigGetFontDirs(config), paths);
  // The user's own configuration, which the system configuration reads when it is there.
  const std::string home = EnvironmentValue("HOME");
  const std::string xdgConfig = XdgFolder("XDG_CONFIG_HOME", ".config");
  if (!xdgConfig.empty()) {
    paths.insert(xdgConfig + "/fontconfig/fonts.conf");
    paths.insert(xdgConfig + "/fontconfig/conf.d");
  }
  if (!home.empty()) {
    paths.insert(home + "/.fonts.conf");
    paths.insert(home + "/.fonts.conf.d");
  }
  return paths;
}

bool Storable(std::string_view text) { return text.find_first_of("\t\n") == std::string_view::npos; }

std::vector<std::string_view> SplitTabs(std::string_view text) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t tab = text.find('\t');
    parts.push_back(text.substr(0, tab));
    if (tab == std::string_view::npos) return parts;
    text.remove_prefix(tab + 1);
  }
}

bool ParseFlag(std::string_view text, bool& flag) {
  if (text != "0" && text != "1") return false;
  flag = text == "1";
  return true;
}

// "face BOLD ITALIC INDEX SYNTHETIC-BOLD SYNTHETIC-ITALIC<tab>NAME<tab>FAMILY<tab>FILE"
bool ParseFace(std::string_view line, FontAnswers& answers) {
  const std::vector<std::string_view> parts = SplitTabs(line);
  if (parts.size() != 4 || parts[3].empty()) return false;
  std::string_view flags = parts[0];
  std::vector<std::string_view> fields;
  for (std::size_t space; (space = flags.find(' ')) != std::string_view::npos; flags.remove_prefix(space + 1)) {
    fields.push_back(flags.substr(0, space));
  }
  fields.push_back(flags);
  if (fields.size() != 6 || fields[0] != "face") return false;
  bool bold = false, italic = false;
  ResolvedFace face;
  if (!ParseFlag(fields[1], bold) || !ParseFlag(fields[2], italic) || !ParseFlag(fields[4], face.syntheticBold) ||
      !ParseFlag(fields[5], face.syntheticItalic)) {
    return false;
  }
  if (fields[3].empty() || fields[3].size() > 6 || fields[3].find_first_not_of("0123456789") != std::string_view::npos) {
    return false;
  }
  face.index = std::stoi(std::string(fields[3]));
  face.family = std::string(parts[2]);
  face.file = std::string(parts[3]);
  answers.faces[{std::string(parts[1]), bold, italic}] = std::move(face);
  return true;
}

}  // namespace

FontAnswers ReadFontAnswers(const std::string& path) {
  if (path.empty()) return {};
  std::optional<std::string> text;
  try {
    text = ReadWholeFileIfPresent(path, kMaxAnswersBytes);
  } catch (const std::exception&) {
    return {};  // unreadable: fontconfig answers afresh
  }
  if (!text) return {};
  const std::string header = HeaderLines();
  if (!text->starts_with(header)) return {};
  std::string_view rest = std::string_view(*text).substr(header.size());
  FontAnswers answers;
  bool ended = false;
  while (!rest.empty() && !ended) {
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos) return {};  // cut short
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    if (line.starts_with("state ")) {
      if (line != StateLine(std::string(StatePath(line)))) return {};
    } else if (line == "families") {
      answers.familyNames.emplace();
    } else if (line.starts_with("family ") && answers.familyNames) {
      answers.familyNames->emplace_back(line.substr(7));
    } else if (line.starts_with("face ")) {
      if (!ParseFace(line, answers)) return {};
    } else if (line == "end") {
      ended = true;
    } else {
      return {};
    }
  }
  if (!ended || !rest.empty()) return {};
  return answers;
}

void WriteFontAnswers(const std::string& path, const FontAnswers& answers, FcConfig* config) {
  if (path.empty()) return;
  // The folders are made first, as the cache folder's own are (for the user alone): making them changes the
  // state of the folder they are made in, which may be one the answers depend on.
  const std::string folder = FolderOf(path);
  for (std::size_t slash = folder.find('/', 1); ; slash = folder.find('/', slash + 1)) {
    const std::string prefix = slash == std::string::npos ? folder : folder.substr(0, slash);
    if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) break;  // the write below says what is wrong
    if (slash == std::string::npos) break;
  }
  std::string text = HeaderLines();
  for (const std::string& statePath : StatePaths(config)) {
    if (!Storable(statePath)) return;  // a state that cannot be written down cannot be checked later
    text += StateLine(statePath) + "\n";
  }
  if (answers.familyNames &&
      std::all_of(answers.familyNames->begin(), answers.familyNames->end(), [](const std::string& name) {
        return Storable(name);
      })) {
    text += "families\n";
    for (const std::string& name : *answers.familyNames) text += "family " + name + "\n";
  }
  for (const auto& [key, face] : answers.faces) {
    const auto& [name, bold, italic] = key;
    if (!Storable(name) || !Storable(face.family) || !Storable(face.file) || face.file.empty()) continue;
    text += "face " + std::to_string(bold ? 1 : 0) + " " + std::to_string(italic ? 1 : 0) + " " +
            std::to_string(face.index) + " " + std::to_string(face.syntheticBold ? 1 : 0) + " " +
            std::to_string(face.syntheticItalic ? 1 : 0) + "\t" + name + "\t" + face.family + "\t" + face.file + "\n";
  }
  text += "end\n";
  OutputFile file(path);
  file.Open();
  file.Write(text);
  file.Commit();
}

std::string DefaultFontAnswersFile() {
  const std::string cache = XdgFolder("XDG_CACHE_HOME", ".cache");
  return cache.empty() ? std::string() : cache + "/quillet/font-answers";
}

}  // namespace quillet
