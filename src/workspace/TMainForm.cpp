#include "workspace/TMainForm.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
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
