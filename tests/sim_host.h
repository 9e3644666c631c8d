// Test helpers for the register simulator: start kaslnk-sim on its own pseudo-terminal
// and talk to it with a small scripted host written here (not the program's link code).
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace simtest {

constexpr char STX = 0x02, EOT = 0x04, ENQ = 0x05, ACK = 0x06, NAK = 0x15, CR = 0x0D;

inline long long ms_now() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

inline std::string sum_of(const std::string& body) {
    unsigned s = 0;
    for (unsigned char c : body) s += c;
    char out[3];
    std::snprintf(out, sizeof out, "%02X", (256 - (s & 0xFF)) & 0xFF);
    return out;
}

inline std::string framed(const std::string& body) { return STX + body + sum_of(body) + CR; }

// A scratch folder, removed at the end.
struct TempDir {
    std::filesystem::path path;
    TempDir() {
        char tmpl[] = "/tmp/kaslnk-sim-test-XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string str() const { return path.string(); }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path / name, std::ios::binary) << text;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path / name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

// kaslnk-sim as a child process; the slave path comes from the first line of its stdout.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> args, const std::string& stderr_file = "/dev/null") {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            int err = open(stderr_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (err >= 0) dup2(err, 2);
            close(out[0]);
            std::vector<char*> argv;
            static std::string binary = KASLNK_SIM_BINARY;
            argv.push_back(binary.data());
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(binary.c_str(), argv.data());
            _exit(127);
        }
        close(out[1]);
        out_ = out[0];
        // The first line is the slave path (nothing comes when the start fails).
        long long end = ms_now() + 5000;
        char c;
        while (ms_now() < end) {
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            if (read(out_, &c, 1) != 1) break;
            if (c == '\n') break;
            path += c;
        }
    }
    ~SimProcess() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGTERM);
            wait_exit(5000);
            if (!exited_) {
                kill(pid_, SIGKILL);
                waitpid(pid_, nullptr, 0);
            }
        }
        if (out_ >= 0) close(out_);
    }
    // The exit code once the process has ended within the time, else -1.
    int wait_exit(int timeout_ms) {
        long long end = ms_now() + timeout_ms;
        while (!exited_) {
            int status = 0;
            pid_t r = waitpid(pid_, &status, WNOHANG);
            if (r == pid_) {
                exited_ = true;
                code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            if (ms_now() > end) return -1;
            usleep(10000);
        }
        return code_;
    }
    void terminate() {
        if (pid_ > 0 && !exited_) kill(pid_, SIGTERM);
    }
    std::string path;

private:
    pid_t pid_ = -1;
    int out_ = -1;
    bool exited_ = false;
    int code_ = -1;
};

// The host's end of the line, driven step by step by a test.
class Host {
public:
    explicit Host(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY);
        if (fd_ < 0) return;
        termios t;
        tcgetattr(fd_, &t);
        cfmakeraw(&t);
        tcsetattr(fd_, TCSANOW, &t);
    }
    ~Host() {
        if (fd_ >= 0) close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    void send(const std::string& bytes) {
        if (write(fd_, bytes.data(), bytes.size()) != ssize_t(bytes.size())) std::perror("host write");
    }
    // One byte, or -1 after timeout_ms of silence.
    int get(int timeout_ms) {
        if (at_ == buffer_.size()) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, timeout_ms) <= 0) return -1;
            char chunk[1024];
            ssize_t n = read(fd_, chunk, sizeof chunk);
            if (n <= 0) return -1;
            buffer_.assign(chunk, size_t(n));
            at_ = 0;
        }
        return (unsigned char)buffer_[at_++];
    }
    // Bytes up to and including CR, or a lone EOT; stops early after a gap.
    std::string frame(int first_ms = 2000, int gap_ms = 1000) {
        std::string out;
        int c = get(first_ms);
        while (c >= 0) {
            out += char(c);
            if (c == CR || (out.size() == 1 && c == EOT)) break;
            c = get(gap_ms);
        }
        return out;
    }
    int enquiry(const std::string& terminal = "000001", int wait_ms = 1000) {
        send(std::string(3, EOT) + terminal + ENQ);
        return get(wait_ms);
    }
    int command(const std::string& text) {
        send(framed("0" + text));
        return get(2000);
    }
    // Calling, command, turn of the line: the register's ENQ, or what came instead.
    int open_read(const std::string& text) {
        if (enquiry() != ACK) return -2;
        if (command(text) != ACK) return -3;
        send(std::string(1, EOT));
        return get(2000);
    }
    // A whole read, acknowledging every good block; the blocks as received.
    std::vector<std::string> read_all(const std::string& text) {
        std::vector<std::string> blocks;
        if (open_read(text) != ENQ) return blocks;
        for (;;) {
            send(std::string(1, ACK));
            std::string b = frame();
            if (b.empty() || b == std::string(1, EOT)) break;
            blocks.push_back(b);
        }
        return blocks;
    }

private:
    int fd_ = -1;
    std::string buffer_;
    size_t at_ = 0;
};

// Whether a received block carries the right checksum in upper-case digits.
inline bool checksum_ok(const std::string& block) {
    if (block.size() < 4 || block[0] != STX || block.back() != CR) return false;
    std::string body = block.substr(1, block.size() - 4);
    return sum_of(body) == block.substr(block.size() - 3, 2);
}

inline std::string body_of(const std::string& block) { return block.substr(1, block.size() - 4); }

}  // namespace simtest

namespace simtest {

// A small register file (code 21: a 2-byte key and two pairs of signed amounts, 24 bytes).
inline const std::string FDS21 = "21,00,0064,00,0000,01,00,02,00,00,00,00,00,00,00,0B,0B,00,00,00,00,00,00";
inline const std::vector<std::string> RECORDS21 = {
    "0001" "000000001000" "0000000000" "000000000000" "0000000000",
    "0002" "000000002500" "0000000000" "000000000000" "0000000010",
    "0003" "00000000150D" "0000000000" "000000000000" "0000000000",
};

inline std::string header_digits(const std::string& fds) {
    std::string out;
    for (char c : fds)
        if (c != ',') out += c;
    return out;
}

}  // namespace simtest
