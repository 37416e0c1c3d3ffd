// One job as a batch file line, and appending it to a batch file.
#pragma once

#include <optional>
#include <string>

#include "job/job_settings.h"

namespace quillet {

// The batch line, CR LF included: the program path in double quotes, then the 16 values: the two booleans as
// -1 / 0, the two file names in double quotes (an empty IFO name, the IFO dialog never having had one, as
// "none"), the list indexes and track bar positions in decimal. programFolder ends with the folder separator.
std::string BuildJobLine(const std::string& programFolder, const JobSettings& job);

// The batch file a dialog name stands for: ".bat" is added unless the name already ends in it (any case).
std::string BatchPathFor(const std::string& dialogFileName);

// A text that the command interpreter would expand inside double quotes cannot go into a batch line:
// on this platform a double quote, "$", "`" or "\". Returns the refusal message naming the text, if any.
std::optional<std::string> UnsafeForBatch(const std::string& what, const std::string& text);

// Appends one line to the batch file, creating it when missing. Throws FileError naming the file.
void AppendToBatchFile(const std::string& batchPath, const std::string& line);

}  // namespace quillet
