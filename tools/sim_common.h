// kaslnk-sim: small helpers shared by the simulator's parts. The simulator is written
// apart from the program's link and format code on purpose: it checks them from the
// register's side of the line.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace sim {

constexpr unsigned char STX = 0x02, EOT = 0x04, ENQ = 0x05, ACK = 0x06, NAK = 0x15, CR = 0x0D;

// The longest line the host may send before its CR (STX included).
constexpr size_t MAX_FRAME = 988;
// The longest command text the register accepts.
constexpr size_t MAX_COMMAND = 188;

// Thrown when SIGTERM or SIGINT asked the simulator to stop.
struct Stop {};
// Thrown when the line fails for good (a device that went away).
struct LineError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// Thrown when the host gave up in the middle of an exchange (silence) or started a new
// enquiry; the register goes back to waiting for an enquiry.
struct Abandon {
    std::string why;
};

// Two's complement of the byte sum of `text`, as two upper-case hexadecimal digits.
std::string checksum(const std::string& text);
// A complete frame: STX, body, checksum of the body, CR.
std::string frame(const std::string& body);

bool is_hex(unsigned char c);
int hex_value(unsigned char c);
std::string to_hex(const std::string& bytes);  // upper case, two digits per byte
// Bytes from an even run of hexadecimal digits (either case); false when malformed.
bool from_hex(const std::string& digits, std::string& bytes);
std::string upper(std::string s);

// Microseconds on a monotonic clock.
int64_t now_us();
// Local date and time as "YYYY-MM-DD HH:MM:SS".
std::string local_time_text();
// Printable form of a byte string for messages: control bytes as <XX>.
std::string printable(const std::string& bytes);

}  // namespace sim
