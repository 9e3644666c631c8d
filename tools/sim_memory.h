// kaslnk-sim: the register's memory, a folder of text files (docs/simulator.md).
// Every *.txt file is one register file (records), one register table (bytes) or the
// status record.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace sim {

// How the bytes of a data line were written: runs of hexadecimal bytes or quoted text.
struct Segment {
    bool text = false;
    size_t length = 0;
};
using Layout = std::vector<Segment>;

struct Item {
    enum Kind { File, Table, Status } kind = File;
    std::string path;                  // the file it lives in ("" until saved)
    std::array<std::string, 23> fds;   // the FDS header fields, upper case
    std::vector<std::string> records;  // File: one byte string per record
    std::string bytes;                 // Table and Status
    std::vector<std::string> comments; // leading comment lines, kept when rewritten
    std::vector<Layout> layout;        // File: [0] of the first record; Table: one per line

    std::string code() const { return kind == Table ? fds[1] : fds[0]; }
    std::string sequence() const { return fds[5]; }
    size_t record_length() const;  // sum of the 16 group lengths
    // The FDS fields back to back, as in a header block.
    std::string header_text() const;
    std::string fds_line() const;  // the fields with commas
    std::string describe() const;  // "file 11/01" or "table D2"
};

// The widths of the 23 FDS fields.
extern const std::array<int, 23> FDS_WIDTHS;
// Splits 50 header characters into the 23 fields; false unless all are hexadecimal.
bool split_header(const std::string& text, std::array<std::string, 23>& fds);

struct Memory {
    std::vector<Item> items;  // files and tables
    Item status;              // 20 bytes; zero unless the folder has a status file
    bool has_status = false;

    // Files with this file code (sorted by their sequence field), else tables with this
    // table code. Case of the code does not matter.
    std::vector<const Item*> find(const std::string& code) const;
    // Every file and table, files first, in order of code and sequence.
    std::vector<const Item*> all() const;
};

// Loads every *.txt of the folder. False with messages naming file and line.
bool load_memory(const std::string& folder, Memory& memory, std::vector<std::string>& errors);
// Parses one item file's text. False with a message.
bool parse_item(const std::string& text, const std::string& name, Item& item, std::string& error);
// The text form of an item (CR LF line ends, Windows-1250 bytes as they stand).
std::string format_item(const Item& item);
// Stores the item in the folder: over the file of the item with the same identity if
// there is one, else in a new file named after the code. Returns the file name.
bool save_item(const std::string& folder, const Memory& memory, Item item, std::string& saved_as,
               std::string& error);

}  // namespace sim
