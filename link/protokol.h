// The link protocol with the register: frames, checksum and exchanges. Every failure ends
// the transfer through err(); the functions return only what the caller still decides.
#pragma once

#include <cstdint>
#include <string>

#include "format/ramec.h"

// Longest command text a packet carries, and longest outgoing work line before its CR.
constexpr size_t MAX_PAKET = 188;
constexpr size_t MAX_RADEK_PRACOVNIHO_SOUBORU = 988;

extern int32_t ack, nak, enq;  // the last awaited reply was ACK, NAK or ENQ
extern int32_t EOTT;           // the register ended its data with EOT
extern int32_t sum;            // running checksum
extern char chsum[3];          // the two checksum characters last formed
extern int32_t zvuk2;          // sound of a repeated block (default: the error sound)

// chsum = two upper-case hex digits of the two's complement of the low byte of `sum`.
void spocitej_chsum();
// The two checksum characters of the frame contents between STX and the checksum.
std::string kontrolni_znaky(const std::string& obsah);

// Sending; each writes one frame.
int send_ENQ(int hledani);  // 1: the search's write ran out of time; else 0 (5/1 on failure)
void send_ACK();            // 9/1
void send_NAK();            // 9/2
void send_EOT();            // 9/3
void send_packet();         // 64/2 text too long, 6/3 write failed
// Reads the next line of the work file workf and sends it after 200 ms: 0 sent, 2 at the
// end of the file (44/1 no STX, 44/2 line too long, 44/3 file ends inside a line, 42/2).
int send_blok();

// Receiving.
int receive_ACK(int sekundy);       // 1 silence; 0 ACK or NAK (ack, nak); other byte: 20
int receive_ACK_find(uint32_t ms);  // 1 silence or another byte; 0 ACK or NAK
int receive_ENQ(int);               // 0 ENQ (enq); 1 another byte; silence: 21/1
// One block into workf, or the register's EOT (EOTT): 0 good, 1 bad or incomplete.
int prijmi_text();

// Exchanges on the open port. The work file stays open as workf; the caller closes it.
void priprav_prijem();     // call, command, turn of the line (38/1, 6/1, 7/1, 21/1)
void prijmi_data();        // creates work01.tmp as workf and stores every good block until EOT (40/1)
void priprav_vysilani();   // opens work02.tmp as workf (unless bez_pracovniho_souboru), call, command (38/2, 6/2)
void odesli_data();        // priprav_vysilani, every block of workf, then EOT (42/1)
// A command without data: opens the port if needed (92/3), raises DTR, call, command, EOT,
// closes unless noterminate. Does nothing with nokomun.
void posli_rje();
