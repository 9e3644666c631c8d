#include "tools/sim_faults.h"

#include <cstdlib>

#include "tools/sim_common.h"

namespace sim {

const char* step_name(Step step) {
    switch (step) {
        case Step::Enq: return "enq";
        case Step::Cmd: return "cmd";
        case Step::Turn: return "turn";
        case Step::Block: return "block";
        case Step::Eot: return "eot";
        case Step::Ack: return "ack";
    }
    return "?";
}

namespace {

bool number(const std::string& text, long max, long& out) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    out = std::strtol(text.c_str(), nullptr, 10);
    return out <= max;
}

bool parse_step(const std::string& text, Fault& f) {
    static const struct {
        const char* name;
        Step step;
    } fixed[] = {{"enq", Step::Enq}, {"cmd", Step::Cmd}, {"turn", Step::Turn}, {"eot", Step::Eot}};
    for (const auto& s : fixed)
        if (text == s.name) {
            f.step = s.step;
            return true;
        }
    long n = 0;
    if (text.rfind("block", 0) == 0 && number(text.substr(5), 99999, n)) {
        f.step = Step::Block;
        f.index = int(n);
        return true;
    }
    if (text.rfind("ack", 0) == 0 && number(text.substr(3), 99999, n)) {
        f.step = Step::Ack;
        f.index = int(n);
        return true;
    }
    return false;
}

bool parse_action(const std::string& text, Fault& f, std::string& error) {
    std::string name = text, value;
    size_t eq = text.find('=');
    if (eq != std::string::npos) {
        name = text.substr(0, eq);
        value = text.substr(eq + 1);
    }
    static const struct {
        const char* name;
        Action action;
        bool blocks_only;
        int default_value;
    } actions[] = {{"silent", Action::Silent, false, 0}, {"nak", Action::Nak, false, 0},
                   {"foreign", Action::Foreign, false, '?'}, {"noise", Action::Noise, false, 0},
                   {"slow", Action::Slow, false, 1500}, {"badsum", Action::BadSum, true, 0},
                   {"lower", Action::Lower, true, 0}, {"gap", Action::Gap, true, 1200},
                   {"cut", Action::Cut, true, 0}};
    for (const auto& a : actions) {
        if (name != a.name) continue;
        bool block = f.step == Step::Block;
        if (a.blocks_only && !block) {
            error = "action '" + name + "' applies only to the blocks of a read";
            return false;
        }
        if (a.action == Action::Nak && (block || f.step == Step::Eot)) {
            error = "the register does not answer with NAK at step " + std::string(step_name(f.step));
            return false;
        }
        f.action = a.action;
        f.value = a.default_value;
        if (value.empty()) return true;
        long v = 0;
        if (a.action == Action::Foreign) {
            std::string byte;
            if (value.size() != 2 || !from_hex(value, byte)) {
                error = "foreign=HH needs two hexadecimal digits";
                return false;
            }
            f.value = (unsigned char)byte[0];
            return true;
        }
        if ((a.action == Action::Slow || a.action == Action::Gap) && number(value, 600000, v)) {
            f.value = int(v);
            return true;
        }
        error = "action '" + name + "' does not take the value '" + value + "'";
        return false;
    }
    error = "unknown action '" + name + "'";
    return false;
}

}  // namespace

bool parse_fault(const std::string& desc, Fault& f, std::string& error) {
    f = Fault{};
    f.desc = desc;
    size_t c1 = desc.find(':');
    if (c1 == std::string::npos) {
        error = "fault '" + desc + "' is not STEP:ACTION[=VALUE][:COUNT]";
        return false;
    }
    size_t c2 = desc.find(':', c1 + 1);
    std::string step = desc.substr(0, c1);
    std::string action = desc.substr(c1 + 1, c2 == std::string::npos ? std::string::npos : c2 - c1 - 1);
    if (!parse_step(step, f)) {
        error = "fault '" + desc + "': unknown step '" + step + "'";
        return false;
    }
    if (!parse_action(action, f, error)) {
        error = "fault '" + desc + "': " + error;
        return false;
    }
    if (c2 != std::string::npos) {
        std::string count = desc.substr(c2 + 1);
        long n = 0;
        if (count == "always") {
            f.left = -1;
        } else if (number(count, 1000000, n) && n > 0) {
            f.left = n;
        } else {
            error = "fault '" + desc + "': count '" + count + "' is not a positive number or 'always'";
            return false;
        }
    }
    return true;
}

bool Faults::add(const std::string& desc, std::string& error) {
    Fault f;
    if (!parse_fault(desc, f, error)) return false;
    list_.push_back(f);
    return true;
}

const Fault* Faults::take(Step step, int index) {
    for (Fault& f : list_) {
        if (f.step != step || f.index != index || f.left == 0) continue;
        if (f.left > 0) --f.left;
        return &f;
    }
    return nullptr;
}

}  // namespace sim
