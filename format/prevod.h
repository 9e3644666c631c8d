// Entry points of the format engine for the transfer operations.
//
// Reading: after the receive step has filled work01.tmp, preved_prijata_data() writes the
// FDS file tt.fds_soubor and the text data file tt.datovy_soubor (for a file or a table).
//
// Sending: napln_fdsfile() and najdi_format() describe the data; then, with the data file
// open as dataf, for a register file nacti_radek_dat(s, s.dataf) and
// preved_radek_na_zaznam(s) give the hexadecimal text of one record after another in ss;
// for a table, preved_polozku_tabulky() appends the next item's text to blok at b
// (format/z_textu.h). dataf is read ahead, so it is closed with zavri_cteny(s, s.dataf)
// (format/proudy.h). All of it is the session's state (format/sezeni_formatu.h).
// Framing the blocks into work02.tmp is the caller's.
#pragma once

class SezeniFormatu;

// Converts the blocks in work01.tmp: the header block to the FDS file, the rest to the
// data file. The work file is closed but left in place. Returns 0; failures end in err().
int preved_prijata_data(SezeniFormatu& s);
