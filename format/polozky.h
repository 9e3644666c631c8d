// The expanded item list read item by item: letter, width and terminator of every item,
// shared by the converters of both directions.
#pragma once

#include <cstddef>
#include <cstdint>

class SezeniFormatu;

struct Polozka {
    char pismeno;       // L N P S T B
    uint8_t sirka;      // width in bytes (1 for B)
    char ukonceni;      // '+' or ';'
    bool posledni;      // the last field: only 'C', or one P item and 'C', follows
    uint16_t pozice;    // index of the letter in formatstring (for B, '(' follows it)
};

// Reads the item at formatstring[pozice] into `p`; returns the index after its terminator,
// or 0 when the letter there is 'C'. A letter other than B, L, N, P, S, T is
// err(54, podkod_pismeno); a width that is not one or two digits (1..99) followed by '+' or
// ';', or a B item without a terminator, is err(55, podkod_sirka).
size_t rozeber_polozku(SezeniFormatu& s, size_t pozice, Polozka& p, int32_t podkod_pismeno,
                       int32_t podkod_sirka);

// The whole list parsed once; the session keeps it (`seznam`) until the next search
// changes formatstring.
constexpr size_t MAX_POLOZEK = 512;
struct SeznamPolozek {
    Polozka p[MAX_POLOZEK];
    size_t pocet = 0;
    uint32_t bajtu = 0;     // record bytes one pass over the list covers
};
const SeznamPolozek& seznam_polozek(SezeniFormatu& s, int32_t podkod_pismeno,
                                   int32_t podkod_sirka);
