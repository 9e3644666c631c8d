// The link protocol with the register: frames, checksum and exchanges. Every failure ends
// the transfer through err(); the functions return only what the caller still decides.
#pragma once

#include <cstdint>
#include <string>

#include "format/ramec.h"
#include "link/sezeni.h"

// Longest command text a packet carries, and longest outgoing work line before its CR.
constexpr size_t MAX_PAKET = 188;
constexpr size_t MAX_RADEK_PRACOVNIHO_SOUBORU = 988;

// The session keeps the protocol's state: s.ack, s.nak, s.enq (the last awaited reply
// was ACK, NAK or ENQ), s.EOTT (the register ended its data with EOT), s.sum (running
// checksum), s.chsum (the two checksum characters last formed), s.zvuk2 (sound of a
// repeated block).

// s.chsum = two upper-case hex digits of the two's complement of the low byte of s.sum.
void spocitej_chsum(Sezeni& s);
// The two checksum characters of the frame contents between STX and the checksum
// (s.sum and s.chsum are left as for the frame).
std::string kontrolni_znaky(Sezeni& s, const std::string& obsah);

// Sending; each writes one frame.
int send_ENQ(Sezeni& s, int hledani);  // 1: the search's write ran out of time; else 0 (5/1 on failure)
void send_ACK(Sezeni& s);              // 9/1
void send_NAK(Sezeni& s);              // 9/2
void send_EOT(Sezeni& s);              // 9/3
void send_packet(Sezeni& s);           // 64/2 text too long, 6/3 write failed
// Reads the next line of the work file s.workf and sends it after 200 ms: 0 sent, 2 at the
// end of the file (44/1 no STX, 44/2 line too long, 44/3 file ends inside a line, 42/2).
int send_blok(Sezeni& s);

// Receiving.
int receive_ACK(Sezeni& s, int sekundy);       // 1 silence; 0 ACK or NAK (ack, nak); other byte: 20
int receive_ACK_find(Sezeni& s, uint32_t ms);  // 1 silence or another byte; 0 ACK or NAK
int receive_ENQ(Sezeni& s, int);               // 0 ENQ (enq); 1 another byte; silence: 21/1
// One block into s.workf, or the register's EOT (EOTT): 0 good, 1 bad or incomplete.
int prijmi_text(Sezeni& s);

// Exchanges on the open port. The work file stays open as s.workf; the caller closes it.
// priprav_prijem: call, command, turn of the line (38/1, 6/1, 7/1, 21/1).
// prijmi_data: creates work01.tmp as s.workf and stores every good block until EOT (40/1).
// priprav_vysilani: opens work02.tmp as s.workf (unless bez_pracovniho_souboru), call,
// command (38/2, 6/2).
// odesli_data: priprav_vysilani, every block of s.workf, then EOT (42/1).
void priprav_prijem(Sezeni& s);
void prijmi_data(Sezeni& s);
void priprav_vysilani(Sezeni& s);
void odesli_data(Sezeni& s);
// A command without data: opens the port if needed (92/3), raises DTR, call, command, EOT,
// closes unless noterminate. Does nothing with nokomun.
void posli_rje(Sezeni& s);
