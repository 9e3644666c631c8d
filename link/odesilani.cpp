#include "link/odesilani.h"

#include "core/chyby.h"
#include "core/log.h"
#include "core/soubory.h"
#include "format/fds.h"
#include "link/bloky.h"
#include "link/protokol.h"
#include "link/serial.h"
#include "link/tray.h"

namespace {

// Opens the port unless it is open, raises DTR and sends work02.tmp block by block.
void odesli_pracovni_soubor(Sezeni& s, int32_t podkod_portu, bool s_ikonou) {
    if (!s.tt.pripojeno && !OpenConnection(s)) err(92, podkod_portu);
    zvedni_dtr(s);
    if (s_ikonou && s.ShowProgress) NotifyAdd(s);
    odesli_data(s);
    if (s_ikonou && s.ShowProgress) NotifyDelete(s);
    zavri_soubor(s, s.workf);
    s.workf = nullptr;
}

}  // namespace

void posli_data(Sezeni& s) {
    napln_fdsfile(s);
    if (s.filetyp == 1) priprav_data_file(s);
    else priprav_data_table(s);
    if (s.nokomun) return;
    odesli_pracovni_soubor(s, 2, true);
    if (!s.debug) smaz_soubor(pridej_path(s, WORK02));
    if (!s.noterminate) CloseConnection(s);
}

void posli_data2(Sezeni& s) {
    if (s.nokomun) return;
    odesli_pracovni_soubor(s, 4, false);
    if (!s.noterminate) CloseConnection(s);
}
