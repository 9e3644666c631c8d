// kaslnk-sim: a simulated ER-A227E cash register for kaslnk. It plays the register's
// side of the serial line on a pseudo-terminal (or a serial device) and serves its
// memory from a folder of text files. Usage and formats: docs/simulator.md.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

// --background: the simulator goes on in a child whose standard output is a pipe to this
// process. The child writes the line's path there once the line (and its --link) exists
// and then lets go of the pipe; this process passes the path on with the child's pid and
// ends with 0, so the caller may use the line the moment it returns. When the child ends
// before that, its exit code is this one's. Returns -1 in the child.
int into_background() {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return fail(std::string("cannot make a pipe: ") + std::strerror(errno), 1);
    std::fflush(stdout);
    pid_t child = fork();
    if (child < 0) return fail(std::string("cannot fork: ") + std::strerror(errno), 1);
    if (child == 0) {
        close(pipe_fds[0]);
        dup2(pipe_fds[1], STDOUT_FILENO);
        close(pipe_fds[1]);
        return -1;
    }
    close(pipe_fds[1]);
    std::string path;
    char c = 0;
    for (ssize_t n; (n = read(pipe_fds[0], &c, 1)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || c == '\n') break;
        path += c;
    }
    close(pipe_fds[0]);
    if (path.empty() || c != '\n') {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
        return WIFEXITED(status) && WEXITSTATUS(status) != 0 ? WEXITSTATUS(status) : 1;
    }
    std::printf("%s\n%ld\n", path.c_str(), static_cast<long>(child));
    return 0;
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
    if (options.background) {
        int code = into_background();
        if (code >= 0) return code;
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
    if (options.background) {  // the parent returns now; nothing more goes to its pipe
        int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
            close(null);
        }
    }
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
    // The link goes only while it is still this simulator's: a simulator started after
    // this one was stopped may have made it anew.
    char target[4096];
    ssize_t n = options.link.empty() ? -1 : readlink(options.link.c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, size_t(n)) == path) unlink(options.link.c_str());
    trace.note("end after " + std::to_string(reg.exchanges()) + " exchanges");
    return code;
}
