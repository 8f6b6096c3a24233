#pragma once
// The batch engine: runs one command over every file of a source folder whose
// name matches the source's masks (and, on request, over every folder below
// it, as TBatchWalk lets it). Source and destination are URLs, so either may
// be a local folder or a folder on an FTP server. Each processed file is
// logged at level 5; a failed check is logged at level 2 and the run goes on,
// and so is a file skipped because the FTP server would have to be sent a
// name with control characters; every other error ends it. Names in the log
// have their control characters escaped.
// A run reports the files it has done to the thread's current work progress
// and polls it between files: a cancelled run stops after the file it is
// doing, logs at level 2 where it stopped and raises ECancelled.

#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "resource/TURL.h"
#include "xmltools/THTML2XMLConvertor.h"
#include "xmltools/TXMLChecker.h"
#include "xmltools/TBatchWalk.h"
#include "xmltools/TXMLTransformer.h"

// The batch command; the value is the page index of the batch dialog.
enum TBatchCommand : std::uint8_t {
  bcHTMLToXML = 0,
  bcCheck = 1,
  bcTransform = 2,
  bcCopy = 3,
  bcDelete = 4,
};

// A local copy that the operating system refused:
// "Cannot copy file "source" to "destination". reason".
class EBatchCopyError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TBatch {
public:
  // The deepest a recursive run goes below its folder on an FTP server.
  static constexpr int kMaxRemoteDepth = TBatchWalk::kMaxRemoteDepth;

  TBatch();

  // Declared in construction order; destroyed in the reverse order.
  THTML2XMLConvertor Convertor;
  TXMLTransformer Transformer;
  TXMLChecker Checker;
  TURL Source;  // source folder; FileName holds the ";"-separated masks
  TURL Dest;    // destination folder; FileName holds the destination mask

  std::string XSLFile;
  TBatchCommand Command = bcHTMLToXML;
  bool Recurse = false;
  bool Validate = false;
  std::uint8_t TagCase = 0;
  std::uint8_t AttrCase = 0;
  bool FixAttributes = false;
  bool FixMismatch = false;
  // Local files that a run neither reads nor writes, whatever the masks
  // select: the editor's working copies of its open documents, which the
  // caller names (any spelling of each path).
  std::vector<std::string> SkipFiles;

  // Runs the command once over the source folder (see above for progress and
  // cancelling). The process's current
  // folder is set to each local source folder before its files are processed
  // and restored when the run ends, also when an error ends it.
  void Execute();

  // Append the names of the files of the URL's listing, in order.
  static void CollectFiles(TURL& url, std::vector<std::string>& list);

  // The destination name of fileName: the first "*" of mask becomes the base
  // name (before the first "."), the next "*" the extension (after it).
  static std::string MakeDestName(const std::string& fileName, const std::string& mask);

private:
  void Prepare();
  bool Writes() const;
  // depth: the folder's levels below the run's folder.
  void ProcessFolder(TURL& source, TURL& dest, int depth);
  void ProcessFiles(TURL& source, TURL& dest, const std::vector<std::string>& fileNames);
  // The command on one file.
  void ProcessFile(TURL& sourceFile, TURL& destFile);
  // The resolved local folder of url, ending in "/", when files of it may
  // be skipped; empty otherwise.
  std::string SkipFolder(const TURL& url) const;
  bool Skipped(const std::string& skipFolder, const std::string& name) const;

  void BatchConvert(TURL& source, TURL& dest);
  void BatchCheck(TURL& source);
  void BatchTransform(TURL& source, TURL& dest);
  static void BatchCopy(TURL& source, TURL& dest);
  static void BatchDelete(TURL& source);

  // The file is skipped (and logged) because its name cannot be sent to
  // the server that holds it or would get it.
  bool SkippedAsUnnameable(const TURL& sourceFile, const TURL& destFile) const;
  static void ReportFailedListing(TURL& folder);
  static void EnterFolder(const TURL& folder);

  // Before a file: ECancelled when the run has been cancelled; the step
  // names the file.
  void StartFile(const TURL& file);
  void FileDone(const TURL& file);
  // "after N of M files" for the log lines of a run that stopped.
  std::string FilesDoneText() const;
  void LogCancelled() const;
  // A run that an error ended says where it stopped, and why.
  void LogFailure(const std::exception& error) const;

  std::set<std::string> FSkipped;  // SkipFiles resolved, for the length of a run
  TBatchWalk FWalk;
  // How far a run got: the files done (of FFilesTotal when known, else 0),
  // the last one done and the one being done.
  std::uint64_t FFilesDone = 0;
  std::uint64_t FFilesTotal = 0;
  std::string FLastDone;
  std::string FCurrent;
};
