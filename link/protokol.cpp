// Frames of the link protocol: enquiry, single bytes, command packet, received blocks.
#include "link/protokol.h"

#include "core/chyby.h"
#include "core/globals.h"
#include "core/log.h"
#include "format/hex.h"
#include "link/port.h"
#include "link/serial.h"
#include "platform/platform.h"

int32_t ack, nak, enq, EOTT, sum;
char chsum[3];
int32_t zvuk2 = 0x10;  // MB_ICONHAND: the system's error sound


namespace {

// A received line longer than any block the register sends is noise, not a block.
constexpr size_t MAX_PRIJATY_BLOK = 4096;
static_assert(MAX_PRIJATY_BLOK < PrijemBloku::NEJVIC);

// The length of the last good block of the running transfer (0: none yet). The blocks of
// one transfer are mostly records of one file, all of one length, so the rest of the next
// block but its last REZERVA bytes (the checksum, CR and one more) is fetched at once; the
// last ones come one by one, so that a block shorter than expected ends without delay.
size_t g_delka_bloku = 0;
constexpr size_t REZERVA = 4;

void posli_bajt(unsigned char znak, int32_t podkod) {
    if (!WriteCommBlock(&znak, 1)) err(9, podkod);
}

}  // namespace

void spocitej_chsum() {
    unsigned char b = static_cast<unsigned char>(-sum);
    chsum[0] = HEX_CISLICE[b >> 4];
    chsum[1] = HEX_CISLICE[b & 0x0F];
    chsum[2] = 0;
}

std::string kontrolni_znaky(const std::string& obsah) {
    sum = 0;
    for (unsigned char c : obsah) sum += c;
    spocitej_chsum();
    return std::string(chsum, 2);
}

int send_ENQ(int hledani) {
    nuluj_rcv_buf();
    // The terminal number as six characters; a shorter one is taken as a number.
    std::string cislo = tt.terminal.substr(0, 6);
    if (cislo.size() < 6) cislo.insert(0, 6 - cislo.size(), '0');
    std::string dotaz = std::string(3, static_cast<char>(EOT)) + cislo + static_cast<char>(ENQ);
    if (WriteCommBlock(dotaz.data(), dotaz.size())) return 0;
    if (hledani) {
        Port* p = aktualni_port();
        if (p && p->zapis_vyprsel()) return 1;
    }
    err(5, 1);
}

void send_ACK() { posli_bajt(ACK, 1); }
void send_NAK() { posli_bajt(NAK, 2); }
void send_EOT() { posli_bajt(EOT, 3); }

void send_packet() {
    std::string text = tt.prikazovy_paket.substr(0, tt.prikazovy_paket.find('\0'));
    if (text.size() > MAX_PAKET) err(64, 2);
    std::string obsah = "0" + text;
    std::string paket = static_cast<char>(STX) + obsah + kontrolni_znaky(obsah) + static_cast<char>(CR);
    if (!WriteCommBlock(paket.data(), paket.size())) err(6, 3);
}

int receive_ACK(int sekundy) {
    ack = nak = 0;
    nastav_timeout(static_cast<uint32_t>(sekundy) * 1000);
    if (!prijmi_znak()) return 1;
    if (rcvchar == ACK) {
        ack = 1;
        return 0;
    }
    if (rcvchar == NAK) {
        nak = 1;
        return 0;
    }
    err(20, static_cast<int32_t>(plat_posledni_chyba()));
}

int receive_ACK_find(uint32_t ms) {
    ack = nak = 0;
    nastav_timeout(ms);
    if (!prijmi_znak()) return 1;
    if (rcvchar == ACK) ack = 1;
    else if (rcvchar == NAK) nak = 1;
    else return 1;
    return 0;
}

int receive_ENQ(int) {
    enq = 0;
    if (!prijmi_znak()) err(21, 1);
    if (rcvchar != ENQ) return 1;
    enq = 1;
    return 0;
}

int prijmi_text() {
    EOTT = 0;
    sum = 0;
    // The first byte may take 7 s; inside a block no gap may exceed 1 s.
    nastav_timeout(7000);
    if (!prijmi_znak()) return 1;
    if (rcvchar == EOT) {
        EOTT = 1;
        g_delka_bloku = 0;
        return 0;
    }
    nastav_timeout(1000);
    // The block is kept until its checksum is known, so a bad one never reaches workf
    // and its repetition is stored once.
    std::string blok;
    unsigned char posledni = 0, predposledni = 0;
    PrijemBloku prijem;
    while (rcvchar != CR) {
        if (blok.size() >= MAX_PRIJATY_BLOK) return 1;
        blok += static_cast<char>(rcvchar);
        sum += rcvchar;
        predposledni = posledni;
        posledni = rcvchar;
        size_t dopredu = g_delka_bloku > blok.size() + REZERVA ? g_delka_bloku - blok.size() - REZERVA : 1;
        if (!prijem.znak(dopredu, CR)) return 1;
    }
    blok += static_cast<char>(CR);
    if (blok.size() < 4 || static_cast<unsigned char>(blok[0]) != STX) return 1;
    sum -= posledni + predposledni + STX;
    spocitej_chsum();
    // Exact comparison: lower-case digits are a wrong checksum.
    if (static_cast<unsigned char>(chsum[0]) != predposledni || static_cast<unsigned char>(chsum[1]) != posledni)
        return 1;
    if (!workf) err(26, 1);
    zapis_text(blok, workf);
    g_delka_bloku = blok.size();
    return 0;
}
