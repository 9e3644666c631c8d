// Time and sound of a transfer: waits and beeps go through the session's services
// (s.sluzby.cekani, s.sluzby.pip), so that tests can run the link code in virtual time and
// count the beeps.
#pragma once

#include <cstdint>

#include "core/udalost.h"

class SezeniJadra;

// Waits `ms` milliseconds on the session's clock (the real one when s.sluzby.cekani is empty).
void cekej_ms(SezeniJadra& s, uint32_t ms);
// Waits `ms` milliseconds or until the event is set, whichever comes first (a clock put in
// place by a test waits the whole time); true when the event is set.
bool cekej_ms_nebo(SezeniJadra& s, uint32_t ms, Udalost& udalost);

// A beep of the given sound type (see plat_pipni); s.sluzby.pip when set.
void pipni(SezeniJadra& s, int32_t typ);
