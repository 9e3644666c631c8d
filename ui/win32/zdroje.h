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
#define IDD_LINKA 101           // serial settings
#define IDC_PORT 544            // combo boxes 544..548: port, speed, data bits, parity, stop bits
#define IDC_PRVNI_ZASKRTNUTI 549 // check boxes 549..554, 556, 557 in the order of Zaskrtnuti
#define IDC_PISMO_TERMINALU 555
#define IDC_POPISEK_VOLBY 560   // labels 560..564 of the combo boxes
#define IDD_PORT_RYCHLOST 104
#define IDC_PORT_104 40020
#define IDC_RYCHLOST_104 40021
#define IDD_NAHLED_LOGA 112
#define IDC_OBRAZ_LOGA 40100
