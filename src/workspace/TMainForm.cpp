#include "workspace/TMainForm.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>

#include "docking/TFrame.h"
#include "docking/TPageControl.h"
#include "docking/TWorkArea.h"
#include "platform/Prompter.h"
#include "resource/TWorkProgress.h"
#include "workspace/CommandStates.h"

TMainForm* MainForm = nullptr;

void ShowException(const std::exception& error)
{
  // Work the user cancelled is no failure: the run has logged it.
  if (dynamic_cast<const ECancelled*>(&error)) return;
  Prompter().ShowMessage(QString::fromLocal8Bit(error.what()));
}

namespace {

// The process's current folder as the bytes the system gives.
std::string CurrentFolder()
{
  std::error_code error;
  return std::filesystem::current_path(error).native();
}

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

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent)
{
  setObjectName("MainForm");
  setWindowTitle("XML:Plivek");
  StartFolder = CurrentFolder();

  CreateMenus();
  CreatePopupMenu();
  CreateToolbar();
  CreateStatusBar();
  CreateWorkArea();
  CreateDdeTopic();
  ConnectLogFileErrors();
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { ControlFocused(now); });

  FHeartbeatTimer = new QTimer(this);
  FHeartbeatTimer->setObjectName("HeartbeatTimer");
  FHeartbeatTimer->setInterval(200);
  connect(FHeartbeatTimer, &QTimer::timeout, this, &TMainForm::HeartbeatTimerTimer);

  // As laid out: these start disabled; the heartbeat sets every state later.
  for (const char* name : {"MenuFileSave", "MenuFileClose", "MenuFileCloseAll", "MenuFileChangeFileType",
                           "MenuEditCut", "MenuEditCopy", "MenuEditPaste", "MenuEditUndo", "MenuEditredo",
                           "MenuToolsWellFormed", "MenuToolsIsValid"})
    Action(name)->setEnabled(false);
  for (const std::string& name : kUnbuiltCommands)
    if (QAction* action = Action(name)) action->setEnabled(false);
  UpdateToolButtons();
  UpdatePopupMenu();

  resize(734, 566);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - QPoint(734 / 2, 566 / 2));
  FormCreate();
}

TMainForm::~TMainForm()
{
  // Nothing may log into a pane that is about to go.
  DisconnectLogEvents();
  qApp->removeEventFilter(this);
  FHeartbeatTimer->stop();
  if (MainForm == this) MainForm = nullptr;
}

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

void TMainForm::CreateStatusBar()
{
  QStatusBar* bar = statusBar();
  bar->setObjectName("StatusBar");
  // The laid-out widths, widened where this platform's font needs more room
  // for the texts the panels show.
  const int widths[] = {50, 50, 50, 100, 50};
  const char* samples[] = {"000:0000", "Modified", "", "", " Well-formed Valid"};
  for (int i = 0; i < 5; ++i) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(QString("StatusPanel%1").arg(i));
    panel->setFixedWidth(std::max(widths[i], panel->fontMetrics().horizontalAdvance(samples[i]) + 12));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    bar->addWidget(panel);
    FPanels.push_back(panel);
  }
}

void TMainForm::CreateWorkArea()
{
  FMainPanel = new QWidget;
  FMainPanel->setObjectName("MainPanel");
  FMainPanel->setProperty("caption", "No files");
  FMainPageControl = new TPageControl(FMainPanel);
  FMainPageControl->setObjectName("MainPageControl");
  auto* mainLayout = new QVBoxLayout(FMainPanel);
  mainLayout->setContentsMargins(0, 0, 0, 0);
  mainLayout->addWidget(FMainPageControl);

  FRightPanel = new QWidget;
  FRightPanel->setObjectName("RightPanel");
  FSideBarPageControl = new TPageControl(FRightPanel);
  FSideBarPageControl->setObjectName("SideBarPageControl");
  auto* rightLayout = new QVBoxLayout(FRightPanel);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  rightLayout->addWidget(FSideBarPageControl);

  for (TPageControl* control : {FMainPageControl, FSideBarPageControl}) {
    control->setMinimumSize(0, 0);
    control->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    control->SetDrawTabHandler([this](TPageControl& pages, int index, QPainter& painter, const QRect& rect,
                                      bool active) { SideBarPageControlDrawTab(pages, index, painter, rect, active); });
  }

  // A frame floating in a window of its own keeps the menu's shortcuts.
  for (TPageControl* control : {FMainPageControl, FSideBarPageControl})
    connect(control, &TPageControl::FrameUndocked, this, [this](TFrame* frame) {
      for (const auto& [name, action] : FActions)
        if (name.rfind("Popup", 0) != 0) frame->addAction(action);
    });

  FWorkArea = new TWorkArea(FMainPanel, FRightPanel, this);
  FWorkArea->setObjectName("WorkArea");
  FWorkArea->OnSplitterMoved = [this] { Splitter1Moved(); };
  setCentralWidget(FWorkArea);
}

QAction* TMainForm::Action(const std::string& name) const
{
  auto found = FActions.find(name);
  return found == FActions.end() ? nullptr : found->second;
}

QToolButton* TMainForm::ToolButton(const std::string& name) const
{
  auto found = FButtons.find(name);
  return found == FButtons.end() ? nullptr : found->second;
}

QString TMainForm::PanelText(int panel) const
{
  return panel >= 0 && panel < static_cast<int>(FPanels.size()) ? FPanels[panel]->text() : QString();
}

void TMainForm::SetPanelText(int panel, const QString& text)
{
  if (panel >= 0 && panel < static_cast<int>(FPanels.size())) FPanels[panel]->setText(text);
}

void TMainForm::Guarded(const std::function<void()>& command)
{
  try {
    command();
  } catch (const std::exception& error) {
    ShowException(error);
  }
}
