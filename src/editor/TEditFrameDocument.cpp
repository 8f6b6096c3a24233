#include "editor/TEditFrame.h"

// The editor frame's document: its status, reading and writing it at its URL,
// its working copy and the clock that dates it, and the caption of its tab.
// The display and the editor's events are in TEditFrame.cpp.

#include <QDateTime>

#include "docking/TPageControl.h"
#include "editor/TScratchFile.h"
#include "platform/Prompter.h"
#include "platform/TProgressRunner.h"
#include "resource/ProgramFile.h"
#include "text/ETextEncodingError.h"

namespace {

// Days from 1899-12-30 (the day count's origin) to 1970-01-01.
constexpr double UnixEpochDays = 25569.0;
constexpr double MillisecondsPerDay = 86400000.0;

TEditFrame::TClock& ClockSlot()
{
  static TEditFrame::TClock clock;
  return clock;
}

}  // namespace

// ---- document --------------------------------------------------------------

void TEditFrame::SetStatus(TEditStatus status)
{
  if (status == FStatus) return;
  FStatus = status;
  if (TPageControl* pages = HostPageControl()) pages->InvalidateTabs();
  if (OnStatusFlagsChange) OnStatusFlagsChange(*this);
}

void TEditFrame::MarkModified()
{
  SetStatus(static_cast<TEditStatus>((FStatus & ~(esValid | esInvalid | esWellFormed)) | esModified));
}

void TEditFrame::NewDocument(const TURL& url)
{
  SetStatus(esNew);
  FURL = url;
  FText.Reset();
  DeleteBackup();
  FBackupFileName = GetBackupFileName();
  Backup();
  UpdateCaption();
}

void TEditFrame::OpenDocument(const TURL& url)
{
  // Read first: a document that cannot be read leaves the frame as it was,
  // so nothing can later write this frame's text over the file.
  TURL source(url);
  TFileStamp stamp = TFileStamp::Of(url);  // taken first: a later change shows
  std::string bytes;
  TProgressRunner reading("Open", window());
  reading.Progress().SetStep("Reading " + url.GetURL());
  reading.Run([&source, &bytes] { source.GetFile(bytes); });
  FDiskStamp = stamp;
  SetStatus(0);
  FURL = url;
  SetText(bytes);
  FSavePointInFile = true;
  DeleteBackup();
  FBackupFileName = GetBackupFileName();
  // The text gives back exactly these bytes: the working copy is written
  // from them without converting the text again.
  WriteBackup([&bytes](TScratchFile& file) { file.Write(bytes.data(), bytes.size()); });
  FLastBackup = Now();
  UpdateCaption();
}

void TEditFrame::Save()
{
  // The bytes are checked to open again as the text before anything is
  // written.
  TSaveBytes saved;
  try {
    saved = FText.SaveBytes();
  } catch (const ETextEncodingError& error) {
    throw ETextEncodingError(std::string(error.what()) + " The document was not saved.", error.TextOffset);
  }
  // A write that fails or is cancelled keeps the file as it was.
  TProgressRunner writing("Save", window());
  writing.Progress().SetStep("Writing " + FURL.GetURL());
  writing.Run([this, &saved] { FURL.PutFile(saved.Bytes); });
  FDiskStamp = TFileStamp::Of(FURL);
  FText.Saved(saved);
  FSavePointInFile = true;
  SetStatus(static_cast<TEditStatus>(FStatus & ~(esNew | esModified)));
}

void TEditFrame::SaveAs(const TURL& url)
{
  TURL previous(FURL);
  TFileStamp previousStamp = FDiskStamp;
  FURL = url;
  FDiskStamp = TFileStamp::Of(url);  // the file the user chose to replace
  try {
    Save();
  } catch (...) {
    // Not saved: the document is still the one its tab names.
    FURL = previous;
    FDiskStamp = previousStamp;
    throw;
  }
  DeleteBackup();
  FBackupFileName = GetBackupFileName();
  Backup();
  UpdateCaption();
}

// ---- working copy ------------------------------------------------------------

std::string TEditFrame::GetBackupFileName() const
{
  std::string folder = FURL.Protocol == TURLProtocol::file ? FURL.Path : ProgramFolder();
  return TWorkingCopy::ChooseName(folder, FURL.FileName);
}

void TEditFrame::Backup()
{
  WriteBackup([this](TScratchFile& file) { FText.WriteTo(file); });
  FLastBackup = Now();
}

void TEditFrame::WriteBackup(const std::function<void(TScratchFile&)>& fill)
{
  // The copy may move to a new name when its file is no longer its own.
  TWorkingCopy::TWrite write = FWorkingCopy.BeginWrite(FBackupFileName, FURL.FileName);
  TScratchFile file(write.Path(), write.ReleaseDescriptor());
  fill(file);
  file.Close();
  FBackupFileName = write.Commit();
}

void TEditFrame::DeleteBackup()
{
  FWorkingCopy.Delete(FBackupFileName);
}

void TEditFrame::CheckBackup(double interval)
{
  if (!(FStatus & esModified) || FLastBackup + interval >= Now()) return;
  try {
    Backup();
  } catch (const ETextEncodingError&) {
    // Text that Save refuses is kept as the editor has it: UTF-8, marked as
    // such where it would otherwise open as another text.
    WriteBackup([this](TScratchFile& file) { FText.WriteAsUtf8To(file); });
    FLastBackup = Now();
  }
}

void TEditFrame::SetClock(TClock clock)
{
  ClockSlot() = std::move(clock);
}

double TEditFrame::Now()
{
  if (ClockSlot()) return ClockSlot()();
  return UnixEpochDays + static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / MillisecondsPerDay;
}

// ---- captions --------------------------------------------------------------

void TEditFrame::UpdateCaption()
{
  if (TPageControl* pages = HostPageControl())
    NameDockTarget(pages, QString::fromStdString(GetTitle()));
  else
    Prompter().ShowMessage("not a tabsheet");
}

void TEditFrame::FrameEndDock(QWidget* target)
{
  NameDockTarget(target, QString::fromStdString(GetTitle()));
}
