// The Win32 view of the main window: the terminal screen, the editor (a multi-line EDIT
// control), the common dialogs, printing, message boxes and the programs the window
// starts. The rules are the model's (ui/okno.h); this file draws and forwards.
#include "ui/win32/okno_win32.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/kanal.h"
#include "core/sezeni_jadra.h"
#include "core/spusteni.h"
#include "core/zpravy.h"
#include "link/tray.h"
#include "platform/platform.h"
#include "platform/win32/text_win32.h"
#include "format/logo.h"
#include "ui/dialogy.h"
#include "ui/editor.h"
#include "ui/okno.h"
#include "ui/prikazy.h"
#include "ui/texty.h"
#include "ui/win32/tray_win32.h"
#include "ui/win32/zdroje.h"

namespace {

constexpr wchar_t TRIDA_OKNA[] = L"TTYWndClass";
constexpr UINT_PTR CASOVAC_POTOMKA = 1;
constexpr UINT PERIODA_POTOMKA_MS = 25;

std::wstring w(const std::string& text) { return cp1250_na_utf16(text); }

// The model's lines end in "\n", the edit control's in CR LF, as in a file.
std::wstring do_editoru(const std::string& text) { return w(soubor_z_textu(text)); }

// A position in the model's text as one in the edit control (each "\n" is two there).
size_t na_pozici_editoru(const std::string& text, size_t pozice) {
    pozice = std::min(pozice, text.size());
    return pozice + static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<long>(pozice), '\n'));
}

// The filter list of the open and save dialogs: `popis` (*.pripona) and "Všechny soubory".
std::wstring filtr(const std::string& pripona, const std::string& popis = "Cmd\xE9\xE8ka") {
    std::wstring f = w(popis);
    f += L'\0';
    f += L"*." + w(pripona);
    f += L'\0';
    f += w("V\x9A" "echny soubory");
    f += L'\0';
    f += L"*.*";
    f += L'\0';
    return f;
}

class OknoWin32;
OknoWin32* g_okno = nullptr;
bool g_tisk_zrusen = false;
HWND g_tisk_dialog = nullptr;

class OknoWin32 final : public PohledOkna {
public:
    OknoWin32(SezeniJadra& s, std::vector<std::string> argumenty)
        : model_(*this, s, std::move(argumenty)), bez_dotazu_(std::getenv("KASLNK_OKNO_BEZ_DOTAZU") != nullptr) {}

    Okno& model() { return model_; }
    HWND okno() const { return okno_; }
    HWND hledani() const { return hledani_; }
    int sirka_znaku() const { return sirka_znaku_; }
    int vyska_radku() const { return vyska_radku_; }
    LRESULT zprava(HWND h, UINT m, WPARAM wp, LPARAM lp);

    // PohledOkna
    void nastav_titulek(const std::string& titulek) override { SetWindowTextW(okno_, w(titulek).c_str()); }
    int box(const std::string& text, uint32_t styl) override;
    void ukaz_editor() override { ShowWindow(editor_, SW_SHOW); }  // the focus stays with the window
    std::string text_editoru() override;
    void nastav_text_editoru(const std::string& text) override {
        SetWindowTextW(editor_, do_editoru(text.substr(0, MAX_EDITOR)).c_str());
    }
    size_t konec_vyberu() override;
    void vyber(size_t od, size_t po) override;
    void nahrad_vyber(const std::string& text) override {
        SendMessageW(editor_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(do_editoru(text).c_str()));
    }
    void uprav(int id) override;
    bool dialog_otevrit(const std::string& pripona, const std::string& adresar, std::string& cesta,
                        std::string& jmeno) override;
    bool dialog_ulozit(const std::string& adresar, std::string& cesta, std::string& jmeno) override;
    bool dialog_souboru(const std::string& popis, const std::string& pripona, const std::string& adresar,
                        std::string& cesta) override;
    bool dialog_linky(DialogLinky& d) override;
    bool dialog_portu(DialogPortu& d) override;
    bool nahled_loga(const NahledLoga& n) override;
    // The font and colour of the terminal screen from the font dialog (the Font... button of 101).
    void vyber_pismo_terminalu(HWND vlastnik);
    void dialog_hledani(bool nahrazovani) override;
    void dialog_pisma() override;
    bool tiskni(const std::string& titulek) override;
    void ukaz_napovedu() override;
    void ukaz_o_programu() override;
    void zavri() override { PostMessageW(okno_, WM_CLOSE, 0, 0); }
    bool spust_potomka(const std::vector<std::string>& argumenty) override;
    void odpovez_potomkovi(int odpoved) override {
        if (potomek_.vstup >= 0) plat_zapis_do(potomek_.vstup, zabal_odpoved(odpoved));
    }
    void prekresli_terminal() override {
        RECT r{0, 0, sirka_znaku_ * TERM_SLOUPCU, vyska_radku_ * TERM_RADKU};
        InvalidateRect(okno_, &r, FALSE);
    }
    void kurzor(bool port_otevren) override;
    void tray(int operace, int ikona) override { tray_win32(okno_, operace, ikona); }

private:
    TTYINFO& tt() { return model_.sezeni().tt; }  // the window's terminal record
    void vytvor(HWND h);
    void nastav_pismo_terminalu();
    void kresli();
    void posun_kurzor();
    void menu_editace(HMENU menu);
    void cti_potomka();
    LRESULT prikaz(int id);
    bool soubor_z_dialogu(bool ulozit, const std::wstring& filtr, const std::string& adresar, std::string& cesta,
                          std::string& jmeno, const std::string& vychozi = "cmd");

    Okno model_;
    HWND okno_ = nullptr, editor_ = nullptr, hledani_ = nullptr;
    HFONT pismo_ = nullptr, pismo_editoru_ = nullptr;
    LOGFONTW logfont_terminalu_{}, logfont_editoru_{};
    int sirka_znaku_ = 8, vyska_radku_ = 16;
    bool kurzor_ = false;
    UINT zprava_hledani_ = 0;
    FINDREPLACEW hledani_zaznam_{};
    wchar_t hledany_[256] = {}, nahrada_[256] = {};
    PlatPotomek potomek_;
    CtenarKanalu ctenar_;
    bool ctu_ = false;
    int odlozeny_prikaz_ = 0;  // a command waiting for the end of the child being read
    bool bez_dotazu_;  // KASLNK_OKNO_BEZ_DOTAZU: boxes go to stderr with their first button
};

// --- creation, terminal, caret ----------------------------------------------------------

void OknoWin32::vytvor(HWND h) {
    okno_ = h;
    SetWindowLongPtrW(h, 0, reinterpret_cast<LONG_PTR>(&tt()));
    logfont_terminalu_.lfCharSet = DEFAULT_CHARSET;
    logfont_terminalu_.lfPitchAndFamily = FIXED_PITCH;
    lstrcpynW(logfont_terminalu_.lfFaceName, L"Fixedsys", LF_FACESIZE);
    nastav_pismo_terminalu();
    editor_ = CreateWindowExW(0, L"EDIT", nullptr,
                              WS_CHILD | WS_DLGFRAME | WS_HSCROLL | WS_VSCROLL | ES_LEFT | ES_MULTILINE |
                                  ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_NOHIDESEL,
                              0, 0, 0, 0, h, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDITOR)),
                              GetModuleHandleW(nullptr), nullptr);
    SendMessageW(editor_, EM_LIMITTEXT, MAX_EDITOR, 0);
    // The editor's own font: the system font's description with a fixed-pitch face.
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof logfont_editoru_, &logfont_editoru_);
    lstrcpynW(logfont_editoru_.lfFaceName, L"Fixedsys", LF_FACESIZE);
    logfont_editoru_.lfWeight = FW_NORMAL;
    pismo_editoru_ = CreateFontIndirectW(&logfont_editoru_);
    SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(pismo_editoru_), FALSE);
    zprava_hledani_ = RegisterWindowMessageW(FINDMSGSTRINGW);
    plat_nastav_vlastnika_boxu(h);
}

void OknoWin32::nastav_pismo_terminalu() {
    if (pismo_) DeleteObject(pismo_);
    pismo_ = CreateFontIndirectW(&logfont_terminalu_);
    HDC dc = GetDC(okno_);
    HGDIOBJ stare = SelectObject(dc, pismo_);
    TEXTMETRICW m{};
    GetTextMetricsW(dc, &m);
    SelectObject(dc, stare);
    ReleaseDC(okno_, dc);
    sirka_znaku_ = std::max<int>(1, m.tmAveCharWidth);
    vyska_radku_ = std::max<int>(1, m.tmHeight + m.tmExternalLeading);
}

// Only the cells of the invalid rectangle, one text output per row.
void OknoWin32::kresli() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(okno_, &ps);
    HGDIOBJ stare = SelectObject(dc, pismo_);
    SetTextColor(dc, tt().barva_textu);
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetBkMode(dc, OPAQUE);
    OblastMrizky o = oblast_kresleni(ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom,
                                     sirka_znaku_, vyska_radku_);
    int sloupcu = o.posledni_sloupec - o.prvni_sloupec + 1;
    std::vector<INT> kroky(static_cast<size_t>(std::max(sloupcu, 0)), sirka_znaku_);
    for (int radek = o.prvni_radek; sloupcu > 0 && radek <= o.posledni_radek; ++radek) {
        RECT r{o.prvni_sloupec * sirka_znaku_, radek * vyska_radku_,
               (o.prvni_sloupec + sloupcu) * sirka_znaku_, (radek + 1) * vyska_radku_};
        std::wstring text = w(std::string(tt().obrazovka[radek] + o.prvni_sloupec, static_cast<size_t>(sloupcu)));
        ExtTextOutW(dc, r.left, r.top, ETO_OPAQUE | ETO_CLIPPED, &r, text.c_str(), static_cast<UINT>(text.size()),
                    kroky.data());
    }
    SelectObject(dc, stare);
    EndPaint(okno_, &ps);
    posun_kurzor();
}

void OknoWin32::posun_kurzor() {
    if (kurzor_ && tt().pripojeno) SetCaretPos(tt().sloupec * sirka_znaku_, tt().radek * vyska_radku_);
}

// The caret only while the port is open and the window itself has the focus.
void OknoWin32::kurzor(bool port_otevren) {
    if (port_otevren && GetFocus() == okno_) {
        if (!kurzor_) {
            CreateCaret(okno_, nullptr, sirka_znaku_, vyska_radku_);
            ShowCaret(okno_);
            kurzor_ = true;
        }
        posun_kurzor();
    } else if (kurzor_) {
        HideCaret(okno_);
        DestroyCaret();
        kurzor_ = false;
    }
}

// --- message boxes ----------------------------------------------------------------------

int OknoWin32::box(const std::string& text, uint32_t styl) {
    if (bez_dotazu_) {
        std::fprintf(stderr, "kaslnk-okno: %s\n", text.c_str());
        std::fflush(stderr);
        uint32_t tlacitka = styl & 0x0F;
        return tlacitka == 3 || tlacitka == 4 ? IDYES_ : tlacitka == 2 ? 3 : tlacitka == 5 ? 4 : IDOK_;
    }
    // "\r" alone breaks a line in the program's texts.
    std::string radky;
    for (size_t i = 0; i < text.size(); ++i) {
        radky += text[i];
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) radky += '\n';
    }
    return MessageBoxW(okno_, w(radky).c_str(), w(TITULEK).c_str(), styl);
}

// --- editor -----------------------------------------------------------------------------

std::string OknoWin32::text_editoru() {
    int delka = GetWindowTextLengthW(editor_);
    std::wstring text(static_cast<size_t>(delka) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(editor_, text.data(), delka + 1)));
    std::string s = utf16_na_cp1250(text);
    s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
    return s;
}

size_t OknoWin32::konec_vyberu() {
    DWORD od = 0, po = 0;
    SendMessageW(editor_, EM_GETSEL, reinterpret_cast<WPARAM>(&od), reinterpret_cast<LPARAM>(&po));
    // Back to the model's count: the CR of every line end before the position is left out.
    int delka = GetWindowTextLengthW(editor_);
    std::wstring text(static_cast<size_t>(delka) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(editor_, text.data(), delka + 1)));
    size_t konec = std::min<size_t>(po, text.size());
    return konec - static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<long>(konec), L'\r'));
}

void OknoWin32::vyber(size_t od, size_t po) {
    std::string text = text_editoru();
    SendMessageW(editor_, EM_SETSEL, na_pozici_editoru(text, od), static_cast<LPARAM>(na_pozici_editoru(text, po)));
    SendMessageW(editor_, EM_SCROLLCARET, 0, 0);
}

void OknoWin32::uprav(int id) {
    switch (id) {
        case ID_ZPET: SendMessageW(editor_, WM_UNDO, 0, 0); break;
        case ID_VYJMI: SendMessageW(editor_, WM_CUT, 0, 0); break;
        case ID_KOPIRUJ: SendMessageW(editor_, WM_COPY, 0, 0); break;
        case ID_VLOZ: SendMessageW(editor_, WM_PASTE, 0, 0); break;
        case ID_SMAZ: SendMessageW(editor_, WM_CLEAR, 0, 0); break;
        case ID_VYBER_VSE: SendMessageW(editor_, EM_SETSEL, 0, -1); break;
    }
}

void OknoWin32::menu_editace(HMENU menu) {
    DWORD od = 0, po = 0;
    SendMessageW(editor_, EM_GETSEL, reinterpret_cast<WPARAM>(&od), reinterpret_cast<LPARAM>(&po));
    SedeEditace s = sede_editace(SendMessageW(editor_, EM_CANUNDO, 0, 0) != 0,
                                 IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT),
                                 od != po);
    const std::pair<int, bool> polozky[] = {
        {ID_ZPET, s.zpet}, {ID_VYJMI, s.vyjmi}, {ID_KOPIRUJ, s.kopiruj}, {ID_VLOZ, s.vloz}, {ID_SMAZ, s.smaz}};
    for (const auto& [id, seda] : polozky)
        EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (seda ? MF_GRAYED : MF_ENABLED));
}

// --- common dialogs ---------------------------------------------------------------------

bool OknoWin32::soubor_z_dialogu(bool ulozit, const std::wstring& f, const std::string& adresar,
                                 std::string& cesta, std::string& jmeno, const std::string& vychozi) {
    std::wstring slozka = w(adresar), pripona = w(vychozi);
    wchar_t soubor[MAX_PATH] = {}, nazev[MAX_PATH] = {};
    lstrcpynW(soubor, w(cesta).c_str(), MAX_PATH);
    OPENFILENAMEW o{};
    o.lStructSize = sizeof o;
    o.hwndOwner = okno_;
    o.lpstrFilter = f.c_str();
    o.nFilterIndex = 1;
    o.lpstrFile = soubor;
    o.nMaxFile = MAX_PATH;
    o.lpstrFileTitle = nazev;
    o.nMaxFileTitle = MAX_PATH;
    o.lpstrInitialDir = slozka.empty() ? nullptr : slozka.c_str();
    o.lpstrDefExt = pripona.c_str();
    o.Flags = ulozit ? OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY : OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    if (!(ulozit ? GetSaveFileNameW(&o) : GetOpenFileNameW(&o))) return false;
    cesta = utf16_na_cp1250(soubor);
    jmeno = utf16_na_cp1250(nazev);
    return true;
}

bool OknoWin32::dialog_otevrit(const std::string& pripona, const std::string& adresar, std::string& cesta,
                               std::string& jmeno) {
    return soubor_z_dialogu(false, filtr(pripona), adresar, cesta, jmeno);
}

bool OknoWin32::dialog_ulozit(const std::string& adresar, std::string& cesta, std::string& jmeno) {
    return soubor_z_dialogu(true, filtr(tt().pripona_cmd), adresar, cesta, jmeno);
}

bool OknoWin32::dialog_souboru(const std::string& popis, const std::string& pripona, const std::string& adresar,
                               std::string& cesta) {
    std::string jmeno;
    cesta.clear();
    return soubor_z_dialogu(false, filtr(pripona, popis), adresar, cesta, jmeno, pripona);
}

void OknoWin32::dialog_hledani(bool nahrazovani) {
    if (hledani_) DestroyWindow(hledani_);
    hledani_zaznam_ = FINDREPLACEW{};
    hledani_zaznam_.lStructSize = sizeof hledani_zaznam_;
    hledani_zaznam_.hwndOwner = okno_;
    hledani_zaznam_.Flags = FR_HIDEUPDOWN | FR_HIDEMATCHCASE | FR_HIDEWHOLEWORD;
    hledani_zaznam_.lpstrFindWhat = hledany_;
    hledani_zaznam_.wFindWhatLen = 256;
    hledani_zaznam_.lpstrReplaceWith = nahrada_;
    hledani_zaznam_.wReplaceWithLen = 256;
    hledani_ = nahrazovani ? ReplaceTextW(&hledani_zaznam_) : FindTextW(&hledani_zaznam_);
}

void OknoWin32::dialog_pisma() {
    CHOOSEFONTW v{};
    v.lStructSize = sizeof v;
    v.hwndOwner = okno_;
    v.lpLogFont = &logfont_editoru_;
    v.Flags = CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS | CF_EFFECTS;
    if (!ChooseFontW(&v)) return;
    HFONT nove = CreateFontIndirectW(&logfont_editoru_);
    SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(nove), TRUE);
    if (pismo_editoru_) DeleteObject(pismo_editoru_);
    pismo_editoru_ = nove;
}

// --- printing ---------------------------------------------------------------------------

INT_PTR CALLBACK TiskProc(HWND dialog, UINT m, WPARAM, LPARAM) {
    if (m == WM_INITDIALOG) {
        EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_GRAYED);
        return TRUE;
    }
    if (m == WM_COMMAND) {  // its only button cancels
        g_tisk_zrusen = true;
        EnableWindow(GetParent(dialog), TRUE);
        DestroyWindow(dialog);
        g_tisk_dialog = nullptr;
        return TRUE;
    }
    return FALSE;
}

BOOL CALLBACK PreruseniTisku(HDC, int) {
    MSG m;
    while (!g_tisk_zrusen && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (g_tisk_dialog && IsDialogMessageW(g_tisk_dialog, &m)) continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return !g_tisk_zrusen;
}

bool OknoWin32::tiskni(const std::string& titulek) {
    PRINTDLGW p{};
    p.lStructSize = sizeof p;
    p.hwndOwner = okno_;
    p.Flags = PD_RETURNDC | PD_NOSELECTION | PD_COLLATE | PD_NOPAGENUMS;
    p.nCopies = 1;
    if (!PrintDlgW(&p)) return true;  // cancelled
    if (p.hDevMode) GlobalFree(p.hDevMode);
    if (p.hDevNames) GlobalFree(p.hDevNames);
    HDC dc = p.hDC;
    std::string text = text_editoru();
    if (!dc || text.empty()) {
        if (dc) DeleteDC(dc);
        return true;
    }
    TEXTMETRICW m{};
    GetTextMetricsW(dc, &m);
    Strankovani s = strankuj(GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), m.tmAveCharWidth, m.tmHeight,
                             m.tmExternalLeading, static_cast<int>(radky_tisku(text, 1 << 20).size()));
    if (s.stran == 0) {
        DeleteDC(dc);
        return false;
    }
    std::vector<std::string> radky = radky_tisku(text, s.znaku_na_radek);

    EnableWindow(okno_, FALSE);
    g_tisk_zrusen = false;
    g_tisk_dialog = CreateDialogW(GetModuleHandleW(nullptr), L"PrintDlgBox", okno_, TiskProc);
    if (g_tisk_dialog) SetDlgItemTextW(g_tisk_dialog, IDC_TISK_TITULEK, w(titulek).c_str());
    SetAbortProc(dc, PreruseniTisku);
    wchar_t nazev[260] = {};
    GetWindowTextW(okno_, nazev, 260);
    DOCINFOW dokument{};
    dokument.cbSize = sizeof dokument;
    dokument.lpszDocName = nazev;
    bool ok = StartDocW(dc, &dokument) > 0;
    for (int strana : poradi_stran(s.stran, p.nCopies, (p.Flags & PD_COLLATE) != 0)) {
        if (!ok || g_tisk_zrusen) break;
        if (StartPage(dc) <= 0) {
            ok = false;
            break;
        }
        for (int i = 0; i < s.radku_na_stranu; ++i) {
            size_t index = static_cast<size_t>(strana * s.radku_na_stranu + i);
            if (index >= radky.size()) break;
            std::wstring radek = w(radky[index]);
            TextOutW(dc, 0, i * s.vyska_radku, radek.c_str(), static_cast<int>(radek.size()));
        }
        if (EndPage(dc) <= 0) ok = false;
    }
    if (ok && !g_tisk_zrusen)
        EndDoc(dc);
    else
        AbortDoc(dc);
    if (!g_tisk_zrusen) {
        EnableWindow(okno_, TRUE);
        if (g_tisk_dialog) DestroyWindow(g_tisk_dialog);
        g_tisk_dialog = nullptr;
    }
    DeleteDC(dc);
    return ok && !g_tisk_zrusen;
}

// --- about and help ---------------------------------------------------------------------

// Both dialogs only show their texts: the about box its three lines, the help its guide.
INT_PTR CALLBACK DialogProc(HWND dialog, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_INITDIALOG) {
        if (lp == IDD_NAPOVEDA) {
            // The focus on OK: in the text it would select all of it and scroll to its end.
            SetDlgItemTextW(dialog, IDC_TEXT_NAPOVEDY, w(text_napovedy()).c_str());
            SetFocus(GetDlgItem(dialog, IDOK));
            return FALSE;
        } else {
            SetDlgItemTextW(dialog, IDC_NAZEV, w(o_programu_nazev()).c_str());
            SetDlgItemTextW(dialog, IDC_SYSTEM, w(o_programu_system()).c_str());
            SetDlgItemTextW(dialog, IDC_VERZE, w(o_programu_verze()).c_str());
        }
        return TRUE;
    }
    if (m == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

void ukaz_dialog(HWND vlastnik, int cislo) {
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(cislo), vlastnik, DialogProc, cislo);
}

void OknoWin32::ukaz_napovedu() { ukaz_dialog(okno_, IDD_NAPOVEDA); }
void OknoWin32::ukaz_o_programu() { ukaz_dialog(okno_, IDD_O_PROGRAMU); }

// --- the tools' dialogs -----------------------------------------------------------------

void napln_kombo(HWND dialog, int id, const Volba& v) {
    for (const std::string& p : v.popisky) SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w(p).c_str()));
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(v.vybrano), 0);
    EnableWindow(GetDlgItem(dialog, id), v.povolena);
}

int vyber_komba(HWND dialog, int id) {
    LRESULT r = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    return r == CB_ERR ? -1 : static_cast<int>(r);
}

// The check boxes of dialog 101 in the order of Zaskrtnuti (555 is the font button).
int zaskrtnuti_linky(int i) { return IDC_PRVNI_ZASKRTNUTI + i + (i >= NOTIFIKACE ? 1 : 0); }

INT_PTR CALLBACK LinkaProc(HWND dialog, UINT m, WPARAM wp, LPARAM lp) {
    auto* d = reinterpret_cast<DialogLinky*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (m == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lp);
        d = reinterpret_cast<DialogLinky*>(lp);
        SetWindowTextW(dialog, w(DialogLinky::TITULEK).c_str());
        const Volba* volby[] = {&d->port, &d->rychlost, &d->datove_bity, &d->parita, &d->stop_bity};
        for (int i = 0; i < 5; ++i) {
            SetDlgItemTextW(dialog, IDC_POPISEK_VOLBY + i, w(DialogLinky::POPISKY_VOLEB[static_cast<size_t>(i)]).c_str());
            napln_kombo(dialog, IDC_PORT + i, *volby[i]);
        }
        for (int i = 0; i < POCET_ZASKRTNUTI; ++i) {
            SetDlgItemTextW(dialog, zaskrtnuti_linky(i), w(DialogLinky::POPISKY[static_cast<size_t>(i)]).c_str());
            CheckDlgButton(dialog, zaskrtnuti_linky(i), d->zaskrtnuto[static_cast<size_t>(i)] ? BST_CHECKED : BST_UNCHECKED);
        }
        EnableWindow(GetDlgItem(dialog, zaskrtnuti_linky(NOTIFIKACE)), FALSE);
        SetDlgItemTextW(dialog, IDC_PISMO_TERMINALU, w(DialogLinky::PISMO).c_str());
        return TRUE;
    }
    if (m != WM_COMMAND) return FALSE;
    switch (LOWORD(wp)) {
        case IDC_PISMO_TERMINALU:  // the terminal changes at once, whatever closes the dialog
            if (g_okno) g_okno->vyber_pismo_terminalu(dialog);
            return TRUE;
        case IDOK: {
            Volba* volby[] = {&d->port, &d->rychlost, &d->datove_bity, &d->parita, &d->stop_bity};
            for (int i = 0; i < 5; ++i) volby[i]->vybrano = vyber_komba(dialog, IDC_PORT + i);
            for (int i = 0; i < POCET_ZASKRTNUTI; ++i)
                d->zaskrtnuto[static_cast<size_t>(i)] = IsDlgButtonChecked(dialog, zaskrtnuti_linky(i)) == BST_CHECKED;
            EndDialog(dialog, 1);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK PortProc(HWND dialog, UINT m, WPARAM wp, LPARAM lp) {
    auto* d = reinterpret_cast<DialogPortu*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (m == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lp);
        d = reinterpret_cast<DialogPortu*>(lp);
        napln_kombo(dialog, IDC_PORT_104, d->port);
        napln_kombo(dialog, IDC_RYCHLOST_104, d->rychlost);
        return TRUE;
    }
    if (m == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        if (LOWORD(wp) == IDOK) {
            d->port.vybrano = vyber_komba(dialog, IDC_PORT_104);
            d->rychlost.vybrano = vyber_komba(dialog, IDC_RYCHLOST_104);
        }
        EndDialog(dialog, LOWORD(wp) == IDOK);
        return TRUE;
    }
    return FALSE;
}

// Each dot of the register as 2 x 2 pixels, black on white as printed.
INT_PTR CALLBACK LogoProc(HWND dialog, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_INITDIALOG) {
        const auto* n = reinterpret_cast<const NahledLoga*>(lp);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = 2 * LOGO_SIRKA;
        bi.bmiHeader.biHeight = -2 * LOGO_VYSKA;  // top row first
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* body = nullptr;
        HBITMAP obraz = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &body, nullptr, 0);
        if (obraz && body) {
            auto* px = static_cast<uint32_t*>(body);
            for (int y = 0; y < 2 * LOGO_VYSKA; ++y)
                for (int x = 0; x < 2 * LOGO_SIRKA; ++x)
                    px[y * 2 * LOGO_SIRKA + x] = n->cerny(x / 2, y / 2) ? 0x000000u : 0xFFFFFFu;
            SendDlgItemMessageW(dialog, IDC_OBRAZ_LOGA, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(obraz));
        }
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(obraz));
        SetWindowTextW(dialog, w(NahledLoga::TITULEK).c_str());
        SetDlgItemTextW(dialog, IDOK, w(NahledLoga::KONVERTOVAT).c_str());
        SetDlgItemTextW(dialog, IDCANCEL, w(NahledLoga::ZRUSIT).c_str());
        return TRUE;
    }
    if (m == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wp) == IDOK);
        return TRUE;
    }
    if (m == WM_DESTROY) {
        if (auto obraz = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(dialog, DWLP_USER))) DeleteObject(obraz);
        return FALSE;
    }
    return FALSE;
}

bool OknoWin32::dialog_linky(DialogLinky& d) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_LINKA), okno_, LinkaProc,
                           reinterpret_cast<LPARAM>(&d)) == 1;
}

bool OknoWin32::dialog_portu(DialogPortu& d) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PORT_RYCHLOST), okno_, PortProc,
                           reinterpret_cast<LPARAM>(&d)) == 1;
}

bool OknoWin32::nahled_loga(const NahledLoga& n) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_NAHLED_LOGA), okno_, LogoProc,
                           reinterpret_cast<LPARAM>(&n)) == 1;
}

void OknoWin32::vyber_pismo_terminalu(HWND vlastnik) {
    CHOOSEFONTW v{};
    v.lStructSize = sizeof v;
    v.hwndOwner = vlastnik;
    v.lpLogFont = &logfont_terminalu_;
    v.rgbColors = tt().barva_textu;
    v.Flags = CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS | CF_FIXEDPITCHONLY | CF_EFFECTS;
    if (!ChooseFontW(&v)) return;
    tt().barva_textu = v.rgbColors;
    kurzor(false);
    nastav_pismo_terminalu();
    InvalidateRect(okno_, nullptr, TRUE);
}

// --- started programs -------------------------------------------------------------------

// The child is this program itself, unattended, talking over its standard input and output.
bool OknoWin32::spust_potomka(const std::vector<std::string>& argumenty) {
    std::vector<std::string> a = argumenty;
    std::string program = plat_cesta_programu();
    if (a.empty()) a.push_back(program);
    a[0] = program;
    potomek_ = plat_spust_potomka(program, a, std::string(PROMENNA_KANALU) + "=1");
    if (potomek_.pid <= 0) return false;
    ctenar_ = CtenarKanalu();
    SetTimer(okno_, CASOVAC_POTOMKA, PERIODA_POTOMKA_MS, nullptr);
    return true;
}

void OknoWin32::cti_potomka() {
    if (ctu_ || potomek_.pid <= 0) return;  // a box of the child is open further up
    ctu_ = true;
    int kod = 0;
    if (model_.cti_potomka(potomek_, ctenar_, kod)) {
        // Removing the tray icon waits for the tray's answer, and a command another
        // program sends meanwhile may already have started the next child: its timer stays.
        if (potomek_.pid <= 0) KillTimer(okno_, CASOVAC_POTOMKA);
        if (odlozeny_prikaz_) PostMessageW(okno_, WM_COMMAND, static_cast<WPARAM>(odlozeny_prikaz_), 0);
        odlozeny_prikaz_ = 0;
        if (bez_dotazu_) {
            std::fprintf(stderr, "kaslnk-okno: konec %d\n", kod);
            std::fflush(stderr);
        }
    }
    ctu_ = false;
}

// A command while the end of a child that has already ended is still unread: that end is
// handled first, so that a program sending the next command as soon as the previous
// transfer's process is gone is not told that a transfer runs. While the end is being
// handled further up (its waits serve messages other programs send), the command follows it.
LRESULT OknoWin32::prikaz(int id) {
    if (potomek_.pid > 0 && plat_potomek_skoncil(potomek_)) {
        if (ctu_) {
            odlozeny_prikaz_ = id;
            return 0;
        }
        cti_potomka();
    }
    return model_.prikaz(id);
}

// --- the window procedure ---------------------------------------------------------------

LRESULT OknoWin32::zprava(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == zprava_hledani_ && zprava_hledani_ != 0) {
        const auto* z = reinterpret_cast<const FINDREPLACEW*>(lp);
        std::string hledany = utf16_na_cp1250(hledany_), nahrada = utf16_na_cp1250(nahrada_);
        if (z->Flags & FR_DIALOGTERM) {
            hledani_ = nullptr;
            model_.hledani(Hledani::ZAVRENO, {}, {});
        } else if (z->Flags & FR_FINDNEXT) {
            model_.hledani(Hledani::NAJDI_DALSI, hledany, nahrada);
        } else if (z->Flags & FR_REPLACEALL) {
            model_.hledani(Hledani::NAHRAD_VSE, hledany, nahrada);
        } else if (z->Flags & FR_REPLACE) {
            model_.hledani(Hledani::NAHRAD, hledany, nahrada);
        }
        return 0;
    }
    switch (m) {
        case WM_CREATE:
            vytvor(h);
            return 0;
        case WM_SIZE: {
            int sirka = LOWORD(lp), vyska = HIWORD(lp);
            MoveWindow(editor_, 0, vyska / 2, sirka, vyska - vyska / 2, TRUE);
            return 0;
        }
        case WM_SETFOCUS:  // the focus stays with the window
            return 0;
        case WM_KILLFOCUS:
            kurzor(false);
            return 0;
        case WM_PAINT:
            kresli();
            return 0;
        case WM_CHAR:  // typing on the terminal does nothing
            return 0;
        case WM_TIMER:
            if (wp == CASOVAC_POTOMKA) cti_potomka();
            return 0;
        case WM_INITMENUPOPUP:
            if (!HIWORD(lp) && LOWORD(lp) == 1) menu_editace(reinterpret_cast<HMENU>(wp));
            return 0;
        case WM_COMMAND:
            if (lp != 0 && reinterpret_cast<HWND>(lp) == editor_) {
                if (HIWORD(wp) == EN_CHANGE) model_.text_zmenen();
                return 0;
            }
            return prikaz(LOWORD(wp));
        case ID_PRENOS_PRIPRAVENY:  // the private message of other programs
            return prikaz(ID_PRENOS_PRIPRAVENY);
        case WM_CLOSE:
            DestroyWindow(h);
            return 0;
        case WM_DESTROY:
            KillTimer(h, CASOVAC_POTOMKA);
            if (potomek_.pid > 0) plat_dokonci_potomka(potomek_);  // the transfer ends on its own
            tray(TRAY_ODEBRAT, 0);
            kurzor(false);
            if (pismo_editoru_) DeleteObject(pismo_editoru_);
            if (pismo_) DeleteObject(pismo_);
            pismo_editoru_ = pismo_ = nullptr;
            plat_nastav_vlastnika_boxu(nullptr);
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(h, m, wp, lp);
}

LRESULT CALLBACK TTYWndProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    return g_okno ? g_okno->zprava(h, m, wp, lp) : DefWindowProcW(h, m, wp, lp);
}

int spust_okno(SezeniJadra& s, const std::vector<std::string>& argumenty) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    s.WINDOW = 1;
    WNDCLASSW trida{};
    trida.lpfnWndProc = TTYWndProc;
    trida.cbWndExtra = sizeof(LONG_PTR);  // the terminal record
    trida.hInstance = instance;
    trida.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    trida.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    trida.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    trida.lpszMenuName = MAKEINTRESOURCEW(IDM_OKNO);
    trida.lpszClassName = TRIDA_OKNA;
    if (!RegisterClassW(&trida)) return KOD_BEZ_OKNA;

    OknoWin32 okno(s, argumenty);
    g_okno = &okno;
    s.sluzby.box = [&okno](const std::string& text, uint32_t styl) { return okno.box(text, styl); };
    s.sluzby.prekresli = [&okno] { okno.prekresli_terminal(); };
    HWND h = CreateWindowExW(0, TRIDA_OKNA, w(TITULEK).c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!h) {
        g_okno = nullptr;
        s.sluzby.box = nullptr;
        s.sluzby.prekresli = nullptr;
        return KOD_BEZ_OKNA;
    }
    // Room for the 25 x 80 grid and, below it, as much for the editor.
    RECT r{0, 0, okno.sirka_znaku() * TERM_SLOUPCU, okno.vyska_radku() * TERM_RADKU * 2};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, TRUE);
    SetWindowPos(h, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    ShowWindow(h, SW_SHOWNORMAL);
    UpdateWindow(h);
    okno.model().start();

    HACCEL akceleratory = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_OKNO));
    MSG zprava;
    while (GetMessageW(&zprava, nullptr, 0, 0) > 0) {
        if (okno.hledani() && IsDialogMessageW(okno.hledani(), &zprava)) continue;
        if (akceleratory && TranslateAcceleratorW(h, akceleratory, &zprava)) continue;
        TranslateMessage(&zprava);
        DispatchMessageW(&zprava);
    }
    s.sluzby.box = nullptr;
    s.sluzby.prekresli = nullptr;
    g_okno = nullptr;
    return static_cast<int>(zprava.wParam);
}

}  // namespace

int spust_okno_win32(SezeniJadra& s, const std::vector<std::string>& argumenty) { return spust_okno(s, argumenty); }

void zapoj_win32(SezeniJadra& s) {
    s.sluzby.vstup_okna = spust_okno_win32;
    // Runs without the window show the icon too; a window's child sends it on instead,
    // and the window installs its own.
    s.sluzby.tray = [](int operace, int, int ikona) { return tray_win32(skryty_vlastnik_tray(), operace, ikona); };
}
