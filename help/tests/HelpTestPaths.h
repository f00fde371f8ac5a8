// Where the help tests find what the build made. The test programs live in <build>\help\tests,
// the compiler in <build>\help, Morvane.exe and Morvane.hlp in <build> itself.
#pragma once

#include <windows.h>

#include <string>

inline std::string BuildFolder()
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    std::string path = self;
    for (int up = 0; up < 3; up++) // the exe's name, tests, help
        path = path.substr(0, path.find_last_of('\\'));
    return path;
}

inline std::string BuiltHelpFile() { return BuildFolder() + "\\Morvane.hlp"; }
inline std::string HelpCompiler() { return BuildFolder() + "\\help\\morvane_hc.exe"; }
inline std::string BuiltProgram() { return BuildFolder() + "\\Morvane.exe"; }

// The help source in the source tree, as a Windows path (the build passes it in).
inline std::string HelpSource() { return MORVANE_HELP_SOURCE; }
