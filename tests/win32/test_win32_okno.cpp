// The window of kaslnk.exe as other programs reach it, under Wine on a display: found by
// its class, with the model's menu, it runs the command file through WM_COMMAND 40005 against the register
// simulator on COM1, survives a failing command file started by the private message
// 40071, and ends on command 40026 sent by "kaslnk.exe --command". Runs only when
// scripts/windows.sh has mapped COM1 to the simulator's terminal and names it in
// KASLNK_WINE_OKNO; the test checks that mapping before anything opens a port.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "platform/win32/text_win32.h"
#include "tests/pomocne.h"
#include "ui/prikazy.h"

namespace {

namespace fs = std::filesystem;

template <class F>
bool cekej(F splneno, int sekund) {
    for (int i = 0; i < sekund * 10; ++i) {
        if (splneno()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return splneno();
}

HANDLE spust(std::string radek, const fs::path& kde) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string adresar = kde.string();
    if (!CreateProcessA(nullptr, radek.data(), nullptr, nullptr, FALSE, 0, nullptr, adresar.c_str(), &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

DWORD kod_konce(HANDLE proces, int sekund) {
    DWORD kod = 259;
    if (WaitForSingleObject(proces, static_cast<DWORD>(sekund) * 1000) == WAIT_OBJECT_0)
        GetExitCodeProcess(proces, &kod);
    CloseHandle(proces);
    return kod;
}

// The running kaslnk.exe processes: the window and the transfer it started.
int bezicich() {
    HANDLE snimek = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 p{};
    p.dwSize = sizeof p;
    int n = 0;
    for (BOOL dalsi = Process32First(snimek, &p); dalsi; dalsi = Process32Next(snimek, &p))
        n += _stricmp(p.szExeFile, "kaslnk.exe") == 0;
    CloseHandle(snimek);
    return n;
}

TEST(Win32Okno, PrenosyZOkna) {
    const char* pty = std::getenv("KASLNK_WINE_OKNO");
    if (!pty || !*pty) GTEST_SKIP() << "COM1 is not mapped to the simulator";
    char com1[260] = {};
    DWORD velikost = sizeof com1 - 1;
    ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Wine\\Ports", "COM1", RRF_RT_REG_SZ, nullptr, com1,
                           &velikost), ERROR_SUCCESS);
    ASSERT_STREQ(com1, pty);

    fs::path program = novy_docasny_adresar();
    std::string exe = "\"" + (program / "kaslnk.exe").string() + "\"";
    fs::copy_file(KASLNK_BINARY, program / "kaslnk.exe");
    zapis_soubor(program / "kaslnk.ini", "zpozdeni = 100\r\n");
    zapis_soubor(program / "prikaz.cmd", "000001,1,6,1,era\r\n/20-00/11///B000/;plu\r\n");
    SetEnvironmentVariableA("KASLNK_OKNO_BEZ_DOTAZU", "1");  // boxes to stderr, answered at once
    HANDLE okno_proces = spust(exe + " /w prikaz.cmd", program);
    ASSERT_NE(okno_proces, nullptr);

    HWND okno = nullptr;
    DWORD kod_okna = 0;
    ASSERT_TRUE(cekej([&] { return (okno = FindWindowA("TTYWndClass", nullptr)) != nullptr; }, 30))
        << "kaslnk.exe /w: " << (GetExitCodeProcess(okno_proces, &kod_okna) ? kod_okna : 0);
    wchar_t titulek[100] = {};
    EXPECT_TRUE(cekej([&] {
        GetWindowTextW(okno, titulek, 100);
        return std::wstring(titulek) == L"Komunikace s ER-A227E - (bez n\u00E1zvu)";
    }, 10)) << titulek;
    // Menu 300 of the program holds the model's items (the first of an id that comes twice).
    HMODULE zdroje = LoadLibraryExA((program / "kaslnk.exe").string().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HMENU menu = LoadMenuW(zdroje, MAKEINTRESOURCEW(300));
    std::set<int> videno;
    for (const PolozkaMenu& p : menu_okna()) {
        wchar_t text[80] = {};
        GetMenuStringW(menu, static_cast<UINT>(p.id), text, 80, MF_BYCOMMAND);
        EXPECT_TRUE(!videno.insert(p.id).second || std::wstring(text) == cp1250_na_utf16(p.popisek)) << p.id;
    }
    DestroyMenu(menu);
    FreeLibrary(zdroje);

    // "err" is written at the end of a transfer.
    auto vysledek_prenosu = [&] {
        EXPECT_TRUE(cekej([&] { return fs::exists(program / "err") && bezicich() == 1; }, 60));
        std::string err = precti_soubor(program / "err");
        fs::remove(program / "err");
        return err;
    };
    ASSERT_EQ(vysledek_prenosu(), "0");
    fs::remove(program / "plu.dat");
    EXPECT_EQ(SendMessageA(okno, WM_COMMAND, 40005, 0), 0);
    ASSERT_EQ(vysledek_prenosu(), "0");
    std::string data = precti_soubor(program / "plu.dat");
    EXPECT_EQ(data.rfind("00000000000001,01,0,1,0000,00000000,\"Rohl\xEDk tukov\xFD   \"", 0), 0u) << data.substr(0, 80);
    size_t radku = 0;
    for (size_t i = data.find("\r\n"); i != std::string::npos; i = data.find("\r\n", i + 2)) ++radku;
    EXPECT_EQ(radku, 367u);

    // COM2 leads nowhere: the child ends with an error, the window stays and answers.
    zapis_soubor(program / "prikaz.cmd", "000001,2,6,1,era\r\n/20-00/11///B000/;plu\r\n");
    SendMessageA(okno, 40071, 0, 0);
    EXPECT_EQ(vysledek_prenosu(), "1");
    DWORD_PTR odpoved = 0;
    EXPECT_TRUE(IsWindow(okno) && SendMessageTimeoutA(okno, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &odpoved));

    EXPECT_EQ(kod_konce(spust(exe + " --command 40026", program), 30), 0u);
    EXPECT_EQ(kod_konce(okno_proces, 30), 0u);
    EXPECT_EQ(FindWindowA("TTYWndClass", nullptr), nullptr);
    std::error_code ec;
    fs::remove_all(program, ec);
}

}  // namespace
