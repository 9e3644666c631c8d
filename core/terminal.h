// The 25 x 80 terminal screen kept in tt.obrazovka, written character by character.
#pragma once

#include <functional>

// Writes `pocet` characters: BEL beeps, BS steps back, CR returns (and with
// tt.novy_radek also feeds a line), LF feeds a line and scrolls at the bottom; other
// bytes are stored and advance the cursor (wrapping with tt.autowrap). Returns 1.
int WriteTTYBlock(const char* text, int pocet);

// The screen row as text (80 characters).
const char* radek_obrazovky(int radek);

// The port was opened (SetTTYFocus) or closed (KillTTYFocus): the window shows the caret
// only while the port is open. The sink gets 1 or 0; without one nothing happens.
void SetTTYFocus();
void KillTTYFocus();
using PortSink = std::function<void(int otevreno)>;
void nastav_port_sink(PortSink sink);
