// The View and Help commands of the main window that step the side-bar
// layout, open context help for the word at the caret and show the About box.
// View > Log, View > Help and Help > Contents are in TMainFormPanes.cpp.

#include <QApplication>
#include <QFileInfo>

#include "dialogs/DialogHelpers.h"
#include "editor/EditorSearch.h"
#include "editor/TEditFrame.h"
#include "model/TFileType.h"
#include "workspace/TAboutBox.h"
#include "workspace/TMainForm.h"

using DialogHelpers::LocalText;

namespace {

// The layout mode after More Help and after More Edit; -1 leaves it.
struct TLayoutStep {
  int MoreHelp;
  int MoreEdit;
};

TLayoutStep LayoutStep(int layout)
{
  switch (layout) {
    case 0: return {-1, 1};
    case 1: return {0, 2};
    case 2: return {1, 3};
    case 3: return {2, -1};
    default: return {1, 2};
  }
}

}  // namespace

void TMainForm::MenuViewMoreHelpClick()
{
  int next = LayoutStep(FLayout).MoreHelp;
  if (next >= 0) SetLayout(next);
}

void TMainForm::MenuViewMoreEditClick()
{
  int next = LayoutStep(FLayout).MoreEdit;
  if (next >= 0) SetLayout(next);
}

void TMainForm::MenuHelpContextClick()
{
  TEditFrame* frame = GetActiveEditFrame();
  const std::string helpFile = frame && frame->FFileType ? frame->FFileType->GetHelpFile() : std::string();
  // An empty name and a web address are no file either.
  const QFileInfo file(LocalText(helpFile));
  if (helpFile.empty() || !file.isFile()) {
    Beep();
    return;
  }
  QString target = LocalText(helpFile);
  const std::string word = WordAtCaret(*frame->SynEdit);
  if (!word.empty()) target += "#" + QString::fromUtf8(word.data(), static_cast<int>(word.size()));
  ShowHelp(target);
}

void TMainForm::MenuHelpAboutClick()
{
  if (AboutBox) AboutBox->exec();
}

void TMainForm::Beep()
{
  if (OnBeep)
    OnBeep();
  else
    QApplication::beep();
}
