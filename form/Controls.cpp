// The face of the main window, built in one pass at the pixel positions of its 96-DPI design,
// scaled for the screen's DPI, and laid out again when the window moves to a screen of another.
#include "Form.h"

#include "core/UiHelpers.h"
#include "resources/resource.h"

#include <stddef.h>

// The status bar: three panes along the bottom edge with 2-pixel gaps.
enum { PaneHeight = 16, PaneGap = 2, SizePaneWidth = 95, PiecesPaneWidth = 50 };

static HFONT MakeFont(int weight)
{
    return CreateFontA(Scale(14), 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_ROMAN | DEFAULT_PITCH, "MS Shell Dlg");
}

#ifndef _WIN64
// TTTOOLINFOA_V2_SIZE, the record up to lParam: 44 bytes here (the SDK's macro is no constant).
static_assert(offsetof(TTTOOLINFOA, lParam) + sizeof(LPARAM) == 44, "the tool record up to lParam");
#endif

// One child window of the form, as a dialog template would list it.
struct ControlRow {
    HWND *handle;
    DWORD exStyle;
    const char *className;
    const char *text;
    DWORD style;
    int x, y, width, height;
    int id;
    HFONT font = NULL;         // none for the icon buttons and the progress bar
    HICON icon = NULL;         // the icon buttons' image...
    HWND *tooltip = NULL;      // ...and their tooltip, made right after the control
    const char *tip = NULL;
    int limit = 0;             // the most characters a path field takes (UTF-16, as the field counts); 0 for the field's own limit
};

// A row's rectangle at the window's DPI: its edges scaled, as left, top, width and height.
static RECT Scaled(const ControlRow *row)
{
    RECT place = {Scale(row->x), Scale(row->y), 0, 0};
    place.right = Scale(row->x + row->width) - place.left;
    place.bottom = Scale(row->y + row->height) - place.top;
    return place;
}

// The tool of a row's tip. An icon button's tip is a tool of the button, over its client area. A
// check box's tip says why it is greyed out, while it is: a disabled window gets no mouse messages
// (Windows hands them to the window beneath it, here the main window), so the tool is the main
// window's, over the box's rectangle, and takes the box's handle as its identifier.
static void FillTool(const ControlRow *row)
{
    HWND control = *row->handle;
    TOOLINFOA *tool = &AppState.ToolInfo;
    tool->cbSize = TTTOOLINFOA_V2_SIZE; // up to lParam, as every comctl32 version takes it
    tool->hinst = GetModuleHandleA(NULL);
    tool->uFlags = TTF_SUBCLASS;
    tool->hwnd = row->icon != NULL ? control : AppState.MainWindow;
    tool->uId = row->icon != NULL ? 0 : (UINT_PTR)control;
    GetClientRect(control, &tool->rect);
    MapWindowPoints(control, tool->hwnd, (POINT *)&tool->rect, 2);
}

// Creates a row's tooltip, with its text for the whole of its control. Null when it cannot be
// created. A tip may be a sentence: it wraps at the window's width, and stays while it is read.
static HWND MakeTooltip(const ControlRow *row)
{
    HWND tip = CreateWindowExA(0, TOOLTIPS_CLASSA, NULL, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, AppState.MainWindow, NULL,
                               GetModuleHandleA(NULL), NULL);
    if (tip == NULL)
        return NULL;
    SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    FillTool(row);
    AppState.ToolInfo.lpszText = (LPSTR)row->tip;
    SendMessageA(tip, TTM_ADDTOOLA, 0, (LPARAM)&AppState.ToolInfo);
    SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, Scale(ClientWidth));
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000); // ms; the default, 5 s, is too short for a sentence
    return tip;
}

// Creates one row's window with its font, image, limit and tooltip. 0 when a window failed.
static int CreateRow(const ControlRow *row)
{
    RECT place = Scaled(row);
    HWND control = CreateWindowExA(row->exStyle, row->className, row->text, row->style, place.left, place.top,
                                   place.right, place.bottom, AppState.MainWindow, (HMENU)(INT_PTR)row->id, NULL, NULL);
    *row->handle = control;
    if (control == NULL)
        return 0;
    if (row->font != NULL)
        SendMessageA(control, WM_SETFONT, (WPARAM)row->font, 1);
    if (row->limit != 0)
        SendMessageA(control, EM_LIMITTEXT, row->limit, 0);
    if (row->icon != NULL)
        SendMessageA(control, BM_SETIMAGE, IMAGE_ICON, (LPARAM)row->icon);
    if (row->tooltip != NULL && (*row->tooltip = MakeTooltip(row)) == NULL)
        return 0;
    return 1;
}

// Puts a row's window where the window's DPI places it, with the font, image and tooltip area of
// that DPI.
static int PlaceRow(const ControlRow *row)
{
    RECT place = Scaled(row);
    HWND control = *row->handle;
    SetWindowPos(control, NULL, place.left, place.top, place.right, place.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    if (row->font != NULL)
        SendMessageA(control, WM_SETFONT, (WPARAM)row->font, 1);
    if (row->icon != NULL)
        SendMessageA(control, BM_SETIMAGE, IMAGE_ICON, (LPARAM)row->icon);
    if (row->tooltip != NULL) {
        FillTool(row);
        SendMessageA(*row->tooltip, TTM_NEWTOOLRECTA, 0, (LPARAM)&AppState.ToolInfo);
        SendMessageA(*row->tooltip, TTM_SETMAXTIPWIDTH, 0, Scale(ClientWidth));
    }
    return 1;
}

// The fonts and icons of the window's DPI. The icons come in the sizes the DPI calls for: the
// buttons' and the window's large one 32 pixels at 96 DPI, the small one 16.
static void MakeFontsAndIcons(void)
{
    HINSTANCE module = GetModuleHandleA(NULL);
    AppState.NormalFont = MakeFont(FW_NORMAL);
    AppState.BoldFont = MakeFont(FW_BOLD);
    AppState.OpenIcon = (HICON)LoadImageA(module, MAKEINTRESOURCEA(IDI_OPEN), IMAGE_ICON, Scale(32), Scale(32), 0);
    AppState.PinOffIcon = (HICON)LoadImageA(module, MAKEINTRESOURCEA(IDI_PIN_OFF), IMAGE_ICON, Scale(32), Scale(32), 0);
    AppState.PinOnIcon = (HICON)LoadImageA(module, MAKEINTRESOURCEA(IDI_PIN_ON), IMAGE_ICON, Scale(32), Scale(32), 0);
    for (int which = ICON_SMALL; which <= ICON_BIG; which++) {
        int size = Scale(which == ICON_SMALL ? 16 : 32);
        HANDLE icon = LoadImageA(module, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, size, size, 0);
        DestroyIcon((HICON)SendMessageA(AppState.MainWindow, WM_SETICON, which, (LPARAM)icon)); // the last DPI's
    }
}

// Sizes the window for the client area of its DPI, around the frame it has (the frame follows the
// DPI too, on Windows that scale it).
static void SizeWindow(void)
{
    RECT frame, client;
    GetWindowRect(AppState.MainWindow, &frame);
    GetClientRect(AppState.MainWindow, &client);
    int width = Scale(ClientWidth) + (frame.right - frame.left) - client.right;
    int height = Scale(ClientHeight) + (frame.bottom - frame.top) - client.bottom;
    SetWindowPos(AppState.MainWindow, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Applies act to every row of the form, in creation order; 0 as soon as one fails.
static int EachRow(int (*act)(const ControlRow *row))
{
    // The status bar's panes along the bottom edge of the design.
    int paneY = ClientHeight - PaneHeight;
    int nameWidth = ClientWidth - (SizePaneWidth + PiecesPaneWidth + 2 * PaneGap);
    int sizeX = ClientWidth - (SizePaneWidth + PiecesPaneWidth + PaneGap);
    int piecesX = ClientWidth - PiecesPaneWidth;

    const DWORD child = WS_CHILD | WS_VISIBLE;
    const DWORD acting = child | WS_TABSTOP; // a stop of Tab and Shift+Tab
    const DWORD iconButton = acting | BS_ICON;
    const DWORD textButton = acting | BS_CENTER | BS_VCENTER;
    const DWORD edit = acting | ES_AUTOHSCROLL;
    const DWORD check = acting | BS_AUTOCHECKBOX;
    // The presets are one stop: the checked one carries it (the button moves it as it is checked)
    // and the arrow keys move within the group, which ends where the next group starts.
    const DWORD preset = child | BS_AUTORADIOBUTTON;
    const DWORD client3d = WS_EX_CLIENTEDGE;
    const DWORD edge = WS_EX_STATICEDGE;
    HFONT normal = AppState.NormalFont;
    HFONT bold = AppState.BoldFont;
    AppStateRecord &s = AppState; // keeps the rows short

    // In creation order, which is also the order of the children and so the order of Tab.
    const ControlRow rows[] = {
        {&s.FileNameLabel, 0, "STATIC", "File Name", child, 10, 10, 74, 20, 0, normal},
        {&s.FileNameEdit, client3d, "EDIT", "", edit, 10, 25, 223, 21, CmdFileName, normal, NULL, NULL, NULL, FileNameLimit},
        {&s.OpenButton, edge, "BUTTON", NULL, iconButton, 233, 25, 21, 21, CmdOpenFile, NULL,
         s.OpenIcon, &s.OpenTooltip, "open file"},
        {&s.PinButton, edge, "BUTTON", NULL, iconButton, 122, 2, 21, 21, CmdOnTop, NULL,
         s.PinOffIcon, &s.PinTooltip, "click to keep on top"},
        {&s.OutputPathLabel, 0, "STATIC", "Output Path", child, 10, 47, 90, 20, 0, normal},
        {&s.OutputPathEdit, client3d, "EDIT", "", edit, 10, 62, 223, 21, CmdOutputPath, normal, NULL, NULL, NULL, FolderLimit},
        {&s.BrowseButton, edge, "BUTTON", NULL, iconButton, 233, 62, 21, 21, CmdBrowse, NULL,
         s.OpenIcon, &s.BrowseTooltip, "select output directory"},
        // The field as wide as its group allows, the group 4 pixels wider than the presets need: every
        // digit of the largest size shows, at every scale.
        {&s.SplitSizeGroup, 0, "BUTTON", "Split Size", child | BS_GROUPBOX, 10, 93, 84, 105, 0, normal},
        {&s.SplitSizeEdit, client3d, "EDIT", "", edit | ES_NUMBER, 12, 110, 80, 21, CmdSplitSize, normal},
        {&s.Preset288Radio, 0, "BUTTON", "2.88 MB", preset | WS_GROUP | WS_TABSTOP, 15, 135, 70, 20, CmdSizePreset,
         normal},
        {&s.Preset144Radio, 0, "BUTTON", "1.44 MB", preset, 15, 155, 70, 20, CmdSizePreset, normal},
        {&s.Preset720Radio, 0, "BUTTON", "720 KB", preset, 15, 175, 70, 20, CmdSizePreset, normal},
        {&s.OptionsGroup, 0, "BUTTON", "Options", child | WS_GROUP | BS_GROUPBOX, 100, 93, 95, 105, 0, normal},
        {&s.BatchFileCheck, 0, "BUTTON", "Batch File", check, 105, 110, 85, 20, CmdOption, normal, NULL,
         &s.BatchTooltip, ""}, // why it is greyed out, while it is
        {&s.LogFileCheck, 0, "BUTTON", "Log File", check, 105, 130, 85, 20, CmdOption, normal},
        {&s.UseOutputCheck, 0, "BUTTON", "Use Output", check, 105, 150, 85, 20, CmdUseOutput, normal},
        {&s.SubDirectoryCheck, 0, "BUTTON", "Sub Directory", check, 105, 170, 85, 20, CmdOption, normal},
        {&s.SplitButton, edge, "BUTTON", "Split", textButton | BS_DEFPUSHBUTTON | WS_DISABLED, 205, 99, 50, 20,
         CmdSplit, bold}, // Enter's button, from any control but another push button
        {&s.HelpButton, edge, "BUTTON", "Help", textButton, 205, 124, 50, 20, CmdHelp, bold},
        {&s.AboutButton, edge, "BUTTON", "About", textButton, 205, 149, 50, 20, CmdAbout, bold},
        {&s.ExitButton, edge, "BUTTON", "Exit", textButton, 205, 174, 50, 20, CmdExit, bold},
        {&s.ProgressBar, 0, PROGRESS_CLASSA, NULL, WS_CHILD, 5, 203, 255, 10, 0},
        {&s.StatusNamePane, edge, "STATIC", NULL, child, 0, paneY, nameWidth, PaneHeight, 0, normal},
        {&s.StatusSizePane, edge, "STATIC", NULL, child, sizeX, paneY, SizePaneWidth, PaneHeight, 0, normal},
        {&s.StatusPiecesPane, edge, "STATIC", NULL, child, piecesX, paneY, PiecesPaneWidth, PaneHeight, 0, normal},
    };
    for (const ControlRow &row : rows)
        if (!act(&row))
            return 0;
    return 1;
}

// The size field shows every digit of the largest size, and the caret after them: its margins,
// the font's by default, give way where the digits need the room (at 100 %, ten digits of 7 pixels
// in a field of 76 inside its border).
static void FitSizeDigits(void)
{
    HWND field = AppState.SplitSizeEdit;
    SIZE digits = {0, 0};
    HDC dc = GetDC(field);
    HGDIOBJ old = SelectObject(dc, AppState.NormalFont);
    GetTextExtentPoint32A(dc, "2147483647", MaxSizeDigits, &digits);
    SelectObject(dc, old);
    ReleaseDC(field, dc);
    RECT text; // where the field draws its text, inside its margins
    SendMessageA(field, EM_GETRECT, 0, (LPARAM)&text);
    LRESULT margins = SendMessageA(field, EM_GETMARGINS, 0, 0);
    int room = (text.right - text.left + LOWORD(margins) + HIWORD(margins) - digits.cx - 1) / 2; // for each margin
    room = room > 0 ? room : 0;
    int left = LOWORD(margins) < room ? LOWORD(margins) : room;
    int right = HIWORD(margins) < room ? HIWORD(margins) : room;
    SendMessageA(field, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(left, right));
}

int CreateControls(void)
{
    MakeFontsAndIcons();
    SizeWindow(); // no activation before there is a control to focus
    if (!EachRow(CreateRow))
        return 0;
    FitSizeDigits();
    return 1;
}

void SetTip(HWND tooltip, HWND window, UINT_PTR id, const char *text)
{
    AppState.ToolInfo.hinst = GetModuleHandleA(NULL);
    AppState.ToolInfo.hwnd = window;
    AppState.ToolInfo.uId = id;
    AppState.ToolInfo.lpszText = (LPSTR)text;
    SendMessageA(tooltip, TTM_UPDATETIPTEXTA, 0, (LPARAM)&AppState.ToolInfo);
}

void LayOutForDpi(UINT dpi, const RECT *suggested)
{
    HGDIOBJ fonts[] = {AppState.NormalFont, AppState.BoldFont};
    HICON icons[] = {AppState.OpenIcon, AppState.PinOffIcon, AppState.PinOnIcon};
    AppState.Dpi = dpi;
    MakeFontsAndIcons();
    SetWindowPos(AppState.MainWindow, NULL, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    SizeWindow();
    EachRow(PlaceRow);
    FitSizeDigits(); // the new font brought the font's margins back
    SendMessageA(AppState.PinButton, BM_SETIMAGE, IMAGE_ICON,
                 (LPARAM)(AppState.OnTop == 1 ? AppState.PinOnIcon : AppState.PinOffIcon));
    InvalidateRect(AppState.MainWindow, NULL, TRUE);
    for (HGDIOBJ font : fonts) // no control holds them any more
        DeleteObject(font);
    for (HICON icon : icons)
        DestroyIcon(icon);
}

static int IsPushButton(HWND control)
{
    return (SendMessageA(control, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

// A dialog's rule for Enter: a focused push button is the default one, and from any other control
// Split is; the default button wears the heavier frame. IsDialogMessage moves the mark on Tab only,
// and takes it off every button when Tab reaches a field; a click moves the focus without it.
void MarkDefaultButton(void)
{
    static HWND lastFocus = NULL;
    HWND focus = GetFocus();
    if (focus == lastFocus)
        return;
    lastFocus = focus;
    HWND marked = IsChild(AppState.MainWindow, focus) && IsPushButton(focus) ? focus : AppState.SplitButton;
    for (HWND child = GetWindow(AppState.MainWindow, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT)) {
        LONG_PTR type = child == marked ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        if (IsPushButton(child) && (style & BS_TYPEMASK) != type)
            SendMessageA(child, BM_SETSTYLE, (WPARAM)((style & ~BS_TYPEMASK) | type), TRUE);
    }
}
