// Texts between the program's byte strings and Qt: file names, subtitle text, messages and dialog filters.
#pragma once

#include <QString>
#include <string>

namespace quillet::ui {

// File names are bytes as the file system holds them.
QString FromPath(const std::string& path);
std::string ToPath(const QString& path);

// Subtitle text and messages are bytes in the user's code page (a text that is not valid in it is read as
// CP1252, as the renderer does).
QString FromText(const std::string& text);

// A message as the message box shows it: lines break at a lone carriage return, at CR LF, or at LF.
QString MessageText(const std::string& text);

// "description|patterns|description|patterns…" (patterns separated by ";") to Qt's
// "description (pattern pattern);;…". An odd last part is a description without patterns.
QString QtFileFilter(const std::string& filter);

}  // namespace quillet::ui
