#include "tools/sim_memory.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "tools/sim_common.h"

namespace sim {

const std::array<int, 23> FDS_WIDTHS = {2, 2, 4, 2, 4, 2, 2, 2, 2, 2, 2, 2, 2,
                                        2, 2, 2, 2, 2, 2, 2, 2, 2, 2};

namespace {

constexpr size_t STATUS_BYTES = 20;
constexpr size_t MAX_RECORD = 484;      // one record must fit the 968 digits of a block
constexpr size_t MAX_TABLE = 0xFFFF;    // offsets travel as four hexadecimal digits
constexpr size_t MAX_RECORDS = 0xFFFFFF;

struct Token {
    bool quoted = false;
    std::string text;  // the word, or the bytes of a quoted string
};

bool tokenize(const std::string& line, std::vector<Token>& tokens, std::string& error) {
    tokens.clear();
    size_t i = 0;
    while (i < line.size()) {
        unsigned char c = line[i];
        if (c == ' ' || c == '\t') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            Token t;
            t.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                unsigned char d = line[i++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d != '\\') {
                    t.text += char(d);
                    continue;
                }
                if (i >= line.size()) break;
                unsigned char e = line[i++];
                if (e == '"' || e == '\\') {
                    t.text += char(e);
                } else if (e == 'x' && i + 1 < line.size() && is_hex(line[i]) && is_hex(line[i + 1])) {
                    t.text += char(hex_value(line[i]) * 16 + hex_value(line[i + 1]));
                    i += 2;
                } else {
                    error = "unknown escape \\" + std::string(1, char(e)) + " in quoted text";
                    return false;
                }
            }
            if (!closed) {
                error = "quoted text without its closing \"";
                return false;
            }
            tokens.push_back(t);
        } else {
            Token t;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '"' && line[i] != '#')
                t.text += line[i++];
            tokens.push_back(t);
        }
    }
    return true;
}

bool all_hex(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return is_hex(c); });
}

bool parse_fds(const std::string& text, std::array<std::string, 23>& fds, std::string& error) {
    std::vector<std::string> fields;
    std::string field;
    for (char c : text) {
        if (c == ',') {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    fields.push_back(field);
    if (fields.size() != 23) {
        error = "the fds line needs 23 fields separated by commas, it has " + std::to_string(fields.size());
        return false;
    }
    for (size_t i = 0; i < 23; ++i) {
        if (fields[i].size() != size_t(FDS_WIDTHS[i]) || !all_hex(fields[i])) {
            error = "fds field " + std::to_string(i + 1) + " '" + fields[i] + "' must be " +
                    std::to_string(FDS_WIDTHS[i]) + " hexadecimal digits";
            return false;
        }
        fds[i] = upper(fields[i]);
    }
    if (fds[0] == "00" && fds[1] == "00") {
        error = "the fds line names neither a file code nor a table code";
        return false;
    }
    return true;
}

std::string quote(const std::string& bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

size_t layout_size(const Layout& l) {
    size_t n = 0;
    for (const Segment& s : l) n += s.length;
    return n;
}

// Writes `bytes` in the shape of `layout` (which covers exactly that many bytes).
std::string render(const std::string& bytes, const Layout& layout) {
    std::string out;
    size_t at = 0;
    for (const Segment& s : layout) {
        if (!out.empty()) out += ' ';
        std::string part = bytes.substr(at, s.length);
        out += s.text ? quote(part) : to_hex(part);
        at += s.length;
    }
    return out;
}

Layout group_layout(const Item& item) {
    Layout l;
    for (int g = 0; g < 16; ++g) {
        size_t n = size_t(hex_value(item.fds[7 + g][0]) * 16 + hex_value(item.fds[7 + g][1]));
        if (n) l.push_back({false, n});
    }
    return l;
}

bool same_identity(const Item& a, const Item& b) {
    if (a.kind != b.kind) return false;
    if (a.kind == Item::Status) return true;
    if (a.code() != b.code()) return false;
    return a.kind != Item::File || a.sequence() == b.sequence();
}

bool file_exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

}  // namespace

size_t Item::record_length() const {
    size_t n = 0;
    for (int g = 0; g < 16; ++g) n += size_t(hex_value(fds[7 + g][0]) * 16 + hex_value(fds[7 + g][1]));
    return n;
}

std::string Item::header_text() const {
    std::string out;
    for (const std::string& f : fds) out += f;
    return out;
}

std::string Item::fds_line() const {
    std::string out;
    for (size_t i = 0; i < fds.size(); ++i) out += (i ? "," : "") + fds[i];
    return out;
}

std::string Item::describe() const {
    if (kind == Status) return "status";
    if (kind == Table) return "table " + code();
    return "file " + code() + "/" + sequence();
}

bool split_header(const std::string& text, std::array<std::string, 23>& fds) {
    if (text.size() != 50 || !all_hex(text)) return false;
    size_t at = 0;
    for (size_t i = 0; i < 23; ++i) {
        fds[i] = upper(text.substr(at, size_t(FDS_WIDTHS[i])));
        at += size_t(FDS_WIDTHS[i]);
    }
    return true;
}

bool parse_item(const std::string& text, const std::string& name, Item& item, std::string& error) {
    item = Item{};
    item.path = name;
    bool have_header = false;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        error = name + ":" + std::to_string(number) + ": " + why;
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<Token> tokens;
        std::string why;
        if (!tokenize(line, tokens, why)) return fail(why);
        if (tokens.empty()) {
            size_t first = line.find_first_not_of(" \t");
            if (!have_header && first != std::string::npos && line[first] == '#')
                item.comments.push_back(line.substr(first));
            continue;
        }
        const Token& head = tokens[0];
        if (!head.quoted && (head.text == "fds" || head.text == "status")) {
            if (have_header) return fail("a second '" + head.text + "' line");
            have_header = true;
            if (head.text == "status") {
                if (tokens.size() > 1) return fail("the status line takes nothing after 'status'");
                item.kind = Item::Status;
                continue;
            }
            std::string fields;
            for (size_t i = 1; i < tokens.size(); ++i) {
                if (tokens[i].quoted) return fail("quoted text on the fds line");
                fields += tokens[i].text;
            }
            if (!parse_fds(fields, item.fds, why)) return fail(why);
            item.kind = item.fds[0] == "00" ? Item::Table : Item::File;
            if (item.kind == Item::File && (item.record_length() == 0 || item.record_length() > MAX_RECORD))
                return fail("the record length of the fds line is " + std::to_string(item.record_length()) +
                            " bytes; a register file needs 1 to 484");
            continue;
        }
        if (!have_header) return fail("data before the 'fds' (or 'status') line");
        std::string bytes;
        Layout layout;
        for (const Token& t : tokens) {
            std::string part;
            if (t.quoted) {
                part = t.text;
            } else if (!from_hex(t.text, part)) {
                return fail("'" + t.text + "' is neither hexadecimal bytes (an even number of digits) "
                            "nor quoted text");
            }
            bytes += part;
            if (!part.empty()) layout.push_back({t.quoted, part.size()});
        }
        if (item.kind == Item::File) {
            if (bytes.size() != item.record_length())
                return fail("a record of " + std::to_string(bytes.size()) + " bytes; the fds line gives " +
                            std::to_string(item.record_length()));
            if (item.records.size() >= MAX_RECORDS) return fail("too many records");
            if (item.records.empty()) item.layout.push_back(layout);
            item.records.push_back(bytes);
        } else {
            item.bytes += bytes;
            item.layout.push_back(layout);
            size_t limit = item.kind == Item::Status ? STATUS_BYTES : MAX_TABLE;
            if (item.bytes.size() > limit)
                return fail("more than " + std::to_string(limit) + " bytes in " +
                            (item.kind == Item::Status ? "the status" : "a table"));
        }
    }
    if (!have_header) {
        error = name + ": no 'fds' line (nor 'status')";
        return false;
    }
    if (item.kind == Item::Status && item.bytes.size() != STATUS_BYTES) {
        error = name + ": the status holds " + std::to_string(item.bytes.size()) + " bytes, it needs 20";
        return false;
    }
    return true;
}

std::string format_item(const Item& item) {
    std::vector<std::string> lines = item.comments;
    if (lines.empty()) lines.push_back("# " + item.describe() + ", written by kaslnk-sim " + local_time_text());
    if (item.kind == Item::Status) {
        lines.push_back("status");
    } else {
        lines.push_back("fds " + item.fds_line());
    }
    if (item.kind == Item::File) {
        Layout l = item.layout.empty() ? Layout{} : item.layout[0];
        if (layout_size(l) != item.record_length()) l = group_layout(item);
        for (const std::string& r : item.records) lines.push_back(render(r, l));
    } else {
        size_t total = 0;
        for (const Layout& l : item.layout) total += layout_size(l);
        if (total == item.bytes.size() && !item.layout.empty()) {
            size_t at = 0;
            for (const Layout& l : item.layout) {
                size_t n = layout_size(l);
                if (n) lines.push_back(render(item.bytes.substr(at, n), l));
                at += n;
            }
        } else if (item.kind == Item::Status) {
            lines.push_back(render(item.bytes, Layout{{false, 2}, {false, 18}}));
        } else {
            for (size_t at = 0; at < item.bytes.size(); at += 16)
                lines.push_back(to_hex(item.bytes.substr(at, 16)));
        }
    }
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

std::vector<const Item*> Memory::find(const std::string& code) const {
    std::string want = upper(code);
    std::vector<const Item*> out;
    for (const Item& i : items)
        if (i.kind == Item::File && i.code() == want) out.push_back(&i);
    if (out.empty()) {
        for (const Item& i : items)
            if (i.kind == Item::Table && i.code() == want) out.push_back(&i);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Item* a, const Item* b) { return a->sequence() < b->sequence(); });
    return out;
}

std::vector<const Item*> Memory::all() const {
    std::vector<const Item*> out;
    for (const Item& i : items) out.push_back(&i);
    std::stable_sort(out.begin(), out.end(), [](const Item* a, const Item* b) {
        if (a->kind != b->kind) return a->kind == Item::File;
        if (a->code() != b->code()) return a->code() < b->code();
        return a->sequence() < b->sequence();
    });
    return out;
}

bool load_memory(const std::string& folder, Memory& memory, std::vector<std::string>& errors) {
    memory = Memory{};
    memory.status.kind = Item::Status;
    memory.status.bytes.assign(STATUS_BYTES, '\0');
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        errors.push_back("cannot open the memory folder " + folder + ": " + std::strerror(errno));
        return false;
    }
    std::vector<std::string> names;
    while (dirent* e = readdir(dir)) {
        std::string n = e->d_name;
        if (n.size() > 4 && n.compare(n.size() - 4, 4, ".txt") == 0 && n[0] != '.') names.push_back(n);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& n : names) {
        std::ifstream f(folder + "/" + n, std::ios::binary);
        std::stringstream text;
        text << f.rdbuf();
        if (!f) {
            errors.push_back(n + ": cannot be read");
            continue;
        }
        Item item;
        std::string error;
        if (!parse_item(text.str(), n, item, error)) {
            errors.push_back(error);
            continue;
        }
        if (item.kind == Item::Status) {
            if (memory.has_status) {
                errors.push_back(n + ": a second status file (the first is " + memory.status.path + ")");
                continue;
            }
            memory.status = item;
            memory.has_status = true;
            continue;
        }
        auto twin = std::find_if(memory.items.begin(), memory.items.end(),
                                 [&](const Item& o) { return same_identity(o, item); });
        if (twin != memory.items.end()) {
            errors.push_back(n + ": " + item.describe() + " is already in " + twin->path);
            continue;
        }
        memory.items.push_back(item);
    }
    return errors.empty();
}

bool save_item(const std::string& folder, const Memory& memory, Item item, std::string& saved_as,
               std::string& error) {
    const Item* old = nullptr;
    if (item.kind == Item::Status && memory.has_status) old = &memory.status;
    for (const Item& o : memory.items)
        if (same_identity(o, item)) old = &o;
    std::string name;
    if (old && !old->path.empty()) {
        name = old->path;
        if (item.comments.empty()) item.comments = old->comments;
        if (item.layout.empty()) item.layout = old->layout;
    } else {
        std::string base = item.kind == Item::Status ? "status"
                           : item.kind == Item::Table ? "table-" + item.code()
                                                      : "file-" + item.code();
        if (item.kind == Item::File && item.sequence() != "01") base += "-" + item.sequence();
        name = base + ".txt";
        for (int n = 2; file_exists(folder + "/" + name); ++n) name = base + "-" + std::to_string(n) + ".txt";
    }
    std::string path = folder + "/" + name, temporary = folder + "/." + name + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << format_item(item);
        out.close();
        if (!out) {
            error = "cannot write " + temporary + ": " + std::strerror(errno);
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    saved_as = name;
    return true;
}

}  // namespace sim
