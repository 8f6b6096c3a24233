#pragma once
// The project: the state that outlives a run. Where the project file lives,
// the last local document opened and saved, and three recent-URL lists: every
// document URL used ("mru", 32), the FTP servers used with their log-in data
// ("ftphistory", 16) and the web addresses read ("httphistory", 16).
//
// The project file "default.pvp" lives in the program folder. It holds FTP
// passwords in plain text, so it is kept readable by its owner only (0600),
// and it is replaced atomically. Values are written with "&", "<" and quotes
// as entity references and read with the predefined references resolved.

#include <string>
#include <sys/types.h>

#include "resource/TMRUURL.h"
#include "resource/TURL.h"

class TProject {
public:
  static constexpr const char* FileName = "default.pvp";
  static constexpr mode_t FileMode = 0600;

  // The project location (default.pvp in the program folder), open and save
  // locations copied from it, empty lists.
  TProject();
  TProject(const TProject&) = delete;
  TProject& operator=(const TProject&) = delete;

  TURL ProjectURL;  // where the project file is written; its folder holds working copies of remote documents
  TURL OpenURL;     // the last local document opened
  TURL SaveURL;     // the last local document saved
  TMRUURL MRU{32};
  TMRUURL FtpHistory{16};   // ftp URLs with host and log-in data, empty path and file name
  TMRUURL HttpHistory{16};
  TMRUURL* CurrentList = nullptr;  // the list that entries go to while a file is read

  // Reads ProgramFolder() + "default.pvp" when it exists (tightening its mode
  // to 0600), then points ProjectURL at that name in every case. Raises
  // EFOpenError when the file exists but cannot be read.
  void Load();
  // Writes GetXML to the native name of ProjectURL, atomically, mode 0600.
  // Raises EFCreateError.
  void Save() const;

  // Records a document that was opened (isSave false) or saved (true).
  void UseURL(const TURL& url, bool isSave);
  // Adds the URL to "mru", and an ftp server to "ftphistory" or an http URL to
  // "httphistory".
  void AddToHistory(const TURL& url);

  // The project file text.
  std::string GetXML() const;
  // Reads a project file text (see the file format in GetXML).
  void Parse(const std::string& text);

private:
  class TReader;
};

// Sets the mode of the regular file path names (through links) to owner read
// and write only; false when it failed or path names no regular file.
bool RestrictToOwner(const std::string& path);
