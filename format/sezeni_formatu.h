// The format layer's part of a session: the files a conversion uses and the buffers and
// indices that carry it from one field to the next. A fresh session is the start state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/sezeni_jadra.h"
#include "format/fds.h"
#include "format/formaty.h"
#include "format/polozky.h"
#include "format/proudy.h"
#include "format/stav.h"

class SezeniFormatu : public SezeniJadra {
public:
    // ---- files in use (format/stav.h) ----
    HSOUBOR redf = nullptr;     // the file being read: work01.tmp, then work04.tmp for a table
    HSOUBOR writf = nullptr;    // the data file being written (under its temporary name)
    HSOUBOR dataf = nullptr;    // the text data file being loaded (read by the table converters)
    HSOUBOR work04f = nullptr;  // work04.tmp while the table digits are copied into it
    HSOUBOR fdsf = nullptr;     // the FDS file while it is parsed

    // ---- blocks, records and lines (format/stav.h) ----
    char cteny_blok = '0';      // sequence character expected in the next received block
    // Record text of one received block (at most BLOK_DAT characters are accepted), or the
    // block being built for sending; `iz` reads it, `b` writes it.
    char blok[BLOK_KAPACITA] = {};
    size_t iz = 0;
    size_t b = 0;
    uint32_t pocet_zaznamu_v_bloku = 0, zaznam_v_bloku = 0;
    int32_t posledni_blok = 0;
    // `ss`: a line read by precti_radek, or the hexadecimal text of one record being built.
    char ss[SS_KAPACITA] = {};
    size_t ssindex = 0;
    // `pp`: one line of a text data file (its CR kept, the LF dropped), read through ppindex.
    char pp[PP_MAX + 4] = {};
    size_t ppindex = 0, pp_delka = 0;
    char nexttyp = 0;           // 'C' while the field in hand is the last of the record
    int32_t prvniS = 0;         // fields written so far in a table text
    char typ_ukonceni = '+';    // terminator of the item in hand: '+' or ';'
    int32_t konecd = 0;         // precti_radek met the end of the file

    // ---- the FDS header (format/fds.h) ----
    FDSFILE fdsfile = {};
    int32_t filetyp = 1;        // 1 register file, 0 table
    int32_t delka_zaznamu = 0;  // bytes of one record: the sum of the group lengths

    // ---- the format definition in use (format/formaty.h) ----
    char formatstring[FORMATSTRING_DELKA] = {};
    uint32_t verze_formatu = 0; // counts the searches; a new list means a new number
    size_t kde = 0;             // read position in the table
    char filenumber[3] = {};
    // The table being searched now, and the one searched first (nastav_formatarea).
    const char* oblast = formatarea;
    size_t delka_oblasti = FORMATAREA_DELKA;
    const char* prvni_oblast = formatarea;
    size_t delka_prvni = FORMATAREA_DELKA;

    // ---- the item list of formatstring, parsed once (format/polozky.h) ----
    SeznamPolozek seznam;
    uint32_t seznam_verze = UINT32_MAX;  // verze_formatu the list was parsed from
    int32_t seznam_podkod = -1;          // and the error subcode it was parsed for

    // ---- reading and writing (format/proudy.h) ----
    Cteni cteni;                          // read-ahead of the file read through cti()
    char vystup[VYSTUP_KAPACITA] = {};    // output to writf not yet written
    size_t vystup_n = 0;
    bool fds_ceka = false;                // a received FDS text waits for its data file
    std::string fds_text;
};

// The inline routines of format/stav.h and format/proudy.h, which need the session whole.

inline void posun_cteny_blok(SezeniFormatu& s) {
    s.cteny_blok = s.cteny_blok == '9' ? '0' : static_cast<char>(s.cteny_blok + 1);
}

inline int cti(SezeniFormatu& s, HSOUBOR f) {
    Cteni& c = s.cteni;
    if (c.f == f && c.pozice < c.delka) return static_cast<unsigned char>(c.data[c.pozice++]);
    return cti_dalsi_kus(s, f);
}
