/* kaslnk.h: the kaslnk engine for other programs (libkaslnk.so, kaslnk.dll).
 *
 * A session runs kaslnk's command lines in one program directory, each as the program
 * kaslnk started there would run it: the same command files, log, result files ("err",
 * "error.txt"), data files and exit codes. Sessions in different program directories
 * may run at the same time in threads of one process. The functions are C89, take and
 * give UTF-8 text except where noted, and never let a C++ exception out. Documentation:
 * docs/api.md.
 */
#ifndef KASLNK_H
#define KASLNK_H

#if defined(_WIN32)
#  if defined(KASLNK_BUILD)
#    define KASLNK_API __declspec(dllexport)
#  elif defined(KASLNK_STATIC)
#    define KASLNK_API
#  else
#    define KASLNK_API __declspec(dllimport)
#  endif
#elif defined(__GNUC__)
#  define KASLNK_API __attribute__((visibility("default")))
#else
#  define KASLNK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* One session: a program directory, its port mappings and callbacks, and the result of
 * its last run. Opaque. */
typedef struct kaslnk_session kaslnk_session;

/* Exit code of a run refused because another kaslnk (a process, or another session of
 * this one) works in the program directory; nothing of its files was touched. */
#define KASLNK_EXIT_BUSY 5
/* Error code and subcode of a run that kaslnk_cancel ended. */
#define KASLNK_ERROR_CANCELLED 109
#define KASLNK_SUBCODE_CANCELLED 5

/* The engine's version, "4.00". */
KASLNK_API const char* kaslnk_version(void);

/* A session in the program directory (where the command files are and the log, result
 * and data files go); NULL when it is not a directory or memory is short. */
KASLNK_API kaslnk_session* kaslnk_open(const char* program_dir);

/* Maps COMn (n 1..9) of this session alone to a device path, "rfc2217://HOST:PORT" or
 * "tcp://HOST:PORT"; NULL or "" removes the mapping. Ports without a mapping follow
 * KASLNK_COMn, then kaslnk.ini's comN, then the system's port. 0 on success, -1 for
 * another n. */
KASLNK_API int kaslnk_set_port(kaslnk_session* s, int n, const char* device);

/* Runs a command line after the program name ("prikaz.cmd /q /status", "/t",
 * "--find-register 3 --yes") in the program directory, exactly as kaslnk would, and
 * returns kaslnk's exit code: 0 success, 1 an error (kaslnk_last_error), 5 another
 * kaslnk works in the directory, ... (docs/api.md). Blocks until the run ends. A
 * session runs one command line at a time: a second call while one runs returns -1.
 * Arguments are separated by blanks; "double quotes" keep blanks in one. */
KASLNK_API int kaslnk_run(kaslnk_session* s, const char* arguments);

/* The error of the last run: returns its code, and stores the code and subcode where
 * the pointers are not NULL; 0 (both 0) after a run without an error. */
KASLNK_API int kaslnk_last_error(const kaslnk_session* s, int* code, int* subcode);

/* The last run's error text or refusal (UTF-8); "" after success. Valid until the next
 * run or kaslnk_close. */
KASLNK_API const char* kaslnk_message(const kaslnk_session* s);

/* Called after every block received or sent, with the blocks and bytes moved so far in
 * this run, on the engine's transfer thread of the running kaslnk_run. NULL: no calls.
 * Taken when a run starts. */
typedef void (*kaslnk_progress_fn)(void* user, int blocks, long bytes);
KASLNK_API void kaslnk_set_progress(kaslnk_session* s, void (*fn)(void* user, int blocks, long bytes), void* user);

/* Called with every message box text, every text written to the terminal screen and a
 * refused start's reason (UTF-8; "\r" breaks lines), on a thread of the running
 * kaslnk_run. A session never shows a box: questions get their default answer (the one
 * that changes nothing), Yes with "--yes". NULL: the texts go nowhere. Taken when a run
 * starts. */
typedef void (*kaslnk_message_fn)(void* user, const char* utf8);
KASLNK_API void kaslnk_set_messages(kaslnk_session* s, void (*fn)(void* user, const char* utf8), void* user);

/* From any thread: the running transfer ends within a second with error 109/5 (exit
 * code 1), the port closed, the log line and result files written, data files that
 * existed before left as they were. Nothing happens when nothing runs. */
KASLNK_API void kaslnk_cancel(kaslnk_session* s);

/* Frees the session (NULL: nothing). Not while kaslnk_run runs on it. */
KASLNK_API void kaslnk_close(kaslnk_session* s);

#ifdef __cplusplus
}
#endif

#endif /* KASLNK_H */
