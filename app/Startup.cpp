#include "Startup.h"

void StartProgram(HINSTANCE instance)
{
    (void)instance;
    GetCurrentDirectoryA(sizeof AppState.StartDirectory, AppState.StartDirectory);
    PostQuitMessage(0);
}

int RunMessageLoop(void)
{
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}
