// Numbers of the program's resources (ui/win32/kaslnk.rc) and of their controls.
#pragma once

#define IDM_OKNO 300            // menu of the main window
#define IDA_OKNO 200            // its accelerators
#define IDI_PROGRAM 400         // the program's icon
#define IDI_CERVENA 401         // tray: red
#define IDI_ZELENA 402          // tray: green
#define IDD_O_PROGRAMU 100
#define IDD_NAPOVEDA 106
#define IDC_NAZEV 530           // "Komunikace s pokladnou %s"
#define IDC_SYSTEM 529          // "pro Microsoft Windows."
#define IDC_VERZE 536           // "Verze %s %s"
#define IDC_TEXT_NAPOVEDY 40067
#define IDC_TISK_TITULEK 40052  // the title in the print progress dialog
#define IDC_EDITOR 1            // the editor child of the main window
