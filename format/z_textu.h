// Text data back to register records: the converters of one field each, and the drivers
// that turn one line of a file's data, or the next item of a table, into hexadecimal text.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/soubory.h"

class SezeniFormatu;

// Register files: the line in pp (from ppindex) to the record text in ss (at ssindex).
void zpracujLd(SezeniFormatu& s, int32_t n);
void zpracujNd(SezeniFormatu& s, int32_t n);
void zpracujPd(SezeniFormatu& s, int32_t n);
void zpracujSd(SezeniFormatu& s, int32_t n);
void zpracujTd(SezeniFormatu& s, int32_t n);
void zpracujBd(SezeniFormatu& s, int32_t pozice);  // pozice: '(' of the item in formatstring

// Register tables: the data file dataf to the block text in blok (at b).
void zpracujfLd(SezeniFormatu& s, int32_t n);
void zpracujfNd(SezeniFormatu& s, int32_t n);
void zpracujfPd(SezeniFormatu& s, int32_t n);
void zpracujfSd(SezeniFormatu& s, int32_t n);
void zpracujfTd(SezeniFormatu& s, int32_t n);
void zpracujfBd(SezeniFormatu& s, int32_t pozice);

// Reads the next line of a file's text data into pp (its CR kept, the LF dropped); the
// file is read ahead in large pieces (format/proudy.h), so close it with zavri_cteny().
// Returns 0 at the end of the file before a line begins, 1 otherwise. A line of more than
// 196 characters is error 57/1, a file that ends inside a line error 58/1.
int nacti_radek_dat(SezeniFormatu& s, HSOUBOR f);
// Converts the line in pp into the record's hexadecimal text in ss under the format
// found by najdi_format; returns its length (twice the record length in bytes).
size_t preved_radek_na_zaznam(SezeniFormatu& s);
// Converts the table item at formatstring[pozice] from dataf into blok at b and moves
// pozice to the next item. Returns 1, converting nothing, when the list has ended ('C').
int preved_polozku_tabulky(SezeniFormatu& s, size_t& pozice);

constexpr uint32_t MAX_DELKA_ZAZNAMU = 484;  // the longest record a block can carry
