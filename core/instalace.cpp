#include "core/instalace.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/konfigurace.h"
#include "core/prikazovy_radek.h"
#include "core/sezeni_jadra.h"
#include "core/spusteni.h"
#include "platform/platform.h"
#include "platform/serial.h"

namespace fs = std::filesystem;

namespace {

bool ma_volbu(const std::vector<std::string>& argumenty, const char* volba) {
    return argumenty.size() > 1 && std::find(argumenty.begin() + 1, argumenty.end(), volba) != argumenty.end();
}

int vypis(int kod, const std::string& text) {
    plat_vypis(text, kod != 0);
    return kod;
}

// Where the installed files are looked for, in that order.
std::vector<std::string> mista_dat() {
    std::vector<std::string> mista;
    std::string program = plat_cesta_programu();
    if (!program.empty())
        mista.push_back((fs::path(program).parent_path().parent_path() / "share" / "kaslnk").string());
#ifdef KASLNK_DATADIR
    mista.push_back(KASLNK_DATADIR);
#endif
    return mista;
}

}  // namespace

std::string adresar_dat() {
    std::error_code ec;
    std::vector<std::string> mista = mista_dat();
    for (const std::string& m : mista)
        if (fs::is_directory(m, ec)) return m;
    return mista.empty() ? std::string() : mista.back();
}

int priprav_adresar(const std::string& zdroj, const std::string& cil, std::string& zprava) {
    std::error_code ec;
    std::vector<fs::path> soubory;
    for (fs::directory_iterator it(zdroj, ec), konec; !ec && it != konec; it.increment(ec))
        if (it->is_regular_file(ec)) soubory.push_back(it->path());
    if (ec || zdroj.empty()) {
        // A program run from its build tree has no share/kaslnk beside it.
        zprava += "kaslnk: the installed files are missing: " + (zdroj.empty() ? "share/kaslnk" : zdroj) +
                  "\nA program that is not installed finds them in the examples/ folder of the sources:"
                  " copy p_time.fds, glogo.fds and fdsu.cmx from there into this directory.\n";
        return 1;
    }
    std::sort(soubory.begin(), soubory.end());
    int kod = 0;
    for (const fs::path& s : soubory) {
        fs::path c = fs::path(cil) / s.filename();
        std::string jmeno = s.filename().string();
        if (fs::exists(fs::symlink_status(c, ec))) {
            zprava += jmeno + ": already here, left alone\n";
        } else if (fs::copy_file(s, c, fs::copy_options::none, ec)) {
            zprava += jmeno + ": copied\n";
        } else {
            zprava += jmeno + ": cannot be copied: " + ec.message() + "\n";
            kod = 1;
        }
    }
    return kod;
}

std::string seznam_portu(const SezeniJadra& s) {
    std::string text = "Ports (KASLNK_COMn, else comN in " + pridej_path(s, "kaslnk.ini") + ", else the default):\n";
    for (int n = 1; n <= 9; ++n) {
        const std::string cislo = std::to_string(n);
        // A port the session's caller mapped (s.porty) comes before every other rule.
        if (!s.porty[n].empty()) {
            text += "  COM" + cislo + "  " + s.porty[n] + "  (session)\n";
            continue;
        }
        ZarizeniPortu z = ser_zarizeni_portu(n, s.ini_porty[n]);
        std::string puvod = z.puvod == PuvodZarizeni::prostredi     ? "KASLNK_COM" + cislo
                            : z.puvod == PuvodZarizeni::konfigurace ? "kaslnk.ini com" + cislo
                                                                    : "default";
        text += "  COM" + cislo + "  " + z.jmeno + "  (" + puvod + ")\n";
    }
    text += "Serial devices on this machine (none opened):\n";
    std::vector<std::string> zarizeni = ser_pritomna_zarizeni();
    for (const std::string& z : zarizeni) text += "  " + z + "\n";
    if (zarizeni.empty()) text += "  none found\n";
    return text;
}

int instalacni_volba(SezeniJadra& s, const std::vector<std::string>& argumenty) {
    if (ma_volbu(argumenty, "--init")) {
        std::string zprava, zdroj = adresar_dat();
        std::error_code ec;
        int kod = priprav_adresar(zdroj, fs::current_path(ec).string(), zprava);
        if (kod == 0) zprava += "Example command files: " + (fs::path(zdroj) / "examples").string() + "\n";
        if (kod != 0 && !fs::is_directory(zdroj, ec)) {
            // A program run from a build tree has nothing installed beside it.
            zprava += "kaslnk: looked for them in:";
            for (const std::string& m : mista_dat()) zprava += " " + m;
            zprava += "\nkaslnk: in the source tree they are in examples/ (p_time.fds, glogo.fds, fdsu.cmx);"
                      " copy them from there, or install the program (cmake --install).\n";
        }
        return vypis(kod, zprava);
    }
    if (ma_volbu(argumenty, "--list-ports")) {
        // The program directory and kaslnk.ini as a transfer started the same way would
        // see them.
        zpracuj_parametry(s, "", {argumenty[0]});
        nastav_terminal(s);
        return vypis(0, seznam_portu(s));
    }
    return -1;
}
