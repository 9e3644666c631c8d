// Errors of a transfer: err() unwinds to the session's boundary, which reports the error
// and ends the session's work with exit code 1; ukonci() ends it with a given code.
#pragma once

#include <cstdint>
#include <functional>

class SezeniJadra;

constexpr int POCET_CHYB = 114;
// Texts of the error codes (Windows-1250); a fixed width keeps the table free of pointers.
extern const char errmsg[POCET_CHYB][48];

// What err() throws: the code, the subcode and the system's last error at that moment.
struct ChybaPrenosu {
    int32_t kod, podkod;
    uint32_t posledni_chyba;
};
// What ukonci() throws: the session's work ends with this exit code.
struct KonecSezeni {
    int kod;
};

// A transfer error: unwinds to the session boundary (hranice_sezeni), which reports it.
[[noreturn]] void err(int32_t kod, int32_t podkod);
// Ends the session's work with the exit code (unwinds to the session boundary).
[[noreturn]] void ukonci(int kod);

// The report of an error, in this order: the message by the run-mode flags, the clean-up
// of the layers above the core (the port, the raw traffic file, the tray icon), the log
// line and the result files, every file still open, the temporary files of the operation,
// the received blocks kept as "wlasterr.tmp", the command-file buffer. ERROR1, ERROR2 and
// LastError take the error's values first. An error raised by the report itself is
// reported the same way in its place (a few levels at most).
void ohlas_chybu(SezeniJadra& s, const ChybaPrenosu& e);

// The session boundary: runs `prace` and returns its exit code; KonecSezeni gives its code,
// ChybaPrenosu is reported (ohlas_chybu) and gives 1.
int hranice_sezeni(SezeniJadra& s, const std::function<int()>& prace);

// The text of a code ("" when the table has none or the code is outside it).
const char* text_chyby(int32_t kod);

// The clean-up of an error without its report: the layers above the core, then every file
// still open. A transfer worker that was stopped ends with it.
void uklid_prenosu(SezeniJadra& s);
