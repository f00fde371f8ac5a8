// The Split command as the user experiences it: split, batch file, log, then idle again.
#include "Split.h"

#include "core/UiHelpers.h"
#include "form/Form.h"

int RunSplitCommand(void)
{
    // The class cursor (the arrow) comes back by itself the next time the pointer moves.
    SetCursor(AppState.WaitCursor);

    if (AppState.SplitSize < 1) {
        ShowMessage("Split size must be between 1 and 2,147,483,647", "Error", MB_ICONERROR);
        return 0;
    }

    // Each phase starts only while the split goes on: a cancel stops the one running at its next
    // chunk or line, and the next never begins. A cancel asked for while a failure's box was up
    // came after the run had ended, and changes nothing.
    ForgetMade();
    int result = SplitFile();
    if (result && RunGoesOn() && ChecksumFileWanted())
        result = WriteChecksumFile();
    if (result && RunGoesOn() && IsInForce(AppState.BatchFileCheck))
        result = WriteBatchFile();
    if (result && RunGoesOn() && IsChecked(AppState.LogFileCheck)) {
        SendMessageA(AppState.ProgressBar, PBM_SETPOS, 0, 0);
        result = WriteLogFile();
    }
    if (result)
        RunGoesOn(); // a cancel that came with the last step is taken too
    if (AppState.RunCancelled == CancelTaken) {
        UndoRun();
        result = 0;
    }
    RestoreIdleUi();
    return result;
}
