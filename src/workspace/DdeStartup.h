#pragma once
// The program's DDE service: registered when the program starts, before any
// window exists, under the service name of the program file (its name up to
// the first "."); the main window's "System" topic joins it. A second
// instance finds the name served and serves nothing (logged at level 3).

void StartDdeService();
void StopDdeService();
