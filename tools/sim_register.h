// kaslnk-sim: the register's side of the link protocol.
#pragma once

#include <string>
#include <vector>

#include "tools/sim_faults.h"
#include "tools/sim_frames.h"
#include "tools/sim_line.h"
#include "tools/sim_memory.h"
#include "tools/sim_options.h"
#include "tools/sim_trace.h"

namespace sim {

class Register {
public:
    Register(Line& line, Trace& trace, Faults& faults, const Options& options);
    // Answers enquiries until the exchange limit is reached; Stop ends it early.
    void run();
    long exchanges() const { return exchanges_; }

private:
    struct Answer {
        bool normal = true;   // the expected byte went out
        bool faulted = false; // a fault changed this step
    };

    void wait_enquiry();
    void exchange();
    bool read_packet(std::string& body);
    bool accept_command(const std::string& text, std::string& refusal);
    void serve(const std::vector<std::string>& blocks, const std::string& what);
    void hand_over_line();
    void take_send(const std::string& text);
    void take_command_without_data(const std::string& text);

    Answer answer(Step step, int index, unsigned char normal);
    void send_block(int index, const std::string& block);
    bool read_frame(std::string& body);
    bool enquiry_follows();
    [[noreturn]] void abandon(const std::string& why);
    void note(const std::string& text);
    void journal(const std::string& outcome);

    Line& line_;
    Trace& trace_;
    Faults& faults_;
    const Options& options_;
    std::string terminal_;
    std::string command_;
    Memory memory_;
    long exchanges_ = 0;
    int peek_ms_ = 20;
};

}  // namespace sim
