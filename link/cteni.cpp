#include "link/cteni.h"

#include "core/chyby.h"
#include "core/globals.h"
#include "core/hodiny.h"
#include "core/log.h"
#include "core/soubory.h"
#include "format/prevod.h"
#include "link/protokol.h"
#include "link/serial.h"
#include "link/tray.h"

void cti_data_do_souboru() {
    if (nokomun) return;
    if (!tt.pripojeno && !OpenConnection()) err(92, 1);
    cekej_ms(150);
    if (ShowProgress) NotifyAdd();
    prijmi_data();
    if (ShowProgress) NotifyDelete();
    HSOUBOR f = workf;
    workf = nullptr;
    if (!zavri_soubor(f)) err(30, 4);
    if (!noterminate) CloseConnection();
}

void uklid_work01() {
    if (!debug) smaz_soubor(pridej_path(WORK01));
}

void precti_data() {
    cti_data_do_souboru();
    preved_prijata_data();
    uklid_work01();
}
