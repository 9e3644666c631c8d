#include "tools/sim_frames.h"

#include <algorithm>
#include <cstdio>

#include "tools/sim_common.h"

namespace sim {

namespace {

constexpr size_t FILE_BLOCK_DIGITS = 968;

std::string hex_number(size_t value, int width) {
    char out[16];
    std::snprintf(out, sizeof out, "%0*zX", width, value);
    return out;
}

std::string header_body(const Item& item, char seq) {
    return std::string(1, seq) + "/HDR1/" + item.header_text();
}

bool hex_field(const std::string& body, size_t at, size_t width, size_t& value) {
    if (at + width > body.size()) return false;
    value = 0;
    for (size_t i = at; i < at + width; ++i) {
        int d = hex_value(body[i]);
        if (d < 0) return false;
        value = value * 16 + size_t(d);
    }
    return true;
}

}  // namespace

char next_sequence(char seq) { return seq >= '9' ? '0' : char(seq + 1); }

std::vector<std::string> read_blocks(const std::vector<const Item*>& items, const BlockSizes& sizes,
                                     char seq) {
    std::vector<std::string> out;
    for (size_t n = 0; n < items.size(); ++n) {
        const Item& item = *items[n];
        out.push_back(frame(header_body(item, seq)));
        seq = next_sequence(seq);
        if (item.kind == Item::File) {
            size_t len = item.record_length();
            size_t per = FILE_BLOCK_DIGITS / (2 * len);
            if (sizes.records_per_block > 0) per = std::min(per, size_t(sizes.records_per_block));
            if (item.records.empty()) {
                if (n + 1 < items.size()) {
                    out.push_back(frame(std::string(1, seq) + hex_number(0, 6) + "01"));
                    seq = next_sequence(seq);
                }
                continue;
            }
            for (size_t at = 0; at < item.records.size(); at += per) {
                size_t count = std::min(per, item.records.size() - at);
                bool last = at + count == item.records.size();
                std::string body = std::string(1, seq) + hex_number(count, 6) + (last ? "01" : "00");
                for (size_t r = at; r < at + count; ++r) body += to_hex(item.records[r]);
                out.push_back(frame(body));
                seq = next_sequence(seq);
            }
        } else {
            size_t per = size_t(sizes.table_bytes);
            size_t at = 0;
            do {
                size_t count = std::min(per, item.bytes.size() - at);
                bool last = at + count == item.bytes.size();
                out.push_back(frame(std::string(1, seq) + hex_number(at, 4) + hex_number(count, 4) +
                                    (last ? "01" : "00") + to_hex(item.bytes.substr(at, count))));
                seq = next_sequence(seq);
                at += count;
            } while (at < item.bytes.size());
        }
    }
    return out;
}

std::vector<std::string> fds_list_blocks(const std::vector<const Item*>& items) {
    std::vector<std::string> out;
    char seq = '0';
    for (const Item* item : items) {
        out.push_back(frame(header_body(*item, seq)));
        seq = next_sequence(seq);
    }
    return out;
}

std::string status_block(const Item& status) { return frame("0" + to_hex(status.bytes)); }

bool SendGatherer::take(const std::string& body, std::string& reason) {
    if (body.empty() || body[0] < '0' || body[0] > '9') {
        reason = "the sequence character is not a digit";
        return false;
    }
    char seq = body[0];
    if (blocks_ > 0 && seq != next_sequence(last_seq_)) {
        reason = std::string("sequence character ") + seq + " after " + last_seq_;
        return false;
    }
    if (body.compare(1, 6, "/HDR1/") == 0) {
        if (open_ && has_data_) {
            reason = "a header block before the last block of " + items_.back().describe();
            return false;
        }
        Item item;
        if (!split_header(body.substr(7), item.fds)) {
            reason = "the header does not hold 50 hexadecimal characters";
            return false;
        }
        if (item.fds[0] == "00" && item.fds[1] == "00") {
            reason = "the header names neither a file nor a table";
            return false;
        }
        item.kind = item.fds[0] == "00" ? Item::Table : Item::File;
        if (item.kind == Item::File && (item.record_length() == 0 || item.record_length() > 484)) {
            reason = "the header gives a record length of " + std::to_string(item.record_length()) + " bytes";
            return false;
        }
        if (open_) notes.push_back(items_.back().describe() + " came without data blocks");
        items_.push_back(item);
        open_ = true;
        has_data_ = false;
    } else {
        if (!open_) {
            reason = items_.empty() ? "a data block before the header block"
                                    : "a data block after the last block of " + items_.back().describe();
            return false;
        }
        Item& item = items_.back();
        size_t count = 0, offset = 0, pos = 1;
        if (item.kind == Item::Table) {
            if (!hex_field(body, 1, 4, offset)) {
                reason = "the offset is not four hexadecimal digits";
                return false;
            }
            pos = 5;
        }
        size_t width = item.kind == Item::Table ? 4 : 6;
        size_t flags = 0;
        if (!hex_field(body, pos, width, count)) {
            reason = "the count is not " + std::to_string(width) + " hexadecimal digits";
            return false;
        }
        pos += width;
        if (!hex_field(body, pos, 2, flags)) {
            reason = "the flags are not two hexadecimal digits";
            return false;
        }
        pos += 2;
        size_t unit = item.kind == Item::Table ? 1 : item.record_length();
        std::string data;
        if (body.size() - pos != count * unit * 2 || !from_hex(body.substr(pos), data)) {
            reason = "the block announces " + std::to_string(count) + (item.kind == Item::Table ? " bytes" : " records") +
                     " but carries " + std::to_string(body.size() - pos) + " characters of data";
            return false;
        }
        if (item.kind == Item::Table) {
            if (offset != item.bytes.size())
                notes.push_back("table offset " + hex_number(offset, 4) + " where " +
                                hex_number(item.bytes.size(), 4) + " was expected");
            if (offset + data.size() > 0xFFFF) {
                reason = "the table grows beyond FFFF bytes";
                return false;
            }
            if (item.bytes.size() < offset + data.size()) item.bytes.resize(offset + data.size(), '\0');
            item.bytes.replace(offset, data.size(), data);
        } else {
            for (size_t at = 0; at < data.size(); at += unit) item.records.push_back(data.substr(at, unit));
        }
        has_data_ = true;
        if (flags & 1) open_ = false;
    }
    last_seq_ = seq;
    last_body_ = body;
    ++blocks_;
    return true;
}

bool SendGatherer::finish(std::vector<Item>& items, std::string& reason) {
    if (open_ && has_data_) {
        reason = "the data of " + items_.back().describe() + " ended without a block with the last flag";
        return false;
    }
    if (open_ && items_.back().kind == Item::Table) {
        reason = "table " + items_.back().code() + " came without data blocks";
        return false;
    }
    items = items_;
    return true;
}

}  // namespace sim
