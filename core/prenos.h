// Transfers: one command file run on the worker thread, batches of command files, and
// the guard that lets only one transfer work in a program directory at a time.
#pragma once

#include <string>

class SezeniJadra;

// Exit code of a start refused because another kaslnk (another process, or another session
// of this one) works in the program directory. Nothing of that transfer (log, result files,
// work files) is touched.
constexpr int KOD_OBSAZENY_ADRESAR = 5;
// Subcode of error 30 when the lock file of the program directory cannot be created.
constexpr int CHYBA_ZAMKU = 20;
// Subcode of error 51: a command file in network form outside a batch (there is no
// network transport).
constexpr int CHYBA_SIT_MIMO_DAVKU = 62;
// The message of a start refused because a transfer or batch runs in this session.
constexpr char TEXT_PRENOS_BEZI[] =
    "P\xF8" "enos u\x9E b\xEC\x9E\xED. Dal\x9A\xED nelze spustit, dokud neskon\xE8\xED.";
// Lock file in the program directory, held while this session transfers.
constexpr char ZAMEK_ADRESARE[] = "kaslnk.lck";

// Starts a transfer of tt.jmeno_cmd: deletes "err" and "error.txt", parses the command
// file up to its first operation (defects end in err before any thread starts) and
// starts the worker. Returns 1, or 0 when the start was refused (a transfer or batch
// is running in this session, or another kaslnk works in the program directory; in
// automatic mode the latter ends the session with KOD_OBSAZENY_ADRESAR).
int komunikuj(SezeniJadra& s);
// Starts the worker on the command file already parsed up to its first operation;
// 0 when a worker is running (nothing is touched then).
int Inicializuj_RS_komunikaci(SezeniJadra& s);
// Starts the batch thread; 0 when a transfer or batch is running.
int Inicializuj_davku(SezeniJadra& s);

// Start-up in automatic mode: komunikuj, then wait for the worker, whose end ends the
// session (dokonci_vlakno).
void prenos_ze_startu(SezeniJadra& s);

// Takes the program directory for this session. False, after a message (a box only in
// window mode, with /h or /d; otherwise a line on standard error), when another process or
// another session of this process holds it; true at once when this session holds it
// already. A lock file that cannot be created is err(30, CHYBA_ZAMKU).
bool zamkni_adresar(SezeniJadra& s);
// Gives the program directory back (the end of a transfer in window mode).
void uvolni_adresar(SezeniJadra& s);

// True while a transfer worker or a batch runs in this session.
bool bezi_prenos(SezeniJadra& s);
bool bezi_davka(SezeniJadra& s);
// Waits until the worker thread has finished and releases it. When the worker ended the
// session (it reported an error, or an unattended run reached its end), the caller's work
// ends the same way: ukonci with the worker's exit code.
void dokonci_vlakno(SezeniJadra& s);
// Stops the worker of a caller that waited for it in vain, waits until it has ended and
// releases it (as dokonci_vlakno). The worker's pause between operations ends at once and
// no further operation starts; an operation still on the line ends at its next read or
// write of the port, without a report, the port and files closed (uklid_prenosu). True
// when an operation was cut off so; false when the worker ended by itself.
bool zastav_vlakno(SezeniJadra& s);
// True while a stop is asked for; the link layer then throws ZastavenyPrenos.
bool zastaveni_pozadovano(SezeniJadra& s);
struct ZastavenyPrenos {};
// A cancel of the session's work by its caller (the library's kaslnk_cancel): the worker's
// pause between operations ends at once, the next operation does not start, and the next
// look at the line (a read, a write, a wait for the modem) ends the transfer with error
// KOD_ZRUSENI/PODKOD_ZRUSENI, reported as any error (log line, result files, the port
// closed, the data file of the operation not replaced). Work that never looks at the line
// again ends as it would.
constexpr int KOD_ZRUSENI = 109;
constexpr int PODKOD_ZRUSENI = 5;
void zrus_praci(SezeniJadra& s);
// err(KOD_ZRUSENI, PODKOD_ZRUSENI) when a cancel is asked for and not reported yet; the
// report itself (closing the port) then passes.
void kontroluj_zruseni(SezeniJadra& s);
// Waits until the batch thread has finished and releases it; when the batch ended the
// session (an error), the caller's work ends the same way (ukonci).
void dokonci_davku(SezeniJadra& s);
// How the last worker ended: the exit code it ended the session with, or -1 when it only
// signalled the end event.
int kod_konce_vlakna(SezeniJadra& s);
