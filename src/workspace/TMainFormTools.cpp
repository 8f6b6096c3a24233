// The main window's Tools menu: HTML to XML conversion, the well-formedness
// and validity checks, XSLT transforms, batch runs and the three previewers,
// with the transform, conversion and batch dialogs.

#include <QDesktopServices>
#include <QPointer>
#include <QUrl>
#include <Qsci/qsciscintilla.h>
#include <cstring>
#include <filesystem>
#include <optional>

#include "dialogs/DialogHelpers.h"
#include "dialogs/TBatchDialog.h"
#include "dialogs/TConvertHTMLDialog.h"
#include "dialogs/TTransformDialog.h"
#include "editor/TEditFrame.h"
#include "model/FileNameHelpers.h"
#include "model/ModelModule.h"
#include "model/TFileTypes.h"
#include "platform/DetachedProcess.h"
#include "platform/Prompter.h"
#include "platform/TProgressRunner.h"
#include "resource/TWorkProgress.h"
#include "resource/zevlog.h"
#include "text/ETextEncodingError.h"
#include "workspace/BusyCursor.h"
#include "workspace/CommandLineText.h"
#include "workspace/TMainForm.h"
#include "workspace/ToolsCommandText.h"
#include "xmltools/ConvertedPage.h"
#include "xmltools/XMLEntityLoader.h"
#include "xmltools/pvtools.h"

using DialogHelpers::LocalText;

namespace {

constexpr TEditStatus kCheckFlags = esValid | esInvalid | esWellFormed;

// The process's current folder for the length of a command: Enter makes the
// folder of a local document's URL current, so relative references in it
// resolve there; the folder before comes back however the command ends (left
// current, a document's folder would stay busy, and relative paths typed
// later would resolve against whichever document was checked last). A remote
// document's path names no local folder: the current folder then stays, and
// so it does when the change fails.
class TDocumentFolder {
public:
  TDocumentFolder() : FSaved(std::filesystem::current_path(FError)) {}
  ~TDocumentFolder()
  {
    if (!FError) std::filesystem::current_path(FSaved, FError);
  }
  TDocumentFolder(const TDocumentFolder&) = delete;
  TDocumentFolder& operator=(const TDocumentFolder&) = delete;

  void Enter(const TURL& url)
  {
    if (url.Protocol != TURLProtocol::file) return;
    std::string folder = NativeFolderPart(url.GetNativeName());
    if (folder.empty()) return;
    std::error_code ignored;
    std::filesystem::current_path(folder, ignored);
  }

private:
  std::error_code FError;
  std::filesystem::path FSaved;
};

// The place a document's or stylesheet's relative references resolve
// against: its file, or the URL text of a remote one (which may then make the
// XML tools read no local file).
std::string DocumentLocation(const TURL& url)
{
  return url.Protocol == TURLProtocol::file ? url.GetNativeName() : url.GetURL();
}

// The URL of an untitled result: the program folder (the project's folder)
// and the document's file name with the extension ext, made unique against
// the current folder.
TURL ResultURL(const TEditFrame& document, const std::string& ext)
{
  TURL url(Project().ProjectURL);
  url.SetFileName(UniqueFileName(ChangeFileExt(document.FURL.FileName, ext)));
  return url;
}

// Where a document's text came from: the network document it was made from,
// or its own place.
std::string DocumentOrigin(const TEditFrame& frame)
{
  return frame.FOrigin.empty() ? DocumentLocation(frame.FURL) : frame.FOrigin;
}

// The origin of what a tool makes from the document input: the input's, when
// from the network; else the address of the stylesheet part from the network
// (networkPart), if any; empty (the result's own place) otherwise.
std::string ResultOrigin(const TEditFrame& input, const std::string& networkPart = std::string())
{
  const std::string origin = DocumentOrigin(input);
  return IsRemoteURL(origin) ? origin : networkPart;
}

// A result is a new document that holds unsaved work: Save asks where to put
// it, and closing it asks first. It counts as coming from origin.
void OpenResult(TMainForm& form, const std::string& typeId, const TURL& url, const std::string& text,
                const std::string& origin)
{
  TEditFrame* result = form.NewEditFrame(typeId, url, true);
  result->FOrigin = origin;
  result->SetText(text);
  result->MarkModified();
}

void CheckDocument(TEditFrame& frame, bool validate)
{
  TXMLChecker checker;
  frame.SetStatus(frame.FStatus & ~kCheckFlags);
  checker.Validate = validate;
  TDocumentFolder folder;
  folder.Enter(frame.FURL);
  checker.XML = frame.GetText();
  checker.BaseURL = DocumentLocation(frame.FURL);
  checker.Origin = frame.FOrigin;
  XMLFTPLogin login(frame.FURL);  // its DTD beside it on an FTP server is read as its user
  try {
    TProgressRunner checking(validate ? "Check is Valid" : "Check Well Formed");
    checking.Progress().SetStep("Checking " + frame.FURL.GetURL());
    if (checking.Run([&checker] { return checker.Check(); }))
      frame.SetStatus(frame.FStatus | (validate ? esValid : esWellFormed));
  } catch (const ECancelled&) {
    throw;  // no verdict
  } catch (...) {
    frame.SetStatus(frame.FStatus | esInvalid);
    throw;
  }
}

void RunCheck(TEditFrame* frame, bool validate)
{
  if (!frame) return;
  try {
    {
      TBusyCursor busy;
      CheckDocument(*frame, validate);
    }
    Prompter().ShowMessage(validate ? "OK. File is valid." : "OK. File is well-formed.");
  } catch (const ECancelled&) {
    throw;
  } catch (const ETextEncodingError& error) {
    // No bytes to check: the caret goes to the character they fail on.
    if (error.TextOffset >= 0) {
      frame->SynEdit->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(error.TextOffset));
      frame->SynEdit->ensureCursorVisible();
    }
    throw;
  } catch (const std::exception& error) {
    frame->SynEdit->setCursorPosition(GetErrorLine(error.what()) - 1, 0);
    frame->SynEdit->ensureCursorVisible();
    throw;
  }
}

// The working copies of the open documents: a batch run leaves them alone.
std::vector<std::string> WorkingCopies(const TMainForm& form)
{
  std::vector<std::string> paths;
  for (TEditFrame* frame : form.EditFrames())
    if (!frame->FBackupFileName.empty()) paths.push_back(frame->FBackupFileName);
  return paths;
}

// Restores the log's levels however a batch run ends.
class TLevelsGuard {
public:
  TLevelsGuard() : FKept(AppLog().Levels) {}
  ~TLevelsGuard() { AppLog().SetLevels(FKept); }
  TLevelsGuard(const TLevelsGuard&) = delete;
  TLevelsGuard& operator=(const TLevelsGuard&) = delete;
  const TzevLog::TLevels& Kept() const { return FKept; }

private:
  TzevLog::TLevels FKept;
};

}  // namespace

// --- Convert -------------------------------------------------------------------

void TMainForm::MenuToolsConvertClick()
{
  QPointer<TEditFrame> frame = GetActiveEditFrame();
  if (!ConvertHTMLDialog || ConvertHTMLDialog->exec() != QDialog::Accepted || !frame) return;
  TBusyCursor busy;
  std::string output;
  {
    THTML2XMLConvertor convertor;
    convertor.TagCase = static_cast<std::uint8_t>(ConvertHTMLDialog->GetTagCase());
    convertor.AttrCase = static_cast<std::uint8_t>(ConvertHTMLDialog->GetAttrCase());
    convertor.FixAttributes = ConvertHTMLDialog->GetFixAttributes();
    convertor.FixMismatch = ConvertHTMLDialog->GetFixMismatch();
    convertor.Singletons = ConvertHTMLDialog->GetSingletons();
    const std::string input = frame->GetText();
    const std::string encoding = frame->Text().Model().Format().Encoding;
    TProgressRunner converting("Convert");
    converting.Progress().SetStep("Converting " + frame->FURL.GetURL());
    converting.Run([&] { output = ConvertPage(convertor, input, encoding); });
  }
  OpenResult(*this, "XML", ResultURL(*frame, ".xhtml"), output, ResultOrigin(*frame));
}

// --- Check Well Formed, Check is Valid -------------------------------------------

void TMainForm::MenuToolsWellFormedClick()
{
  RunCheck(GetActiveEditFrame(), false);
}

void TMainForm::MenuToolsIsValidClick()
{
  RunCheck(GetActiveEditFrame(), true);
}

// --- Transform -------------------------------------------------------------------

std::vector<std::string> TMainForm::OpenStyleSheetURLs() const
{
  std::vector<std::string> urls;
  for (int i = 0; i < GetFrameCount(); ++i)
    if (auto* frame = qobject_cast<TEditFrame*>(GetFrame(i)))
      if (frame->FFileType && frame->FFileType->Id == "xsl") urls.push_back(frame->FURL.GetURL());
  return urls;
}

TEditFrame* TMainForm::FindEditFrame(const std::string& urlText) const
{
  for (int i = 0; i < GetFrameCount(); ++i)
    if (auto* frame = qobject_cast<TEditFrame*>(GetFrame(i)))
      if (frame->FURL.GetURL() == urlText) return frame;
  return nullptr;
}

void TMainForm::MenuToolsTransformClick()
{
  QPointer<TEditFrame> frame = GetActiveEditFrame();
  if (!TransformDialog) return;
  TransformDialog->SetOpenStyleSheets(OpenStyleSheetURLs());
  if (TransformDialog->exec() != QDialog::Accepted || !frame) return;
  TBusyCursor busy;
  std::string output;
  TFileType& type = FileTypes().GetFileType(TransformDialog->GetFileTypeIndex());
  TURL resultURL;
  std::string resultOrigin;
  {
    TDocumentFolder folder;
    TXMLTransformer transformer;
    XMLFTPLogin documentLogin(frame->FURL);
    std::optional<XMLFTPLogin> styleLogin;
    const std::string name = TransformDialog->GetStyleSheetName();
    TProgressRunner transforming("Transform");
    if (TransformDialog->StyleSheetIsOpenDocument()) {
      TEditFrame* style = FindEditFrame(name);
      if (!style) throw std::runtime_error("The style-sheet \"" + name + "\" is not open any more.");
      styleLogin.emplace(style->FURL);
      folder.Enter(style->FURL);
      const std::string styleText = style->GetText();
      const std::string styleLocation = DocumentLocation(style->FURL);
      const std::string styleOrigin = style->FOrigin;
      transforming.Progress().SetStep("Reading the style-sheet " + style->FURL.GetURL());
      transforming.Run([&] { transformer.SetStyleSheet(styleText, styleLocation, styleOrigin); });
    } else {
      transforming.Progress().SetStep("Reading the style-sheet " + name);
      transforming.Run([&] { transformer.LoadStyleSheet(name); });
    }
    folder.Enter(frame->FURL);
    // The stylesheet's messages are in the log: the log pane comes forward.
    try {
      const std::string input = frame->GetText();
      const std::string location = DocumentLocation(frame->FURL);
      const std::string origin = frame->FOrigin;
      transforming.Progress().SetStep("Transforming " + frame->FURL.GetURL());
      transforming.Run([&] { transformer.Transform(input, output, location, origin); });
    } catch (...) {
      if (transformer.MessagesLogged() > 0) ShowLog();
      throw;
    }
    if (transformer.MessagesLogged() > 0) ShowLog();
    // The result's name is made unique against the document's folder.
    resultURL = ResultURL(*frame, type.GetDefaultExt());
    resultOrigin = ResultOrigin(*frame, transformer.NetworkPart());
  }
  OpenResult(*this, type.Id, resultURL, output, resultOrigin);
}

// --- Batch -------------------------------------------------------------------------

void TMainForm::MenuToolsBatchClick()
{
  if (!BatchDialog) return;
  BatchDialog->SetLogDetails(AppLog().Levels.test(5));
  if (BatchDialog->exec() != QDialog::Accepted) return;
  TBatch batch;
  TBusyCursor busy;
  batch.Source.Assign(BatchDialog->Source);
  batch.Dest.Assign(BatchDialog->Dest);
  batch.Recurse = BatchDialog->GetRecurse();
  batch.Command = BatchDialog->GetAction();
  batch.TagCase = static_cast<std::uint8_t>(BatchDialog->GetTagCase());
  batch.AttrCase = static_cast<std::uint8_t>(BatchDialog->GetAttrCase());
  batch.FixAttributes = BatchDialog->GetFixAttributes();
  batch.FixMismatch = BatchDialog->GetFixMismatch();
  batch.Validate = BatchDialog->GetValidate();
  batch.XSLFile = BatchDialog->GetXSLFile();
  batch.SkipFiles = WorkingCopies(*this);
  TLevelsGuard levels;
  if (BatchDialog->GetLogDetails()) {
    TzevLog::TLevels detailed = levels.Kept();
    detailed.set(5);
    AppLog().SetLevels(detailed);
  }
  TProgressRunner running("Batch");
  try {
    running.Run([&batch] { batch.Execute(); });
  } catch (...) {
    ShowLog();  // where the run stopped, and why
    throw;
  }
  ShowLog();
}

void TMainForm::PresetBatchDialog()
{
  if (!BatchDialog) return;
  BatchDialog->Source.Assign(Project().OpenURL);
  BatchDialog->Source.SetFileName("*.xml");
  BatchDialog->Dest.Assign(Project().SaveURL);
  BatchDialog->Dest.SetFileName("*.html");
}

// --- Preview 1, 2, 3 --------------------------------------------------------------

void TMainForm::MenuToolsPreview1Click()
{
  PreviewDocument(1);
}

void TMainForm::MenuToolsPreview2Click()
{
  PreviewDocument(2);
}

void TMainForm::MenuToolsPreview3Click()
{
  PreviewDocument(3);
}

void TMainForm::PreviewDocument(int number)
{
  TEditFrame* frame = GetActiveEditFrame();
  if (!frame || !frame->FFileType) return;
  const TFileType& type = *frame->FFileType;
  const std::string& command = number == 1 ? type.Preview1 : number == 2 ? type.Preview2 : type.Preview3;
  if (command.empty()) return;
  // A saved, unchanged local document is shown from its own file; any other
  // from its working copy, written now. A new document has no file of its
  // own yet, whatever its URL names.
  const bool ownFile = frame->FURL.Protocol == TURLProtocol::file && !(frame->FStatus & (esNew | esModified));
  std::string target;
  if (ownFile)
    target = number == 1 ? frame->FURL.GetNativeName() : frame->FURL.GetURL();
  else {
    frame->Backup();
    target = frame->FBackupFileName;
  }
  Preview(command, target);
}

void TMainForm::Preview(const std::string& command, const std::string& target)
{
  if (command == "*") {
    // A URL text ("file:/...") is opened as the file it names.
    std::error_code ignored;
    const std::string native =
        std::filesystem::absolute(target.rfind("file:", 0) == 0 ? TURL(target).GetNativeName() : target, ignored);
    // The URL is made from the name's bytes: a name that is no local text
    // (Latin-1) keeps them percent-encoded.
    const QUrl url = QUrl::fromEncoded("file://" + QByteArray::fromStdString(native).toPercentEncoding("/"));
    // A preview that does not come is said: nothing else would tell.
    if (!QDesktopServices::openUrl(url)) throw std::runtime_error("No program opens \"" + native + "\".");
    return;
  }
  const std::vector<std::string> words = PreviewArguments(command, target);
  if (words.empty()) return;
  int error = 0;
  if (!StartDetachedProcess(words, error))
    throw std::runtime_error("Cannot start the previewer \"" + words[0] + "\". " + std::strerror(error));
}
