// Programs started by the window with pipes on their standard input and output.
// The pipe handles travel as the ints of PlatPotomek: kernel handles fit in 32 bits on
// 64-bit Windows too. The process handle stays here, found by the process id.
#include "platform/platform.h"

#include <windows.h>

#include <map>
#include <mutex>

namespace {

// The process handles of the children, by process id: PlatPotomek carries only numbers,
// and a child may be started by one session and collected by another part of the process
// (the window), so the table is the process's.
struct Procesy {
    std::mutex m;
    std::map<int, HANDLE> handly;
} g_procesy;

HANDLE handle(int fd) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd)); }
int cislo(HANDLE h) { return static_cast<int>(reinterpret_cast<intptr_t>(h)); }

// One argument as the C runtime of the child splits the command line again.
std::string do_radku(const std::string& a) {
    if (!a.empty() && a.find_first_of(" \t\"") == std::string::npos) return a;
    std::string out = "\"";
    size_t lomitek = 0;
    for (char c : a) {
        if (c == '\\') {
            ++lomitek;
            continue;
        }
        out.append(c == '"' ? lomitek * 2 + 1 : lomitek, '\\');
        lomitek = 0;
        out += c;
    }
    out.append(lomitek * 2, '\\');
    return out + "\"";
}

void zavri(HANDLE& h) {
    if (h) CloseHandle(h);
    h = nullptr;
}

}  // namespace

std::string plat_program_vedle(const std::string& jmeno) {
    std::string ja = plat_cesta_programu();
    size_t lomitko = ja.find_last_of("\\/");
    std::string soubor = jmeno.find('.') == std::string::npos ? jmeno + ".exe" : jmeno;
    return (lomitko == std::string::npos ? std::string() : ja.substr(0, lomitko + 1)) + soubor;
}

PlatPotomek plat_spust_potomka(const std::string& program, const std::vector<std::string>& argumenty,
                               const std::string& promenna) {
    SECURITY_ATTRIBUTES dedi{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE ven_cti = nullptr, ven_pis = nullptr, dovnitr_cti = nullptr, dovnitr_pis = nullptr, nic = nullptr;
    PlatPotomek p;
    if (!CreatePipe(&ven_cti, &ven_pis, &dedi, 0)) return p;
    if (!CreatePipe(&dovnitr_cti, &dovnitr_pis, &dedi, 0)) {
        zavri(ven_cti);
        zavri(ven_pis);
        return p;
    }
    // Our ends stay ours; the child's error output goes nowhere (it would break the frames).
    SetHandleInformation(ven_cti, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(dovnitr_pis, HANDLE_FLAG_INHERIT, 0);
    nic = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &dedi, OPEN_EXISTING, 0, nullptr);

    std::string radek;
    for (const std::string& a : argumenty) radek += (radek.empty() ? "" : " ") + do_radku(a);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = dovnitr_cti;
    si.hStdOutput = ven_pis;
    si.hStdError = nic == INVALID_HANDLE_VALUE ? nullptr : nic;
    PROCESS_INFORMATION pi{};

    // The child inherits this process's environment with the variable added for the start.
    size_t rovna = promenna.find('=');
    std::string nazev = promenna.substr(0, rovna);
    char stara[1024];
    DWORD delka_stare = GetEnvironmentVariableA(nazev.c_str(), stara, sizeof stara);
    if (rovna != std::string::npos) SetEnvironmentVariableA(nazev.c_str(), promenna.c_str() + rovna + 1);
    BOOL spusten = CreateProcessA(program.c_str(), radek.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &si, &pi);
    if (rovna != std::string::npos)
        SetEnvironmentVariableA(nazev.c_str(), delka_stare > 0 && delka_stare < sizeof stara ? stara : nullptr);

    zavri(ven_pis);
    zavri(dovnitr_cti);
    if (nic != INVALID_HANDLE_VALUE) zavri(nic);
    if (!spusten) {
        zavri(ven_cti);
        zavri(dovnitr_pis);
        return p;
    }
    CloseHandle(pi.hThread);
    {
        std::lock_guard<std::mutex> lock(g_procesy.m);
        g_procesy.handly[static_cast<int>(pi.dwProcessId)] = pi.hProcess;
    }
    p.pid = static_cast<int>(pi.dwProcessId);
    p.vystup = cislo(ven_cti);
    p.vstup = cislo(dovnitr_pis);
    return p;
}

long plat_cti_z(int fd, char* data, size_t pocet) {
    DWORD ceka = 0;
    // A pipe whose writer has gone fails here: the end of the stream.
    if (!PeekNamedPipe(handle(fd), nullptr, 0, nullptr, &ceka, nullptr)) return 0;
    if (ceka == 0) return -1;
    DWORD precteno = 0;
    DWORD kolik = static_cast<DWORD>(pocet < ceka ? pocet : ceka);
    if (!ReadFile(handle(fd), data, kolik, &precteno, nullptr)) return 0;
    return static_cast<long>(precteno);
}

bool plat_zapis_do(int fd, const std::string& data) {
    for (size_t od = 0; od < data.size();) {
        DWORD zapsano = 0;
        if (!WriteFile(handle(fd), data.data() + od, static_cast<DWORD>(data.size() - od), &zapsano, nullptr) ||
            zapsano == 0)
            return false;
        od += zapsano;
    }
    return true;
}

bool plat_potomek_skoncil(const PlatPotomek& p) {
    std::lock_guard<std::mutex> lock(g_procesy.m);
    auto it = g_procesy.handly.find(p.pid);
    return it == g_procesy.handly.end() || WaitForSingleObject(it->second, 0) == WAIT_OBJECT_0;
}

namespace {
HANDLE proces_potomka(int pid) {
    std::lock_guard<std::mutex> lock(g_procesy.m);
    auto it = g_procesy.handly.find(pid);
    return it == g_procesy.handly.end() ? nullptr : it->second;
}
}  // namespace

bool plat_vyzvedni_potomka(PlatPotomek& p, int& kod) {
    HANDLE proces = proces_potomka(p.pid);
    if (proces && WaitForSingleObject(proces, 0) == WAIT_TIMEOUT) return false;
    kod = plat_dokonci_potomka(p);  // it has ended: nothing to wait for
    return true;
}

// It ends with the code a killed child has on posix (128 + SIGKILL).
void plat_zabij_potomka(const PlatPotomek& p) {
    if (HANDLE proces = proces_potomka(p.pid)) TerminateProcess(proces, 128 + 9);
}

int plat_dokonci_potomka(PlatPotomek& p) {
    if (p.vystup >= 0) CloseHandle(handle(p.vystup));
    if (p.vstup >= 0) CloseHandle(handle(p.vstup));
    p.vystup = p.vstup = -1;
    HANDLE proces = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_procesy.m);
        auto it = g_procesy.handly.find(p.pid);
        if (it != g_procesy.handly.end()) {
            proces = it->second;
            g_procesy.handly.erase(it);
        }
    }
    p.pid = -1;
    if (!proces) return -1;
    DWORD kod = static_cast<DWORD>(-1);
    WaitForSingleObject(proces, INFINITE);
    GetExitCodeProcess(proces, &kod);
    CloseHandle(proces);
    return static_cast<int>(kod);
}
