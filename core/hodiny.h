// Time and sound of a transfer: waits and beeps go through here, so that tests can run
// the link code in virtual time and count the beeps.
#pragma once

#include <cstdint>
#include <functional>

#include "core/udalost.h"

// What a wait does; empty = the real clock.
using Cekani = std::function<void(uint32_t ms)>;
void nastav_cekani(Cekani cekani);
// Waits `ms` milliseconds on the clock in force.
void cekej_ms(uint32_t ms);
// Waits `ms` milliseconds or until the event is set, whichever comes first (a clock put in
// place by a test waits the whole time); true when the event is set.
bool cekej_ms_nebo(uint32_t ms, Udalost& udalost);

// A beep of the given sound type (see plat_pipni). Empty = the platform beep.
using PipSink = std::function<void(int32_t typ)>;
void nastav_pip_sink(PipSink sink);
void pipni(int32_t typ);
