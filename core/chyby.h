// The fatal-error routine, the error texts and the process exit hook.
#pragma once

#include <cstdint>
#include <functional>
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
using ExitHook = std::function<void(int kod)>;
void nastav_exit_hook(ExitHook hook);
[[noreturn]] void ukonci_proces(int kod);

// Clean-up that err() runs before it writes the log, for resources of the layers above
// the core: the link layer registers the closing of the port and of the raw traffic
// file, the tray the removal of its icon, the window what it holds. A handler is
// registered once (registering it again changes nothing) and stays registered; it must
// do nothing when its resource is not in use. Handlers run in the order of registration.
using UklidPriChybe = void (*)();
void pri_chybe(UklidPriChybe uklid);
// The clean-up of err() without its report: the handlers, then every file still open.
// A transfer worker that was stopped ends with it.
void uklid_prenosu();
