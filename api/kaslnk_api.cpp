// The C interface of the engine (include/kaslnk.h): a handle keeps the program directory,
// the port mappings, the callbacks and the last result; every kaslnk_run runs in a fresh
// session (link/sezeni.h) started exactly as kaslnk's main() starts one, with the
// session's services turned towards the caller: boxes and terminal text to the message
// callback (questions get their default answer), blocks to the progress callback, no
// window, and reads of the port that a cancel can end.
#include "kaslnk.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "core/chyby.h"
#include "core/prenos.h"
#include "core/prikazovy_radek.h"  // VERZE
#include "core/spusteni.h"
#include "core/zpravy.h"
#include "link/port.h"
#include "link/sezeni.h"
#include "platform/kodovani.h"
#include "platform/platform.h"

struct kaslnk_session {
    std::string adresar;  // absolute, with its trailing separator
    std::string porty[10];
    kaslnk_progress_fn prubeh = nullptr;
    void* prubeh_data = nullptr;
    kaslnk_message_fn zpravy = nullptr;
    void* zpravy_data = nullptr;

    // The last run's result.
    int kod = 0, podkod = 0;
    std::string zprava;

    std::atomic<bool> bezi{false};
    std::mutex m;              // guards `sezeni`, the ports and the callbacks
    Sezeni* sezeni = nullptr;  // the session of the running kaslnk_run
};

namespace {

// "Přenos zrušen volajícím programem." (Windows-1250)
constexpr char TEXT_ZRUSENO[] = "P\xF8" "enos zru\x9A" "en volaj\xED" "c\xED" "m programem.";
// "A session of the library shows no window." (Windows-1250)
constexpr char TEXT_BEZ_OKNA[] = "Knihovna kaslnk neotv\xEDr\xE1 okno.";

// The arguments of a command line: blanks separate them, double quotes keep blanks in one.
std::vector<std::string> rozdel(const std::string& radek) {
    std::vector<std::string> a;
    std::string dalsi;
    bool v_uvozovkach = false, je = false;
    for (char c : radek) {
        if (c == '"') {
            v_uvozovkach = !v_uvozovkach;
            je = true;
        } else if ((c == ' ' || c == '\t') && !v_uvozovkach) {
            if (je) a.push_back(dalsi);
            dalsi.clear();
            je = false;
        } else {
            dalsi += c;
            je = true;
        }
    }
    if (je) a.push_back(dalsi);
    return a;
}

std::string bez_mezer_na_konci(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// The error's text as the program's error box names it, in UTF-8.
std::string text_vysledku(int kod, int podkod) {
    if (kod == KOD_ZRUSENI && podkod == PODKOD_ZRUSENI) return cp1250_na_utf8(TEXT_ZRUSENO);
    char text[160];
    std::snprintf(text, sizeof text, "Chyba %d, %d: %s", kod, podkod, bez_mezer_na_konci(text_chyby(kod)).c_str());
    return cp1250_na_utf8(text);
}

// The session's services turned towards the caller. `odmitnuti` gets the last message
// box or refused start, the reason of an exit code other than 0 and 1.
void zapoj(kaslnk_session* h, Sezeni& s, std::string& odmitnuti) {
    for (int n = 1; n <= 9; ++n) s.porty[n] = h->porty[n];
    s.lze_zrusit = true;
    s.knihovna = true;
    kaslnk_message_fn zpravy = h->zpravy;
    void* zpravy_data = h->zpravy_data;
    auto posli = [zpravy, zpravy_data](const std::string& text) {
        if (zpravy) zpravy(zpravy_data, cp1250_na_utf8(text).c_str());
    };
    s.sluzby.box = [&s, &odmitnuti, posli](const std::string& text, uint32_t styl) {
        odmitnuti = text;
        posli(text);
        if ((styl & 0x0F) == BOX_ANO_NE && s.g_ano) return BOX_ANO;
        return static_cast<int>(bezpecna_odpoved(styl));
    };
    s.sluzby.text = posli;
    s.sluzby.chybovy_radek = [&odmitnuti, posli](const std::string& text) {
        odmitnuti = text;
        posli(text);
    };
    if (kaslnk_progress_fn prubeh = h->prubeh) {
        void* data = h->prubeh_data;
        s.sluzby.prubeh = [prubeh, data](int bloky, long bajty) { prubeh(data, bloky, bajty); };
    }
    s.sluzby.vstup_okna = [](SezeniJadra& j, const std::vector<std::string>&) {
        VypisBox(j, TEXT_BEZ_OKNA, BOX_VYKRICNIK);
        return KOD_BEZ_OKNA;
    };
}

int spust_sezeni(kaslnk_session* h, const std::string& argumenty) {
    std::string odmitnuti;  // outlives the session, whose services write it
    auto s = std::make_unique<Sezeni>();
    {
        std::lock_guard<std::mutex> lock(h->m);
        zapoj(h, *s, odmitnuti);
    }
#ifdef _WIN32
    std::vector<std::string> argv = rozdel(utf8_na_cp1250(argumenty));  // as the program gets them
#else
    std::vector<std::string> argv = rozdel(argumenty);
#endif
    argv.insert(argv.begin(), h->adresar + "kaslnk");
    {
        std::lock_guard<std::mutex> lock(h->m);
        h->sezeni = s.get();
    }
    int kod;
    try {
        kod = spust(*s, std::string(), argv);
    } catch (...) {
        kod = 1;  // nothing the engine could not end crosses the C interface
    }
    s->pockej_na_vlakna();
    {
        std::lock_guard<std::mutex> lock(h->m);
        h->sezeni = nullptr;
    }
    h->kod = s->ERROR1;
    h->podkod = s->ERROR2;
    if (h->kod)
        h->zprava = text_vysledku(h->kod, h->podkod);
    else if (kod != 0)
        h->zprava = cp1250_na_utf8(odmitnuti);
    return kod;
}

}  // namespace

extern "C" {

const char* kaslnk_version(void) { return VERZE; }

kaslnk_session* kaslnk_open(const char* program_dir) {
    if (!program_dir || !*program_dir) return nullptr;
    try {
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::path p(std::u8string(reinterpret_cast<const char8_t*>(program_dir)));
        if (!fs::is_directory(p, ec)) return nullptr;
        p = fs::absolute(p, ec).lexically_normal();
        if (ec) return nullptr;
        std::u8string u8 = p.u8string();
        std::string adresar(u8.begin(), u8.end());
#ifdef _WIN32
        adresar = utf8_na_cp1250(adresar);  // the engine's names are Windows-1250 there
#endif
        if (adresar.back() != '/' && adresar.back() != plat_oddelovac()) adresar += plat_oddelovac();
        auto* h = new kaslnk_session;
        h->adresar = adresar;
        return h;
    } catch (...) {
        return nullptr;
    }
}

int kaslnk_set_port(kaslnk_session* s, int n, const char* device) {
    if (!s || n < 1 || n > 9) return -1;
    try {
        std::lock_guard<std::mutex> lock(s->m);
        s->porty[n] = device ? device : "";
    } catch (...) {
        return -1;
    }
    return 0;
}

int kaslnk_run(kaslnk_session* s, const char* arguments) {
    if (!s || s->bezi.exchange(true)) return -1;
    int kod;
    try {
        s->kod = s->podkod = 0;
        s->zprava.clear();
        kod = spust_sezeni(s, arguments ? arguments : "");
    } catch (...) {
        kod = 1;  // memory ran short before the session started
    }
    s->bezi = false;
    return kod;
}

int kaslnk_last_error(const kaslnk_session* s, int* code, int* subcode) {
    int k = s ? s->kod : 0, p = s ? s->podkod : 0;
    if (code) *code = k;
    if (subcode) *subcode = p;
    return k;
}

const char* kaslnk_message(const kaslnk_session* s) { return s ? s->zprava.c_str() : ""; }

void kaslnk_set_progress(kaslnk_session* s, void (*fn)(void* user, int blocks, long bytes), void* user) {
    if (!s) return;
    std::lock_guard<std::mutex> lock(s->m);
    s->prubeh = fn;
    s->prubeh_data = user;
}

void kaslnk_set_messages(kaslnk_session* s, void (*fn)(void* user, const char* utf8), void* user) {
    if (!s) return;
    std::lock_guard<std::mutex> lock(s->m);
    s->zpravy = fn;
    s->zpravy_data = user;
}

void kaslnk_cancel(kaslnk_session* s) {
    if (!s) return;
    std::lock_guard<std::mutex> lock(s->m);
    if (s->sezeni) zrus_praci(*s->sezeni);
}

void kaslnk_close(kaslnk_session* s) { delete s; }

}  // extern "C"
