// kaslnk-sim: a simulated ER-A227E cash register for kaslnk. It plays the register's
// side of the serial line on a pseudo-terminal (or a serial device) and serves its
// memory from a folder of text files. Usage and formats: docs/simulator.md.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/sim_common.h"
#include "tools/sim_faults.h"
#include "tools/sim_line.h"
#include "tools/sim_memory.h"
#include "tools/sim_options.h"
#include "tools/sim_register.h"
#include "tools/sim_trace.h"

namespace {

int fail(const std::string& message, int code) {
    std::fprintf(stderr, "kaslnk-sim: %s\n", message.c_str());
    return code;
}

// Points `link` at `target`, replacing an older symlink but never a real file.
bool make_link(const std::string& link, const std::string& target, std::string& error) {
    struct stat st;
    if (lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = link + " exists and is not a symlink";
            return false;
        }
        unlink(link.c_str());
    }
    if (symlink(target.c_str(), link.c_str()) != 0) {
        error = "cannot make the symlink " + link + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    sim::Options options;
    bool help = false;
    std::string error;
    if (!sim::parse_options(argc, argv, options, help, error))
        return fail(error + " (see --help)", 2);
    if (help) {
        std::fputs(sim::usage_text(), stdout);
        return 0;
    }
    sim::Faults faults;
    for (const std::string& desc : options.faults)
        if (!faults.add(desc, error)) return fail(error, 2);

    // The memory must be readable before the line opens.
    struct stat st;
    if (stat(options.memory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return fail("the memory folder " + options.memory + " does not exist (make it, or name another with --memory)", 2);
    sim::Memory memory;
    std::vector<std::string> errors;
    if (!sim::load_memory(options.memory, memory, errors)) {
        for (const std::string& e : errors) std::fprintf(stderr, "kaslnk-sim: %s\n", e.c_str());
        return 2;
    }

    sim::Trace trace;
    if (!options.trace.empty() && !trace.open(options.trace, error)) return fail(error, 2);

    sim::install_stop_handlers();
    sim::Line line(trace);
    std::string path = options.device;
    if (options.tcp_port >= 0) {
        if (!line.open_tcp(unsigned(options.tcp_port), options.rfc2217, path, error)) return fail(error, 1);
    } else if (options.device.empty()) {
        if (!line.open_pty(path, error, options.baud)) return fail(error, 1);
    } else if (!line.open_device(options, error)) {
        return fail(error, 1);
    }
    line.set_pace(options.pace, options.baud, options.fifo);
    if (!options.link.empty() && !make_link(options.link, path, error)) return fail(error, 1);

    char terminal[16];
    std::snprintf(terminal, sizeof terminal, "%06u", options.terminal);
    trace.header("kaslnk-sim " + sim::local_time_text() + ", terminal " + terminal + " on " + path +
                 ", memory " + options.memory + (options.pace ? ", paced at " + std::to_string(options.baud) + " bit/s" : ""));
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    if (!options.quiet)
        std::fprintf(stderr, "kaslnk-sim: terminal %s on %s, %zu files and tables in %s\n", terminal, path.c_str(),
                     memory.items.size(), options.memory.c_str());

    int code = 0;
    sim::Register reg(line, trace, faults, options);
    try {
        reg.run();
    } catch (const sim::Stop&) {
        trace.note("stopped by a signal");
    } catch (const sim::LineError& e) {
        trace.note(e.what());
        code = fail(e.what(), 1);
    }
    line.drain(2000);
    if (!options.link.empty()) unlink(options.link.c_str());
    trace.note("end after " + std::to_string(reg.exchanges()) + " exchanges");
    return code;
}
