#include "resource/AccessList.h"

#include <cerrno>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

const char* const kAccessListAttribute = "system.posix_acl_access";
constexpr ssize_t kHeaderSize = 4;  // the version
constexpr ssize_t kEntrySize = 8;   // tag, permissions, id
constexpr ssize_t kMinimalEntries = 3;  // owner, owning group, others: the mode itself

// size: what reading the attribute's size gave (-1 with errno set on failure).
bool IsExtended(ssize_t size)
{
  if (size < 0) return errno != ENODATA && errno != ENOTSUP;
  return (size - kHeaderSize) / kEntrySize > kMinimalEntries;
}

}  // namespace

bool HasExtendedAccessList(const std::string& path)
{
  return IsExtended(::getxattr(path.c_str(), kAccessListAttribute, nullptr, 0));
}

bool HasExtendedAccessList(int fd)
{
  return IsExtended(::fgetxattr(fd, kAccessListAttribute, nullptr, 0));
}

mode_t CopyableMode(mode_t mode, bool extendedList)
{
  return extendedList ? (mode & ~static_cast<mode_t>(S_IRWXG | S_IRWXO)) : mode;
}
