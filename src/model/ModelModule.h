#pragma once
// The model's program-wide objects and their life: the editor configuration,
// the document-type list and the project.
//
//   StartModel()  creates the configuration and runs LoadConfig, creates the
//                 document-type list and loads it from ProgramFolder() +
//                 "help/", creates the project and loads it.
//   StopModel()   saves the project, frees it, frees the document-type list,
//                 runs SaveConfig and frees the configuration.
//   ConfigInfo(), FileTypes() (model/TFileTypes.h), Project(): the objects;
//                 each creates an empty one when none exists.
//
// Start-up never fails: a configuration file that is missing or unreadable
// gives the built-in configuration, a malformed configuration value its
// built-in value, a configuration without key bindings the built-in ones, an unreadable or malformed project file an empty project;
// each is reported through AppLog() at level 3 and kept, with every other
// problem met in the data files, for the user (model/DataFileProblems.h). At stop both files are
// written even when one of them fails; the failures are then reported. A file
// that existed but could not be read at start is not written at stop (that
// would replace its content with defaults); this is reported as a failure.

#include <stdexcept>
#include <string>

#include "model/TConfigInfo.h"
#include "model/TProject.h"

// "xmlplivek.config": written at every exit, read at start when it exists.
constexpr const char* ConfigFileName = "xmlplivek.config";
// "default.config": read when "xmlplivek.config" does not exist; never written.
constexpr const char* DefaultConfigFileName = "default.config";

// Raised by StopModel when a file could not be written; what() holds the
// failure messages, one per line.
class EModelStopError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

TConfigInfo& ConfigInfo();
TProject& Project();

void StartModel();
// Frees everything; raises EModelStopError afterwards when a save failed.
void StopModel();

// Fills ConfigInfo() from ProgramFolder() + "xmlplivek.config", or from
// "default.config" when the former does not exist. Never raises: see above.
void LoadConfig();
// Writes ConfigInfo() to ProgramFolder() + "xmlplivek.config", atomically.
// Raises EFCreateError.
void SaveConfig();
