#include "model/ModelModule.h"

#include <exception>
#include <memory>
#include <sys/stat.h>
#include <vector>

#include "model/BuiltInConfig.h"
#include "model/DataFileProblems.h"
#include "model/TFileTypes.h"
#include "resource/AtomicFile.h"
#include "resource/EResourceError.h"
#include "resource/ProgramFile.h"

namespace {

std::unique_ptr<TConfigInfo>& ConfigInfoInstance()
{
  static std::unique_ptr<TConfigInfo> instance;
  return instance;
}

std::unique_ptr<TProject>& ProjectInstance()
{
  static std::unique_ptr<TProject> instance;
  return instance;
}

// Whether the configuration file and the project file existed at start but
// could not be read. The stop then leaves them alone: writing them would
// replace what they hold with the defaults the run started with.
bool& ConfigFileUnread()
{
  static bool unread = false;
  return unread;
}

bool& ProjectFileUnread()
{
  static bool unread = false;
  return unread;
}

std::string NotWritten(const std::string& path)
{
  return "The file \"" + path + "\" was not written: it could not be read at start, and writing it would "
         "replace its content.";
}

// A report never ends the start or the stop; one made while the model
// starts is shown to the user once the main window is up.
void Report(const std::string& message)
{
  ReportDataProblem(message);
}

bool FileExists(const std::string& path)
{
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

void LoadProject()
{
  TProject& project = Project();
  try {
    project.Load();
  } catch (const std::exception& e) {
    ProjectFileUnread() = true;
    Report(std::string("Cannot read the project: ") + e.what() + " The project starts empty.");
    ProjectInstance() = std::make_unique<TProject>();
    ProjectInstance()->ProjectURL.SetNativeName(ProgramFolder() + TProject::FileName);
  }
}

void LoadDocumentTypes()
{
  try {
    LoadFileTypes();
  } catch (const std::exception& e) {
    Report(std::string("Cannot read the document types: ") + e.what());
  }
}

// Runs one step of the stop and keeps its failure message.
template <typename Step>
void RunSaveStep(Step step, std::vector<std::string>& failures)
{
  try {
    step();
  } catch (const std::exception& e) {
    failures.push_back(e.what());
  }
}

}  // namespace

TConfigInfo& ConfigInfo()
{
  auto& instance = ConfigInfoInstance();
  if (!instance) instance = std::make_unique<TConfigInfo>();
  return *instance;
}

TProject& Project()
{
  auto& instance = ProjectInstance();
  if (!instance) instance = std::make_unique<TProject>();
  return *instance;
}

void LoadConfig()
{
  TConfigInfo& config = ConfigInfo();
  std::string name = ProgramFolder() + ConfigFileName;
  if (!FileExists(name)) name = ProgramFolder() + DefaultConfigFileName;
  std::string text;
  try {
    text = ReadWholeFile(name);
  } catch (const std::exception& e) {
    ConfigFileUnread() = name == ProgramFolder() + ConfigFileName;
    SetBuiltInConfig(config);
    Report(std::string("Cannot read the configuration: ") + e.what() + " The built-in configuration is used.");
    return;
  }
  SetBuiltInSettings(config);
  config.ClearShortcuts();
  config.Parse(text, [&name](const std::string& element, const std::string& attribute, const std::string& reason) {
    Report("Configuration file \"" + name + "\", " + element + " " + attribute + ": " + reason +
           " The default value is used.");
  });
  // Without key bindings (an empty or garbled file) the arrows, Backspace and
  // Enter would do nothing, and the empty set would be saved at exit.
  if (config.ShortcutCount() == 0) {
    SetBuiltInShortcuts(config);
    Report("Configuration file \"" + name + "\" holds no key bindings. The built-in ones are used.");
  }
}

void SaveConfig()
{
  WriteFileAtomically(ProgramFolder() + ConfigFileName, ConfigInfo().GetXML());
}

void StartModel()
{
  TDataProblemCollection problems;
  ConfigFileUnread() = false;
  ProjectFileUnread() = false;
  ConfigInfoInstance() = std::make_unique<TConfigInfo>();
  LoadConfig();
  CreateFileTypes();
  LoadDocumentTypes();
  ProjectInstance() = std::make_unique<TProject>();
  LoadProject();
}

void StopModel()
{
  std::vector<std::string> failures;
  if (ProjectInstance() && ProjectFileUnread())
    failures.push_back(NotWritten(ProjectInstance()->ProjectURL.GetNativeName()));
  else if (ProjectInstance())
    RunSaveStep([] { ProjectInstance()->Save(); }, failures);
  ProjectInstance().reset();
  FreeFileTypes();
  if (ConfigInfoInstance() && ConfigFileUnread())
    failures.push_back(NotWritten(ProgramFolder() + ConfigFileName));
  else if (ConfigInfoInstance())
    RunSaveStep([] { SaveConfig(); }, failures);
  ConfigInfoInstance().reset();
  if (failures.empty()) return;
  std::string message;
  for (const auto& failure : failures) {
    Report(failure);
    if (!message.empty()) message += "\n";
    message += failure;
  }
  throw EModelStopError(message);
}
