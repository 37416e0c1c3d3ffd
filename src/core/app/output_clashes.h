// Which files of a named conversion must not be converted because an output would be written over something
// that is not that file's own earlier output.
#pragma once

#include <string>
#include <vector>

#include "job/named_command_line.h"

namespace quillet {

// One entry per input: empty, or why that file is not converted ("not converted: its output … is the input …").
// A file is refused when an output of it would be another input of the run (the VobSub .sub of film.srt is a
// MicroDVD film.sub), when the same output belongs to an earlier file of the run (film.srt and film.sub side by
// side, one name from two folders with -o, a file given twice), or when an output's name is taken by a file that
// is not an earlier output of this program (FirstForeignOutput: a Blu-ray film.sup, a ripped film.idx/film.sub, a
// MicroDVD film.sub the run was not given).
std::vector<std::string> OutputClashes(const NamedOptions& options);

}  // namespace quillet
