// Names and values as a terminal shows them and as a shell reads them back.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

// `text` with every control character written out, so that a name or value echoed in a message can neither break
// the message's line nor send the terminal a command: tab, line feed and carriage return as \t, \n and \r, other
// control bytes (C0, DEL, the C1 controls in UTF-8) and bytes that are not UTF-8 as \xHH. Everything else, a
// backslash included, stays as it is.
std::string EscapeControls(std::string_view text);

// `text` as one word a POSIX shell reads back unchanged: as it is when it holds only letters, digits and
// "_@%+=:,./-"; otherwise in single quotes ('it'\''s'); a text with control characters in the $'...' form, where
// they are written out (\n, \t, \xHH) so that the hint stays on one line. A hint printed as a command is built from
// these, so a file named "$(touch X).srt" pasted back runs nothing.
std::string ShellQuoted(std::string_view text);

// Why `name` cannot name an output ("it holds a line break", "it is not UTF-8", …); "" when it can. A name that
// other programs read back in a list or in XML must not hold a control character, bytes that are not UTF-8, or
// the non-characters U+FFFE and U+FFFF.
std::string OutputNameProblem(std::string_view name);

}  // namespace quillet
