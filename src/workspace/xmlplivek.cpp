// Program entry of the editor.

#include "workspace/ProgramStartup.h"

int main(int argc, char* argv[])
{
  return RunProgram(argc, argv);
}
