#pragma once
// Safe replacement of a whole file: the bytes go to a temporary file in the
// same folder, which is then renamed over the target. Where no temporary file
// can be made or renamed there (a folder the user may not write to), the file
// is rewritten in place with its previous content kept aside and put back
// when the write fails; so is a file that a new one could not stand in for
// (one with other names, hard links, with extended attributes such as access
// lists, or of another owner or group). A failed or interrupted write never destroys the
// previous file.

#include <string>
#include <sys/types.h>

// Writes bytes as the whole content of path. An existing file that the user
// may not write is refused (its folder's permissions do not matter) and keeps
// its permissions otherwise; a new file gets newFileMode (before the umask). When path is a
// symbolic link, the file it names is written and the link stays; a link in
// a sticky folder (such as /tmp) that belongs to neither the user nor the
// folder's owner is not followed, and nothing is written. An existing
// named pipe, device or socket is refused and stays as it is.
// Raises EFCreateError ("Cannot create file "path". reason") on failure.
void WriteFileAtomically(const std::string& path, const std::string& bytes, mode_t newFileMode = 0666);
// The same, but the written file gets exactly mode, an existing one too (and
// before any byte is written). Only the file written is changed: never a
// symbolic link, nor a folder a link names.
void WriteFileAtomicallyWithMode(const std::string& path, const std::string& bytes, mode_t mode);

// Reads the whole file as bytes. Only a regular file is read: a named pipe, a
// device or a socket is refused without being opened (nothing waits on it).
// Raises EFOpenError ("Cannot open file "path". reason").
std::string ReadWholeFile(const std::string& path);
