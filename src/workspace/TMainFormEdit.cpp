// The Edit and Search commands of the main window: cut, copy, paste, select
// all, undo and redo on the active editor or, when the help pane is the
// active frame, on its browser; find and replace through the modeless find
// and replace dialogs.

#include <QApplication>
#include <Qsci/qsciscintilla.h>

#include "dialogs/TFindDialog.h"
#include "dialogs/TReplaceDialog.h"
#include "editor/EditorSearch.h"
#include "editor/TEditFrame.h"
#include "panes/THelpFrame.h"
#include "panes/TWebBrowser.h"
#include "workspace/TMainForm.h"

namespace {

// Runs an edit command on the target the active frame gives: the editor of
// the active editor frame, else the help pane's browser, else nothing.
void RunEditCommand(TMainForm& form, void (QsciScintilla::*editorCommand)(), int browserCommand)
{
  if (TEditFrame* frame = form.GetActiveEditFrame()) {
    (frame->SynEdit->*editorCommand)();
    return;
  }
  if (auto* help = qobject_cast<THelpFrame*>(form.GetActiveFrame()))
    help->WebBrowser->ExecWB(browserCommand, OLECMDEXECOPT_DODEFAULT);
}

// Dialog texts in the editor's text: UTF-8, whatever the document's
// encoding.
std::string EditorText(const QString& text)
{
  QByteArray bytes = text.toUtf8();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

TSearchOptions SearchOptions(TFindOptions dialogOptions, bool withReplace)
{
  TSearchOptions options = 0;
  if (!(dialogOptions & frDown)) options |= ssoBackwards;
  if (dialogOptions & frMatchCase) options |= ssoMatchCase;
  if (dialogOptions & frWholeWord) options |= ssoWholeWord;
  if (withReplace && (dialogOptions & frReplace)) options |= ssoReplace;
  if (withReplace && (dialogOptions & frReplaceAll)) options |= ssoReplaceAll;
  return options;
}

}  // namespace

// --- Edit --------------------------------------------------------------------

void TMainForm::MenuEditCutClick()
{
  RunEditCommand(*this, &QsciScintilla::cut, OLECMDID_CUT);
}

void TMainForm::MenuEditCopyClick()
{
  RunEditCommand(*this, &QsciScintilla::copy, OLECMDID_COPY);
}

void TMainForm::MenuEditPasteClick()
{
  RunEditCommand(*this, &QsciScintilla::paste, OLECMDID_PASTE);
}

void TMainForm::MenuEditSelectAllClick()
{
  if (TEditFrame* frame = GetActiveEditFrame()) {
    frame->SynEdit->selectAll(true);
    return;
  }
  if (auto* help = qobject_cast<THelpFrame*>(GetActiveFrame()))
    help->WebBrowser->ExecWB(OLECMDID_SELECTALL, OLECMDEXECOPT_DODEFAULT);
}

void TMainForm::MenuEditUndoClick()
{
  RunEditCommand(*this, &QsciScintilla::undo, OLECMDID_UNDO);
}

void TMainForm::MenuEditredoClick()
{
  RunEditCommand(*this, &QsciScintilla::redo, OLECMDID_REDO);
}

// --- Search ------------------------------------------------------------------

TFindDialog& TMainForm::FindDialog()
{
  if (!FFindDialog) {
    FFindDialog = new TFindDialog(this);
    FFindDialog->setObjectName("FindDialog");
    FFindDialog->SetOptions(frDown);
    FFindDialog->OnFind = [this](TFindDialog&) { Guarded(&TMainForm::FindDialogFind); };
  }
  return *FFindDialog;
}

TReplaceDialog& TMainForm::ReplaceDialog()
{
  if (!FReplaceDialog) {
    FReplaceDialog = new TReplaceDialog(this);
    FReplaceDialog->setObjectName("ReplaceDialog");
    FReplaceDialog->OnFind = [this](TReplaceDialog&) { Guarded(&TMainForm::ReplaceDialogFind); };
    FReplaceDialog->OnReplace = [this](TReplaceDialog&) { Guarded(&TMainForm::ReplaceDialogReplace); };
  }
  return *FReplaceDialog;
}

void TMainForm::MenuSearchFindClick()
{
  FindDialog().Execute();
}

void TMainForm::MenuSearchReplaceClick()
{
  ReplaceDialog().Execute();
}

void TMainForm::FindDialogFind()
{
  TFindDialog& dialog = FindDialog();
  if (TEditFrame* frame = GetActiveEditFrame())
    SearchReplace(*frame->SynEdit, EditorText(dialog.FindText()), std::string(),
                  SearchOptions(dialog.Options(), false));
}

void TMainForm::ReplaceDialogFind()
{
  TReplaceDialog& dialog = ReplaceDialog();
  if (TEditFrame* frame = GetActiveEditFrame())
    SearchReplace(*frame->SynEdit, EditorText(dialog.FindText()), EditorText(dialog.ReplaceText()),
                  SearchOptions(dialog.Options(), false));
}

void TMainForm::ReplaceDialogReplace()
{
  TReplaceDialog& dialog = ReplaceDialog();
  if (TEditFrame* frame = GetActiveEditFrame())
    SearchReplace(*frame->SynEdit, EditorText(dialog.FindText()), EditorText(dialog.ReplaceText()),
                  SearchOptions(dialog.Options(), true));
}
