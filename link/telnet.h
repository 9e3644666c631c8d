// Telnet as a serial device server speaks it, with the COM-port control option (RFC 2217):
// the data bytes and the commands mixed in one TCP stream. Used by the program's network
// port (the client) and by kaslnk-sim serving its register over TCP (the server).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace telnet {

constexpr uint8_t IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240;
constexpr uint8_t BINARY = 0, ECHO = 1, SGA = 3, COM_PORT = 44;

// COM-port commands of the client; the server answers each with the code plus 100.
constexpr uint8_t SET_BAUDRATE = 1, SET_DATASIZE = 2, SET_PARITY = 3, SET_STOPSIZE = 4, SET_CONTROL = 5,
                  NOTIFY_LINESTATE = 6, NOTIFY_MODEMSTATE = 7, PURGE_DATA = 12, ODPOVED = 100;
// Values of SET_CONTROL and PURGE_DATA used here.
constexpr uint8_t TOK_ZADNY = 1, TOK_XONXOFF = 2, TOK_HARDWARE = 3, DTR_ZAP = 8, DTR_VYP = 9;
constexpr uint8_t PURGE_PRIJEM = 1;

// Appends data bytes to a stream, each IAC doubled.
void pridej_data(std::string& ven, const uint8_t* data, size_t pocet);
// A three-byte option command: IAC, the verb (DO, DONT, WILL, WONT) and the option.
std::string volba(uint8_t sloveso, uint8_t moznost);
// A COM-port subnegotiation: IAC SB COM_PORT prikaz hodnota IAC SE (IAC in the value doubled).
std::string com_port(uint8_t prikaz, const std::string& hodnota);
// Where a stream cut after `n` bytes may go on: `n` when a unit (a data byte, a doubled
// IAC, a command) ends there, else the end of the unit the cut falls in. A stream sent
// only in part must send up to there before anything else, or the other end misreads it.
size_t konec_celku(const std::string& proud, size_t n);
// A 32-bit number in network order, as the speed travels.
std::string cislo32(uint32_t n);
uint32_t cislo32(const std::string& hodnota);

// A command found in the incoming stream: an option verb, or SB with the option and the
// subnegotiation's bytes (IAC undoubled). Other commands (NOP, break...) are dropped.
struct Prikaz {
    uint8_t sloveso = 0;
    uint8_t moznost = 0;
    std::string hodnota;
};

// Splits an incoming stream into data and commands. A command or a doubled IAC may be
// split between two pieces of the stream: the state carries over.
class Dekoder {
public:
    void vstup(const uint8_t* bajty, size_t pocet, std::string& data, std::vector<Prikaz>& prikazy);

private:
    enum class Stav { DATA, PO_IAC, SLOVESO, SB_MOZNOST, V_SB, SB_IAC } stav_ = Stav::DATA;
    Prikaz rozpracovany_;
};

// The option negotiation of one end. `chci_u_sebe`: options this end offers to do
// (answers DO with WILL); `chci_u_druheho`: options it asks of the other end (answers
// WILL with DO). Every other option is refused. An answer is sent only when the state
// of an option changes, so that two ends never loop.
class Vyjednavani {
public:
    Vyjednavani(std::vector<uint8_t> chci_u_sebe, std::vector<uint8_t> chci_u_druheho);
    // The opening requests (WILL for the own options, DO for the other's).
    std::string zacatek();
    // The answer to a received verb (empty when nothing needs saying).
    std::string odpoved(uint8_t sloveso, uint8_t moznost);
    bool u_sebe(uint8_t moznost) const { return sebe_[moznost]; }
    bool u_druheho(uint8_t moznost) const { return druhy_[moznost]; }
    // The other end refused the option (WONT or DONT).
    bool odmitnuto(uint8_t moznost) const { return odmitnuto_[moznost]; }

private:
    std::vector<uint8_t> chci_sebe_, chci_druhy_;
    bool sebe_[256] = {}, druhy_[256] = {}, pozadano_sebe_[256] = {}, pozadano_druhy_[256] = {},
         odmitnuto_[256] = {};
};

// A network mapping of a COM port: "rfc2217://HOST:PORT" or "tcp://HOST:PORT"
// (an IPv6 address in brackets).
struct SitovaAdresa {
    bool rfc2217 = false;
    std::string hostitel;
    uint16_t port = 0;
};
// True when `text` has one of the two forms; `chyba` is set when it has the prefix but
// no valid host and port.
bool je_sitova_adresa(const std::string& text);
bool rozloz_adresu(const std::string& text, SitovaAdresa& adresa, std::string& chyba);

}  // namespace telnet
