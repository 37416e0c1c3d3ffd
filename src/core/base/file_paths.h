// Where a path really leads: every symbolic link on the way followed, but only links that may be trusted.
#pragma once

#include <string>

namespace quillet {

/*
 * `path` made absolute with every symbolic link in it followed, in the middle as at the end, one hop at a time.
 * Each link is judged as the kernel's protected links judge it: in a folder that anyone may write to and that has
 * the sticky bit (/tmp, a shared drop folder), a link is followed only when it belongs to this user or to the
 * folder's owner, so another user's planted "out -> /root" or "movie.sup -> /root/secret" is never followed, not
 * even as a folder on the way. The part from the first name that does not exist on is kept as written ("." and
 * ".." taken out). Throws FileError naming `path` (`action` is the message's verb: "create", "open") when a link
 * may not be followed or the links go round in a circle.
 */
std::string ResolvedPath(const std::string& path, const char* action = "create");

// ResolvedPath, or "" when it throws.
std::string LinkedPath(const std::string& path);

// A key that two names of one file share: the file's device and inode when it exists (so hard links and links
// meet), otherwise its resolved path (so "x.sup" and "./x.sup", not there yet, meet too). A name whose links may
// not be followed keys as written, made absolute.
std::string FileKey(const std::string& path);

// Whether two names are one file (FileKey).
bool SameFile(const std::string& a, const std::string& b);

}  // namespace quillet
