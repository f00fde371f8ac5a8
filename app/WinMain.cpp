// Entry point. Everything else lives in the program's library, which the tests link too.
#include "MainWindow.h"
#include "Startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    // The show command is ignored: the saved placement decides. The command line is read whole
    // (as UTF-16), not from this copy in the ANSI code page.
    (void)previous;
    (void)commandLine;
    (void)showCommand;
    StartProgram(instance);
    OpenCommandLineFile();
    return RunMessageLoop();
}
