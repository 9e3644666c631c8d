#include "core/log.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/chyby.h"
#include "core/sezeni_jadra.h"
#include "core/soubory.h"
#include "core/zpravy.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;

constexpr long kMezLogu = 40000;

// A result that cannot be written must not look like success: it is reported, and the
// run does not end with 0.
void oznam_nezapsano(SezeniJadra& s, const char* co) {
    s.vysledek_nezapsan = 1;
    std::string text = std::string("Nepodarilo se zapsat ") + co + ".";
    if (s.sluzby.chybovy_radek)
        s.sluzby.chybovy_radek(text);
    else
        plat_radek_na_stderr(text);
}

// Writes the result into "err" and "error.txt" or into neither: both whole under
// temporary names, then renamed, "err" last, since a caller waits for it to appear.
void zapis_vysledek(SezeniJadra& s, const char* e, const char* t) {
    const std::string err_jmeno = pridej_path(s, "err"), txt_jmeno = pridej_path(s, "error.txt");
    bool ok = zapis_docasny(txt_jmeno, t);
    ok = ok && zapis_docasny(err_jmeno, e);
    ok = ok && dokonci_docasny(txt_jmeno);
    ok = ok && dokonci_docasny(err_jmeno);
    if (!ok) {
        smaz_soubor(docasne_jmeno(txt_jmeno));
        smaz_soubor(docasne_jmeno(err_jmeno));
        oznam_nezapsano(s, "soubory err a error.txt");
    }
}

}  // namespace

std::string log_radek(const SezeniJadra& s) {
    MistniCas t = plat_mistni_cas();
    char hlava[64];
    std::snprintf(hlava, sizeof hlava, "%02u-%02u-%04u,%02u:%02u,%02u,", t.den, t.mesic, t.rok,
                  t.hodina, t.minuta, static_cast<unsigned>(s.ERROR1));
    char pata[32];
    if (s.SIT)
        std::snprintf(pata, sizeof pata, "%04u\r\n", static_cast<unsigned>(s.ERROR2));
    else
        std::snprintf(pata, sizeof pata, "%c,%04u\r\n", s.tt.znak_portu,
                      static_cast<unsigned>(s.ERROR2));
    return hlava + (s.SIT ? s.tt.druha_ip_adresa : s.tt.terminal) + "," + s.tt.prikazovy_paket + ";" +
           pata;
}

void zapis_log(SezeniJadra& s) {
    TTYINFO& tt = s.tt;
    std::string cesta = skutecne_jmeno(pridej_path(s, tt.logovy_soubor));
    std::FILE* logf = plat_otevri_soubor(cesta, "ab");
    if (!logf && s.debug && plat_posledni_chyba() != 2 /* ENOENT / file not found */) {
        VypisBox(s, "Nepodarilo se otevrit logovy soubor.", 48);
        oznam_nezapsano(s, "logovy soubor");
        return;
    }
    std::string radek = log_radek(s);
    long delka = logf && std::fseek(logf, 0, SEEK_END) == 0 ? std::ftell(logf) : -1;
    bool zapsano = delka >= 0 && std::fwrite(radek.data(), 1, radek.size(), logf) == radek.size();
    if (logf && std::fclose(logf) != 0) zapsano = false;
    if (!zapsano) {
        // A line written in part (a full disk) is cut off again: the next line must not
        // be glued to a fragment.
        std::error_code ec;
        if (delka >= 0) fs::resize_file(cesta, static_cast<std::uintmax_t>(delka), ec);
        if (s.debug || s.WINDOW) VypisBox(s, "\nNepodarilo se zapsat do logoveho souboru.", 48);
        oznam_nezapsano(s, "logovy soubor");
        return;
    }

    if (s.TestStatus && s.NeedStatus && s.ERROR1 == 0 && tt.prikazovy_paket.size() > 1 &&
        tt.prikazovy_paket[1] == '1' && s.sluzby.kontrola_stavu) {
        tt.datovy_soubor = "sts.dat";
        tt.fds_soubor = "sts.fds";
        tt.prikazovy_paket = "/99-00/";
        if (s.sluzby.kontrola_stavu() != 0) s.ERROR1 = 98;
    }

    if (s.noterminate && s.ERROR1 == 0) return;

    switch (s.ERROR1) {
        case 0: zapis_vysledek(s, "0", "151\r\n"); break;
        case 38: zapis_vysledek(s, "2", "9\r\n"); break;
        case 98: zapis_vysledek(s, "3", "8\r\n"); break;
        default: zapis_vysledek(s, "1", "9\r\n"); break;
    }
}

// The shortened log is built whole as work03.tmp before anything is renamed: a copy that
// cannot be written (a full disk) is removed and the log stays as it was (error 60/1).
void zkrat_log(SezeniJadra& s) {
    std::string logjmeno = skutecne_jmeno(pridej_path(s, s.tt.logovy_soubor));
    std::FILE* logf = plat_otevri_soubor(logjmeno, "ab+");
    if (!logf) {
        if ((s.debug || s.WINDOW) && plat_posledni_chyba() != 2)
            VypisBox(s, "Nepodarilo se otevrit logovy soubor", 48);
        return;
    }
    std::fseek(logf, 0, SEEK_END);
    long velikost = std::ftell(logf);
    if (velikost < kMezLogu) {
        std::fclose(logf);
        return;
    }
    std::rewind(logf);
    // Reads one line with its LF; false at the end of the file.
    auto cti_radek = [&](std::string& radek) {
        radek.clear();
        int c;
        while ((c = std::getc(logf)) != EOF) {
            radek += static_cast<char>(c);
            if (radek.size() > 200) {  // 200 characters at most, the LF included
                std::fclose(logf);
                err(57, 2);
            }
            if (c == '\n') break;
        }
        return !radek.empty();
    };
    std::string radek, kopie;
    for (int i = 0; i < 500 && cti_radek(radek); ++i) {
    }
    int zkopirovano = 0;
    while (cti_radek(radek)) {
        if (++zkopirovano > 2000) {
            std::fclose(logf);
            err(31, 3);
        }
        kopie += radek;
    }
    std::fclose(logf);
    const std::string prac = pridej_path(s, WORK03), zaloha = pridej_path(s, "log.bak");
    if (!zapis_obsah(prac, kopie)) err(60, 1);
    smaz_soubor(zaloha);
    if (!presun_soubor(logjmeno, zaloha)) err(61, 1);
    if (!presun_soubor(prac, pridej_path(s, s.tt.logovy_soubor))) {
        presun_soubor(zaloha, logjmeno);  // the log as it was rather than none
        err(61, 2);
    }
}
