#include "workspace/ProgramStartup.h"

#include <QApplication>
#include <QTimer>
#include <iostream>

#include "dialogs/TBatchDialog.h"
#include "dialogs/TChangeFileTypeDialog.h"
#include "dialogs/TConfigDialog.h"
#include "dialogs/TConfigureFileDialog.h"
#include "dialogs/TConvertHTMLDialog.h"
#include "dialogs/TFTPDialog.h"
#include "dialogs/TNewFileDialog.h"
#include "dialogs/TOpenURLDialog.h"
#include "dialogs/TTransformDialog.h"
#include "editor/TAutoCompleteForm.h"
#include "model/ModelModule.h"
#include "model/TAutoCompleteSchema.h"
#include "panes/TLogDialog.h"
#include "platform/Prompter.h"
#include "platform/QtEnvironment.h"
#include "platform/TProgressRunner.h"
#include "resource/TURLSystem.h"
#include "resource/zevlog.h"
#include "workspace/DdeStartup.h"
#include "workspace/TAboutBox.h"
#include "workspace/TMainForm.h"
#include "workspace/TSplashScreen.h"

namespace {

QTimer* URLSystemTimer = nullptr;

// The arguments of argv after the program, byte for byte.
std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

}  // namespace

void StartModules()
{
  // The application log needs no start: it is created on first use.
  URLSystem();
  StartModel();
}

void StopModules()
{
  try {
    StopModel();
  } catch (const std::exception& error) {
    // The project or the configuration could not be written: say so, the
    // user would lose the settings silently otherwise.
    if (QApplication::instance())
      Prompter().ShowMessage(QString::fromLocal8Bit(error.what()));
    else
      std::cerr << error.what() << std::endl;
  }
  FreeURLSystem();
  FreeAppLog();
}

void CreateForms(const std::vector<std::string>* arguments)
{
  QApplication::setApplicationName("XML Plivek");

  MainForm = new TMainForm;
  if (arguments) MainForm->Arguments = *arguments;
  SetPrompterParent(MainForm);
  // Schema errors found while completing are shown to the user.
  TAutoCompleteSchema::SetErrorNotifier(
      [](const std::string& message) { Prompter().ShowMessage(QString::fromLocal8Bit(message)); });
  SplashScreen = new TSplashScreen(MainForm);
  ChangeFileTypeDialog = new TChangeFileTypeDialog(MainForm);
  ConfigDialog = new TConfigDialog(MainForm);
  ConfigureFileDialog = new TConfigureFileDialog(MainForm);
  // The dialogs are created here, in their order, as they are built.
  TransformDialog = new TTransformDialog(MainForm);
  ConvertHTMLDialog = new TConvertHTMLDialog(MainForm);
  BatchDialog = new TBatchDialog(MainForm);
  LogDialog = new TLogDialog(MainForm);
  FTPDialog = new TFTPDialog(MainForm);
  FTPDialog->RunWork = [](const QString& caption, const std::function<void()>& work) {
    TProgressRunner(caption, FTPDialog).Run(work);
  };
  FTPDialog->WorkRunning = &TProgressRunner::Busy;
  NewFileDialog = new TNewFileDialog(MainForm);
  AboutBox = new TAboutBox(MainForm);
  AutoCompleteForm = new TAutoCompleteForm(MainForm);
  OpenURLDialog = new TOpenURLDialog(MainForm);

  URLSystemTimer = new QTimer;
  URLSystemTimer->setInterval(TURLSystem::kTimerInterval);
  QObject::connect(URLSystemTimer, &QTimer::timeout, [] {
    // The drivers' connections belong to a command's work while it runs.
    if (!TProgressRunner::Busy()) URLSystem().TimerTick();
  });
  URLSystemTimer->start();
}

void ShowMainForm()
{
  MainForm->show();
}

void DestroyForms()
{
  delete URLSystemTimer;
  URLSystemTimer = nullptr;
  SetPrompterParent(nullptr);
  TAutoCompleteSchema::SetErrorNotifier(nullptr);
  // The dialogs go first, in reverse order, as they are built.
  delete OpenURLDialog;
  OpenURLDialog = nullptr;
  delete AutoCompleteForm;
  AutoCompleteForm = nullptr;
  delete AboutBox;
  AboutBox = nullptr;
  delete NewFileDialog;
  NewFileDialog = nullptr;
  delete FTPDialog;
  FTPDialog = nullptr;
  delete LogDialog;
  LogDialog = nullptr;
  delete BatchDialog;
  BatchDialog = nullptr;
  delete ConvertHTMLDialog;
  ConvertHTMLDialog = nullptr;
  delete TransformDialog;
  TransformDialog = nullptr;
  delete ConfigureFileDialog;
  ConfigureFileDialog = nullptr;
  delete ConfigDialog;
  ConfigDialog = nullptr;
  delete ChangeFileTypeDialog;
  ChangeFileTypeDialog = nullptr;
  delete SplashScreen;
  SplashScreen = nullptr;
  delete MainForm;
  MainForm = nullptr;
}

int RunProgram(int argc, char** argv)
{
  PrepareQtEnvironment();
  StartModules();
  int exitCode = 0;
  {
    QApplication application(argc, argv);
    StartDdeService();
    // Qt has taken its own options out of argv; the rest keep their bytes
    // (QCoreApplication::arguments() would decode them as local text).
    const std::vector<std::string> arguments = CommandLineArguments(argc, argv);
    CreateForms(&arguments);
    ShowMainForm();
    exitCode = application.exec();
    DestroyForms();
    StopDdeService();
    StopModules();
  }
  return exitCode;
}
