#include "link/cteni.h"

#include "core/chyby.h"
#include "core/hodiny.h"
#include "core/log.h"
#include "core/soubory.h"
#include "format/prevod.h"
#include "link/protokol.h"
#include "link/serial.h"
#include "link/tray.h"

void cti_data_do_souboru(Sezeni& s) {
    if (s.nokomun) return;
    if (!s.tt.pripojeno && !OpenConnection(s)) err(92, 1);
    cekej_ms(s, 150);
    if (s.ShowProgress) NotifyAdd(s);
    prijmi_data(s);
    if (s.ShowProgress) NotifyDelete(s);
    HSOUBOR f = s.workf;
    s.workf = nullptr;
    if (!zavri_soubor(s, f)) err(30, 4);
    if (!s.noterminate) CloseConnection(s);
}

void uklid_work01(Sezeni& s) {
    if (!s.debug) smaz_soubor(pridej_path(s, WORK01));
}

void precti_data(Sezeni& s) {
    cti_data_do_souboru(s);
    preved_prijata_data(s);
    uklid_work01(s);
}
