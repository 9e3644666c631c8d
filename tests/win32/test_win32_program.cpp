// The built kaslnk.exe started the way another program starts it: CreateProcess, wait,
// exit code. It reads its command line from the system, finds its program directory
// there and, being a GUI-subsystem program, still hands its exit code to the waiting
// parent. No case opens a serial port (/k, or an error before the port). A message box
// the program shows is closed as a user would (on a desktop; Wine without a display
// shows none).
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "core/prenos.h"
#include "core/prikazovy_radek.h"
#include "platform/platform.h"
#include "tests/pomocne.h"

namespace {

namespace fs = std::filesystem;

// Closes the visible windows of the process (its message boxes); returns how many.
struct HledaniOken {
    DWORD pid;
    int pocet;
};

BOOL CALLBACK zavri_okno(HWND okno, LPARAM l) {  // CALLBACK: stdcall on i686
    auto* hl = reinterpret_cast<HledaniOken*>(l);
    DWORD vlastnik = 0;
    GetWindowThreadProcessId(okno, &vlastnik);
    if (vlastnik == hl->pid && IsWindowVisible(okno)) {
        PostMessageA(okno, WM_CLOSE, 0, 0);
        ++hl->pocet;
    }
    return TRUE;
}

int zavri_okna(DWORD pid) {
    HledaniOken h{pid, 0};
    EnumWindows(zavri_okno, reinterpret_cast<LPARAM>(&h));
    return h.pocet;
}

class Win32Program : public ::testing::Test {
protected:
    fs::path koren, program, jinde;
    int okna = 0;  // message boxes closed during the last run

    void SetUp() override {
        koren = novy_docasny_adresar();
        program = koren / "Pokladna 1";  // a blank in the directory, as in "Program Files"
        jinde = koren / "jinde";
        fs::create_directories(program);
        fs::create_directories(jinde);
        fs::copy_file(KASLNK_BINARY, program / "kaslnk.exe");
        zapis_soubor(program / "kaslnk.ini", "zpozdeni = 0\r\n");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(koren, ec);
    }

    // Starts the program with this command line (and, when given, this application name)
    // in the directory `jinde`; returns its exit code, or -1 when it did not end in time.
    // With `vystup` its standard output and error are a pipe read into it.
    int spust(std::string radek, const std::string& aplikace = {}, std::string* vystup = nullptr) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        HANDLE cti = nullptr, pis = nullptr;
        SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
        if (vystup && CreatePipe(&cti, &pis, &sa, 1 << 16)) {
            si.dwFlags = STARTF_USESTDHANDLES;
            si.hStdOutput = si.hStdError = pis;
        }
        std::string adresar = jinde.string();
        bool spusteno = CreateProcessA(aplikace.empty() ? nullptr : aplikace.c_str(), radek.data(), nullptr,
                                       nullptr, pis != nullptr, 0, nullptr, adresar.c_str(), &si, &pi);
        if (pis) CloseHandle(pis);
        if (!spusteno) {
            ADD_FAILURE() << "CreateProcess failed: " << GetLastError();
            return -1;
        }
        DWORD kod = static_cast<DWORD>(-1);
        okna = 0;
        int cekani = 0;
        while (WaitForSingleObject(pi.hProcess, 100) == WAIT_TIMEOUT) {
            okna += zavri_okna(pi.dwProcessId);
            if (++cekani == 600) {
                ADD_FAILURE() << "kaslnk.exe did not end";
                TerminateProcess(pi.hProcess, 99);
                WaitForSingleObject(pi.hProcess, 5000);
                break;
            }
        }
        if (cekani < 600) GetExitCodeProcess(pi.hProcess, &kod);
        char buf[4096];
        DWORD n = 0;
        while (cti && ReadFile(cti, buf, sizeof buf, &n, nullptr) && n > 0) vystup->append(buf, n);
        if (cti) CloseHandle(cti);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return static_cast<int>(kod);
    }

    std::string precti(const std::string& jmeno) { return precti_soubor(program / jmeno); }
};

// The caller names the program as the application and passes only switches: 8, and
// nothing is written. A second process in the locked program directory ends with 5 and
// leaves the files alone; once free, the run reports its error only through the files.
// No box holds the caller (none without /h, /w or /d).
TEST_F(Win32Program, KodyKonceBezOken) {
    EXPECT_EQ(spust("/q /k", (program / "kaslnk.exe").string()), 8);
    EXPECT_EQ(okna, 0);
    EXPECT_FALSE(fs::exists(program / "timd.cmx"));
    zapis_soubor(program / "x.cmd", "000001,1,6,1,era\r\n/70-00/;plu\r\n");
    zapis_soubor(program / "err", "0");
    const std::string x_cmd = "\"" + (program / "KASLNK.EXE").string() + "\" x.cmd";
    int zamek = plat_zamkni((program / ZAMEK_ADRESARE).string());
    ASSERT_GE(zamek, 0);
    EXPECT_EQ(spust(x_cmd), KOD_OBSAZENY_ADRESAR);
    EXPECT_EQ(okna, 0);  // an unattended caller is not held behind a message box
    EXPECT_EQ(precti("err"), "0");
    EXPECT_FALSE(fs::exists(program / "era.log"));
    plat_uvolni_zamek(zamek);
    EXPECT_EQ(spust(x_cmd), 1);
    EXPECT_EQ(okna, 0);
    EXPECT_EQ(precti("err") + precti("error.txt"), "19\r\n");
    EXPECT_NE(precti("era.log").find(",51,000001,/70-00/;1,0036\r\n"), std::string::npos) << precti("era.log");
    EXPECT_TRUE(fs::is_empty(jinde));
}

// The forms a person types are read from the argument vector (a "--help" after a command
// file is no file name) and write to the standard output the caller gave, with the exit
// codes of Linux; --list-ports names the mapping of each COMn and where it comes from.
TEST_F(Win32Program, FormyProPrikazovyRadek) {
    const std::string exe = "\"" + (program / "kaslnk.exe").string() + "\"";
    const struct {
        const char* argumenty;
        int kod;
        const char* text;
    } pripady[] = {
        {" --version", 0, "kaslnk 4.00\r\n"},
        {" x.cmd --help", 0, "Usage: kaslnk COMMANDFILE"},
        {" --list-ports", 0, "  COM1  /nonexistent/kaslnk-com1  (KASLNK_COM1)\r\n"},
        {" --set-port 12", 2, "--set-port: cislo portu je 1 az 9."},
    };
    for (const auto& p : pripady) {
        std::string vystup;
        EXPECT_EQ(spust(exe + p.argumenty, {}, &vystup), p.kod) << p.argumenty;
        EXPECT_NE(vystup.find(p.text), std::string::npos) << p.argumenty << ": " << vystup;
    }
    EXPECT_EQ(okna, 0);
}

}  // namespace
