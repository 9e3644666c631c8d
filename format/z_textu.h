// Text data back to register records: the converters of one field each, and the drivers
// that turn one line of a file's data, or the next item of a table, into hexadecimal text.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/soubory.h"

// Register files: the line in pp (from ppindex) to the record text in ss (at ssindex).
void zpracujLd(int32_t n);
void zpracujNd(int32_t n);
void zpracujPd(int32_t n);
void zpracujSd(int32_t n);
void zpracujTd(int32_t n);
void zpracujBd(int32_t pozice);  // pozice: '(' of the item in formatstring

// Register tables: the data file dataf to the block text in blok (at b).
void zpracujfLd(int32_t n);
void zpracujfNd(int32_t n);
void zpracujfPd(int32_t n);
void zpracujfSd(int32_t n);
void zpracujfTd(int32_t n);
void zpracujfBd(int32_t pozice);

// Reads the next line of a file's text data into pp (its CR kept, the LF dropped); the
// file is read ahead in large pieces (format/proudy.h), so close it with zavri_cteny().
// Returns 0 at the end of the file before a line begins, 1 otherwise. A line of more than
// 196 characters is error 57/1, a file that ends inside a line error 58/1.
int nacti_radek_dat(HSOUBOR f);
// Converts the line in pp into the record's hexadecimal text in ss under the format
// found by najdi_format; returns its length (twice the record length in bytes).
size_t preved_radek_na_zaznam();
// Converts the table item at formatstring[pozice] from dataf into blok at b and moves
// pozice to the next item. Returns 1, converting nothing, when the list has ended ('C').
int preved_polozku_tabulky(size_t& pozice);

constexpr uint32_t MAX_DELKA_ZAZNAMU = 484;  // the longest record a block can carry
