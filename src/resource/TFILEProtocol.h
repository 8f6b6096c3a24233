#pragma once
// Driver for local files ("file" URLs).

#include "resource/TAbstractProtocol.h"

class TFILEProtocol : public TAbstractProtocol {
public:
  TFILEProtocol() : TAbstractProtocol("file") {}

  bool IsConnected(TURL& url) override;
  void Connect(TURL& url) override;
  void Disconnect(TURL& url) override;
  // Raises EResourceError ("Cannot delete file "path". reason") when the
  // file stays; a file that is not there is no failure.
  void DeleteFile(TURL& url) override;
  void ListFolder(TURL& url) override;
  void GetFile(TURL& url, std::string& text) override;
  // Writes through a temporary file in the same folder renamed over the old
  // one (in place where none can be made there), so a failed write leaves
  // the previous document intact.
  void PutFile(TURL& url, const std::string& text) override;
  void CheckIdle() override;

  // The identity a listing gives the folder at path (reached through any
  // links): its device and inode; empty when path names no folder.
  static std::string FolderIdentity(const std::string& path);
};
