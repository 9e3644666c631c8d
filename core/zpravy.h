// Message boxes and terminal-screen lines, gated by the diagnostic flags.
// Texts are Windows-1250; "\r" breaks a line in a message box. Where they go is the
// session's: s.sluzby.box (the platform's box when empty), s.sluzby.text (every text
// written to the terminal screen), s.sluzby.prekresli (after the screen changed).
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"  // TITULEK, the title of message boxes

class SezeniJadra;

// Message-box styles and the answer Yes, with the values of the Windows message box.
constexpr uint32_t BOX_ANO_NE = 4, BOX_VYKRICNIK = 48, BOX_VYCHOZI_NE = 0x100;
constexpr int BOX_ANO = 6;

int VypisBox(SezeniJadra& s, const std::string& text, uint32_t styl);
// A refusal at the start: a message box only where boxes are asked for (a window, /h,
// debug), so that an unattended caller never waits behind one; otherwise a line on
// standard error (s.sluzby.chybovy_radek when set).
void oznam_spusteni(SezeniJadra& s, const std::string& text);
// The answer to a question nobody can be asked (no window, a library's caller): the one
// that does nothing, never one that acts on the register or the files.
int32_t bezpecna_odpoved(uint32_t styl);
int VypisBoxH(SezeniJadra& s, const char* format, int32_t cislo, uint32_t styl);
int VypisBoxDebug(SezeniJadra& s, const std::string& text);
int VypisBoxRawDebug(SezeniJadra& s, const std::string& text);
void VypisBlok(SezeniJadra& s, const std::string& text, int novy_radek);
void VypisBlokDebug(SezeniJadra& s, const std::string& text, int novy_radek);
void VypisBlokRawDebug(SezeniJadra& s, const std::string& text, int novy_radek);
