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

    int result = 0;
    if (SplitFile() && (!IsInForce(AppState.BatchFileCheck) || WriteBatchFile())) {
        result = 1;
        if (IsChecked(AppState.LogFileCheck)) {
            SendMessageA(AppState.ProgressBar, PBM_SETPOS, 0, 0);
            result = WriteLogFile();
        }
    }
    RestoreIdleUi();
    return result;
}

void RestoreIdleUi(void)
{
    SendMessageA(AppState.ProgressBar, PBM_SETPOS, 0, 0);
    SetCurrentDirectoryA(AppState.CurrentDirectory);
    SetWindowTextA(AppState.MainWindow, PRODUCT_TITLE);
    ShowWindow(AppState.ProgressBar, SW_HIDE);
    UpdateFileStatus();
}
