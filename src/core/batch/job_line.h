// One job as a batch file line, and appending it to a batch file.
#pragma once

#include <optional>
#include <string>

namespace quillet {

// The values of one job as the window holds them: list indexes, track bar positions and file names.
struct BatchJob {
  bool noIfo = false;         // the "I dont have any Ifo" switch
  std::string ifoFileName;    // empty when the IFO dialog never had a name: written as "none"
  std::string subtitleFileName;
  bool pal = true;
  int colorantialias = 0, coloroutline = 0, colortext = 0, colorbg = 0;
  int fontname = 0, fontcharset = 0, fontstyle = 0, fontsize = 0, align = 0;
  int offset = 0, offsetor = 0;
  int outline = 0;
};

// The batch line, CR LF included: the program path in double quotes, then the 16 values.
// programFolder ends with the folder separator.
std::string BuildJobLine(const std::string& programFolder, const BatchJob& job);

// The batch file a dialog name stands for: ".bat" is added unless the name already ends in it (any case).
std::string BatchPathFor(const std::string& dialogFileName);

// A text that the command interpreter would expand inside double quotes cannot go into a batch line:
// on this platform a double quote, "$", "`" or "\". Returns the refusal message naming the text, if any.
std::optional<std::string> UnsafeForBatch(const std::string& what, const std::string& text);

// Appends one line to the batch file, creating it when missing. Throws FileError naming the file.
void AppendToBatchFile(const std::string& batchPath, const std::string& line);

}  // namespace quillet
