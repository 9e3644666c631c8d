// kaslnk-sim: faults injected at chosen steps of an exchange.
#pragma once

#include <string>
#include <vector>

namespace sim {

enum class Step { Enq, Cmd, Turn, Block, Eot, Ack };
enum class Action { Silent, Nak, Foreign, Noise, Slow, BadSum, Lower, Gap, Cut };

struct Fault {
    Step step = Step::Enq;
    int index = 0;   // block number for Block and Ack
    Action action = Action::Silent;
    int value = 0;   // milliseconds for slow and gap, the byte for foreign
    long left = 1;   // how many more times; -1 always
    std::string desc;
};

// Parses "STEP:ACTION[=VALUE][:COUNT]".
bool parse_fault(const std::string& desc, Fault& fault, std::string& error);

class Faults {
public:
    bool add(const std::string& desc, std::string& error);
    // The fault for this step, used up by one; null when none is due.
    const Fault* take(Step step, int index = 0);
    bool empty() const { return list_.empty(); }

private:
    std::vector<Fault> list_;
};

const char* step_name(Step step);

}  // namespace sim
