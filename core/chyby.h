// The fatal-error routine, the error texts and the process exit hook.
#pragma once

#include <cstdint>
#include <string>

constexpr int POCET_CHYB = 114;
extern const char* const errmsg[POCET_CHYB];
extern char PracText[1024];

// Reports the error by the run-mode flags, closes the port, writes the log line and the
// result files, keeps the received data as "wlasterr.tmp" and ends the process with 1.
[[noreturn]] void err(int32_t kod, int32_t podkod);

// The text of a code ("" when the table has none or the code is outside it).
const char* text_chyby(int32_t kod);

// How the process ends. The default hook ends the process; tests install one that throws,
// so that error paths can be checked in-process. A hook must not return.
using ExitHook = void (*)(int kod);
void nastav_exit_hook(ExitHook hook);
[[noreturn]] void ukonci_proces(int kod);

// Work done by err() for parts that live elsewhere: closing the transfer's event and
// thread handles. Null when no transfer machinery is set up.
extern void (*hook_err_vlakno)();
