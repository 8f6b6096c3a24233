#pragma once
// One open document: a dockable frame holding the source editor (SynEdit),
// the document's URL, its type, its status flags and its working copy.
//
// Documents are bytes. The editor shows them as the characters of the
// document's encoding and keeps its line ends (TEditorText, TDocumentText);
// the bytes Save writes are the very bytes opened until the text is edited,
// and the working copy, the checks, transforms and previews get the same.
//
// Working copy: "~" and the document's file name, made unique by a number
// before the extension ("~a.xml", "~a1.xml", ...) against the folder it is
// written to: the document's folder for a local document, the program folder
// for any other. Written when a document is started, opened or saved under
// another URL, by Backup (previews) and by CheckBackup; deleted when the frame
// is destroyed and when SaveAs names a new one. It never replaces or deletes
// a file that is not its own (TWorkingCopy).
//
// Set-up order used by the main window: construct, dock, SetPopupMenu,
// ApplyConfig, OnContextHelp/OnStatusChange, SetFileType, then NewDocument or
// OpenDocument.

#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "docking/TFrame.h"
#include "editor/EditorCommandHandlers.h"
#include "editor/TEditorKeyBindings.h"
#include "editor/TEditorText.h"
#include "editor/TWorkingCopy.h"
#include "model/EditorCommands.h"
#include "resource/TFileStamp.h"
#include "resource/TURL.h"

class QEvent;
class QKeyEvent;
class QMenu;
class QsciLexer;
class QsciScintilla;
class TScratchFile;
class TConfigInfo;
class TFileType;

// Document status flags, one byte per frame.
using TEditStatus = std::uint8_t;
constexpr TEditStatus esNew = 1;         // never written to its URL
constexpr TEditStatus esModified = 2;    // changed since opened or saved
constexpr TEditStatus esValid = 4;       // last validity check passed
constexpr TEditStatus esInvalid = 8;     // last check failed
constexpr TEditStatus esWellFormed = 16; // last well-formedness check passed

// The highlighter a document type names: "XML", "CSS" or "PHP" (exact
// letter case); nullptr for any other name (plain text).
std::unique_ptr<QsciLexer> CreateHighlighter(const std::string& name);

class TEditFrame : public TFrame {
  Q_OBJECT
public:
  explicit TEditFrame(QWidget* parent = nullptr);
  ~TEditFrame() override;

  // The editor control (a child widget filling the frame).
  QsciScintilla* const SynEdit;

  TEditStatus FStatus = 0;
  TURL FURL;                   // the document's address
  std::string FBackupFileName; // full path of the working copy; empty before a document
  // Where the text came from when not from FURL: the URL text of the network
  // document (or stylesheet) a transform or conversion made it from. The XML
  // tools treat the text as from there; empty: from FURL.
  std::string FOrigin;
  double FLastBackup;          // when the working copy was last written (days, see Now)
  TFileType* FFileType = nullptr; // not owned (the document-type list owns it)

  // Raised when the editor asks for context help (ecContextHelp).
  std::function<void(TEditFrame& sender)> OnContextHelp;
  // Raised when the caret, the selection or an editing mode changed.
  std::function<void(TEditFrame& sender)> OnStatusChange;
  // Raised when the status flags (FStatus) changed.
  std::function<void(TEditFrame& sender)> OnStatusFlagsChange;
  // Sees every key press that no editor binding takes, before the editor
  // types it: true when the key ran a command of the window (it is then
  // used up). A key that is no command goes on to the editor.
  std::function<bool(TEditFrame& sender, const QKeyEvent& key)> OnCommandKey;
  // Sees every typed ASCII character before the editor inserts it: tag
  // closing and autocompletion attach here. Setting key to 0 drops the key;
  // another value is typed instead. Other characters go to the editor.
  std::function<void(TEditFrame& sender, char& key)> OnKeyPress;
  // Raised before every change of the text with the position where it begins
  // (from 0); after a whole new text (SetText, opening) with position 0.
  // What keeps findings about the text before a position drops them here.
  std::function<void(TEditFrame& sender, long position)> OnTextEdit;

  // The file-name part of the URL: the caption of the tab.
  std::string GetTitle() const { return FURL.FileName; }
  // The editor's context menu (not owned); nullptr: no context menu.
  void SetPopupMenu(QMenu* menu);

  // Stores a new status; repaints the tabs of the hosting page control only
  // when the value changes.
  void SetStatus(TEditStatus status);
  // After an edit: esModified set, esValid, esInvalid and esWellFormed cleared.
  // Undo and Redo back to the text last opened or saved clear esModified.
  void MarkModified();

  // Starts an unsaved document at url: status exactly esNew, UTF-8 with LF
  // line ends, working copy named and written, caption updated. The text is
  // not touched.
  void NewDocument(const TURL& url);
  // Reads the whole resource at url into the editor (not modified, no undo
  // history), status empty, working copy named and written, caption updated.
  // A failed read raises before anything of the frame changes.
  void OpenDocument(const TURL& url);
  // Writes the document's bytes (GetText) to the URL; clears esNew and
  // esModified. A failed write, or a text the encoding cannot hold, raises
  // and leaves the status as it was.
  void Save();
  // Saves under url; a failed save keeps the old URL. Deletes the old working
  // copy and writes a new one.
  void SaveAs(const TURL& url);
  // True when another program has written or replaced the document's file
  // since it was opened or last saved here.
  bool ChangedOnDisk() const { return FDiskStamp.Changed(); }

  // The working-copy path for the current URL (nothing is created).
  std::string GetBackupFileName() const;
  // Writes the document's bytes to the working copy; FLastBackup := Now.
  void Backup();
  // Backup when modified and the last working copy is older than interval
  // days; text the encoding cannot hold is written as the editor has it.
  void CheckBackup(double interval);
  // The hosting tab shows GetTitle; "not a tabsheet" when not docked in one.
  void UpdateCaption();
  void FrameEndDock(QWidget* target) override;

  // The document type; replaces the highlighter by the one the type names.
  void SetFileType(TFileType* fileType);
  QsciLexer* Highlighter() const { return FHighlighter.get(); }
  // Applies the program-wide configuration (or the one given): key bindings,
  // gutter, colours, fonts, tab width, right edge, selection colours.
  void ApplyConfig();
  void ApplyConfig(const TConfigInfo& config);
  const TEditorKeyBindings& KeyBindings() const { return FKeyBindings; }

  // The document's bytes: what Save writes for the editor's text. Raises
  // ETextEncodingError for a character the encoding cannot hold.
  std::string GetText() const { return FText.Bytes(); }
  // Replaces the whole text by a document's bytes, their encoding and line
  // ends detected as when opening; not an edit: the status stays, the undo
  // history is cleared. Bytes that cannot be shown in the encoding found are
  // shown as Windows-1252, with a warning.
  void SetText(const std::string& bytes);
  // The text model of the document in the editor.
  TEditorText& Text() { return FText; }

  // Runs an editor command as a key binding would; text is what the key
  // typed (for ecChar, ecString, ecImeStr). False for an unknown number.
  bool ExecuteCommand(TEditorCommand command, const QString& text = QString());
  TEditorCommandState& CommandState() { return FCommandState; }

  // The clock of FLastBackup: days since 1899-12-30, fractions are the time of
  // day. Tests install their own; an empty function restores the real one.
  using TClock = std::function<double()>;
  static void SetClock(TClock clock);
  static double Now();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void SynEditChange(long position);
  void SynEditStatusChange();
  void SynEditContextHelp();
  bool SynEditKeyDown(QKeyEvent& event);
  bool TypeKey(QKeyEvent& event);
  // Writes the working copy with what fill writes into the file;
  // FBackupFileName names the file written.
  void WriteBackup(const std::function<void(TScratchFile&)>& fill);
  // Deletes the working copy while it is still the file last written and no
  // open document (an empty name names none).
  void DeleteBackup();
  void ApplyLook();
  void ApplyGutter();
  void UpdateLineNumbers();

  TEditorText FText;
  TFileStamp FDiskStamp;  // the file as last read or written
  std::unique_ptr<QsciLexer> FHighlighter;
  QPointer<QMenu> FPopupMenu;
  TEditorKeyBindings FKeyBindings;
  TKeyStrokeReader FKeyReader;
  TEditorCommandState FCommandState;
  struct TLook;
  std::unique_ptr<TLook> FLook;
  bool FConfigured = false;  // key bindings come from the configuration
  bool FLoading = false;
  bool FRetyping = false;
  // The editor's save point is the text of the file (opened or saved):
  // Undo or Redo back to it leaves the document unmodified.
  bool FSavePointInFile = false;
  // Declared last: it leaves the registry of open documents before the URL
  // it reports goes.
  TWorkingCopy FWorkingCopy;
};
