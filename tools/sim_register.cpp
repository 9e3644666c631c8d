#include "tools/sim_register.h"

#include <cstdio>
#include <fstream>

#include "tools/sim_common.h"

namespace sim {

namespace {

// A gap longer than this inside a frame breaks it (the same rule binds both sides).
constexpr int FRAME_GAP_MS = 1000;
// Repetitions the register makes of one block, and of its ENQ, before it gives up.
constexpr int MAX_REPEATS = 5;
const std::string NOISE = "?!*";

// A terminal number written with fewer than six digits reaches the line padded with
// spaces or zero bytes; such a number still calls this register.
bool same_terminal(const std::string& who, unsigned terminal) {
    size_t first = who.find_first_not_of(std::string(" \0", 2));
    size_t last = who.find_last_not_of(std::string(" \0", 2));
    if (first == std::string::npos) return false;
    std::string digits = who.substr(first, last - first + 1);
    unsigned value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + unsigned(c - '0');
    }
    return value == terminal;
}

}  // namespace

Register::Register(Line& line, Trace& trace, Faults& faults, const Options& options)
    : line_(line), trace_(trace), faults_(faults), options_(options) {
    char t[16];
    std::snprintf(t, sizeof t, "%06u", options.terminal);
    terminal_ = t;
    // After a lone EOT, the bytes of an enquiry follow within a few character times.
    peek_ms_ = 20;
    if (!options.device.empty() && 30000 / int(options.baud) > peek_ms_) peek_ms_ = 30000 / int(options.baud);
}

void Register::run() {
    while (options_.exchanges == 0 || exchanges_ < options_.exchanges) {
        wait_enquiry();
        command_.clear();
        try {
            exchange();
        } catch (const Abandon& a) {
            note("exchange abandoned: " + a.why);
            journal("abandoned: " + a.why);
        }
    }
}

void Register::note(const std::string& text) {
    trace_.note(text);
}

void Register::journal(const std::string& outcome) {
    ++exchanges_;
    std::string line = local_time_text() + "  " + (command_.empty() ? "-" : command_) + "  " + outcome;
    if (!options_.quiet) std::fprintf(stderr, "kaslnk-sim: %s\n", line.c_str());
    std::ofstream out(options_.memory + "/journal.log", std::ios::app | std::ios::binary);
    out << line << "\r\n";
}

void Register::abandon(const std::string& why) { throw Abandon{why}; }

void Register::wait_enquiry() {
    std::string window;
    for (;;) {
        int c = line_.get(-1);
        window += char(c);
        if (window.size() > 10) window.erase(0, window.size() - 10);
        if (c != ENQ) continue;
        if (window.size() == 10 && window.compare(0, 3, "\x04\x04\x04") == 0) {
            std::string who = window.substr(3, 6);
            // A pseudo-terminal carries the bytes at any speed: a register hears only an
            // enquiry sent at its own.
            unsigned speed = line_.host_speed();
            std::string enquiry = "enquiry for terminal " + printable(who);
            if (speed) enquiry += " at " + std::to_string(speed) + " bit/s";
            if (speed && speed != options_.baud) {
                note(enquiry + ": not heard, the register is at " + std::to_string(options_.baud) + " bit/s");
            } else if (who == terminal_) {
                note(enquiry);
                return;
            } else if (same_terminal(who, options_.terminal)) {
                note(enquiry + ": taken as " + terminal_);
                return;
            } else {
                note(enquiry + ": not this register");
            }
        } else {
            note("ENQ without a complete enquiry before it: ignored");
        }
        window.clear();
    }
}

Register::Answer Register::answer(Step step, int index, unsigned char normal) {
    Answer a;
    const Fault* f = faults_.take(step, index);
    if (options_.reply_delay_ms) line_.sleep_ms(options_.reply_delay_ms);
    if (!f) {
        line_.put(std::string(1, char(normal)));
        return a;
    }
    a.faulted = true;
    note("fault " + f->desc);
    switch (f->action) {
        case Action::Silent:
            a.normal = false;
            break;
        case Action::Nak:
            line_.put(std::string(1, char(NAK)));
            a.normal = normal == NAK;
            break;
        case Action::Foreign:
            line_.put(std::string(1, char(f->value)));
            a.normal = false;
            break;
        case Action::Noise:
            line_.put(NOISE + char(normal));
            break;
        case Action::Slow:
            line_.sleep_ms(f->value);
            line_.put(std::string(1, char(normal)));
            break;
        default:
            line_.put(std::string(1, char(normal)));
            break;
    }
    return a;
}

void Register::send_block(int index, const std::string& block) {
    const Fault* f = faults_.take(Step::Block, index);
    if (options_.reply_delay_ms) line_.sleep_ms(options_.reply_delay_ms);
    if (!f) {
        line_.put(block);
        return;
    }
    note("fault " + f->desc);
    std::string out = block;
    size_t sum_at = block.size() - 3;  // the two checksum characters before CR
    switch (f->action) {
        case Action::Silent:
            return;
        case Action::Foreign:
            line_.put(std::string(1, char(f->value)));
            return;
        case Action::Noise:
            line_.put(NOISE + block);
            return;
        case Action::Slow:
            line_.sleep_ms(f->value);
            line_.put(block);
            return;
        case Action::BadSum: {
            int v = (hex_value(out[sum_at]) * 16 + hex_value(out[sum_at + 1]) + 1) & 0xFF;
            char digits[3];
            std::snprintf(digits, sizeof digits, "%02X", v);
            out.replace(sum_at, 2, digits);
            line_.put(out);
            return;
        }
        case Action::Lower:
            for (size_t i = sum_at; i < sum_at + 2; ++i)
                if (out[i] >= 'A' && out[i] <= 'F') out[i] = char(out[i] - 'A' + 'a');
            if (out == block) note("the checksum " + block.substr(sum_at, 2) + " has no letters: sent unchanged");
            line_.put(out);
            return;
        case Action::Gap:
            line_.put(block.substr(0, block.size() / 2));
            line_.sleep_ms(f->value);
            line_.put(block.substr(block.size() / 2));
            return;
        case Action::Cut:
            line_.put(block.substr(0, block.size() / 2));
            return;
        default:
            line_.put(block);
            return;
    }
}

// Called after a lone EOT: whether it began a new enquiry (EOT, EOT, six characters,
// ENQ follow at once) rather than ending something. What was read ahead is put back.
bool Register::enquiry_follows() {
    std::string next;
    int c;
    while (next.size() < 9 && (c = line_.get(peek_ms_)) >= 0) {
        next += char(c);
        if (c == ENQ) break;
    }
    bool enquiry = next.size() == 9 && next[0] == char(EOT) && next[1] == char(EOT) && next[2] != char(EOT) &&
                   next[8] == char(ENQ);
    line_.unget(enquiry ? std::string(1, char(EOT)) + next : next);
    return enquiry;
}

// Reads the rest of a frame after its STX: the characters up to CR, without the CR.
// False when the frame broke off or grew too long (the register then answers NAK).
bool Register::read_frame(std::string& body) {
    body.clear();
    for (;;) {
        int c = line_.get(FRAME_GAP_MS);
        if (c < 0) {
            note("frame broke off after " + std::to_string(body.size() + 1) + " bytes");
            return false;
        }
        if (c == CR) break;
        body += char(c);
        if (body.size() + 1 > MAX_FRAME) {
            while ((c = line_.get(FRAME_GAP_MS)) >= 0 && c != CR) {
            }
            note("frame longer than " + std::to_string(MAX_FRAME) + " bytes before its CR");
            return false;
        }
    }
    if (body.size() < 2 || checksum(body.substr(0, body.size() - 2)) != body.substr(body.size() - 2)) {
        note("bad checksum " + printable(body.size() < 2 ? body : body.substr(body.size() - 2)) +
             (body.size() < 2 ? "" : ", expected " + checksum(body.substr(0, body.size() - 2))));
        return false;
    }
    body.resize(body.size() - 2);
    return true;
}

bool Register::read_packet(std::string& body) {
    for (;;) {
        int c = line_.get(options_.patience_ms);
        if (c < 0) abandon("no command packet");
        if (c == STX) break;
        if (c == EOT && enquiry_follows()) abandon("a new enquiry instead of a command");
        note("byte " + printable(std::string(1, char(c))) + " before the command packet: ignored");
    }
    return read_frame(body);
}

bool Register::accept_command(const std::string& text, std::string& refusal) {
    if (text.size() < 2) {
        refusal = "command too short";
        return false;
    }
    if (text.size() > MAX_COMMAND) {
        refusal = "command of " + std::to_string(text.size()) + " bytes, more than " + std::to_string(MAX_COMMAND);
        return false;
    }
    char digit = text[1];
    if (digit == '9' && (text.size() < 3 || (text[2] != '0' && text[2] != '9'))) {
        refusal = "unknown special function";
        return false;
    }
    if (digit != '1' && digit != '2' && digit != '3' && digit != '4' && digit != '5' && digit != '9') {
        refusal = "unknown command digit";
        return false;
    }
    std::vector<std::string> errors;
    if (!load_memory(options_.memory, memory_, errors)) {
        for (const std::string& e : errors) {
            std::fprintf(stderr, "kaslnk-sim: %s\n", e.c_str());
            note(e);
        }
        refusal = "the memory folder has errors";
        return false;
    }
    return true;
}

void Register::exchange() {
    if (!answer(Step::Enq, 0, ACK).normal) return;  // the host will call again (or give up)

    std::string body, refusal;
    for (;;) {
        if (!read_packet(body) || body.empty() || body[0] != '0') {
            answer(Step::Cmd, 0, NAK);
            continue;
        }
        command_ = printable(body.substr(1));
        if (!accept_command(body.substr(1), refusal)) {
            note("command " + command_ + " refused: " + refusal);
            answer(Step::Cmd, 0, NAK);
            continue;
        }
        note("command " + command_);
        if (answer(Step::Cmd, 0, ACK).normal) break;
    }

    std::string text = body.substr(1);
    switch (text[1]) {
        case '2':
        case '5': {
            std::string code = text.size() >= 9 ? text.substr(7, 2) : "";
            std::vector<const Item*> items = memory_.find(code);
            std::string what = items.empty() ? "nothing stored under '" + printable(code) + "'" : "";
            size_t records = 0;
            for (const Item* i : items) {
                what += (what.empty() ? "" : ", ") + i->describe();
                records += i->records.size();
            }
            std::vector<std::string> blocks = read_blocks(items, {options_.records_per_block, options_.table_block});
            if (records) what += ", " + std::to_string(records) + " records";
            serve(blocks, std::string(text[1] == '2' ? "read " : "raw download ") + what);
            break;
        }
        case '9':
            if (text[2] == '0') {
                serve(fds_list_blocks(memory_.all()),
                      "FDS list of " + std::to_string(memory_.items.size()) + " files and tables");
            } else {
                serve({status_block(memory_.status)}, "status " + to_hex(memory_.status.bytes.substr(0, 2)));
            }
            break;
        case '3':
            take_command_without_data(text);
            break;
        default:
            take_send(text);
            break;
    }
}

void Register::hand_over_line() {
    for (;;) {
        int c = line_.get(options_.patience_ms);
        if (c < 0) abandon("the host did not hand over the line");
        if (c == EOT) {
            if (enquiry_follows()) abandon("a new enquiry instead of EOT");
            return;
        }
        note("byte " + printable(std::string(1, char(c))) + " where EOT was awaited: ignored");
    }
}

void Register::serve(const std::vector<std::string>& blocks, const std::string& what) {
    hand_over_line();
    // Take the line with ENQ; the host starts with ACK. An EOT means it did not see
    // the ENQ and hands the line over again.
    for (int turns = 0;;) {
        answer(Step::Turn, 0, ENQ);
        int c;
        do {
            c = line_.get(options_.patience_ms);
            if (c < 0) abandon("no ACK after ENQ");
            if (c == EOT && enquiry_follows()) abandon("a new enquiry after ENQ");
            if (c != ACK && c != EOT) note("byte " + printable(std::string(1, char(c))) + " after ENQ: ignored");
        } while (c != ACK && c != EOT);
        if (c == ACK) break;
        if (++turns > MAX_REPEATS) abandon("the host keeps handing over the line");
    }
    for (size_t i = 0; i < blocks.size(); ++i) {
        for (int repeats = 0;; ++repeats) {
            if (repeats > MAX_REPEATS) abandon("block " + std::to_string(i) + " refused too often");
            send_block(int(i), blocks[i]);
            int c;
            do {
                c = line_.get(options_.patience_ms);
                if (c < 0) abandon("no answer to block " + std::to_string(i));
                if (c == EOT && enquiry_follows()) abandon("a new enquiry after block " + std::to_string(i));
                if (c != ACK && c != NAK) note("byte " + printable(std::string(1, char(c))) + " after a block: ignored");
            } while (c != ACK && c != NAK);
            if (c == ACK) break;
            note("NAK for block " + std::to_string(i) + ": sent again");
        }
    }
    // The closing EOT. The host answers only an EOT it did not recognise, with NAK.
    for (int repeats = 0;; ++repeats) {
        if (repeats > MAX_REPEATS) abandon("the closing EOT refused too often");
        if (!answer(Step::Eot, 0, EOT).faulted) break;
        int c = line_.get(options_.patience_ms);
        if (c < 0) break;
        if (c != NAK) {
            line_.unget(std::string(1, char(c)));
            break;
        }
    }
    journal(what + ", " + std::to_string(blocks.size()) + " blocks");
}

void Register::take_send(const std::string& text) {
    SendGatherer gather;
    int index = 0;  // blocks taken so far; the next new block has this number
    for (;;) {
        int c = line_.get(options_.patience_ms);
        if (c < 0) abandon("the host stopped in the middle of a send; nothing stored");
        if (c == EOT) {
            if (enquiry_follows()) abandon("a new enquiry in the middle of a send; nothing stored");
            break;
        }
        if (c != STX) {
            note("byte " + printable(std::string(1, char(c))) + " between blocks: ignored");
            continue;
        }
        std::string body, reason;
        if (!read_frame(body)) {
            answer(Step::Ack, index, NAK);
            continue;
        }
        if (gather.is_repeat(body)) {
            note("block " + std::to_string(index - 1) + " came again: acknowledged, kept once");
            answer(Step::Ack, index - 1, ACK);
            continue;
        }
        if (!gather.take(body, reason)) {
            note("block " + std::to_string(index) + " refused: " + reason);
            answer(Step::Ack, index, NAK);
            continue;
        }
        for (const std::string& n : gather.notes) note(n);
        gather.notes.clear();
        answer(Step::Ack, index++, ACK);
    }
    std::vector<Item> items;
    std::string reason;
    std::string what = text[1] == '4' ? "raw upload" : "send";
    if (gather.blocks() == 0) {
        journal(what + " without data: nothing stored");
        return;
    }
    if (!gather.finish(items, reason)) {
        note(reason);
        journal(what + " incomplete (" + reason + "): nothing stored");
        return;
    }
    std::string stored;
    for (Item& item : items) {
        std::string summary = item.describe() +
                              (item.kind == Item::File ? " (" + std::to_string(item.records.size()) + " records)"
                                                       : " (" + std::to_string(item.bytes.size()) + " bytes)");
        if (options_.read_only) {
            stored += (stored.empty() ? "" : ", ") + summary + " not stored (read-only)";
            continue;
        }
        std::string name, error;
        if (!save_item(options_.memory, memory_, item, name, error)) {
            std::fprintf(stderr, "kaslnk-sim: %s\n", error.c_str());
            note(error);
            stored += (stored.empty() ? "" : ", ") + summary + " NOT STORED: " + error;
            continue;
        }
        stored += (stored.empty() ? "" : ", ") + summary + " stored in " + name;
        std::vector<std::string> errors;
        load_memory(options_.memory, memory_, errors);
    }
    journal(what + ": " + stored);
}

void Register::take_command_without_data(const std::string& text) {
    for (;;) {
        int c = line_.get(options_.patience_ms);
        if (c < 0) abandon("no EOT after a command without data");
        if (c == EOT) {
            if (enquiry_follows()) abandon("a new enquiry instead of EOT");
            break;
        }
        note("byte " + printable(std::string(1, char(c))) + " where EOT was awaited: ignored");
    }
    journal("command without data");
}

}  // namespace sim
