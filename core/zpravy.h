// Message boxes and terminal-screen lines, gated by the diagnostic flags.
// Texts are Windows-1250; "\r" breaks a line in a message box.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/platform.h"  // TITULEK, the title of message boxes

// Message-box styles and the answer Yes, with the values of the Windows message box.
constexpr uint32_t BOX_ANO_NE = 4, BOX_VYKRICNIK = 48, BOX_VYCHOZI_NE = 0x100;
constexpr int BOX_ANO = 6;

int VypisBox(const std::string& text, uint32_t styl);
// A refusal at the start: a message box only where boxes are asked for (a window, /h,
// debug), so that an unattended caller never waits behind one; otherwise a line on
// standard error.
void oznam_spusteni(const std::string& text);
int VypisBoxH(const char* format, int32_t cislo, uint32_t styl);
int VypisBoxDebug(const std::string& text);
int VypisBoxRawDebug(const std::string& text);
void VypisBlok(const std::string& text, int novy_radek);
void VypisBlokDebug(const std::string& text, int novy_radek);
void VypisBlokRawDebug(const std::string& text, int novy_radek);

// Replaceable behaviour, here and in the other layers, is one std::function each, set
// with its nastav_ function; an empty function restores the default.
// Where message boxes go: the window installs its own; the default is the platform's.
using BoxSink = std::function<int(const std::string& text, uint32_t styl)>;
void nastav_box_sink(BoxSink sink);
// Called after VypisBlok changed the terminal screen (the window repaints); default: nothing.
using PrekresliSink = std::function<void()>;
void nastav_prekresli_sink(PrekresliSink sink);
// Gets every text VypisBlok writes to the terminal screen (a window's child passes it on).
using TextSink = std::function<void(const std::string& text)>;
void nastav_text_sink(TextSink sink);
