// The main window's DDE topic "System": "open" macros sent by other programs
// open documents in new tabs, typed by their extension.

#include <QTimer>

#include "model/AttributeList.h"
#include "model/ModelModule.h"
#include "platform/Prompter.h"
#include "platform/TDdeService.h"
#include "platform/TProgressRunner.h"
#include "resource/ProgramFile.h"
#include "resource/zevlog.h"
#include "workspace/CommandLineText.h"
#include "workspace/DdeStartup.h"
#include "workspace/TMainForm.h"

void StartDdeService()
{
  TDdeService& service = DdeService();
  service.OnLog = [](int level, const QString& text) {
    AppLog().Log(static_cast<std::uint8_t>(level), text.toLocal8Bit().toStdString());
  };
  service.Register(DdeSocketName(DdeServiceName(QString::fromLocal8Bit(ProgramFileName().c_str()))));
}

void StopDdeService()
{
  FreeDdeService();
}

void TMainForm::CreateDdeTopic()
{
  System = new TDdeServerConv("System", this);
  System->setObjectName("System");
  System->OnExecuteMacro = [this](TDdeServerConv&, const QList<QByteArray>& macro) {
    std::vector<std::string> lines;
    for (const QByteArray& line : macro) lines.push_back(line.toStdString());
    // A request that comes while a command's work runs waits for it to end.
    TProgressRunner::WhenIdle(this, [this, lines] {
      try {
        SystemExecuteMacro(lines);
      } catch (const ECancelled&) {
        // The user stopped the open: nothing to show.
      } catch (const std::exception& error) {
        // Shown once the request is answered: the sender is not kept waiting.
        QString message = QString::fromLocal8Bit(error.what());
        QTimer::singleShot(0, this, [message] { Prompter().ShowMessage(message); });
      }
    });
  };
}

void TMainForm::SystemExecuteMacro(const std::vector<std::string>& lines)
{
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  std::size_t bracket = text.find('(');
  if (bracket == std::string::npos) return;
  std::string command = LowerCaseAscii(text.substr(0, bracket));
  std::string argument = MacroArgument(text.substr(bracket + 1));
  if (command != "open") return;

  Project().OpenURL.SetURL("file:" + CommandLinePath(argument, std::string()));
  NewEditFrame(TypeIdByExtension(Project().OpenURL), Project().OpenURL, false);
}
