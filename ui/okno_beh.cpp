// The window's running side: the children it reads without ever waiting for them, and
// the commands of other programs, queued while a modal dialog is open.
#include <chrono>
#include <cstdio>
#include <string>

#include "core/terminal.h"
#include "ui/okno.h"

namespace {

long long ms_ted() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// At most this much of a child's stream per call: a child that writes without a pause
// cannot hold up the window.
constexpr size_t DAVKA_CTENI = 64 * 1024;

}  // namespace

int Okno::prikaz(int id) {
    if (modalni_ > 0) {
        zarad_prikaz(id);
        return 0;
    }
    ++modalni_;
    int vysledek = proved(id);
    --modalni_;
    proved_frontu();
    return vysledek;
}

bool Okno::zarad_prikaz(int id) {
    if (fronta_.size() < MAX_FRONTA_PRIKAZU) {
        fronta_.push_back(id);
        return true;
    }
    char text[160];
    std::snprintf(text, sizeof text,
                  "\rP\xF8\xEDkaz %d odm\xEDtnut: na proveden\xED u\x9E \xE8" "ek\xE1 %d p\xF8\xEDkaz\xF9 okna.\r", id,
                  static_cast<int>(fronta_.size()));
    WriteTTYBlock(s_, text, static_cast<int>(std::string(text).size()));
    v_.prekresli_terminal();
    return false;
}

void Okno::proved_frontu() {
    while (modalni_ == 0 && !fronta_.empty()) {
        int id = fronta_.front();
        fronta_.pop_front();
        ++modalni_;
        proved(id);
        --modalni_;
    }
}

void Okno::ukonci_potomka(PlatPotomek& potomek, const char* proc) {
    plat_zabij_potomka(potomek);
    ukoncen_ = dopsal_ = true;
    WriteTTYBlock(s_, proc, static_cast<int>(std::string(proc).size()));
    v_.prekresli_terminal();
}

// True once the child's stream has ended (or the child was ended for it).
bool Okno::cti_proud_potomka(PlatPotomek& potomek, CtenarKanalu& ctenar) {
    if (dopsal_) return true;
    char bajty[4096];
    long n = -1;
    for (size_t precteno = 0; precteno < DAVKA_CTENI && (n = plat_cti_z(potomek.vystup, bajty, sizeof bajty)) > 0;
         precteno += static_cast<size_t>(n))
        ctenar.pridej(bajty, static_cast<size_t>(n));
    ZpravaKanalu z;
    while (ctenar.dalsi(z)) zprava_potomka(z);
    if (ctenar.poskozeny())
        ukonci_potomka(potomek, "\rProgram kaslnk poslal oknu po\x9Akozen\xE1 data: okno ho ukon\xE8ilo.\r");
    else if (n == 0)
        dopsal_ = true, konec_streamu_ms_ = ms_ted();
    return dopsal_;
}

bool Okno::cti_potomka(PlatPotomek& potomek, CtenarKanalu& ctenar, int& kod) {
    if (cte_potomka_) return false;  // a question of the child is open further up
    cte_potomka_ = true;
    ++modalni_;
    bool skoncil = cti_proud_potomka(potomek, ctenar) && plat_vyzvedni_potomka(potomek, kod);
    if (!skoncil && dopsal_ && !ukoncen_ && ms_ted() - konec_streamu_ms_ >= LHUTA_KONCE_POTOMKA_MS)
        ukonci_potomka(potomek, "\rProgram kaslnk po konci v\xFDstupu neskon\xE8il: okno ho ukon\xE8ilo.\r");
    if (skoncil) {
        dopsal_ = ukoncen_ = false;
        konec_potomka(kod);
    }
    --modalni_;
    cte_potomka_ = false;
    proved_frontu();
    return skoncil;
}
