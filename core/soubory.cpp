#include "core/soubory.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>

#include "core/chyby.h"
#include "core/sezeni_jadra.h"
#include "platform/kodovani.h"
#include "platform/platform.h"

struct Soubor {
    std::FILE* f = nullptr;
    char posledni = 0;  // 'r' or 'w': the last operation, for switching on a 'b' file
};

namespace fs = std::filesystem;

namespace {

// C streams need a seek between reading and writing on the same file.
void prepni(HSOUBOR f, char operace) {
    if (f->posledni != operace && f->posledni != 0) std::fseek(f->f, 0, SEEK_CUR);
    f->posledni = operace;
}

}  // namespace

std::string pridej_path(const SezeniJadra& s, const std::string& jmeno) {
    if (!s.fullpath) return jmeno;
    return s.tt.adresar_programu + jmeno;
}

std::string skutecne_jmeno(const std::string& cesta) { return plat_najdi_soubor(cesta); }

bool soubor_existuje(const std::string& cesta) {
    std::error_code ec;
    return fs::exists(skutecne_jmeno(cesta), ec);
}

bool smaz_soubor(const std::string& cesta) {
    std::error_code ec;
    std::string jmeno = skutecne_jmeno(cesta);
    if (!fs::exists(jmeno, ec)) return true;
    return fs::remove(jmeno, ec);
}

bool presun_soubor(const std::string& z, const std::string& na) {
    std::error_code ec;
    std::string cil = skutecne_jmeno(na);
    // A file of the target name in another letter case is replaced, not kept beside.
    if (cil != na && fs::exists(cil, ec)) fs::remove(cil, ec);
    fs::rename(skutecne_jmeno(z), na, ec);
    return !ec;
}

bool kopiruj_soubor(const std::string& z, const std::string& na) {
    std::FILE* zdroj = plat_otevri_soubor(skutecne_jmeno(z), "rb");
    if (!zdroj) return false;
    std::string obsah;
    char kus[65536];
    size_t n;
    while ((n = std::fread(kus, 1, sizeof kus, zdroj)) > 0) obsah.append(kus, n);
    bool ok = !std::ferror(zdroj);
    std::fclose(zdroj);
    return ok && zapis_soubor_cely(na, obsah);
}

std::string docasne_jmeno(const std::string& jmeno) { return jmeno + PRIPONA_DOCASNA; }

bool zapis_obsah(const std::string& cesta, const std::string& obsah) {
    std::FILE* f = plat_otevri_soubor(cesta, "wb");
    if (!f) return false;
    bool ok = std::fwrite(obsah.data(), 1, obsah.size(), f) == obsah.size();
    if (std::fclose(f) != 0) ok = false;
    if (!ok) smaz_soubor(cesta);
    return ok;
}

bool zapis_docasny(const std::string& cesta, const std::string& obsah) {
    return zapis_obsah(docasne_jmeno(cesta), obsah);
}

bool dokonci_docasny(const std::string& cesta) {
    if (presun_soubor(docasne_jmeno(cesta), cesta)) return true;
    smaz_soubor(docasne_jmeno(cesta));
    return false;
}

bool zapis_soubor_cely(const std::string& cesta, const std::string& obsah) {
    return zapis_docasny(cesta, obsah) && dokonci_docasny(cesta);
}

void uklid_paru(const std::string& dat, const std::string& fds) {
    const std::string dat_part = docasne_jmeno(dat), fds_part = docasne_jmeno(fds);
    if (soubor_existuje(fds_part) && !soubor_existuje(dat_part)) presun_soubor(fds_part, fds);
    else smaz_soubor(fds_part);
    smaz_soubor(dat_part);
}

void smaz_stare_docasne(const std::string& adresar) {
    std::error_code ec;
    std::vector<std::string> docasne;
    fs::directory_iterator it(adresar.empty() ? fs::path(".") : fs::path(adresar), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string jmeno = it->path().filename().string();
        if (je_docasne_jmeno(jmeno)) docasne.push_back(jmeno);
    }
    // The FDS files first: whether one is put in place depends on its data file's
    // temporary file, which goes with the rest.
    const std::string fds_part = std::string(".fds") + PRIPONA_DOCASNA;
    auto je_fds = [&](const std::string& jmeno) {
        return jmeno.size() > fds_part.size() && mala_pismena(jmeno.substr(jmeno.size() - fds_part.size())) == fds_part;
    };
    std::stable_partition(docasne.begin(), docasne.end(), je_fds);
    for (const std::string& jmeno : docasne) {
        const std::string zaklad = adresar + jmeno.substr(0, jmeno.size() - fds_part.size());
        if (je_fds(jmeno)) uklid_paru(zaklad + ".dat", zaklad + ".fds");
        else smaz_soubor(adresar + jmeno);
    }
}

bool je_docasne_jmeno(const std::string& jmeno) {
    const std::string p = PRIPONA_DOCASNA;
    if (jmeno.size() <= p.size() || jmeno.compare(jmeno.size() - p.size(), p.size(), p) != 0)
        return false;
    std::string zaklad = jmeno.substr(0, jmeno.size() - p.size());
    for (char& c : zaklad) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto konci = [&](const char* pripona) {
        size_t n = std::strlen(pripona);
        return zaklad.size() > n && zaklad.compare(zaklad.size() - n, n, pripona) == 0;
    };
    return zaklad == "err" || zaklad == "error.txt" || konci(".dat") || konci(".fds") ||
           konci(".log");
}

HSOUBOR otevri_soubor(SezeniJadra& s, const std::string& jmeno, char mod, int bez_cesty) {
    const char* fmod = nullptr;
    switch (mod) {
        case 'r': case 's': case 'R': fmod = "rb"; break;
        case 'b': fmod = "r+b"; break;
        case 'w': fmod = "wb"; break;
        case '+': fmod = "ab"; break;
        default: err(500, 1);
    }
    std::string cesta = bez_cesty ? jmeno : pridej_path(s, jmeno);
    std::string skutecna = skutecne_jmeno(cesta);
    // A new file gets the name the program formed; an existing one is used whatever its case.
    std::FILE* f = plat_otevri_soubor(skutecna, fmod);
    if (!f) {
        if (mod == 'R') return nullptr;
        s.neotevreny_soubor = jmeno;
        err(30, 1);
    }
    if (mod == '+' && std::fseek(f, 0, SEEK_END) != 0) {
        std::fclose(f);
        err(30, 2);
    }
    HSOUBOR h = new Soubor{f};
    std::lock_guard<std::mutex> lock(s.otevrene_mutex);
    s.otevrene_soubory.insert(h);
    return h;
}

int32_t cti_znak_ze_souboru(SezeniJadra& s, HSOUBOR f) {
    if (!f) err(30, 3);
    prepni(f, 'r');
    int c = std::getc(f->f);
    if (c == EOF) {
        if (std::ferror(f->f)) err(30, 3);
        s.FEOF = 1;
        return s.FEOF;
    }
    s.readchar = static_cast<unsigned char>(c);
    ++s.pozice_v_souboru;
    s.FEOF = 0;
    return s.FEOF;
}

size_t cti_data_ze_souboru(HSOUBOR f, char* cil, size_t kolik) {
    if (!f) err(30, 3);
    prepni(f, 'r');
    size_t n = std::fread(cil, 1, kolik, f->f);
    if (n < kolik && std::ferror(f->f)) err(30, 3);
    return n;
}

void zapis_znak(unsigned char znak, HSOUBOR f) {
    if (!f) err(30, 4);
    prepni(f, 'w');
    if (std::putc(znak, f->f) == EOF) err(30, 4);
}

void zapis_text(const std::string& text, HSOUBOR f) {
    if (!f) err(30, 4);
    if (text.empty()) return;
    prepni(f, 'w');
    if (std::fwrite(text.data(), 1, text.size(), f->f) != text.size()) err(30, 4);
}

int zavri_soubor(SezeniJadra& s, HSOUBOR f) {
    if (!f) return 1;
    {
        std::lock_guard<std::mutex> lock(s.otevrene_mutex);
        s.otevrene_soubory.erase(f);
    }
    int ok = std::fclose(f->f) == 0;
    delete f;
    return ok;
}

void zavri_vsechny_soubory(SezeniJadra& s) {
    std::set<HSOUBOR> otevrene;
    {
        std::lock_guard<std::mutex> lock(s.otevrene_mutex);
        otevrene.swap(s.otevrene_soubory);
    }
    for (HSOUBOR f : otevrene) {
        std::fclose(f->f);
        delete f;
    }
}

uint64_t velikost_souboru(HSOUBOR f) {
    if (!f) return 0;
    std::fflush(f->f);
    long pos = std::ftell(f->f);
    std::fseek(f->f, 0, SEEK_END);
    long konec = std::ftell(f->f);
    std::fseek(f->f, pos, SEEK_SET);
    f->posledni = 0;
    return konec < 0 ? 0 : static_cast<uint64_t>(konec);
}

std::vector<std::string> soubory_s_priponou(const SezeniJadra& s, const std::string& pripona,
                                           std::error_code& chyba) {
    const std::string konec = "." + pripona;
    auto stejne = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    std::vector<std::string> nalezene;
    std::string adresar = pridej_path(s, "").empty() ? "." : pridej_path(s, "");
    chyba.clear();
    for (fs::directory_iterator it(adresar, chyba), k; !chyba && it != k; it.increment(chyba)) {
        std::string jmeno = it->path().filename().string();
        std::error_code typ;  // a FIFO or a folder of that name is no such file
        if (it->is_regular_file(typ) && jmeno.size() > konec.size() &&
            std::equal(konec.begin(), konec.end(), jmeno.end() - static_cast<long>(konec.size()), stejne))
            nalezene.push_back(jmeno);
    }
    std::sort(nalezene.begin(), nalezene.end());
    return nalezene;
}

void smaz_docasne_operace(SezeniJadra& s) {
    if (!s.tt.datovy_soubor.empty()) uklid_paru(pridej_path(s, s.tt.datovy_soubor), pridej_path(s, s.tt.fds_soubor));
}
