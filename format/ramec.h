// The control characters of the frames that cross the line and lie in the work files:
// one definition for the format engine, which reads received blocks, and the link layer,
// which sends and receives them.
#pragma once

constexpr unsigned char STX = 0x02, EOT = 0x04, ENQ = 0x05, ACK = 0x06, NAK = 0x15, CR = 0x0D;
