// Every numeric resource and command identifier of the program.
#pragma once

// Icons: the program, the open-folder buttons, the pin while not on top and while on top.
#define IDI_APP 101
#define IDI_OPEN 102
#define IDI_PIN_OFF 103
#define IDI_PIN_ON 104

// The About box and its three texts.
#define IDD_ABOUT 701
#define IDC_ABOUT_NAME 702
#define IDC_ABOUT_UNINSTALL 703
#define IDC_ABOUT_CREDIT 704

// Commands carried by controls, accelerators and the tray menu.
#define CmdFileName 501
#define CmdSplitSize 502
#define CmdSizePreset 503
#define CmdUseOutput 504
#define CmdOpenFile 506
#define CmdSplit 507
#define CmdHelp 508
#define CmdAbout 509
#define CmdExit 510
#define CmdOnTop 511
#define CmdOutputPath 512
#define CmdBrowse 513
#define CmdUninstall 514
#define CmdAutoSplit 516
#define CmdOption 517
