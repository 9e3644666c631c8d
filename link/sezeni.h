// A session: one transfer's whole state, the link layer's part on top of the format's and
// the core's. kaslnk, the window's children and the library each run their transfers in one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "format/sezeni_formatu.h"
#include "link/port.h"
#include "platform/serial.h"

class Sezeni : public SezeniFormatu {
public:
    Sezeni() = default;
    // The worker uses the link part: it has ended before the part goes.
    ~Sezeni() override { pockej_na_vlakna(); }

    // The serial port (link/serial.h): the port OpenConnection opened (null while closed),
    // the byte prijmi_znak read last, the time-outs last applied, the raw traffic file
    // "rsdata" while rawdebug is set, and whether CloseConnection is running (an error in
    // its hang-up closes the port once more, without hanging up again).
    std::unique_ptr<Port> port;
    unsigned char rcvchar = 0;
    SerialTimeouts CommTimeOuts;
    HSOUBOR rsd = nullptr;
    bool g_zaviram = false;

    // The protocol (link/protokol.h): the last awaited reply was ACK, NAK or ENQ; the
    // register ended its data with EOT; the running checksum and its two characters; the
    // sound of a repeated block (default: the system's error sound, MB_ICONHAND).
    int32_t ack = 0, nak = 0, enq = 0;
    int32_t EOTT = 0;
    int32_t sum = 0;
    char chsum[3] = {};
    int32_t zvuk2 = 0x10;
    // The length of the last good block received (0: none yet), and the outgoing block in
    // hand (sent again after NAK or silence).
    size_t g_delka_bloku = 0;
    std::string g_blok;

    // work02.tmp while it is being built (link/bloky.h).
    HSOUBOR work02f = nullptr;

    // The tray icon (link/tray.h): alternates with every block, kept between transfers;
    // the icons loaded by NotifyAdd (0 = none).
    int32_t StavZapnuto = 0;
    int ikonaRED = 0, ikonaGREEN = 0;
    // NotifyAdd has run in this session: from then on an error's clean-up removes the icon.
    bool ikona_pri_chybe = false;

    // The tools: the answer --yes gives to their questions.
    bool g_ano = false;
    // A session of the library: the tools' questions go to s.sluzby.box and their lines to
    // the terminal text (s.sluzby.text), as in the window's child, instead of the platform's
    // boxes and standard output.
    bool knihovna = false;
    // The blocks received or sent in this session and their bytes (s.sluzby.prubeh).
    int32_t bloky_prenosu = 0;
    long bajty_prenosu = 0;
    // The session's boxes, text, tray and port state go to the window over the child's
    // channel (zapni_kanal_okna).
    bool kanal_zapnut = false;

    void zacni_provoz() override;
    void proved_operaci() override;
    void ukonci_provoz() override;
    void nastav_cas_datum() override;
    void uklid_vrstev() override;
};

// The link part of a session that the core hands over as its own part (the tools and the
// window's channel, declared in core headers): every session that runs them is a Sezeni.
inline Sezeni& sezeni_linky(SezeniJadra& s) { return dynamic_cast<Sezeni&>(s); }
