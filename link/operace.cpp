// The link layer's part of a transfer: the operation of a command-file line chosen by
// its command digit, and what the worker's traffic on the line needs around the
// operations (the status check after a send, the raw traffic file), and the clean-up
// after an error.
#include "core/chyby.h"
#include "core/log.h"
#include "core/soubory.h"
#include "format/stav.h"
#include "link/bloky.h"
#include "link/cteni.h"
#include "link/odesilani.h"
#include "link/protokol.h"
#include "link/serial.h"
#include "link/sezeni.h"
#include "link/tray.h"
#include "link/zvlastni.h"

namespace {

// The handle of the raw traffic file must not outlive the file.
void zavri_rsdata(Sezeni& s) {
    HSOUBOR f = s.rsd;
    s.rsd = nullptr;
    zavri_soubor(s, f);
}

}  // namespace

void Sezeni::zacni_provoz() {
    // The status check after a send reads the register's status (a caller's own stays).
    if (!sluzby.kontrola_stavu) sluzby.kontrola_stavu = [this] { return stav_po_odeslani(*this); };
    if (rawdebug) rsd = otevri_soubor(*this, "rsdata", 'w');
}

void Sezeni::ukonci_provoz() { zavri_rsdata(*this); }

void Sezeni::proved_operaci() {
    char cislice = tt.prikazovy_paket.size() > 1 ? tt.prikazovy_paket[1] : 0;
    switch (cislice) {
        case '1': posli_data(*this); break;
        case '2': precti_data(*this); break;
        case '3': posli_rje(*this); break;
        case '4': ramdown(*this); break;
        case '5': ramup(*this); break;
        case '9': delej_special(*this); break;
        default: err(51, 13);
    }
}

// What an error cleans up before the log is written, in this order: the handles of the
// layers' files (the core closes every open file after this: they must not outlive it),
// the raw traffic file, the port of a transfer that fails (a network transfer has none),
// the tray icon once one was shown.
void Sezeni::uklid_vrstev() {
    work02f = nullptr;
    zapomen_soubory_formatu(*this);
    zavri_rsdata(*this);
    if (!SIT) CloseConnection(*this);
    g_zaviram = false;
    if (ikona_pri_chybe && ShowProgress) NotifyDelete(*this);
}
