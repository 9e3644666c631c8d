#include "link/odesilani.h"

#include "core/chyby.h"
#include "core/globals.h"
#include "core/log.h"
#include "core/soubory.h"
#include "format/fds.h"
#include "link/bloky.h"
#include "link/protokol.h"
#include "link/serial.h"
#include "link/tray.h"

namespace {

// Opens the port unless it is open, raises DTR and sends work02.tmp block by block.
void odesli_pracovni_soubor(int32_t podkod_portu, bool s_ikonou) {
    if (!tt.pripojeno && !OpenConnection()) err(92, podkod_portu);
    zvedni_dtr();
    if (s_ikonou && ShowProgress) NotifyAdd();
    odesli_data();
    if (s_ikonou && ShowProgress) NotifyDelete();
    zavri_soubor(workf);
    workf = nullptr;
}

}  // namespace

void posli_data() {
    napln_fdsfile();
    if (filetyp == 1) priprav_data_file();
    else priprav_data_table();
    if (nokomun) return;
    odesli_pracovni_soubor(2, true);
    if (!debug) smaz_soubor(pridej_path(WORK02));
    if (!noterminate) CloseConnection();
}

void posli_data2() {
    if (nokomun) return;
    odesli_pracovni_soubor(4, false);
    if (!noterminate) CloseConnection();
}
