#include "tools/sim_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace sim {

const char* usage_text() {
    return "Usage: kaslnk-sim [options]\n"
           "Plays an ER-A227E cash register on a serial line for kaslnk.\n"
           "\n"
           "Line:\n"
           "  -m, --memory DIR         register memory folder (default ./register)\n"
           "  -t, --terminal N         terminal number answered (default 1)\n"
           "  -d, --device PATH        serve this serial device instead of a new pseudo-terminal\n"
           "  -l, --link PATH          make PATH a symlink to the pseudo-terminal (use it as KASLNK_COM1)\n"
           "      --tcp PORT           serve on 127.0.0.1:PORT as raw TCP instead (0: a free port)\n"
           "      --rfc2217 PORT       serve on 127.0.0.1:PORT with Telnet COM-port control (RFC 2217)\n"
           "  -b, --baud N             line speed (default 19200); on a pty enquiries sent at\n"
           "                           another speed are not heard\n"
           "      --line DPS           data bits, parity N/O/E/M/S, stop bits (default 7O1)\n"
           "      --rtscts             RTS/CTS flow control on the device\n"
           "  -p, --pace               send bytes at the line speed (10 bit times each)\n"
           "      --fifo N             with --pace on a pty: hand bytes over in groups of N, as a UART FIFO\n"
           "      --reply-delay MS     wait MS before every answer (default 0)\n"
           "      --patience MS        how long to wait for the host inside an exchange (default 10000)\n"
           "Behaviour:\n"
           "  -n, --exchanges N        exit after N exchanges\n"
           "      --records-per-block N  records in one block of a register file (default: all that fit)\n"
           "      --table-block N      table bytes in one block (default 440, at most 487)\n"
           "      --read-only          accept sends but do not store them\n"
           "  -f, --fault DESC         inject a fault, STEP:ACTION[=VALUE][:COUNT] (repeatable)\n"
           "      --nak                answer every enquiry with NAK (same as -f enq:nak:always)\n"
           "Output:\n"
           "  -T, --trace FILE         traffic log with direction and time of every byte\n"
           "  -q, --quiet              no exchange summaries on stderr\n"
           "      --background         return once the line is ready (its path printed) and serve\n"
           "                           in the background; the second line of stdout is its pid\n"
           "  -h, --help\n"
           "\n"
           "Fault steps: enq (answer to the enquiry), cmd (answer to the command packet),\n"
           "turn (the ENQ that takes the line), blockN (N-th block of a read, 0 = header),\n"
           "eot (closing EOT of a read), ackN (answer to the host's N-th block, 0 = header).\n"
           "Actions: silent, nak, foreign[=HH], noise, slow[=MS], and for blocks also badsum,\n"
           "lower, gap[=MS], cut. COUNT: how many times (default 1), or 'always'.\n"
           "The slave path of the pseudo-terminal (or tcp://, rfc2217:// with the port) is printed\n"
           "on the first line of stdout.\n";
}

namespace {

bool to_long(const std::string& text, long min, long max, long& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno || *end || v < min || v > max) return false;
    out = v;
    return true;
}

bool parse_line_format(const std::string& text, Options& o) {
    if (text.size() != 3) return false;
    if (text[0] < '5' || text[0] > '8') return false;
    if (!std::strchr("NOEMS", text[1]) || text[1] == 0) return false;
    if (text[2] != '1' && text[2] != '2') return false;
    o.data_bits = text[0] - '0';
    o.parity = text[1];
    o.stop_bits = text[2] - '0';
    return true;
}

}  // namespace

bool parse_options(int argc, char** argv, Options& o, bool& help, std::string& error) {
    help = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i], value;
        bool has_inline = false;
        if (arg.rfind("--", 0) == 0) {
            size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                has_inline = true;
            }
        }
        auto is = [&](const char* shrt, const char* lng) { return arg == shrt || arg == lng; };
        auto take = [&](std::string& out) {
            if (has_inline) {
                out = value;
                return true;
            }
            if (i + 1 >= argc) {
                error = "option " + arg + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        auto take_num = [&](long min, long max, long& out) {
            std::string text;
            if (!take(text)) return false;
            if (!to_long(text, min, max, out)) {
                error = "option " + arg + ": '" + text + "' is not a number from " +
                        std::to_string(min) + " to " + std::to_string(max);
                return false;
            }
            return true;
        };
        long n = 0;
        std::string text;
        if (is("-h", "--help")) {
            help = true;
            return true;
        } else if (is("-m", "--memory")) {
            if (!take(o.memory)) return false;
        } else if (is("-t", "--terminal")) {
            if (!take_num(0, 999999, n)) return false;
            o.terminal = unsigned(n);
        } else if (is("-d", "--device")) {
            if (!take(o.device)) return false;
        } else if (is("-l", "--link")) {
            if (!take(o.link)) return false;
        } else if (is("--tcp", "--tcp") || is("--rfc2217", "--rfc2217")) {
            if (!take_num(0, 65535, n)) return false;
            o.tcp_port = int(n);
            o.rfc2217 = arg == "--rfc2217";
        } else if (is("-b", "--baud")) {
            if (!take_num(50, 4000000, n)) return false;
            o.baud = unsigned(n);
        } else if (is("--line", "--line")) {
            if (!take(text)) return false;
            if (!parse_line_format(text, o)) {
                error = "option --line: '" + text + "' is not like 7O1 or 8N1";
                return false;
            }
        } else if (is("--rtscts", "--rtscts")) {
            o.rtscts = true;
        } else if (is("-p", "--pace")) {
            o.pace = true;
        } else if (is("--fifo", "--fifo")) {
            if (!take_num(1, 4096, n)) return false;
            o.fifo = int(n);
        } else if (is("--reply-delay", "--reply-delay")) {
            if (!take_num(0, 60000, n)) return false;
            o.reply_delay_ms = int(n);
        } else if (is("--patience", "--patience")) {
            if (!take_num(100, 600000, n)) return false;
            o.patience_ms = int(n);
        } else if (is("-T", "--trace")) {
            if (!take(o.trace)) return false;
        } else if (is("-n", "--exchanges")) {
            if (!take_num(0, 1000000000, n)) return false;
            o.exchanges = n;
        } else if (is("--records-per-block", "--records-per-block")) {
            if (!take_num(1, 484, n)) return false;
            o.records_per_block = int(n);
        } else if (is("--table-block", "--table-block")) {
            if (!take_num(1, 487, n)) return false;
            o.table_block = int(n);
        } else if (is("--read-only", "--read-only")) {
            o.read_only = true;
        } else if (is("-q", "--quiet")) {
            o.quiet = true;
        } else if (is("--background", "--background")) {
            o.background = true;
        } else if (is("--nak", "--nak")) {
            o.faults.push_back("enq:nak:always");
        } else if (is("-f", "--fault")) {
            if (!take(text)) return false;
            o.faults.push_back(text);
        } else {
            error = "unknown option '" + std::string(argv[i]) + "'";
            return false;
        }
        if (has_inline && !(arg == "--memory" || arg == "--terminal" || arg == "--device" ||
                            arg == "--link" || arg == "--tcp" || arg == "--rfc2217" || arg == "--baud" || arg == "--line" ||
                            arg == "--fifo" || arg == "--reply-delay" || arg == "--patience" ||
                            arg == "--trace" ||
                            arg == "--exchanges" || arg == "--records-per-block" ||
                            arg == "--table-block" || arg == "--fault")) {
            error = "option " + arg + " takes no value";
            return false;
        }
    }
    return true;
}

}  // namespace sim
