// Frames of the link protocol: enquiry, single bytes, command packet, received blocks.
#include "link/protokol.h"

#include "core/chyby.h"
#include "core/log.h"
#include "core/soubory.h"
#include "format/hex.h"
#include "link/port.h"
#include "link/serial.h"
#include "platform/platform.h"

namespace {

// A received line longer than any block the register sends is noise, not a block.
constexpr size_t MAX_PRIJATY_BLOK = 4096;
static_assert(MAX_PRIJATY_BLOK < PrijemBloku::NEJVIC);

// s.g_delka_bloku is the length of the last good block of the running transfer (0: none
// yet). The blocks of one transfer are mostly records of one file, all of one length, so
// the rest of the next block but its last REZERVA bytes (the checksum, CR and one more) is
// fetched at once; the last ones come one by one, so that a block shorter than expected
// ends without delay.
constexpr size_t REZERVA = 4;

void posli_bajt(Sezeni& s, unsigned char znak, int32_t podkod) {
    if (!WriteCommBlock(s, &znak, 1)) err(9, podkod);
}

}  // namespace

void spocitej_chsum(Sezeni& s) {
    unsigned char b = static_cast<unsigned char>(-s.sum);
    s.chsum[0] = HEX_CISLICE[b >> 4];
    s.chsum[1] = HEX_CISLICE[b & 0x0F];
    s.chsum[2] = 0;
}

std::string kontrolni_znaky(Sezeni& s, const std::string& obsah) {
    s.sum = 0;
    for (unsigned char c : obsah) s.sum += c;
    spocitej_chsum(s);
    return std::string(s.chsum, 2);
}

int send_ENQ(Sezeni& s, int hledani) {
    nuluj_rcv_buf(s);
    // The terminal number as six characters; a shorter one is taken as a number.
    std::string cislo = s.tt.terminal.substr(0, 6);
    if (cislo.size() < 6) cislo.insert(0, 6 - cislo.size(), '0');
    std::string dotaz = std::string(3, static_cast<char>(EOT)) + cislo + static_cast<char>(ENQ);
    if (WriteCommBlock(s, dotaz.data(), dotaz.size())) return 0;
    if (hledani) {
        Port* p = s.port.get();
        if (p && p->zapis_vyprsel()) return 1;
    }
    err(5, 1);
}

void send_ACK(Sezeni& s) { posli_bajt(s, ACK, 1); }
void send_NAK(Sezeni& s) { posli_bajt(s, NAK, 2); }
void send_EOT(Sezeni& s) { posli_bajt(s, EOT, 3); }

void send_packet(Sezeni& s) {
    std::string text = s.tt.prikazovy_paket.substr(0, s.tt.prikazovy_paket.find('\0'));
    if (text.size() > MAX_PAKET) err(64, 2);
    std::string obsah = "0" + text;
    std::string paket = static_cast<char>(STX) + obsah + kontrolni_znaky(s, obsah) + static_cast<char>(CR);
    if (!WriteCommBlock(s, paket.data(), paket.size())) err(6, 3);
}

int receive_ACK(Sezeni& s, int sekundy) {
    s.ack = s.nak = 0;
    nastav_timeout(s, static_cast<uint32_t>(sekundy) * 1000);
    if (!prijmi_znak(s)) return 1;
    if (s.rcvchar == ACK) {
        s.ack = 1;
        return 0;
    }
    if (s.rcvchar == NAK) {
        s.nak = 1;
        return 0;
    }
    err(20, static_cast<int32_t>(plat_posledni_chyba()));
}

int receive_ACK_find(Sezeni& s, uint32_t ms) {
    s.ack = s.nak = 0;
    nastav_timeout(s, ms);
    if (!prijmi_znak(s)) return 1;
    if (s.rcvchar == ACK) s.ack = 1;
    else if (s.rcvchar == NAK) s.nak = 1;
    else return 1;
    return 0;
}

int receive_ENQ(Sezeni& s, int) {
    s.enq = 0;
    if (!prijmi_znak(s)) err(21, 1);
    if (s.rcvchar != ENQ) return 1;
    s.enq = 1;
    return 0;
}

int prijmi_text(Sezeni& s) {
    s.EOTT = 0;
    s.sum = 0;
    // The first byte may take 7 s; inside a block no gap may exceed 1 s.
    nastav_timeout(s, 7000);
    if (!prijmi_znak(s)) return 1;
    if (s.rcvchar == EOT) {
        s.EOTT = 1;
        s.g_delka_bloku = 0;
        return 0;
    }
    nastav_timeout(s, 1000);
    // The block is kept until its checksum is known, so a bad one never reaches workf
    // and its repetition is stored once.
    std::string blok;
    unsigned char posledni = 0, predposledni = 0;
    PrijemBloku prijem;
    while (s.rcvchar != CR) {
        if (blok.size() >= MAX_PRIJATY_BLOK) return 1;
        blok += static_cast<char>(s.rcvchar);
        s.sum += s.rcvchar;
        predposledni = posledni;
        posledni = s.rcvchar;
        size_t dopredu =
            s.g_delka_bloku > blok.size() + REZERVA ? s.g_delka_bloku - blok.size() - REZERVA : 1;
        if (!prijem.znak(s, dopredu, CR)) return 1;
    }
    blok += static_cast<char>(CR);
    if (blok.size() < 4 || static_cast<unsigned char>(blok[0]) != STX) return 1;
    s.sum -= posledni + predposledni + STX;
    spocitej_chsum(s);
    // Exact comparison: lower-case digits are a wrong checksum.
    if (static_cast<unsigned char>(s.chsum[0]) != predposledni ||
        static_cast<unsigned char>(s.chsum[1]) != posledni)
        return 1;
    if (!s.workf) err(26, 1);
    zapis_text(blok, s.workf);
    s.g_delka_bloku = blok.size();
    return 0;
}
