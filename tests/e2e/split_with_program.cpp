// Splits one file with the real Morvane.exe, as a person would with the first-run settings:
//   split_with_program FOLDER NAME [SIZE]
// starts the program in FOLDER with no saved settings, types NAME (and SIZE) into its fields,
// clicks Split and then Exit. The pieces, the batch file and the log land in FOLDER\BASE.
// Exit code 0 when the program showed no box and ended normally.
#include "RunningProgram.h"

#include "resources/resource.h"

#include <shlwapi.h>
#include <stdio.h>

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: split_with_program FOLDER NAME [SIZE]\n");
        return 2;
    }
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Drelwick\\Morvane");
    RunningProgram program(argv[1]);
    if (!program.Started()) {
        fprintf(stderr, "split_with_program: the program's window did not appear\n");
        return 1;
    }
    if (argc > 3)
        program.SetText(program.Control(CmdSplitSize), argv[3]);
    program.SetText(program.Control(CmdFileName), argv[2]);
    if (!IsWindowEnabled(program.Control(CmdSplit))) {
        fprintf(stderr, "split_with_program: Split is disabled\n");
        return 1;
    }
    if (!program.ClickAndWait(program.Control(CmdSplit))) {
        RunningProgram::Box box = program.WaitForBox(1000);
        fprintf(stderr, "split_with_program: box %s: %s\n", box.caption.c_str(), box.text.c_str());
        return 1;
    }
    program.Click(program.Control(CmdExit));
    int code = program.WaitExit();
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Drelwick\\Morvane");
    return code == 0 ? 0 : 1;
}
