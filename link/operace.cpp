// The link layer's part of a transfer: the operation of a command-file line chosen by
// its command digit, and what the worker's traffic on the line needs around the
// operations (the status check after a send, the raw traffic file).
#include "core/chyby.h"
#include "core/globals.h"
#include "core/log.h"
#include "core/prenos.h"
#include "core/soubory.h"
#include "format/stav.h"
#include "link/bloky.h"
#include "link/cteni.h"
#include "link/odesilani.h"
#include "link/protokol.h"
#include "link/serial.h"
#include "link/zvlastni.h"

namespace {

// err() closes the raw traffic file with the rest; the handle must not outlive it.
void zavri_rsdata() {
    HSOUBOR f = rsd;
    rsd = nullptr;
    zavri_soubor(f);
}

// err() closes every open file; the handles of the layers must not outlive them.
void zapomen_soubory() {
    work02f = nullptr;
    zapomen_soubory_formatu();
}

}  // namespace

void zacni_provoz() {
    nastav_kontrolu_stavu(stav_po_odeslani);
    pri_chybe(zapomen_soubory);
    if (rawdebug) {
        pri_chybe(zavri_rsdata);
        rsd = otevri_soubor("rsdata", 'w');
    }
}

void ukonci_provoz() { zavri_rsdata(); }

void proved_operaci() {
    char cislice = tt.prikazovy_paket.size() > 1 ? tt.prikazovy_paket[1] : 0;
    switch (cislice) {
        case '1': posli_data(); break;
        case '2': precti_data(); break;
        case '3': posli_rje(); break;
        case '4': ramdown(); break;
        case '5': ramup(); break;
        case '9': delej_special(); break;
        default: err(51, 13);
    }
}
