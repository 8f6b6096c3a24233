#include "workspace/TMainForm.h"

// The window's menu bar, the editor's pop-up menu and the tool bar, built
// once when the window is made; each item runs its handler guarded.

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace {

// Makes a small glyph for a tool button without a themed icon.
QIcon LetterGlyph(const QString& letters, const QColor& colour)
{
  QPixmap pixmap(20, 20);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(colour.darker(150), 1));
  painter.setBrush(colour.lighter(170));
  painter.drawRoundedRect(QRectF(1.5, 1.5, 17, 17), 3, 3);
  QFont font = painter.font();
  font.setPixelSize(letters.size() > 1 ? 9 : 12);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(colour.darker(200));
  painter.drawText(QRect(0, 0, 20, 20), Qt::AlignCenter, letters);
  return QIcon(pixmap);
}

}  // namespace

QAction* TMainForm::AddMenuItem(QMenu* menu, const char* name, const char* caption, void (TMainForm::*handler)())
{
  auto* action = menu->addAction(QString::fromUtf8(caption));
  action->setObjectName(name);
  if (handler) connect(action, &QAction::triggered, this, [this, handler] { Guarded(handler); });
  FActions[name] = action;
  return action;
}

void TMainForm::CreateMenus()
{
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu1");

  QMenu* file = bar->addMenu("&File");
  file->setObjectName("File1");
  AddMenuItem(file, "MenuFileNew", "&New...", &TMainForm::MenuFileNewClick);
  AddMenuItem(file, "MenuFileOpenFile", "&Open file...", &TMainForm::MenuFileOpenFileClick);
  AddMenuItem(file, "MenuFileOpenFTP", "Open &FTP...", &TMainForm::MenuFileOpenFTPClick);
  AddMenuItem(file, "MenuFileOpenWebPage", "Open &Web page...", &TMainForm::MenuFileOpenWebPageClick);
  QMenu* recent = file->addMenu("&Recent");
  recent->setObjectName("MenuFileRecent");
  recent->menuAction()->setObjectName("MenuFileRecent");
  recent->addSeparator();
  connect(recent, &QMenu::aboutToShow, this, [this] { Guarded(&TMainForm::MenuFileRecentClick); });
  FActions["MenuFileRecent"] = recent->menuAction();
  AddMenuItem(file, "MenuFileSave", "&Save", &TMainForm::MenuFileSaveClick);
  AddMenuItem(file, "MenuFileSaveAsFile", "Save &As file...", &TMainForm::MenuFileSaveAsFileClick);
  AddMenuItem(file, "MenuFileSaveAsFTP", "Save As F&TP...", &TMainForm::MenuFileSaveAsFTPClick);
  AddMenuItem(file, "MenuFileClose", "&Close", &TMainForm::MenuFileCloseClick);
  AddMenuItem(file, "MenuFileCloseAll", "Close A&ll", &TMainForm::MenuFileCloseAllClick);
  AddMenuItem(file, "MenuFileChangeFileType", "Change &File type...", &TMainForm::MenuFileChangeFileTypeClick);
  file->addSeparator();
  AddMenuItem(file, "MenuFilePrint", "&Print...", &TMainForm::MenuFilePrintClick);
  file->addSeparator();
  AddMenuItem(file, "MenuFileExit", "E&xit", &TMainForm::MenuFileExitClick);

  QMenu* edit = bar->addMenu("&Edit");
  edit->setObjectName("MenuEdit");
  AddMenuItem(edit, "MenuEditCut", "Cu&t", &TMainForm::MenuEditCutClick);
  AddMenuItem(edit, "MenuEditCopy", "&Copy", &TMainForm::MenuEditCopyClick);
  AddMenuItem(edit, "MenuEditPaste", "&Paste", &TMainForm::MenuEditPasteClick);
  AddMenuItem(edit, "MenuEditSelectAll", "Select &All", &TMainForm::MenuEditSelectAllClick);
  edit->addSeparator();
  AddMenuItem(edit, "MenuEditUndo", "&Undo", &TMainForm::MenuEditUndoClick);
  AddMenuItem(edit, "MenuEditredo", "&Redo", &TMainForm::MenuEditredoClick);
  edit->addSeparator();
  AddMenuItem(edit, "MenuEditConfigurationOptions", "Con&figuration Options...",
              &TMainForm::MenuEditConfigurationOptionsClick);

  QMenu* search = bar->addMenu("&Search");
  search->setObjectName("MenuSearch");
  AddMenuItem(search, "MenuSearchFind", "&Find...", &TMainForm::MenuSearchFindClick)->setShortcut(QKeySequence("Ctrl+F"));
  AddMenuItem(search, "MenuSearchReplace", "&Replace...", &TMainForm::MenuSearchReplaceClick)->setShortcut(QKeySequence("Ctrl+R"));

  QMenu* tools = bar->addMenu("&Tools");
  tools->setObjectName("Tools1");
  AddMenuItem(tools, "MenuToolsConvert", "C&onvert (HTML to XML)", &TMainForm::MenuToolsConvertClick);
  tools->addSeparator();
  AddMenuItem(tools, "MenuToolsWellFormed", "Check &Well Formed", &TMainForm::MenuToolsWellFormedClick);
  AddMenuItem(tools, "MenuToolsIsValid", "Check is &Valid", &TMainForm::MenuToolsIsValidClick);
  AddMenuItem(tools, "MenuToolsTransform", "&Transform", &TMainForm::MenuToolsTransformClick);
  AddMenuItem(tools, "MenuToolsBatch", "&Batch...", &TMainForm::MenuToolsBatchClick);
  tools->addSeparator();
  AddMenuItem(tools, "MenuToolsPreview1", "Preview &1...", &TMainForm::MenuToolsPreview1Click);
  AddMenuItem(tools, "MenuToolsPreview2", "Preview &2...", &TMainForm::MenuToolsPreview2Click);
  AddMenuItem(tools, "MenuToolsPreview3", "Preview &3...", &TMainForm::MenuToolsPreview3Click);

  QMenu* view = bar->addMenu("&View");
  view->setObjectName("View1");
  AddMenuItem(view, "MenuViewMoreHelp", "More Hel&p", &TMainForm::MenuViewMoreHelpClick);
  AddMenuItem(view, "MenuViewMoreEdit", "More Edi&t", &TMainForm::MenuViewMoreEditClick);
  view->addSeparator();
  AddMenuItem(view, "MenuViewLog", "&Log", &TMainForm::MenuViewLogClick)->setCheckable(true);
  QAction* help = AddMenuItem(view, "MenuViewHelp", "&Help", &TMainForm::MenuViewHelpClick);
  help->setCheckable(true);
  help->setChecked(true);

  QMenu* helpMenu = bar->addMenu("&Help");
  helpMenu->setObjectName("Help1");
  AddMenuItem(helpMenu, "MenuHelpContents", "&Contents", &TMainForm::MenuHelpContentsClick);
  AddMenuItem(helpMenu, "MenuHelpContext", "Conte&xt sensitive help", &TMainForm::MenuHelpContextClick);
  AddMenuItem(helpMenu, "MenuHelpAbout", "&About...", &TMainForm::MenuHelpAboutClick);
}

void TMainForm::CreatePopupMenu()
{
  FPopupMenu = new QMenu(this);
  FPopupMenu->setObjectName("PopupMenu");
  // The keys are shown in the menu; the editor handles them itself.
  auto addItem = [this](const char* name, const char* caption, const char* menuItem, const char* key = nullptr) {
    QAction* item = AddMenuItem(FPopupMenu, name, caption);
    if (key) {
      item->setShortcut(QKeySequence(key));
      item->setShortcutContext(Qt::WidgetShortcut);
    }
    connect(item, &QAction::triggered, this, [this, menuItem] {
      if (QAction* action = Action(menuItem)) action->trigger();
    });
  };
  addItem("PopupCut", "Cu&t", "MenuEditCut", "Ctrl+X");
  addItem("PopupCopy", "&Copy", "MenuEditCopy", "Ctrl+C");
  addItem("PopupPaste", "&Paste", "MenuEditPaste", "Ctrl+V");
  FPopupMenu->addSeparator();
  addItem("PopupSave", "&Save", "MenuFileSave");
  addItem("PopupClose", "Close", "MenuFileClose");
  addItem("PopupPreview", "Preview", "MenuToolsPreview1");
  addItem("PopupWellFormed", "&Well formed", "MenuToolsWellFormed");
  addItem("PopupValid", "&Valid", "MenuToolsIsValid");
  addItem("PopupTransform", "Transform", "MenuToolsTransform");
  addItem("PopupPrint", "&Print...", "MenuFilePrint");
  FPopupMenu->addSeparator();
  // Help runs context help itself: it stays enabled while its menu item may not be.
  QAction* help = AddMenuItem(FPopupMenu, "PopupHelp", "&Help", &TMainForm::MenuHelpContextClick);
  help->setShortcut(QKeySequence("Ctrl+F1"));
  help->setShortcutContext(Qt::WidgetShortcut);
}

void TMainForm::CreateToolbar()
{
  auto* toolbar = new QToolBar(this);
  toolbar->setObjectName("Toolbar");
  toolbar->setMovable(false);
  toolbar->setFloatable(false);
  toolbar->setIconSize(QSize(20, 20));
  toolbar->setFixedHeight(33);
  toolbar->toggleViewAction()->setEnabled(false);
  addToolBar(Qt::TopToolBarArea, toolbar);

  struct TButton {
    const char* Name;
    const char* Hint;
    const char* MenuItem;
    const char* Theme;
    QStyle::StandardPixmap Standard;
    const char* Glyph;
    bool GapBefore;
  };
  const QStyle::StandardPixmap none = QStyle::SP_CustomBase;
  const TButton buttons[] = {
      {"NewBtn", "New", "MenuFileNew", "document-new", QStyle::SP_FileIcon, "N", false},
      {"OpenBtn", "Open", "MenuFileOpenFile", "document-open", QStyle::SP_DialogOpenButton, "O", false},
      {"SaveBtn", "Save", "MenuFileSave", "document-save", QStyle::SP_DialogSaveButton, "S", false},
      {"CloseBtn", "Close", "MenuFileClose", "document-close", QStyle::SP_DialogCloseButton, "X", false},
      {"PrintBtn", "Print", "MenuFilePrint", "document-print", none, "P", false},
      {"CutBtn", "Cut", "MenuEditCut", "edit-cut", none, "Ct", true},
      {"CopyBtn", "Copy", "MenuEditCopy", "edit-copy", none, "Cp", false},
      {"PasteBtn", "Paste", "MenuEditPaste", "edit-paste", none, "Pa", false},
      {"WellFormedBtn", "Check is Well-formed", "MenuToolsWellFormed", nullptr, none, "W", true},
      {"ValidateBtn", "Check is Valid ", "MenuToolsIsValid", nullptr, none, "V", false},
      {"TransformBtn", "Transform", "MenuToolsTransform", nullptr, none, "T", false},
      {"Preview1Btn", "Preview 1", "MenuToolsPreview1", nullptr, none, "1", false},
      {"Preview2Btn", "Preview 2", "MenuToolsPreview2", nullptr, none, "2", false},
      {"Preview3Btn", "Preview 3", "MenuToolsPreview3", nullptr, none, "3", false},
      {"MoreHelpBtn", "MoreHelp", "MenuViewMoreHelp", nullptr, none, "H", true},
      {"MoreEditBtn", "MoreEdit", "MenuViewMoreEdit", nullptr, none, "E", false},
  };
  for (const TButton& spec : buttons) {
    if (spec.GapBefore) toolbar->addSeparator();
    auto* button = new QToolButton(toolbar);
    button->setObjectName(spec.Name);
    button->setToolTip(spec.Hint);
    button->setAutoRaise(true);
    button->setFixedSize(24, 24);
    QIcon icon = spec.Theme ? QIcon::fromTheme(spec.Theme) : QIcon();
    if (icon.isNull() && spec.Standard != none) icon = style()->standardIcon(spec.Standard);
    if (icon.isNull()) icon = LetterGlyph(spec.Glyph, QColor(0x4A, 0x78, 0xB0));
    button->setIcon(icon);
    const std::string menuItem = spec.MenuItem;
    connect(button, &QToolButton::clicked, this, [this, menuItem] {
      if (QAction* action = Action(menuItem)) action->trigger();
    });
    toolbar->addWidget(button);
    FButtons[spec.Name] = button;
  }
}
