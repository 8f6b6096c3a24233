#pragma once
// The working copy of an open document: a file that holds the editor's text
// beside the document (in the program folder for a remote one), for the
// previews and so that a crash loses at most a few minutes of work.
//
// A working copy never takes the place of a file that is not its own. Its
// name is "~" and the document's file name, numbered ("~a.xml", "~a1.xml",
// ...) until it names nothing that exists and no open document; it is
// rewritten and deleted only while the file at its path is still the one it
// last wrote there (same device, inode, size and modification time) and no
// open document is that file. Otherwise the file is left alone and the next
// write takes a new name. A rewrite goes to a new file that replaces the old
// copy only once it is complete, so a failed write keeps the previous copy.
//
// Its permissions are never wider than its document's: the read and write
// bits of the document's file, less the umask; for a local document that has
// no file yet, those its file will get when saved (0666 less the umask); for
// a remote document owner-only (0600), since the server's permissions are
// unknown and the program folder may be shared. When the working copy cannot
// have the document's group, it gets no group access. A document with an
// extended access list (whose group bits are the list's mask, not its
// group's rights) gets an owner-only copy: the list is not copied, so the
// users it names do not read the copy.
//
// Every live working copy is registered, so any of them can tell whether a
// path is an open document. Plain C++; one thread (the GUI thread).

#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>

class TWorkingCopy {
public:
  // The native path of the document's local file; empty for a remote document.
  using TDocumentPath = std::function<std::string()>;

  explicit TWorkingCopy(TDocumentPath documentPath);
  ~TWorkingCopy();
  TWorkingCopy(const TWorkingCopy&) = delete;
  TWorkingCopy& operator=(const TWorkingCopy&) = delete;

  // True when path is the document of a live working copy's owner: the same
  // file, or the same name for a document with no file yet.
  static bool IsOpenDocument(const std::string& path);

  // The first of folder + "~" + documentName, then with 1, 2 ... before the
  // last "." (at the end when there is none), that names nothing that exists
  // and no open document. A name too long for the file system is shortened
  // before the number. folder ends with "/"; nothing is created.
  static std::string ChooseName(const std::string& folder, const std::string& documentName);

  // One write of the working copy, from BeginWrite to Commit. Destroyed
  // without Commit, it removes what it wrote and the previous copy stays.
  class TWrite {
  public:
    TWrite(TWrite&& other) noexcept;
    TWrite& operator=(TWrite&&) = delete;
    TWrite(const TWrite&) = delete;
    ~TWrite();

    // The working copy this write makes.
    const std::string& Path() const { return Path_; }
    // The open file to write the text into; whoever takes it closes it.
    int ReleaseDescriptor();
    // After the text was written and the descriptor closed: the new text
    // becomes the working copy at Path. Raises EFCreateError on failure.
    std::string Commit();

  private:
    friend class TWorkingCopy;
    TWrite(TWorkingCopy& owner, std::string path, std::string temporary, int fd);

    TWorkingCopy* Owner_;
    std::string Path_;
    std::string Temporary_;  // empty: the file was made at Path itself
    int Fd_;
    dev_t Device_ = 0;
    ino_t Inode_ = 0;
    bool Done_ = false;
  };

  // Starts writing the working copy at path (the last one named or
  // written). When path holds something that is not this working copy's own
  // file, or is an open document, a new name for documentName is chosen in
  // path's folder. The file gets the document's permissions. Raises
  // EFCreateError when no file can be made.
  TWrite BeginWrite(const std::string& path, const std::string& documentName);

  // Deletes path when it is still the file this working copy last wrote and
  // no open document is that file; anything else stays.
  void Delete(const std::string& path);

private:
  struct TIdentity {
    std::string Path;
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    std::int64_t MTimeSeconds = 0;
    long MTimeNanoseconds = 0;
    bool Valid = false;
  };

  // path is still the file last written and no open document.
  bool IsOwnFile(const std::string& path) const;
  void Remember(const std::string& path, dev_t device, ino_t inode);

  TDocumentPath DocumentPath_;
  TIdentity Written_;
};
