#pragma once
// POSIX access lists, read through the "system.posix_acl_access" extended
// attribute (no library needed). An extended list names users or groups
// besides the owner, the owning group and others; with one, the group bits of
// a file's mode are the list's mask (the most any named user or group gets),
// not the owning group's rights: a file of mode 600 that lets one other user
// read it shows mode 640.

#include <string>
#include <sys/types.h>

// True when the file carries an extended access list. A file system that
// keeps no access lists has none; a list that cannot be read counts as one.
bool HasExtendedAccessList(const std::string& path);
bool HasExtendedAccessList(int fd);

// The permissions a copy of a file of this mode may get without letting in
// anyone the file does not: the mode itself, or only the owner's bits when
// the file carries an extended list (its group bits say nothing of its
// group).
mode_t CopyableMode(mode_t mode, bool extendedList);
