// Searching the serial ports for a register: ports 1 to 9, the speeds 19200, 9600, 4800
// and 2400 bit/s, terminal 1 or terminals 1 to N. A register is recognised by its ACK to
// the enquiry (a NAK is not taken). The search leaves the last port, speed and terminal
// tried in tt: the found ones after a success. Every port it opens is closed again; a
// modem is not dialled.
#pragma once

#include <string>

#include "link/sezeni.h"

// Terminal 1, on every port and speed: 1 found, 0 not.
int najdi_kasu(Sezeni& s);
// Terminals 1..pocet (1..99) on every port, each terminal at all speeds before the next
// one: 1 found, 0 not. Asks nothing; the window asks for consent before (potvrd_hledani).
int najdi_kasu_multiterm(Sezeni& s, int pocet);
// The window's question before the multi-terminal search (Yes and No, No the default):
// true on Yes.
extern const char TEXT_POTVRZENI_HLEDANI[];
bool potvrd_hledani(Sezeni& s);

// After a success: era.log, sts.dat, sts.fds and the command /99-00/ in tt, then the
// status read into sts.dat over the port, speed and terminal found (its errors end the
// session through err like any transfer error).
void precti_stav_nalezene(Sezeni& s);
// "Nalezl jsem pokladnu na portu P, komunikuje rychlosti S, a ma cislo terminalu T." as
// one line, or in the form of the terminal screen (three lines and a beep).
std::string text_nalezu(const Sezeni& s, bool na_obrazovku);
// The question whether port and speed go into the command files: true on Yes.
bool zeptej_se_na_zapis(Sezeni& s);
// The window's completion: status, the text on the terminal screen, the question, on
// Yes both digits into the command files and the ".cmx" files with the report.
void dokonci_hledani(Sezeni& s);
