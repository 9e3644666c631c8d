// The 25 x 80 terminal screen kept in tt.obrazovka, written character by character.
#pragma once

class SezeniJadra;

// Writes `pocet` characters: BEL beeps, BS steps back, CR returns (and with
// tt.novy_radek also feeds a line), LF feeds a line and scrolls at the bottom; other
// bytes are stored and advance the cursor (wrapping with tt.autowrap). Returns 1.
int WriteTTYBlock(SezeniJadra& s, const char* text, int pocet);

// The screen row as text (80 characters).
const char* radek_obrazovky(const SezeniJadra& s, int radek);

// The port was opened (SetTTYFocus) or closed (KillTTYFocus): the window shows the caret
// only while the port is open. s.sluzby.stav_portu gets 1 or 0; without it nothing happens.
void SetTTYFocus(SezeniJadra& s);
void KillTTYFocus(SezeniJadra& s);
