// Entry point. Everything else lives in the program's library, which the tests link too.
#include "Startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    // The command line and the show command are ignored: the saved placement decides.
    (void)previous;
    (void)commandLine;
    (void)showCommand;
    StartProgram(instance);
    return RunMessageLoop();
}
