#pragma once
// The program's start and stop, in the order the rest of the system relies on:
//
//   StartModules()   before the QApplication: the application log (created on
//                    first use), the URL system with its drivers, the model
//                    (configuration, document types, project).
//   CreateForms()    after the QApplication: the forms in their order (main
//                    window, splash screen; the dialogs join here), and the
//                    timer that gives the URL system its one-second tick.
//   ShowMainForm()   shows the main window, which runs its FormShow.
//   DestroyForms()   frees the forms and stops the URL system's timer.
//   StopModules()    stops the model (project and configuration written), then
//                    frees the URL system and the log.
//
// RunProgram does all of it around the message loop; tests call the steps.

#include <string>
#include <vector>

class QApplication;

void StartModules();
void StopModules();

// arguments: the command line without the program, as the bytes the process
// was given; none when not given.
void CreateForms(const std::vector<std::string>* arguments = nullptr);
void ShowMainForm();
void DestroyForms();

// The whole program: returns the exit code of the message loop.
int RunProgram(int argc, char** argv);
