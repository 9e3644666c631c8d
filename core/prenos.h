// Transfers: one command file run on the worker thread, batches of command files, and
// the guard that lets only one transfer work in a program directory at a time.
#pragma once

#include <functional>
#include <string>

#include "core/udalost.h"

extern Udalost eventKonecRSPrenosu;  // set when a transfer ends without ending the process
extern Udalost eventKonecDavky;      // set when a batch ends or is cancelled

// Exit code of a start refused because another kaslnk works in the program directory.
// Nothing of that transfer (log, result files, work files) is touched.
constexpr int KOD_OBSAZENY_ADRESAR = 5;
// Subcode of error 30 when the lock file of the program directory cannot be created.
constexpr int CHYBA_ZAMKU = 20;
// Subcode of error 51: a command file in network form outside a batch (there is no
// network transport).
constexpr int CHYBA_SIT_MIMO_DAVKU = 62;
// The message of a start refused because a transfer or batch runs in this process.
extern const char* const TEXT_PRENOS_BEZI;
// Lock file in the program directory, held while this process transfers.
constexpr const char* ZAMEK_ADRESARE = "kaslnk.lck";

// Starts a transfer of tt.jmeno_cmd: deletes "err" and "error.txt", parses the command
// file up to its first operation (defects end in err before any thread starts) and
// starts the worker. Returns 1, or 0 when the start was refused (a transfer or batch
// is running in this process, or another process works in the program directory; in
// automatic mode the latter ends the process with KOD_OBSAZENY_ADRESAR).
int komunikuj();
// Starts the worker on the command file already parsed up to its first operation;
// 0 when a worker is running (nothing is touched then).
int Inicializuj_RS_komunikaci();
// Starts the batch thread; 0 when a transfer or batch is running.
int Inicializuj_davku();

// Start-up in automatic mode: komunikuj, then wait for the worker, which ends the process.
void prenos_ze_startu();

// Takes the program directory for this process. False, after a message (a box only in
// window mode, with /h or /d; otherwise a line on standard error), when another process
// holds it; true at once when this process holds it already. A lock file that cannot be
// created is err(30, CHYBA_ZAMKU).
bool zamkni_adresar();
// Gives the program directory back (the end of a transfer in window mode).
void uvolni_adresar();

// True while a transfer worker or a batch runs in this process.
bool bezi_prenos();
bool bezi_davka();
// Waits until the worker thread (the batch thread) has finished and releases it.
void dokonci_vlakno();
// Stops the worker of a caller that waited for it in vain, waits until it has ended and
// releases it. The worker's pause between operations ends at once and no further
// operation starts; an operation still on the line ends at its next read or write of the
// port, without a report, the port and files closed (uklid_prenosu). True when an
// operation was cut off so; false when the worker ended by itself (every operation done).
bool zastav_vlakno();
// True while a stop is asked for; the link layer then throws ZastavenyPrenos.
bool zastaveni_pozadovano();
struct ZastavenyPrenos {};
void dokonci_davku();
// How the last worker ended when the exit hook returned control instead of ending the
// process (tests): the exit code, or -1 when it signalled the end event.
int kod_konce_vlakna();

// Chooses the batch file: true with tt.davkovy_soubor set, false when cancelled. The
// window installs its dialog; without one the name already in tt.davkovy_soubor is used.
void nastav_vyber_davky(std::function<bool()> vyber);

// The link layer's part of a transfer (defined in link/operace.cpp; the core includes
// nothing of the layers above it). The worker calls zacni_provoz before the first
// operation, proved_operaci for every command-file line (the operation chosen by its
// command digit) and ukonci_provoz after the last one. "/t" at start-up runs
// nastav_cas_datum (link/vestavene.cpp).
void zacni_provoz();
void proved_operaci();
void ukonci_provoz();
void nastav_cas_datum();
