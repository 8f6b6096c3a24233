// Who may read a document's working copy: never more than may read the
// document.

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "EditFrameFixture.h"

namespace {

using EditFrameWorkingCopyAccess = EditFrameFixture;

mode_t ModeOf(const std::string& path)
{
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info.st_mode & 07777;
}

enum { kRead, kDenied, kCannotBecomeTheUser };

// Whether the user uid in group gid (and no other) may open file for reading.
int ReadsAsUser(const std::string& file, uid_t uid, gid_t gid)
{
  pid_t child = ::fork();
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) ::_exit(kCannotBecomeTheUser);
    int fd = ::open(file.c_str(), O_RDONLY);
    ::_exit(fd >= 0 ? kRead : kDenied);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : kCannotBecomeTheUser;
}

}  // namespace

TEST_F(EditFrameWorkingCopyAccess, AWorkingCopyIsNoMoreAccessibleThanItsDocument)
{
  const mode_t oldMask = ::umask(022);
  std::string path = Write("private.xml", "secret");
  ::chmod(path.c_str(), 0600);
  Frame->OpenDocument(Local(path));
  EXPECT_EQ(ModeOf(Frame->FBackupFileName), 0600u);
  // A rewrite follows the document and narrows a copy that became wider.
  ::chmod(Frame->FBackupFileName.c_str(), 0666);
  Frame->Backup();
  EXPECT_EQ(ModeOf(Frame->FBackupFileName), 0600u);
  ::chmod(path.c_str(), 0640);
  Frame->Backup();
  EXPECT_EQ(ModeOf(Frame->FBackupFileName), 0640u);
  ::umask(077);
  Frame->Backup();
  EXPECT_EQ(ModeOf(Frame->FBackupFileName), 0600u);
  ::umask(022);
  // The copy has the document's group.
  if (::chown(path.c_str(), static_cast<uid_t>(-1), 65534) == 0) {
    Frame->Backup();
    struct stat info {};
    ::lstat(Frame->FBackupFileName.c_str(), &info);
    EXPECT_EQ(info.st_gid, 65534u);
    EXPECT_EQ(ModeOf(Frame->FBackupFileName), 0640u);
  }

  // A remote document's copy is its owner's; a new local one's gets what
  // its file will get.
  TEditFrame* remote = AddFrame();
  remote->NewDocument(TURL("ftp://host/x/r.xml"));
  EXPECT_EQ(ModeOf(remote->FBackupFileName), 0600u);
  TEditFrame* fresh = AddFrame();
  fresh->NewDocument(Local(Folder + "fresh.xml"));
  EXPECT_EQ(ModeOf(fresh->FBackupFileName), 0644u);
  ::umask(oldMask);
}

// With an access list, the group bits of a document's mode are the list's
// mask, not what its group may do: a document of mode 600 that lets one
// other user read it shows 640. Its working copy took those bits and the
// document's group, so every member of the group could read the copy of a
// document they may not read. Such a copy is its owner's alone.
TEST_F(EditFrameWorkingCopyAccess, ACopyOfADocumentWithAnAccessListLetsNoGroupIn)
{
  if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to act as a member of the document's group";
  const mode_t oldMask = ::umask(022);
  const std::string path = Write("listed.xml", "for the listed user only");
  ::chmod(path.c_str(), 0600);
  ASSERT_EQ(::chown(path.c_str(), 0, 65534), 0);
  if (!GrantReadThroughAccessList(path, 65534)) GTEST_SKIP() << "the file system keeps no access lists";
  ASSERT_EQ(ModeOf(path), 0640u);  // the mask shows as the group's bits
  ::chmod(Folder.c_str(), 0711);
  Frame->OpenDocument(Local(path));
  ::umask(oldMask);
  const std::string copy = Frame->FBackupFileName;
  EXPECT_EQ(ModeOf(copy), 0600u);

  // A member of the document's group that its list does not name reads neither.
  EXPECT_EQ(ReadsAsUser(path, 54321, 65534), kDenied);
  EXPECT_EQ(ReadsAsUser(copy, 54321, 65534), kDenied);
  ::chmod(Folder.c_str(), 0700);
}
