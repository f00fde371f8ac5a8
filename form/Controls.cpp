// The face of the main window, built in one pass at fixed pixel positions.
#include "Form.h"

#include "resources/resource.h"

// The status bar: three panes along the bottom edge with 2-pixel gaps.
enum { PaneHeight = 16, PaneGap = 2, SizePaneWidth = 95, PiecesPaneWidth = 50 };

static HFONT MakeFont(int weight)
{
    return CreateFontA(14, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_ROMAN | DEFAULT_PITCH, "MS Shell Dlg");
}

static HWND MakeControl(DWORD exStyle, const char *className, const char *text, DWORD style, int x, int y, int w,
                        int h, int id)
{
    return CreateWindowExA(exStyle, className, text, style, x, y, w, h, AppState.MainWindow,
                           (HMENU)(INT_PTR)id, NULL, NULL);
}

static void SetFont(HWND control, HFONT font) { SendMessageA(control, WM_SETFONT, (WPARAM)font, 1); }

static void SetIcon(HWND button, HICON icon) { SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, (LPARAM)icon); }

// Creates a tooltip that shows text over the whole of button. Null when it cannot be created.
static HWND MakeTooltip(HWND button, const char *text)
{
    HINSTANCE module = GetModuleHandleA(NULL);
    HWND tip = CreateWindowExA(0, TOOLTIPS_CLASSA, NULL, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, AppState.MainWindow, NULL, module, NULL);
    if (tip == NULL)
        return NULL;
    SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    GetClientRect(button, &AppState.ToolInfo.rect);
    AppState.ToolInfo.cbSize = 44; // the record up to lParam, as every comctl32 version takes it
    AppState.ToolInfo.hinst = module;
    AppState.ToolInfo.hwnd = button;
    AppState.ToolInfo.lpszText = (LPSTR)text;
    AppState.ToolInfo.uFlags = TTF_SUBCLASS;
    SendMessageA(tip, TTM_ADDTOOLA, 0, (LPARAM)&AppState.ToolInfo);
    return tip;
}

int CreateControls(void)
{
    AppState.NormalFont = MakeFont(FW_NORMAL);
    AppState.BoldFont = MakeFont(FW_BOLD);

    RECT frame = {0, 0, ClientWidth, ClientHeight};
    AdjustWindowRectEx(&frame, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE, WS_EX_DLGMODALFRAME);
    SetWindowPos(AppState.MainWindow, NULL, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE);

    RECT client = {0, 0, 0, 0};
    GetClientRect(AppState.MainWindow, &client);
    int paneY = client.bottom - PaneHeight;
    int nameWidth = client.right - (client.left + SizePaneWidth + PiecesPaneWidth + 2 * PaneGap);
    int sizeX = client.right - (SizePaneWidth + PiecesPaneWidth + PaneGap);
    int piecesX = client.right - PiecesPaneWidth;

    const DWORD child = WS_CHILD | WS_VISIBLE;
    const DWORD iconButton = child | BS_ICON;
    const DWORD textButton = child | BS_CENTER | BS_VCENTER;
    const DWORD edit = child | ES_AUTOHSCROLL;
    HFONT normal = AppState.NormalFont;
    HFONT bold = AppState.BoldFont;

#define CREATE(handle, exStyle, cls, text, style, x, y, w, h, id)                                                  \
    if ((AppState.handle = MakeControl(exStyle, cls, text, style, x, y, w, h, id)) == NULL)                         \
        return 0;

    CREATE(FileNameLabel, 0, "STATIC", "File Name", child, 10, 10, 74, 20, 0);
    SetFont(AppState.FileNameLabel, normal);
    CREATE(PinButton, WS_EX_STATICEDGE, "BUTTON", NULL, iconButton, 122, 2, 21, 21, CmdOnTop);
    SetIcon(AppState.PinButton, AppState.PinOffIcon);
    if ((AppState.PinTooltip = MakeTooltip(AppState.PinButton, "click to keep on top")) == NULL)
        return 0;
    CREATE(FileNameEdit, WS_EX_CLIENTEDGE, "EDIT", "", edit, 10, 25, 223, 21, CmdFileName);
    SetFont(AppState.FileNameEdit, normal);
    SendMessageA(AppState.FileNameEdit, EM_LIMITTEXT, 260, 0);
    CREATE(OpenButton, WS_EX_STATICEDGE, "BUTTON", NULL, iconButton, 233, 25, 21, 21, CmdOpenFile);
    SetIcon(AppState.OpenButton, AppState.OpenIcon);
    if ((AppState.OpenTooltip = MakeTooltip(AppState.OpenButton, "open file")) == NULL)
        return 0;
    CREATE(OutputPathLabel, 0, "STATIC", "Output Path", child, 10, 47, 90, 20, 0);
    SetFont(AppState.OutputPathLabel, normal);
    CREATE(OutputPathEdit, WS_EX_CLIENTEDGE, "EDIT", "", edit, 10, 62, 223, 21, CmdOutputPath);
    SetFont(AppState.OutputPathEdit, normal);
    SendMessageA(AppState.OutputPathEdit, EM_LIMITTEXT, 256, 0);
    CREATE(BrowseButton, WS_EX_STATICEDGE, "BUTTON", NULL, iconButton, 233, 62, 21, 21, CmdBrowse);
    SetIcon(AppState.BrowseButton, AppState.OpenIcon);
    if ((AppState.BrowseTooltip = MakeTooltip(AppState.BrowseButton, "select output directory")) == NULL)
        return 0;
    CREATE(SplitSizeGroup, 0, "BUTTON", "Split Size", child | BS_GROUPBOX, 10, 93, 80, 105, 0);
    SetFont(AppState.SplitSizeGroup, normal);
    CREATE(SplitSizeEdit, WS_EX_CLIENTEDGE, "EDIT", "", child | ES_NUMBER, 15, 110, 70, 21, CmdSplitSize);
    SetFont(AppState.SplitSizeEdit, normal);
    CREATE(Preset288Radio, 0, "BUTTON", "2.88 MB", child | BS_AUTORADIOBUTTON, 15, 135, 70, 20, CmdSizePreset);
    SetFont(AppState.Preset288Radio, normal);
    CREATE(Preset144Radio, 0, "BUTTON", "1.44 MB", child | BS_AUTORADIOBUTTON, 15, 155, 70, 20, CmdSizePreset);
    SetFont(AppState.Preset144Radio, normal);
    CREATE(Preset720Radio, 0, "BUTTON", "720 KB", child | BS_AUTORADIOBUTTON, 15, 175, 70, 20, CmdSizePreset);
    SetFont(AppState.Preset720Radio, normal);
    CREATE(OptionsGroup, 0, "BUTTON", "Options", child | BS_GROUPBOX, 100, 93, 95, 105, 0);
    SetFont(AppState.OptionsGroup, normal);
    CREATE(BatchFileCheck, 0, "BUTTON", "Batch File", child | BS_AUTOCHECKBOX, 105, 110, 85, 20, CmdOption);
    SetFont(AppState.BatchFileCheck, normal);
    CREATE(LogFileCheck, 0, "BUTTON", "Log File", child | BS_AUTOCHECKBOX, 105, 130, 85, 20, CmdOption);
    SetFont(AppState.LogFileCheck, normal);
    CREATE(UseOutputCheck, 0, "BUTTON", "Use Output", child | BS_AUTOCHECKBOX, 105, 150, 85, 20, CmdUseOutput);
    SetFont(AppState.UseOutputCheck, normal);
    CREATE(SubDirectoryCheck, 0, "BUTTON", "Sub Directory", child | BS_AUTOCHECKBOX, 105, 170, 85, 20, CmdOption);
    SetFont(AppState.SubDirectoryCheck, normal);
    CREATE(SplitButton, WS_EX_STATICEDGE, "BUTTON", "Split", textButton | WS_DISABLED, 205, 99, 50, 20, CmdSplit);
    SetFont(AppState.SplitButton, bold);
    CREATE(HelpButton, WS_EX_STATICEDGE, "BUTTON", "Help", textButton, 205, 124, 50, 20, CmdHelp);
    SetFont(AppState.HelpButton, bold);
    CREATE(AboutButton, WS_EX_STATICEDGE, "BUTTON", "About", textButton, 205, 149, 50, 20, CmdAbout);
    SetFont(AppState.AboutButton, bold);
    CREATE(ExitButton, WS_EX_STATICEDGE, "BUTTON", "Exit", textButton, 205, 174, 50, 20, CmdExit);
    SetFont(AppState.ExitButton, bold);
    CREATE(ProgressBar, 0, PROGRESS_CLASSA, NULL, WS_CHILD, 5, 203, 255, 10, 0);
    CREATE(StatusNamePane, WS_EX_STATICEDGE, "STATIC", NULL, child, client.left, paneY, nameWidth, PaneHeight, 0);
    SetFont(AppState.StatusNamePane, normal);
    CREATE(StatusSizePane, WS_EX_STATICEDGE, "STATIC", NULL, child, sizeX, paneY, SizePaneWidth, PaneHeight, 0);
    SetFont(AppState.StatusSizePane, normal);
    CREATE(StatusPiecesPane, WS_EX_STATICEDGE, "STATIC", NULL, child, piecesX, paneY, PiecesPaneWidth, PaneHeight,
           0);
    SetFont(AppState.StatusPiecesPane, normal);
#undef CREATE
    return 1;
}
