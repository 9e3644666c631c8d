// Time and sound of a transfer: waits and beeps go through here, so that tests can run
// the link code in virtual time and count the beeps.
#pragma once

#include <cstdint>

class Hodiny {
public:
    virtual ~Hodiny() = default;
    virtual void cekej(uint32_t ms) = 0;
};

// null = the real clock.
void nastav_hodiny(Hodiny* hodiny);
// Waits `ms` milliseconds on the clock in force.
void cekej_ms(uint32_t ms);

// A beep of the given sound type (see plat_pipni). null sink = the platform beep.
using PipSink = void (*)(int32_t typ);
void nastav_pip_sink(PipSink sink);
void pipni(int32_t typ);
