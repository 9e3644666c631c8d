#include "link/telnet.h"

#include <algorithm>

namespace telnet {

void pridej_data(std::string& ven, const uint8_t* data, size_t pocet) {
    for (size_t i = 0; i < pocet; ++i) {
        ven += static_cast<char>(data[i]);
        if (data[i] == IAC) ven += static_cast<char>(IAC);
    }
}

std::string volba(uint8_t sloveso, uint8_t moznost) {
    return {static_cast<char>(IAC), static_cast<char>(sloveso), static_cast<char>(moznost)};
}

std::string com_port(uint8_t prikaz, const std::string& hodnota) {
    std::string v = {static_cast<char>(IAC), static_cast<char>(SB), static_cast<char>(COM_PORT),
                     static_cast<char>(prikaz)};
    pridej_data(v, reinterpret_cast<const uint8_t*>(hodnota.data()), hodnota.size());
    v += static_cast<char>(IAC);
    v += static_cast<char>(SE);
    return v;
}

size_t konec_celku(const std::string& proud, size_t n) {
    size_t i = 0;
    while (i < n && i < proud.size()) {
        if (static_cast<uint8_t>(proud[i]) != IAC || i + 1 >= proud.size()) {
            ++i;
            continue;
        }
        uint8_t b = static_cast<uint8_t>(proud[i + 1]);
        if (b >= WILL && b <= DONT) {
            i += 3;
        } else if (b != SB) {
            i += 2;  // a doubled IAC or a two-byte command
        } else {     // to IAC SE; a doubled IAC inside is part of the value
            for (i += 2; i < proud.size(); ++i)
                if (static_cast<uint8_t>(proud[i]) == IAC && ++i < proud.size() &&
                    static_cast<uint8_t>(proud[i]) == SE) {
                    ++i;
                    break;
                }
        }
    }
    return std::min(std::max(i, n), proud.size());
}

std::string cislo32(uint32_t n) {
    return {static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8), static_cast<char>(n)};
}

uint32_t cislo32(const std::string& hodnota) {
    uint32_t n = 0;
    for (size_t i = 0; i < 4 && i < hodnota.size(); ++i) n = n << 8 | static_cast<uint8_t>(hodnota[i]);
    return n;
}

void Dekoder::vstup(const uint8_t* bajty, size_t pocet, std::string& data, std::vector<Prikaz>& prikazy) {
    for (size_t i = 0; i < pocet; ++i) {
        uint8_t b = bajty[i];
        switch (stav_) {
            case Stav::DATA:
                if (b == IAC)
                    stav_ = Stav::PO_IAC;
                else
                    data += static_cast<char>(b);
                break;
            case Stav::PO_IAC:
                stav_ = Stav::DATA;
                if (b == IAC) {
                    data += static_cast<char>(IAC);
                } else if (b >= WILL && b <= DONT) {
                    rozpracovany_ = Prikaz{b, 0, {}};
                    stav_ = Stav::SLOVESO;
                } else if (b == SB) {
                    stav_ = Stav::SB_MOZNOST;
                }
                break;  // NOP, break, go-ahead and the like carry nothing for a serial line
            case Stav::SLOVESO:
                rozpracovany_.moznost = b;
                prikazy.push_back(rozpracovany_);
                stav_ = Stav::DATA;
                break;
            case Stav::SB_MOZNOST:
                rozpracovany_ = Prikaz{SB, b, {}};
                stav_ = Stav::V_SB;
                break;
            case Stav::V_SB:
                if (b == IAC)
                    stav_ = Stav::SB_IAC;
                else if (rozpracovany_.hodnota.size() < 64)  // longer ones are not ours
                    rozpracovany_.hodnota += static_cast<char>(b);
                break;
            case Stav::SB_IAC:
                if (b == IAC) {
                    if (rozpracovany_.hodnota.size() < 64) rozpracovany_.hodnota += static_cast<char>(IAC);
                    stav_ = Stav::V_SB;
                } else {
                    // IAC SE ends it; anything else is a broken subnegotiation, dropped.
                    if (b == SE) prikazy.push_back(rozpracovany_);
                    stav_ = Stav::DATA;
                }
                break;
        }
    }
}

Vyjednavani::Vyjednavani(std::vector<uint8_t> chci_u_sebe, std::vector<uint8_t> chci_u_druheho)
    : chci_sebe_(std::move(chci_u_sebe)), chci_druhy_(std::move(chci_u_druheho)) {}

std::string Vyjednavani::zacatek() {
    std::string v;
    for (uint8_t m : chci_sebe_)
        if (!sebe_[m] && !pozadano_sebe_[m]) v += volba(WILL, m), pozadano_sebe_[m] = true;
    for (uint8_t m : chci_druhy_)
        if (!druhy_[m] && !pozadano_druhy_[m]) v += volba(DO, m), pozadano_druhy_[m] = true;
    return v;
}

std::string Vyjednavani::odpoved(uint8_t sloveso, uint8_t m) {
    bool u_mne = sloveso == DO || sloveso == DONT;
    bool zapnout = sloveso == DO || sloveso == WILL;
    const std::vector<uint8_t>& chci = u_mne ? chci_sebe_ : chci_druhy_;
    bool* stav = u_mne ? sebe_ : druhy_;
    bool* pozadano = u_mne ? pozadano_sebe_ : pozadano_druhy_;
    uint8_t ano = u_mne ? WILL : DO, ne = u_mne ? WONT : DONT;
    bool byl_pozadan = pozadano[m];
    pozadano[m] = false;
    if (zapnout) {
        if (std::find(chci.begin(), chci.end(), m) == chci.end()) return volba(ne, m);
        if (stav[m]) return {};
        stav[m] = true;
        return byl_pozadan ? std::string() : volba(ano, m);  // a request of ours confirmed
    }
    if (stav[m]) {
        stav[m] = false;
        return volba(ne, m);
    }
    if (byl_pozadan) odmitnuto_[m] = true;
    return {};
}

bool je_sitova_adresa(const std::string& text) {
    return text.rfind("rfc2217://", 0) == 0 || text.rfind("tcp://", 0) == 0;
}

bool rozloz_adresu(const std::string& text, SitovaAdresa& adresa, std::string& chyba) {
    adresa = SitovaAdresa{};
    adresa.rfc2217 = text.rfind("rfc2217://", 0) == 0;
    std::string zbytek = text.substr(text.find("://") + 3);
    size_t dvojtecka = zbytek.rfind(':');
    std::string port = dvojtecka == std::string::npos ? std::string() : zbytek.substr(dvojtecka + 1);
    adresa.hostitel = zbytek.substr(0, dvojtecka == std::string::npos ? zbytek.size() : dvojtecka);
    if (adresa.hostitel.size() > 2 && adresa.hostitel.front() == '[' && adresa.hostitel.back() == ']')
        adresa.hostitel = adresa.hostitel.substr(1, adresa.hostitel.size() - 2);
    unsigned long cislo = 0;
    bool cislice = !port.empty() && port.size() <= 5 &&
                   std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (cislice) cislo = std::stoul(port);
    if (adresa.hostitel.empty() || !cislice || cislo == 0 || cislo > 65535) {
        // "is not of the form rfc2217://HOST:PORT or tcp://HOST:PORT"
        chyba = text + ": nen\xED ve tvaru rfc2217://HOSTITEL:PORT ani tcp://HOSTITEL:PORT";
        return false;
    }
    adresa.port = static_cast<uint16_t>(cislo);
    return true;
}

}  // namespace telnet
