#include "ui/win32/tray_win32.h"

#include <shellapi.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "link/tray.h"

int tray_win32(HWND vlastnik, int operace, int ikona) {
    if (!vlastnik) return 0;
    NOTIFYICONDATAW n{};
    n.cbSize = sizeof n;
    n.hWnd = vlastnik;
    n.uID = ID_IKONY_TRAY;
    if (ikona) {
        n.uFlags = NIF_ICON;
        n.hIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ikona), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                LR_SHARED));
    }
    DWORD kod = operace == TRAY_PRIDAT ? NIM_ADD : operace == TRAY_ZMENIT ? NIM_MODIFY : NIM_DELETE;
    return Shell_NotifyIconW(kod, &n) ? 1 : 0;
}

HWND skryty_vlastnik_tray() {
    static std::mutex m;
    static std::condition_variable hotovo;
    static bool zalozen = false, pripraven = false;
    static HWND okno = nullptr;
    std::unique_lock<std::mutex> lock(m);
    if (!zalozen) {
        zalozen = true;
        std::thread([] {
            WNDCLASSW trida{};
            trida.lpfnWndProc = DefWindowProcW;
            trida.hInstance = GetModuleHandleW(nullptr);
            trida.lpszClassName = L"KaslnkTray";
            RegisterClassW(&trida);
            HWND h = CreateWindowExW(0, L"KaslnkTray", L"kaslnk", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                     trida.hInstance, nullptr);
            {
                std::lock_guard<std::mutex> l(m);
                okno = h;
                pripraven = true;
            }
            hotovo.notify_all();
            MSG zprava;
            while (h && GetMessageW(&zprava, nullptr, 0, 0) > 0) DispatchMessageW(&zprava);
        }).detach();
    }
    hotovo.wait(lock, [] { return pripraven; });
    return okno;
}
