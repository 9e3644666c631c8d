// The channel between the window and a program it started for a transfer or a tool.
// The started program ("the child") runs unattended as usual, but writes what a window
// would show to its standard output as frames: terminal text, the port state (for the
// caret), tray events and message boxes. For a message box it then waits for the answer,
// four bytes on its standard input. The child ends with its exit code, log line and
// result files exactly as an unattended run does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class SezeniJadra;

// Set in the child's environment by the window: the child talks over stdin/stdout.
constexpr char PROMENNA_KANALU[] = "KASLNK_KANAL_OKNA";

// Kinds of frames.
constexpr char KANAL_TEXT = 'T';   // text: bytes written to the terminal screen
constexpr char KANAL_PORT = 'P';   // a: 1 the port was opened, 0 closed
constexpr char KANAL_TRAY = 'I';   // a: operation (TrayOperace), b: icon
constexpr char KANAL_BOX = 'B';    // a: style, text: the message; the child waits
constexpr char KANAL_LINKA = 'L';  // at the child's end: a: port, b: speed, text: terminal

struct ZpravaKanalu {
    char druh = 0;
    int32_t a = 0, b = 0;
    std::string text;
};

// One frame: kind, a, b and the text length as 32-bit little-endian numbers, the text.
std::string zabal_zpravu(const ZpravaKanalu& z);
// An answer to a message box as it travels back.
std::string zabal_odpoved(int32_t odpoved);

// Cuts frames out of the bytes that arrive; a corrupt stream (unknown kind, a text
// longer than MAX_TEXT_KANALU) stops the reader for good.
class CtenarKanalu {
public:
    static constexpr size_t MAX_TEXT_KANALU = 1 << 20;
    void pridej(const char* data, size_t pocet) { buf_.append(data, pocet); }
    // True with the next complete frame in z.
    bool dalsi(ZpravaKanalu& z);
    bool poskozeny() const { return poskozeny_; }

private:
    std::string buf_;
    size_t pozice_ = 0;
    bool poskozeny_ = false;
};

// In a child started by the window (PROMENNA_KANALU set): routes message boxes, terminal
// text, tray events and the port state into the channel, and at its end the port, speed
// and terminal it ended with (the window keeps them as its own). Returns whether it did.
bool zapni_kanal_okna(SezeniJadra& s);  // in link/kanal_potomka.cpp
bool kanal_okna(SezeniJadra& s);

// The local socket of the window that serves the program directory: one per user and
// directory, in the user's runtime folder.
std::string jmeno_soketu_okna(const SezeniJadra& s);

// Exit code of "--command N" when no window serves the program directory, N is no
// command number or the window refused the command (its reason on standard error).
constexpr int KOD_OKNO_NEBEZI = 6;
// Exit code of "--command N" when the window has not taken the command within
// CEKANI_NA_OKNO_MS (stopped or frozen).
constexpr int KOD_OKNO_NEODPOVIDA = 7;
constexpr int CEKANI_NA_OKNO_MS = 5000;
// The longest line a window takes on its socket: a command number and its line end are
// far shorter, so a client that sends more (or no line within CEKANI_NA_OKNO_MS) is dropped.
constexpr size_t MAX_PRIKAZ_OKNU = 64;
// Sends the command to the window of the program directory; the exit code.
int posli_prikaz_oknu(SezeniJadra& s, const std::string& cislo, int cas_ms = CEKANI_NA_OKNO_MS);
