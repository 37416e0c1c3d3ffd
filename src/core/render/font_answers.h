// What fontconfig answered in earlier runs, kept in the user's cache folder for as long as the files and
// settings it answered from stay as they were.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

struct _FcConfig;

namespace quillet {

// A face file fontconfig chose for a family, weight and slant, and what the rasteriser must add to it.
struct ResolvedFace {
  std::string file;
  int index = 0;
  std::string family;
  bool syntheticBold = false;    // bold was asked for and the face is not bold: embolden its glyphs
  bool syntheticItalic = false;  // italic was asked for and the face is upright: slant its glyphs
  bool operator==(const ResolvedFace&) const = default;
};

// The answers every run asks for: the installed families and the face for a name, bold and italic.
struct FontAnswers {
  std::optional<std::vector<std::string>> familyNames;
  std::map<std::tuple<std::string, bool, bool>, ResolvedFace> faces;
  bool operator==(const FontAnswers&) const = default;
};

/*
 * The answers are kept with what they were answered from: fontconfig's version, the environment it reads
 * (its own variables, the locale, the home and XDG folders), and the identity, size and modification time of
 * every configuration file and folder it read, of the user configuration it would read if it were there, and
 * of every font folder. Installing or removing a font changes its folder; editing a configuration file changes
 * the file. A run whose state differs in anything reads no answers and asks fontconfig afresh.
 */

// The answers saved at `path` when they were saved in the state the process sees now; none when there is no
// file, it cannot be read, it is damaged, or anything it was answered from has changed.
FontAnswers ReadFontAnswers(const std::string& path);

// Saves the answers at `path` (the folders made as needed) with the state of the files and folders `config`
// read. Throws FileError when the file cannot be written.
void WriteFontAnswers(const std::string& path, const FontAnswers& answers, _FcConfig* config);

// "$XDG_CACHE_HOME/quillet/font-answers", or "$HOME/.cache/quillet/font-answers"; empty without either.
std::string DefaultFontAnswersFile();

}  // namespace quillet
