#pragma once
// The main window: menus, tool bar, status bar and two page controls, the
// main one for documents and the side bar (on the right) for the help and log
// panes. Every command works on the active frame, found from the focused
// control. A heartbeat timer recomputes the caption, the status bar and the
// state of every command; every 101st tick it refreshes old working copies.
//
// Component names (object names, for findChild): the menus File1, MenuEdit,
// MenuSearch, Tools1, View1, Help1 and their items (MenuFileOpenFile, ...);
// Toolbar with NewBtn ... MoreEditBtn; StatusBar with StatusPanel0..4;
// MainPanel, MainPageControl, Splitter1, RightPanel, SideBarPageControl;
// PopupMenu with PopupCut ... PopupHelp; HeartbeatTimer.

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "model/KeyText.h"
#include "resource/TURL.h"

class QAction;
class QLabel;
class QMenu;
class QPrintDialog;
class QPrinter;
class QTimer;
class QToolButton;
class TDdeServerConv;
class TEditFrame;
class TFileType;
class TFindDialog;
class TFrame;
class TPageControl;
class TReplaceDialog;
class TWorkArea;

class TMainForm : public QMainWindow {
  Q_OBJECT
public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // The arguments FormShow's ProcessCommandLine reads (without the program),
  // as the bytes the process was given: a file name need not be text in the
  // local encoding. None unless set. Relative paths are taken from
  // StartFolder (the current directory at creation, its bytes, unless set).
  std::vector<std::string> Arguments;
  std::string StartFolder;

  // --- start-up ------------------------------------------------------------
  void FormCreate();
  // Runs once, on the first show of the window.
  void FormShow();
  void FormCloseQuery(bool& canClose);
  void FormDestroy() {}
  bool FormShown() const { return FFormShown; }
  // Shows the problems met in the data files while the model started, in
  // one message (once the window is up: the log's level 3 is off then).
  void ShowDataProblems();

  // --- frames and layout ---------------------------------------------------
  TFrame* GetActiveFrame() const;
  TEditFrame* GetActiveEditFrame() const;
  int GetFrameCount() const;
  // The frame on page index (main page control first, then the side bar);
  // nullptr for an index outside both or a page that holds no frame.
  TFrame* GetFrame(int index) const;
  // Every editor frame: those on pages in frame order, then those floating
  // as windows of their own.
  std::vector<TEditFrame*> EditFrames() const;
  // Creates an editor frame, docks it into MainPageControl and starts (isNew)
  // or opens the document at url with the type of id. A document that cannot
  // be read leaves no tab behind; the error names the document. One whose
  // working copy cannot be written stays open, and the error is raised; a
  // new one stays too, and the error is shown.
  TEditFrame* NewEditFrame(const std::string& id, const TURL& url, bool isNew);
  void CloseFrame(TFrame* frame);
  // Layout modes: 0 side bar over the whole width, 1 two thirds, 2 one third,
  // 3 a 2-pixel strip, any other value leaves the width.
  void SetLayout(int mode);
  int Layout() const { return FLayout; }
  int ClientWidth() const;
  int SideBarWidth() const;

  void ShowHelp(const QString& url);
  void HideHelp();
  void ShowLog();
  void HideLog();
  void HelpCopyPaste(TFrame& sender);
  void EditStatusChange(TEditFrame& sender);
  void EditContextHelp(TEditFrame& sender);
  void SideBarPageControlDrawTab(TPageControl& control, int tabIndex, QPainter& painter, const QRect& rect,
                                 bool active);
  // The font a tab caption is drawn with: bold for a modified document, bold
  // italic when it is also new, regular for every other page.
  QFont TabFont(TPageControl& control, int tabIndex) const;
  void UpdateToolButtons();
  void UpdatePopupMenu();
  void Splitter1Moved();

  // --- heartbeat -----------------------------------------------------------
  void HeartbeatTimerTimer();
  void BackupFrames();
  int HeartbeatCount() const { return FHeartbeatCount; }
  void SetHeartbeatCount(int count) { FHeartbeatCount = count; }

  // --- keyboard ------------------------------------------------------------
  // The application-wide key hook: Tab and Shift+Tab in a focused editor run
  // the editor's own indent commands. True when the event was used up.
  bool AppMessage(QObject* target, QEvent* event);
  void ApplyShortcuts();
  void ClearShortcuts();
  void SetShortcut(const std::string& name, TShortCut key);
  // The application command names and their menu items, in table order.
  static const std::vector<std::pair<const char*, const char*>>& CommandMenuItems();

  // --- command line --------------------------------------------------------
  void ProcessCommandLine();
  void ParseSwitch(const std::string& argument);
  void OpenArgument(const std::string& argument);

  // --- file commands -------------------------------------------------------
  void MenuFileOpenFileClick();
  void MenuFileSaveClick();
  void MenuFileSaveAsFileClick();
  void MenuFileCloseClick();
  void MenuFileCloseAllClick();
  void MenuFileExitClick();
  // Closes frame after asking to save it when modified. False when the
  // document stays open (Cancel, or a save that did not take place).
  bool CloseEditFrame(TEditFrame* frame);
  // The close step of the shutdown for the frame on the page just activated.
  void CloseActiveFrame(bool& canClose);
  // Save and Save As of one document; false when the Save As was cancelled
  // or the user keeps what another program wrote to the file meanwhile.
  bool SaveFrame(TEditFrame& frame);
  bool SaveFrameAs(TEditFrame& frame);

  // --- Open FTP, Save As FTP (TMainFormFtp.cpp) ------------------------------
  void MenuFileOpenFTPClick();
  void MenuFileSaveAsFTPClick();
  // Writes frame to the FTP dialog's URL and records it.
  void SaveToFTP(TEditFrame& frame);
  // Fills the FTP dialog's filter list with every document type's filter.
  void FillFTPFilters();

  // --- New, Open Web page, Recent, Change File type, Print (TMainFormFile.cpp)
  void MenuFileNewClick();
  void MenuFileOpenWebPageClick();
  // Rebuilds the Recent submenu (when it opens): "i URL" for the first ten.
  void MenuFileRecentClick();
  void MenuFileRecentItemClick(QAction* sender);
  void MenuFileChangeFileTypeClick();
  void MenuFilePrintClick();
  void PrintEditor(TEditFrame& frame);
  // Answers the print dialog instead of the user (tests); unassigned, the
  // dialog is shown. True for OK.
  std::function<bool(QPrintDialog& dialog, QPrinter& printer)> OnPrintDialog;

  // --- DDE (TMainFormDde.cpp) ---------------------------------------------
  // The "System" topic of the program's DDE service.
  TDdeServerConv* System = nullptr;
  // Opens the file of an "open(path)" macro, typed by its extension.
  void SystemExecuteMacro(const std::vector<std::string>& macro);

  // --- view and help commands (TMainFormPanes.cpp) -------------------------
  void MenuViewLogClick();
  void MenuViewHelpClick();
  void MenuHelpContentsClick();
  // A pane is shown while it is a page of a page control or a visible window.
  static bool PaneShown(const TFrame* pane);

  // --- edit and search commands (TMainFormEdit.cpp) ------------------------
  void MenuEditCutClick();
  void MenuEditCopyClick();
  void MenuEditPasteClick();
  void MenuEditSelectAllClick();
  void MenuEditUndoClick();
  void MenuEditredoClick();
  void MenuSearchFindClick();
  void MenuSearchReplaceClick();
  void FindDialogFind();
  void ReplaceDialogFind();
  void ReplaceDialogReplace();
  // The modeless find and replace dialogs (made on first use).
  TFindDialog& FindDialog();
  TReplaceDialog& ReplaceDialog();

  // --- view and help commands (TMainFormView.cpp) --------------------------
  void MenuViewMoreHelpClick();
  void MenuViewMoreEditClick();
  void MenuHelpContextClick();
  void MenuHelpAboutClick();
  // The default beep (context help without a help file); tests listen here.
  std::function<void()> OnBeep;
  void Beep();

  // --- Edit > Configuration Options (TMainFormConfig.cpp) ------------------
  void MenuEditConfigurationOptionsClick();
  // Before the configuration dialog deletes fileType: every editor frame of
  // that type takes the type its file extension gives among the others.
  void FileTypeDeleting(TFileType& fileType);

  // --- tools commands (TMainFormTools.cpp) --------------------------------
  void MenuToolsConvertClick();
  void MenuToolsWellFormedClick();
  void MenuToolsIsValidClick();
  void MenuToolsTransformClick();
  void MenuToolsBatchClick();
  void MenuToolsPreview1Click();
  void MenuToolsPreview2Click();
  void MenuToolsPreview3Click();
  // Previewer n of the active document's type on the document's file, URL
  // text or freshly written working copy.
  void PreviewDocument(int number);
  // "*" opens target with its associated program; any other command is
  // split into the program and its arguments, then every "%1" in them is
  // replaced by target (not through a shell): target never splits or adds
  // an argument. Raises when no program could be started.
  void Preview(const std::string& command, const std::string& target);
  // The URL texts of the open stylesheets (type id "xsl"), in frame order.
  std::vector<std::string> OpenStyleSheetURLs() const;
  // The first editor frame, in frame order, whose URL text is urlText.
  TEditFrame* FindEditFrame(const std::string& urlText) const;

  // --- components ----------------------------------------------------------
  TPageControl* MainPageControl() const { return FMainPageControl; }
  TPageControl* SideBarPageControl() const { return FSideBarPageControl; }
  QWidget* RightPanel() const { return FRightPanel; }
  QMenu* PopupMenu() const { return FPopupMenu; }
  QTimer* HeartbeatTimer() const { return FHeartbeatTimer; }
  // The menu item (or pop-up item) of that component name; nullptr when none.
  QAction* Action(const std::string& name) const;
  QToolButton* ToolButton(const std::string& name) const;
  QString PanelText(int panel) const;
  void SetPanelText(int panel, const QString& text);

  // The help and log panes (created in FormShow once they exist).
  TFrame* FHelpFrame = nullptr;
  TFrame* FLogFrame = nullptr;

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // The menus and the tool bar (TMainFormMenus.cpp).
  void CreateMenus();
  void CreatePopupMenu();
  void CreateToolbar();
  QAction* AddMenuItem(QMenu* menu, const char* name, const char* caption, void (TMainForm::*handler)() = nullptr);
  void CreateStatusBar();
  void CreateWorkArea();
  void CreateDdeTopic();

  // The help and log panes (TMainFormPanes.cpp).
  void CreateHelpPane();
  void CreateLogPane();
  void ConnectLogEvents();
  void ConnectLogFileErrors();
  void DisconnectLogEvents();
  void NavigateHelp(const QString& url);
  QString HelpPageTitle() const;
  bool HelpBrowserCommandEnabled(int command) const;
  void UpdateHelpPaneButtons();
  // Hook of the batch dialog: presets its source and destination.
  void PresetBatchDialog();

  // The window's active control: the focused control of the window (or of a
  // frame floating from it); while the menu bar or a menu holds the keyboard,
  // the control that had it before.
  QWidget* ActiveControl() const;
  void ControlFocused(QWidget* control);

  void ShowPane(TFrame* pane, const QString& caption);
  void HidePane(TFrame* pane);
  void UpdateCommandStates();
  void UpdateCaptionAndPanels();
  // The id of the type a document at url opens with: by its extension, the
  // first type when no type has it.
  static std::string TypeIdByExtension(const TURL& url);
  // Runs a command; a failure is shown as the application's error display does.
  void Guarded(const std::function<void()>& command);
  void Guarded(void (TMainForm::*command)())
  {
    Guarded([this, command] { (this->*command)(); });
  }

  int FLayout = 4;
  bool FShiftDown = false;
  int FHeartbeatCount = 0;
  bool FFormShown = false;
  bool FBackupFailureShown = false;
  std::string FCurrentTypeId;
  QPointer<QWidget> FLastControl;
  TFindDialog* FFindDialog = nullptr;
  TReplaceDialog* FReplaceDialog = nullptr;

  TPageControl* FMainPageControl = nullptr;
  TPageControl* FSideBarPageControl = nullptr;
  QWidget* FMainPanel = nullptr;
  QWidget* FRightPanel = nullptr;
  TWorkArea* FWorkArea = nullptr;
  QMenu* FPopupMenu = nullptr;
  QTimer* FHeartbeatTimer = nullptr;
  std::map<std::string, QAction*> FActions;
  std::map<std::string, QToolButton*> FButtons;
  std::vector<QLabel*> FPanels;
};

// The one main window (created at start-up with the other forms).
extern TMainForm* MainForm;

// Shows a failure the way the application's error display does.
void ShowException(const std::exception& error);
