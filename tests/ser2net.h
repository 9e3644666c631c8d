// Debian's serial device server, ser2net, serving a pseudo-terminal on two free loopback
// ports, as RFC 2217 and as raw TCP; for the network tests and the transfer benchmark.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace ser2net {

constexpr const char* PROGRAM = "/usr/sbin/ser2net";

inline sockaddr_in loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// A loopback port nobody listens on (free at the moment of the call).
inline int volny_port() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(0);
    socklen_t d = sizeof a;
    bool ok = bind(s, reinterpret_cast<sockaddr*>(&a), d) == 0 && getsockname(s, reinterpret_cast<sockaddr*>(&a), &d) == 0;
    close(s);
    return ok ? ntohs(a.sin_port) : -1;
}

inline bool posloucha(int port) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(port);
    bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(s);
    return ok;
}

class Server {
public:
    // Starts ser2net with a configuration, pid file and log of its own in `adresar`.
    Server(const std::string& adresar, const std::string& pty) {
        int p1 = volny_port(), p2 = volny_port();
        std::string zarizeni = "  connector: serialdev," + pty + ",19200o71,local\n";
        std::string konf = adresar + "/ser2net.yaml", pid = adresar + "/ser2net.pid", log = adresar + "/ser2net.err";
        std::ofstream(konf) << "connection: &r\n  accepter: telnet(rfc2217),tcp,127.0.0.1," << p1 << "\n"
                            << zarizeni << "connection: &t\n  accepter: tcp,127.0.0.1," << p2 << "\n" << zarizeni;
        pid_ = fork();
        if (pid_ == 0) {
            int e = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(e, 1), dup2(e, 2);
            execl(PROGRAM, "ser2net", "-n", "-u", "-c", konf.c_str(), "-P", pid.c_str(), (char*)nullptr);
            _exit(127);
        }
        for (int i = 0; i < 250 && !posloucha(p2); ++i) usleep(20000);
        rfc2217 = "rfc2217://127.0.0.1:" + std::to_string(p1);
        tcp = "tcp://127.0.0.1:" + std::to_string(p2);
    }
    ~Server() { zastav(); }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;
    void zastav(int signal = SIGTERM) {
        if (pid_ > 0) kill(pid_, signal), waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    std::string rfc2217, tcp;  // the mappings of the pty

private:
    pid_t pid_ = -1;
};

}  // namespace ser2net
