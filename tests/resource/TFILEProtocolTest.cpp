#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <grp.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "TestSupport.h"
#include "resource/EResourceError.h"
#include "resource/TFILEProtocol.h"
#include "resource/TURL.h"
#include "resource/TURLSystem.h"
#include "resource/TWorkProgress.h"

namespace fs = std::filesystem;

namespace {

class FileDriverTest : public ::testing::Test {
protected:
  void SetUp() override { FreeURLSystem(); }
  void TearDown() override
  {
    FreeURLSystem();
    std::error_code ec;
    ::chmod(Folder.c_str(), 0700);
    fs::remove_all(Folder, ec);
  }

  TURL Local(const std::string& name) { return TURL::CreateNative(Folder + name); }

  std::vector<std::string> Listing(const std::string& masks)
  {
    TURL url = Local(masks);
    std::vector<std::string> names;
    for (int i = 0; i < url.GetCount(); ++i)
      names.push_back((url.GetItem(i).Kind == TFolderItem::kFolder ? "D " : "F ") + url.GetItem(i).Name);
    return names;
  }

  std::string Folder = MakeTempFolder("xmlplivek-file");
};

mode_t ModeOf(const std::string& path)
{
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

// Runs body in a child process and returns its exit code (-1 when it died).
int RunInChild(const std::function<int()>& body)
{
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Exit codes of a write attempted in a child.
constexpr int kWriteRaisedCreateError = 0;
constexpr int kWriteSucceeded = 1;
constexpr int kWrongError = 2;
constexpr int kCannotDropRights = 3;

// Makes the process an ordinary user (nobody, in no other group); false when
// the rights cannot be dropped. A process that is no superuser stays itself.
bool BecomeOrdinaryUser()
{
  if (::geteuid() != 0) return true;
  return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

int TryWrite(const std::string& path, const std::string& bytes)
{
  try {
    TURL url = TURL::CreateNative(path);
    url.PutFile(bytes);
    return kWriteSucceeded;
  } catch (const EFCreateError& e) {
    std::string expected = "Cannot create file \"" + path + "\". ";
    return std::string(e.what()).rfind(expected, 0) == 0 ? kWriteRaisedCreateError : kWrongError;
  } catch (...) {
    return kWrongError;
  }
}

}  // namespace

TEST_F(FileDriverTest, BytesRoundTripExactly)
{
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  bytes += "\r\n\n\r";
  TURL url = Local("all-bytes.xml");
  url.PutFile(bytes);
  EXPECT_EQ(ReadTestFile(Folder + "all-bytes.xml"), bytes);
  std::string text = "stale";
  url.GetFile(text);
  EXPECT_EQ(text, bytes);
}

TEST_F(FileDriverTest, EmptyTextGivesAnEmptyFile)
{
  WriteTestFile(Folder + "a.xml", "old content");
  TURL url = Local("a.xml");
  url.PutFile("");
  EXPECT_EQ(fs::file_size(Folder + "a.xml"), 0u);
  std::string text = "stale";
  url.GetFile(text);
  EXPECT_EQ(text, "");
}

TEST_F(FileDriverTest, RewriteKeepsPermissionsAndLeavesNoTemporaryFile)
{
  WriteTestFile(Folder + "a.xml", "old");
  ::chmod((Folder + "a.xml").c_str(), 0640);
  Local("a.xml").PutFile("new");
  EXPECT_EQ(ReadTestFile(Folder + "a.xml"), "new");
  EXPECT_EQ(ModeOf(Folder + "a.xml"), 0640u);
  int entries = 0;
  for (auto& entry : fs::directory_iterator(Folder)) entries += entry.exists();
  EXPECT_EQ(entries, 1);
}

// A document opened through a symbolic link is saved into the file the link
// names; the link stays a link.
TEST_F(FileDriverTest, RewriteThroughASymbolicLinkKeepsTheLink)
{
  fs::create_directory(Folder + "real");
  WriteTestFile(Folder + "real/a.xml", "old");
  fs::create_symlink("real/a.xml", Folder + "link.xml");
  fs::create_symlink(Folder + "link.xml", Folder + "chain.xml");
  Local("link.xml").PutFile("new");
  EXPECT_TRUE(fs::is_symlink(Folder + "link.xml"));
  EXPECT_EQ(ReadTestFile(Folder + "real/a.xml"), "new");
  Local("chain.xml").PutFile("newer");
  EXPECT_TRUE(fs::is_symlink(Folder + "chain.xml"));
  EXPECT_TRUE(fs::is_symlink(Folder + "link.xml"));
  EXPECT_EQ(ReadTestFile(Folder + "real/a.xml"), "newer");
  // A link to a file that does not exist yet creates that file.
  fs::create_symlink("real/b.xml", Folder + "new.xml");
  Local("new.xml").PutFile("created");
  EXPECT_TRUE(fs::is_symlink(Folder + "new.xml"));
  EXPECT_EQ(ReadTestFile(Folder + "real/b.xml"), "created");
  // Links in a circle name no file at all.
  fs::create_symlink("loop2.xml", Folder + "loop1.xml");
  fs::create_symlink("loop1.xml", Folder + "loop2.xml");
  EXPECT_THROW(Local("loop1.xml").PutFile("x"), EFCreateError);
  EXPECT_TRUE(fs::is_symlink(Folder + "loop1.xml"));
}

// In a shared sticky folder (such as /tmp) anyone may put a link under the
// name of a document another user is about to save: "report.xml" naming that
// user's notes. A save that followed it replaced the notes; the kernel
// refuses to follow such a link (fs.protected_symlinks), and so does a save.
// It fails naming the link, and nothing is written. Links of the user and of
// the folder's owner are followed as before.
TEST_F(FileDriverTest, ALinkAnotherUserPutInASharedStickyFolderIsNotFollowed)
{
  if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to act as a second user";
  const std::string shared = Folder + "shared/";
  fs::create_directory(shared);
  ::chmod(Folder.c_str(), 0755);
  ::chmod(shared.c_str(), 01777);
  WriteTestFile(Folder + "notes.txt", "the user's notes");
  const int planted = RunInChild([&] {
    if (!BecomeOrdinaryUser()) return kCannotDropRights;
    return ::symlink((Folder + "notes.txt").c_str(), (shared + "report.xml").c_str()) == 0 ? 0 : kWrongError;
  });
  if (planted == kCannotDropRights) GTEST_SKIP() << "cannot drop superuser rights";
  ASSERT_EQ(planted, 0);
  fs::create_symlink(shared + "report.xml", Folder + "chain.xml");  // the user's own link to it

  for (const char* name : {"shared/report.xml", "chain.xml"}) {
    try {
      Local(name).PutFile("replacement that must not land");
      ADD_FAILURE() << name << ": the link was followed";
    } catch (const EFCreateError& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + Folder + name +
                                           "\". The symbolic link \"" + shared + "report.xml" +
                                           "\" belongs to another user and lies in a shared folder: it is not followed");
    }
  }
  EXPECT_EQ(ReadTestFile(Folder + "notes.txt"), "the user's notes");
  EXPECT_TRUE(fs::is_symlink(shared + "report.xml"));
  EXPECT_EQ(std::distance(fs::directory_iterator(shared), fs::directory_iterator()), 1);

  // The user's own link there is followed, and so is one of the folder's owner.
  fs::create_symlink(Folder + "mine.txt", shared + "mine.xml");
  Local("shared/mine.xml").PutFile("mine");
  EXPECT_EQ(ReadTestFile(Folder + "mine.txt"), "mine");
  ASSERT_EQ(::chown(shared.c_str(), 65534, 65534), 0);
  Local("shared/report.xml").PutFile("written through the owner's link");
  EXPECT_EQ(ReadTestFile(Folder + "notes.txt"), "written through the owner's link");
}

TEST_F(FileDriverTest, WriteRefusedByTheFolderKeepsTheOldFile)
{
  WriteTestFile(Folder + "a.xml", "precious");
  ::chmod((Folder + "a.xml").c_str(), 0644);
  ::chmod(Folder.c_str(), 0555);
  std::string path = Folder + "a.xml";
  int result = RunInChild([&] {
    // The superuser ignores folder permissions: write as an ordinary user.
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return kCannotDropRights;
    return TryWrite(path, "replacement that must not land");
  });
  if (result == kCannotDropRights) GTEST_SKIP() << "cannot drop superuser rights";
  EXPECT_EQ(result, kWriteRaisedCreateError);
  EXPECT_EQ(ReadTestFile(path), "precious");
}

// A file the user may not write is not replaced behind its back, even where
// the folder would let a new file take its name: its own permissions (set by
// its owner, or read-only on purpose) say no.
TEST_F(FileDriverTest, AFileTheUserMayNotWriteIsNotReplacedThroughItsFolder)
{
  const std::string path = Folder + "a.xml";
  WriteTestFile(path, "precious");
  ::chmod(Folder.c_str(), 0777);
  for (mode_t mode : {0644, 0444}) {
    ::chmod(path.c_str(), mode);
    int result = RunInChild([&] {
      if (!BecomeOrdinaryUser()) return kCannotDropRights;
      return TryWrite(path, "replacement that must not land");
    });
    if (result == kCannotDropRights) GTEST_SKIP() << "cannot drop superuser rights";
    EXPECT_EQ(result, kWriteRaisedCreateError) << std::oct << mode;
    EXPECT_EQ(ReadTestFile(path), "precious");
    EXPECT_EQ(ModeOf(path), mode);
  }
  // The user's own file made read-only is refused just the same.
  ::chown(path.c_str(), 65534, 65534);
  int result = RunInChild([&] {
    if (!BecomeOrdinaryUser()) return kCannotDropRights;
    return TryWrite(path, "replacement that must not land");
  });
  EXPECT_EQ(result, kWriteRaisedCreateError);
  EXPECT_EQ(ReadTestFile(path), "precious");
}

// Saving changes the file's bytes and nothing else about it: a file with
// other names (hard links) keeps them all, one with extended attributes keeps
// them, a file of another owner keeps its owner, and a file whose group the
// user could not give a new file keeps it.
TEST_F(FileDriverTest, RewritingKeepsTheFilesOtherNamesAttributesOwnerAndGroup)
{
  const std::string path = Folder + "a.xml";
  WriteTestFile(path, "old");
  fs::create_hard_link(path, Folder + "other-name.xml");
  Local("a.xml").PutFile("new");
  EXPECT_EQ(ReadTestFile(Folder + "other-name.xml"), "new");
  EXPECT_EQ(fs::hard_link_count(path), 2u);
  fs::remove(Folder + "other-name.xml");

  // Its extended attributes too: access lists that let others in, the
  // labels and notes that other programs keep there.
  if (::setxattr(path.c_str(), "user.note", "kept", 4, 0) == 0) {
    Local("a.xml").PutFile("newer");
    char value[16] = {};
    EXPECT_EQ(::getxattr(path.c_str(), "user.note", value, sizeof value), 4);
    EXPECT_STREQ(value, "kept");
    EXPECT_EQ(ReadTestFile(path), "newer");
    ::removexattr(path.c_str(), "user.note");
  }

  struct stat before {};
  auto keptAs = [&](uid_t owner, gid_t group) {
    struct stat now {};
    return ::stat(path.c_str(), &now) == 0 && now.st_ino == before.st_ino && now.st_uid == owner &&
           now.st_gid == group && (now.st_mode & 07777) == (before.st_mode & 07777);
  };
  auto writeAsUser = [&](const std::string& bytes) {
    return RunInChild([&] {
      if (!BecomeOrdinaryUser()) return kCannotDropRights;
      return TryWrite(path, bytes);
    });
  };
  ::chmod(Folder.c_str(), 0777);
  ::chown(path.c_str(), 0, 0);
  ::chmod(path.c_str(), 0666);
  ::stat(path.c_str(), &before);
  int result = writeAsUser("written by another user");
  if (result == kCannotDropRights || ::geteuid() != 0) GTEST_SKIP() << "needs the superuser to make the owners";
  EXPECT_EQ(result, kWriteSucceeded);
  EXPECT_EQ(ReadTestFile(path), "written by another user");
  EXPECT_TRUE(keptAs(0, 0));

  ::chown(path.c_str(), 65534, 0);
  ::chmod(path.c_str(), 0664);
  ::stat(path.c_str(), &before);
  EXPECT_EQ(writeAsUser("written by its owner"), kWriteSucceeded);
  EXPECT_EQ(ReadTestFile(path), "written by its owner");
  EXPECT_TRUE(keptAs(65534, 0));
  int entries = 0;
  for (auto& entry : fs::directory_iterator(Folder)) entries += entry.exists();
  EXPECT_EQ(entries, 1);
}

// The temporary file's name stays within the 255-byte limit of a name.
TEST_F(FileDriverTest, ADocumentWithALongNameIsSaved)
{
  const std::string name = std::string(251, 'n') + ".xml";
  Local(name).PutFile("created");
  EXPECT_EQ(ReadTestFile(Folder + name), "created");
  Local(name).PutFile("rewritten");
  EXPECT_EQ(ReadTestFile(Folder + name), "rewritten");
  int entries = 0;
  for (auto& entry : fs::directory_iterator(Folder)) entries += entry.exists();
  EXPECT_EQ(entries, 1);
}

// Where no temporary file can be made or renamed beside a writable document,
// the document is rewritten in place (the same file, its mode kept); a write
// that fails there puts the previous content back.
TEST_F(FileDriverTest, AWritableFileInAFolderTheUserMayNotWriteToIsRewrittenInPlace)
{
  const std::string path = Folder + "a.xml";
  WriteTestFile(path, "precious");
  ::chmod(path.c_str(), 0666);
  struct stat before {};
  ::stat(path.c_str(), &before);
  auto writeAsUser = [&](const std::string& bytes, rlim_t sizeLimit) {
    return RunInChild([&] {
      std::signal(SIGXFSZ, SIG_IGN);
      rlimit limit{sizeLimit, sizeLimit};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return kCannotDropRights;
      // The superuser ignores folder permissions: write as an ordinary user.
      if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return kCannotDropRights;
      return TryWrite(path, bytes);
    });
  };
  auto sameFile = [&] {
    struct stat now {};
    return ::stat(path.c_str(), &now) == 0 && now.st_ino == before.st_ino && (now.st_mode & 07777) == 0666;
  };
  ::chmod(Folder.c_str(), 0555);
  int result = writeAsUser("a longer replacement", RLIM_INFINITY);
  if (result == kCannotDropRights) GTEST_SKIP() << "cannot drop superuser rights";
  EXPECT_EQ(result, kWriteSucceeded);
  EXPECT_EQ(ReadTestFile(path), "a longer replacement");
  EXPECT_TRUE(sameFile());
  EXPECT_EQ(writeAsUser("short", RLIM_INFINITY), kWriteSucceeded);
  EXPECT_EQ(ReadTestFile(path), "short");
  EXPECT_EQ(writeAsUser(std::string(100000, 'x'), 16), kWriteRaisedCreateError);
  EXPECT_EQ(ReadTestFile(path), "short");
  EXPECT_TRUE(sameFile());
  // A sticky folder: the temporary file is made, but may not replace a file
  // of another owner.
  ::chmod(Folder.c_str(), 01777);
  EXPECT_EQ(writeAsUser("in a sticky folder", RLIM_INFINITY), kWriteSucceeded);
  EXPECT_EQ(ReadTestFile(path), "in a sticky folder");
  EXPECT_TRUE(sameFile());
  int entries = 0;
  for (auto& entry : fs::directory_iterator(Folder)) entries += entry.exists();
  EXPECT_EQ(entries, 1);
}

TEST_F(FileDriverTest, WriteFailingHalfwayKeepsTheOldFile)
{
  std::string path = Folder + "a.xml";
  WriteTestFile(path, "precious");
  int result = RunInChild([&] {
    // The file-size limit makes the write fail after a few bytes.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4, 4};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return kCannotDropRights;
    return TryWrite(path, std::string(100000, 'x'));
  });
  ASSERT_NE(result, kCannotDropRights);
  EXPECT_EQ(result, kWriteRaisedCreateError);
  EXPECT_EQ(ReadTestFile(path), "precious");
  int entries = 0;
  for (auto& entry : fs::directory_iterator(Folder)) entries += entry.exists();
  EXPECT_EQ(entries, 1);  // the temporary file is gone
}

// Saving under cancelled work stops before the old file is touched, whether
// it goes through a temporary file (removed again) or in place (a file with
// another name); a new file is not made. Work that goes on learns the bytes
// written.
TEST_F(FileDriverTest, CancelledSaveKeepsTheOldFile)
{
  const std::string path = Folder + "a.xml";
  WriteTestFile(path, "precious");
  TWorkProgress progress;
  TWorkProgressScope scope(progress);
  TURL url = Local("a.xml");
  const std::string bytes(10 << 20, 'n');
  url.PutFile(bytes);
  EXPECT_EQ(progress.Done(), bytes.size());
  EXPECT_EQ(progress.Total(), bytes.size());
  WriteTestFile(path, "precious");
  progress.Cancel();
  EXPECT_THROW(url.PutFile(bytes), ECancelled);
  EXPECT_EQ(ReadTestFile(path), "precious");
  ASSERT_EQ(::link(path.c_str(), (Folder + "other-name.xml").c_str()), 0);
  EXPECT_THROW(url.PutFile(bytes), ECancelled);
  EXPECT_EQ(ReadTestFile(path), "precious");
  TURL created = Local("new.xml");
  EXPECT_THROW(created.PutFile(bytes), ECancelled);
  EXPECT_EQ(Listing("*"), (std::vector<std::string>{"F a.xml", "F other-name.xml"}));
}

TEST_F(FileDriverTest, MissingFileCannotBeOpened)
{
  TURL url = Local("missing.xml");
  std::string text;
  try {
    url.GetFile(text);
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + Folder + "missing.xml\". " + std::strerror(ENOENT));
  }
}

// Only regular files are read: a named pipe would wait for a writer for ever
// and a device may never end. Neither is opened; each gives a clear error.
TEST_F(FileDriverTest, NamedPipesAndDevicesAreNotRead)
{
  TFifoTrap pipe(Folder + "pipe.xml");
  std::string text = "stale";
  try {
    Local("pipe.xml").GetFile(text);
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + Folder + "pipe.xml\". It is a named pipe, not a file.");
  }
  EXPECT_FALSE(pipe.Opened());
  try {
    TURL::CreateNative("/dev/null").GetFile(text);
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file \"/dev/null\". It is a device, not a file.");
  }
  EXPECT_EQ(text, "stale");
  // Nor is one written: the pipe stays a pipe.
  EXPECT_THROW(Local("pipe.xml").PutFile("x"), EFCreateError);
  struct stat info {};
  ASSERT_EQ(::lstat((Folder + "pipe.xml").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  EXPECT_FALSE(pipe.Opened());
}

TEST_F(FileDriverTest, WriteIntoMissingFolderCannotCreate)
{
  TURL url = Local("no/such/a.xml");
  EXPECT_THROW(url.PutFile("x"), EFCreateError);
}

// A file that is gone already is no failure; one that stays is.
TEST_F(FileDriverTest, DeleteRemovesTheFileAndReportsWhatStays)
{
  WriteTestFile(Folder + "a.xml", "x");
  TURL url = Local("a.xml");
  url.DeleteFile();
  EXPECT_FALSE(fs::exists(Folder + "a.xml"));
  EXPECT_NO_THROW(url.DeleteFile());
  fs::create_directory(Folder + "dir");
  try {
    Local("dir").DeleteFile();
    FAIL() << "no error";
  } catch (const EResourceError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot delete file \"" + Folder + "dir\". " + std::strerror(EISDIR));
  }
  EXPECT_TRUE(fs::exists(Folder + "dir"));
}

TEST_F(FileDriverTest, ListingIsSortedIgnoringCaseWithFoldersAndMatchingFiles)
{
  for (const char* name : {"b.xml", "A.XML", "c.txt", "_under.xml", "README", ".hidden.xml"})
    WriteTestFile(Folder + name, "x");
  fs::create_directory(Folder + "Zdir");
  fs::create_directory(Folder + "sub.txt");
  fs::create_directory(Folder + "target");
  fs::create_directory_symlink(Folder + "target", Folder + "link");
  fs::create_symlink(Folder + "nowhere", Folder + "dangling.xml");
  EXPECT_EQ(Listing("*.xml"), (std::vector<std::string>{"F .hidden.xml", "F A.XML", "F b.xml", "F dangling.xml",
                                                         "D link", "D sub.txt", "D target", "D Zdir",
                                                         "F _under.xml"}));
  EXPECT_EQ(Listing("*.*;*"), (std::vector<std::string>{"F .hidden.xml", "F A.XML", "F b.xml", "F c.txt",
                                                         "F dangling.xml", "D link", "F README", "D sub.txt",
                                                         "D target", "D Zdir", "F _under.xml"}));
  EXPECT_EQ(Listing(""), (std::vector<std::string>{"D link", "D sub.txt", "D target", "D Zdir"}));
}

TEST_F(FileDriverTest, NamesDifferingOnlyInCaseKeepAFixedOrder)
{
  for (const char* name : {"b.xml", "a.xml", "A.xml", "B.xml"}) WriteTestFile(Folder + name, "x");
  EXPECT_EQ(Listing("*"), (std::vector<std::string>{"F A.xml", "F a.xml", "F B.xml", "F b.xml"}));
}

TEST_F(FileDriverTest, MissingFolderListsEmpty)
{
  TURL url = Local("missing/*.xml");
  EXPECT_EQ(url.GetCount(), 0);
  EXPECT_TRUE(url.Listed);
  EXPECT_EQ(url.ListError, std::strerror(ENOENT));  // said, for whoever needs the folder
  EXPECT_TRUE(Local("*.xml").ListError.empty() && Local("*.xml").GetCount() == 0);
}

TEST_F(FileDriverTest, ListingReplacesOldItems)
{
  WriteTestFile(Folder + "a.xml", "x");
  TURL url = Local("*.xml");
  url.Items.push_back(std::make_unique<TFolderItem>(TFolderItem::kFile, "stale"));
  ASSERT_EQ(url.GetCount(), 1);
  EXPECT_EQ(url.GetItem(0).Name, "a.xml");
}

TEST_F(FileDriverTest, InvalidMaskReachesTheCaller)
{
  WriteTestFile(Folder + "a.xml", "x");
  TURL url = Local("[a");
  EXPECT_THROW(url.GetCount(), EMaskException);
  EXPECT_FALSE(url.Listed);
}

TEST(FileDriver, IsAlwaysConnectedAndIdles)
{
  TFILEProtocol driver;
  TURL url("file:/tmp/");
  EXPECT_TRUE(driver.IsConnected(url));
  driver.Connect(url);
  driver.Disconnect(url);
  driver.CheckIdle();
  EXPECT_EQ(driver.ProtocolName, "file");
}
