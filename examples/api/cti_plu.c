/* cti_plu: reads the register's PLU file through the kaslnk library.
 *
 *   cti_plu PROGRAM_DIR [DEVICE]
 *
 * Writes cti_plu.cmd into PROGRAM_DIR, maps COM1 to DEVICE when given (a device path,
 * tcp://HOST:PORT or rfc2217://HOST:PORT), runs it, and prints the progress, the result
 * and the first PLU records of plu.dat, converted from Windows-1250 to UTF-8.
 * Exit code: kaslnk's.
 *
 *   cc cti_plu.c $(pkg-config --cflags --libs kaslnk) -o cti_plu          (Linux)
 *   x86_64-w64-mingw32-gcc cti_plu.c -Iinclude -L. -lkaslnk -o cti_plu.exe  (Windows)
 */
#include <stdio.h>
#include <string.h>

#include "kaslnk.h"

/* The Unicode characters of Windows-1250 0x80..0xFF (0: unassigned). */
static const unsigned short cp1250[128] = {
    0x20AC, 0, 0x201A, 0, 0x201E, 0x2026, 0x2020, 0x2021, 0, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};

/* Writes one Windows-1250 byte as UTF-8. */
static void put_cp1250(int c, FILE* out) {
    unsigned u = c < 0x80 ? (unsigned)c : cp1250[c - 0x80];
    if (u == 0) u = '?';
    if (u < 0x80) {
        fputc((int)u, out);
    } else if (u < 0x800) {
        fputc((int)(0xC0 | u >> 6), out);
        fputc((int)(0x80 | (u & 0x3F)), out);
    } else {
        fputc((int)(0xE0 | u >> 12), out);
        fputc((int)(0x80 | (u >> 6 & 0x3F)), out);
        fputc((int)(0x80 | (u & 0x3F)), out);
    }
}

static void progress(void* user, int blocks, long bytes) {
    (void)user;
    printf("\r%d blocks, %ld bytes", blocks, bytes);
    fflush(stdout);
}

static void message(void* user, const char* utf8) {
    (void)user;
    printf("\n[kaslnk] %s\n", utf8);
}

int main(int argc, char** argv) {
    char path[1024];
    FILE* f;
    kaslnk_session* s;
    int exit_code, code, subcode, c, lines = 0;

    if (argc < 2) {
        fprintf(stderr, "usage: cti_plu PROGRAM_DIR [DEVICE]\n");
        return 2;
    }
    s = kaslnk_open(argv[1]);
    if (!s) {
        fprintf(stderr, "%s is not a directory\n", argv[1]);
        return 2;
    }
    sprintf(path, "%.1000s/cti_plu.cmd", argv[1]);
    f = fopen(path, "wb");
    if (!f) return 2;
    fputs("000001,1,6,1,era\r\n/20-00/11///B000/;plu\r\n", f); /* a command file is CR LF */
    fclose(f);

    if (argc > 2) kaslnk_set_port(s, 1, argv[2]);
    kaslnk_set_progress(s, progress, NULL);
    kaslnk_set_messages(s, message, NULL);
    printf("kaslnk %s\n", kaslnk_version());
    exit_code = kaslnk_run(s, "cti_plu.cmd /q");
    kaslnk_last_error(s, &code, &subcode);
    printf("\nexit code %d, error %d/%d %s\n", exit_code, code, subcode, kaslnk_message(s));

    /* plu.dat: one record a line, comma-separated, names in Windows-1250, CR LF. */
    sprintf(path, "%.1000s/plu.dat", argv[1]);
    f = exit_code == 0 ? fopen(path, "rb") : NULL;
    while (f && lines < 3 && (c = fgetc(f)) != EOF) {
        if (c == '\r') continue;
        put_cp1250(c, stdout);
        if (c == '\n') ++lines;
    }
    if (f) fclose(f);
    kaslnk_close(s);
    return exit_code;
}
