#include "xmltools/TBatch.h"

#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <system_error>

#include "resource/AccessList.h"
#include "resource/AtomicFile.h"
#include "resource/ControlCharacters.h"
#include "resource/EResourceError.h"
#include "resource/TRegularFile.h"
#include "resource/TWorkProgress.h"
#include "resource/zevlog.h"
#include "text/EncodingDetection.h"
#include "xmltools/ConvertedPage.h"
#include "xmltools/EXMLError.h"
#include "xmltools/XMLEntityLoader.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint8_t kCheckFailedLevel = 2;
constexpr std::uint8_t kSkippedLevel = 2;  // always on: a file was not done
constexpr std::uint8_t kListingFailedLevel = 2;  // always on: a folder's files were not done
constexpr std::uint8_t kDetailLevel = 5;
constexpr std::uint8_t kCancelledLevel = 2;  // always on: files were not done
constexpr std::uint8_t kFailedLevel = 2;     // always on: the run stopped
const char* const kUnknownCommand = "Unknown Batch Command";

// The tools at work on one file report on a progress of their own, a part of
// the run's: the run's progress keeps counting files, and its cancel reaches
// them. Nothing without a run's progress.
class TFileProgress {
public:
  TFileProgress()
  {
    if (TWorkProgress* run = TWorkProgress::Current()) {
      Work.emplace(run);
      Scope.emplace(*Work);
    }
  }

private:
  std::optional<TWorkProgress> Work;
  std::optional<TWorkProgressScope> Scope;
};

// Puts the process's current folder back where it was when the run started.
class TCurrentFolderKeeper {
public:
  TCurrentFolderKeeper() { Saved = fs::current_path(Error); }
  ~TCurrentFolderKeeper() {
    if (Error) return;
    std::error_code ignored;
    fs::current_path(Saved, ignored);
  }
  TCurrentFolderKeeper(const TCurrentFolderKeeper&) = delete;
  TCurrentFolderKeeper& operator=(const TCurrentFolderKeeper&) = delete;

  const fs::path& Folder() const { return Saved; }

private:
  fs::path Saved;
  std::error_code Error;
};

// A relative local folder is taken relative to the current folder at the start
// of the run, which the run itself changes.
void AnchorLocalFolder(TURL& url, const fs::path& base) {
  if (url.Protocol != TURLProtocol::file || base.empty()) return;
  if (!url.Path.empty() && url.Path[0] == '/') return;
  std::string folder = base.string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  url.SetPath(folder + url.Path);
}

// The path with its folders' links resolved and "." and ".." taken out, so
// that two spellings of one file compare equal.
std::string ResolvedPath(const std::string& path, const fs::path& base) {
  fs::path full(path);
  if (full.is_relative()) full = base / full;
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(full, error);
  return (error ? full.lexically_normal() : resolved).string();
}

}  // namespace

TBatch::TBatch() : Source("file:/"), Dest("file:/") {}

void TBatch::Execute() {
  TCurrentFolderKeeper keeper;
  TURL source(Source);
  TURL dest(Dest);
  AnchorLocalFolder(source, keeper.Folder());
  AnchorLocalFolder(dest, keeper.Folder());
  FSkipped.clear();
  for (const std::string& path : SkipFiles) FSkipped.insert(ResolvedPath(path, keeper.Folder()));
  FFilesDone = 0;
  FFilesTotal = 0;
  FLastDone.clear();
  FCurrent.clear();
  try {
    Prepare();
    if (Recurse) FWalk.Start(source, Writes());
    ProcessFolder(source, dest, 0);
  } catch (const ECancelled&) {
    LogCancelled();
    throw;
  } catch (const std::exception& error) {
    LogFailure(error);
    throw;
  }
}

void TBatch::StartFile(const TURL& file)
{
  TWorkProgress* progress = TWorkProgress::Current();
  if (progress) progress->ThrowIfCancelled();
  FCurrent = TBatchWalk::LogName(file);
  if (!progress) return;
  progress->SetStep(FCurrent);
  progress->Report(FFilesDone, FFilesTotal, TProgressUnit::files);
}

void TBatch::FileDone(const TURL& file)
{
  ++FFilesDone;
  FLastDone = TBatchWalk::LogName(file);
  FCurrent.clear();
  if (TWorkProgress* progress = TWorkProgress::Current())
    progress->Report(FFilesDone, FFilesTotal, TProgressUnit::files);
}

std::string TBatch::FilesDoneText() const
{
  std::string text = "after " + std::to_string(FFilesDone);
  if (FFilesTotal > 0) text += " of " + std::to_string(FFilesTotal);
  return text + (FFilesDone == 1 && FFilesTotal == 0 ? " file." : " files.");
}

void TBatch::LogCancelled() const
{
  std::string text = "Batch cancelled " + FilesDoneText();
  if (!FLastDone.empty()) text += " Last file done: " + FLastDone;
  if (!FCurrent.empty()) text += (FLastDone.empty() ? " " : "; ") + std::string("not done: ") + FCurrent;
  AppLog().Log(kCancelledLevel, text);
}

bool TBatch::Writes() const {
  return Command == bcHTMLToXML || Command == bcTransform || Command == bcCopy;
}

void TBatch::LogFailure(const std::exception& error) const
{
  std::string text = "Batch stopped by an error " + FilesDoneText();
  if (!FCurrent.empty()) text += " Failed: " + FCurrent;
  try {
    AppLog().Log(kFailedLevel, text);
    AppLog().Log(kFailedLevel, EscapeControlCharactersInText(error.what()) + " \r\n");
  } catch (...) {
    // A log file that cannot be written (the disk the run filled) must not
    // take the place of the error that ended the run.
  }
}

void TBatch::Prepare() {
  switch (Command) {
    case bcHTMLToXML:
      Convertor.TagCase = TagCase;
      Convertor.AttrCase = AttrCase;
      Convertor.FixAttributes = FixAttributes;
      Convertor.FixMismatch = FixMismatch;
      break;
    case bcCheck:
      Checker.Validate = Validate;
      break;
    case bcTransform:
      Transformer.LoadStyleSheet(XSLFile);
      break;
    case bcCopy:
    case bcDelete:
      break;
    default:
      AppLog().Check(false, kUnknownCommand);
  }
}

void TBatch::CollectFiles(TURL& url, std::vector<std::string>& list) {
  const int count = url.GetCount();
  for (int i = 0; i < count; ++i) {
    const TFolderItem& item = url.GetItem(i);
    if (item.Kind == TFolderItem::kFile) list.push_back(item.Name);
  }
}

std::string TBatch::MakeDestName(const std::string& fileName, const std::string& mask) {
  std::string base = fileName;
  std::string ext;
  const std::size_t dot = fileName.find('.');
  if (dot != std::string::npos) {
    base = fileName.substr(0, dot);
    ext = fileName.substr(dot + 1);
  }
  std::string result = mask;
  std::size_t star = result.find('*');
  if (star == std::string::npos) return result;
  result.replace(star, 1, base);
  star = result.find('*');
  if (star != std::string::npos) result.replace(star, 1, ext);
  return result;
}

void TBatch::ProcessFolder(TURL& source, TURL& dest, int depth) {
  std::vector<std::string> files;
  const bool listedHere = !source.Listed;
  CollectFiles(source, files);
  if (listedHere) ReportFailedListing(source);
  // Without recursion the first folder's files are all there is to do.
  if (!Recurse) FFilesTotal = files.size();
  if (source.Protocol == TURLProtocol::file) EnterFolder(source);
  ProcessFiles(source, dest, files);
  if (!Recurse) return;

  for (const std::string& name : FWalk.FoldersToEnter(source, dest, depth)) {
    TURL subSource(source);
    TURL subDest(dest);
    subSource.SetPath(source.Path + name + "/");
    subDest.SetPath(dest.Path + name + "/");
    ProcessFolder(subSource, subDest, depth + 1);
  }
}

// The drivers hand back what they read of a listing that failed (a local
// folder missing or unreadable, an FTP listing cut off); say so rather than
// treat the folder as empty.
void TBatch::ReportFailedListing(TURL& folder) {
  if (folder.ListError.empty()) return;
  AppLog().Log(kListingFailedLevel,
               "Folder listing failed: " + TBatchWalk::LogName(folder) + " " + EscapeControlCharacters(folder.ListError));
}

// The folder part of the native name; a failure to enter it is not examined.
void TBatch::EnterFolder(const TURL& folder) {
  const std::string native = folder.GetNativeName();
  const std::size_t slash = native.rfind('/');
  if (slash == std::string::npos) return;
  std::error_code ignored;
  fs::current_path(native.substr(0, slash + 1), ignored);
}

std::string TBatch::SkipFolder(const TURL& url) const {
  if (FSkipped.empty() || url.Protocol != TURLProtocol::file) return std::string();
  std::string folder = ResolvedPath(url.Host + url.Path, fs::path());
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool TBatch::Skipped(const std::string& skipFolder, const std::string& name) const {
  return !skipFolder.empty() && FSkipped.count(skipFolder + name) > 0;
}

void TBatch::ProcessFiles(TURL& source, TURL& dest, const std::vector<std::string>& fileNames) {
  TURL sourceFile(source);
  TURL destFile(dest);
  const std::string sourceSkips = SkipFolder(source);
  const std::string destSkips = Writes() ? SkipFolder(dest) : std::string();
  for (const std::string& name : fileNames) {
    sourceFile.SetFileName(name);
    destFile.SetFileName(MakeDestName(name, dest.FileName));
    StartFile(sourceFile);
    const bool readsCopy = Skipped(sourceSkips, name);
    if (readsCopy || Skipped(destSkips, destFile.FileName)) {
      AppLog().Log(kDetailLevel, "Working copy skipped: " + TBatchWalk::LogName(readsCopy ? sourceFile : destFile));
      FileDone(sourceFile);
      continue;
    }
    if (SkippedAsUnnameable(sourceFile, destFile)) {
      FileDone(sourceFile);
      continue;
    }
    ProcessFile(sourceFile, destFile);
    FileDone(sourceFile);
  }
}

// libcurl refuses a name with control characters in an FTP request: such a
// file is left, and the run goes on.
bool TBatch::SkippedAsUnnameable(const TURL& sourceFile, const TURL& destFile) const {
  const bool source = TBatchWalk::Unnameable(sourceFile, sourceFile.FileName);
  if (!source && !(Writes() && TBatchWalk::Unnameable(destFile, destFile.FileName))) return false;
  AppLog().Log(kSkippedLevel,
               "Name holds control characters, skipped: " + TBatchWalk::LogName(source ? sourceFile : destFile));
  return true;
}

namespace {

// The message of an error of the XML tools, which know the text but not the
// file it came from, with the file's name.
std::string NamingFile(const EXMLError& error, const TURL& file) {
  return std::string(error.what()) + "\r\nFile: " + TBatchWalk::LogName(file);
}

}  // namespace

void TBatch::ProcessFile(TURL& sourceFile, TURL& destFile) {
  TFileProgress fileProgress;
  try {
    switch (Command) {
      case bcHTMLToXML: BatchConvert(sourceFile, destFile); break;
      case bcCheck: BatchCheck(sourceFile); break;
      case bcTransform: BatchTransform(sourceFile, destFile); break;
      case bcCopy: BatchCopy(sourceFile, destFile); break;
      case bcDelete: BatchDelete(sourceFile); break;
      default: AppLog().Check(false, kUnknownCommand);
    }
  } catch (const EXMLParseError& error) {
    throw EXMLParseError(NamingFile(error, sourceFile), error.Line);
  } catch (const EXSLTError& error) {
    throw EXSLTError(NamingFile(error, sourceFile), error.Line);
  } catch (const EXMLError& error) {
    throw EXMLError(NamingFile(error, sourceFile), error.Line);
  }
}

namespace {

// Where the XML tools take a file to lie: the path of a local file, the URL
// text of a remote one (whose references may then not read local files).
std::string Location(const TURL& file) {
  return file.Protocol == TURLProtocol::file ? file.GetNativeName() : file.GetURL();
}

// Reads source, rewrites its text with tool (input, output) and writes the
// result to dest.
template <typename Tool>
void RewriteFile(TURL& source, TURL& dest, Tool tool) {
  std::string input;
  source.GetFile(input);
  std::string output;
  tool(input, output);
  dest.PutFile(output);
}

}  // namespace

namespace {

// Copies the local file from to to; empty, or why not. Only a regular file
// is read (a named pipe would wait for a writer), and the copy replaces an
// existing file only once it is complete (a copy that fails halfway, on a
// full disk, keeps the file it would have replaced). A new file gets the
// source's permissions, only the owner's where an access list decides who
// else may read the source.
std::string CopyLocalFile(const std::string& from, const std::string& to) {
  TRegularFile file(from);
  std::string bytes;
  struct stat info {};
  if (!file.IsOpen() || !file.ReadAll(bytes)) return file.Failure();
  if (::fstat(file.Handle(), &info) != 0) info.st_mode = 0666;
  try {
    WriteFileAtomically(to, bytes, CopyableMode(info.st_mode, HasExtendedAccessList(file.Handle())) & 0777);
  } catch (const EResourceError& error) {
    return error.what();
  }
  return std::string();
}

}  // namespace

void TBatch::BatchConvert(TURL& source, TURL& dest) {
  RewriteFile(source, dest, [this](const std::string& html, std::string& xml) {
    xml = ConvertPage(Convertor, html, DetectEncoding(html.data(), html.size(), TMarkup::HTML).Encoding);
  });
  AppLog().Log(kDetailLevel,
               "HTML file converted to XML: " + TBatchWalk::LogName(source) + " to " + TBatchWalk::LogName(dest));
}

void TBatch::BatchCheck(TURL& source) {
  std::string text;
  source.GetFile(text);
  Checker.XML = text;
  Checker.BaseURL = Location(source);
  XMLFTPLogin login(source);  // its DTD beside it on the server is read as its user
  try {
    Checker.Check();
    AppLog().Log(kDetailLevel, "File checked: " + TBatchWalk::LogName(source));
  } catch (const ECancelled&) {
    throw;  // no verdict on this file
  } catch (const std::exception& e) {
    AppLog().Log(kCheckFailedLevel, "File check failed:" + TBatchWalk::LogName(source));
    AppLog().Log(kCheckFailedLevel, EscapeControlCharactersInText(e.what()) + " \r\n");
  }
}

void TBatch::BatchTransform(TURL& source, TURL& dest) {
  const std::string location = Location(source);
  XMLFTPLogin login(source);
  RewriteFile(source, dest, [this, &location](const std::string& input, std::string& output) {
    Transformer.Transform(input, output, location);
  });
  AppLog().Log(kDetailLevel, "XSL transform on: " + TBatchWalk::LogName(source) + " to " + TBatchWalk::LogName(dest));
}

void TBatch::BatchCopy(TURL& source, TURL& dest) {
  if (source.Protocol == TURLProtocol::file && dest.Protocol == TURLProtocol::file) {
    const std::string from = source.GetNativeName();
    const std::string to = dest.GetNativeName();
    std::string reason = CopyLocalFile(from, to);
    if (!reason.empty()) throw EBatchCopyError("Cannot copy file \"" + from + "\" to \"" + to + "\". " + reason);
  } else {
    std::string text;
    source.GetFile(text);
    dest.PutFile(text);
  }
  AppLog().Log(kDetailLevel, "File copied: " + TBatchWalk::LogName(source) + " to " + TBatchWalk::LogName(dest));
}

void TBatch::BatchDelete(TURL& source) {
  source.DeleteFile();
  AppLog().Log(kDetailLevel, "File deleted: " + TBatchWalk::LogName(source));
}
