#include "core/zpravy.h"

#include <cstdio>
#include <mutex>

#include "core/globals.h"
#include "core/terminal.h"
#include "platform/platform.h"

namespace {
BoxSink g_box;
PrekresliSink g_prekresli;
TextSink g_text;
std::recursive_mutex g_box_mutex;  // a sink may report again (err)
}  // namespace

void nastav_box_sink(BoxSink sink) { g_box = std::move(sink); }
void nastav_prekresli_sink(PrekresliSink sink) { g_prekresli = std::move(sink); }
void nastav_text_sink(TextSink sink) { g_text = std::move(sink); }

int VypisBox(const std::string& text, uint32_t styl) {
    std::lock_guard<std::recursive_mutex> lock(g_box_mutex);
    return g_box ? g_box(text, styl) : plat_message_box(text, styl);
}

int VypisBoxH(const char* format, int32_t cislo, uint32_t styl) {
    char text[1024];
    std::snprintf(text, sizeof text, format, cislo);
    return VypisBox(text, styl);
}

int VypisBoxDebug(const std::string& text) { return debug ? VypisBox(text, 48) : 1; }
int VypisBoxRawDebug(const std::string& text) { return rawdebug ? VypisBox(text, 48) : 1; }

void VypisBlok(const std::string& text, int novy_radek) {
    WriteTTYBlock(text.data(), static_cast<int>(text.size()));
    if (novy_radek) WriteTTYBlock("\r", 1);
    if (g_text) g_text(novy_radek ? text + "\r" : text);
    if (g_prekresli) g_prekresli();
}

void VypisBlokDebug(const std::string& text, int novy_radek) {
    if (debug) VypisBlok(text, novy_radek);
}

void VypisBlokRawDebug(const std::string& text, int novy_radek) {
    if (rawdebug) VypisBlok(text, novy_radek);
}

void oznam_spusteni(const std::string& text) {
    if (WINDOW || hlasky || debug)
        VypisBox(text, 48);
    else
        plat_radek_na_stderr(text);
}
