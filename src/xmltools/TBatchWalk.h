#pragma once
// The folders a recursive batch run enters below its source folder, each
// mirrored by the destination's folder of the same name. A run enters a
// folder once, and never by a road that leads elsewhere:
// - a source folder that is a link is not followed (logged at level 5);
// - a folder entered before in the run, reached again by another name (a
//   link that its listing does not mark: an FTP server's MLSD describes the
//   folder a link names), is not entered again;
// - on an FTP server, a folder more than kMaxRemoteDepth levels below
//   the run's folder is not entered (a server that names no folder's
//   identity could lead round a loop for ever);
// - a folder whose name holds control characters is not entered where an FTP
//   server would have to be sent that name (it cannot be);
// - a run that writes enters no source folder whose destination folder is a
//   link: its files would land wherever the link leads, over the run's own
//   sources even.
// Each folder not entered but for the first reason is logged at level 2 (its
// files are not done). Names in the log have their control characters escaped.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "resource/TURL.h"

class TBatchWalk {
public:
  static constexpr int kMaxRemoteDepth = 64;

  // A new run from the folder source; writes: the run writes into dest.
  void Start(const TURL& source, bool writes);

  // The names of the sub-folders of the listed folder source to enter, in
  // listing order; dest is its destination folder, depth its levels below
  // the run's folder (0 for the run's own).
  std::vector<std::string> FoldersToEnter(TURL& source, const TURL& dest, int depth);

  // The URL (folder URLs without their masks) as the log shows it.
  static std::string LogName(const TURL& url);
  static std::string FolderLogName(const TURL& folder);

  // True for a name that the driver of url cannot be given: a name with
  // control characters on an FTP server.
  static bool Unnameable(const TURL& url, const std::string& name);

private:
  bool IsLink(const TURL& folder, const TFolderItem& item) const;
  bool Enters(TURL& source, const TURL& dest, const TFolderItem& item, int depth);
  bool DestinationIsLink(const TURL& dest, const std::string& name);
  static std::string Identity(const TURL& folder);
  static TURL SubFolder(const TURL& folder, const std::string& name);

  bool FWrites = false;
  // The identity of every folder entered (or about to be), with the URL it
  // was first reached by.
  std::map<std::string, std::string> FVisited;
  // The links among the folders of the last remote destination listed.
  std::string FDestListed;
  std::set<std::string> FDestLinks;
};
