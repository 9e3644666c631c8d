// kaslnk-sim: the blocks the register sends and the checking and gathering of the blocks
// it receives.
#pragma once

#include <string>
#include <vector>

#include "tools/sim_memory.h"

namespace sim {

struct BlockSizes {
    int records_per_block = 0;  // 0: as many as fit 968 digits
    int table_bytes = 440;
};

// The next sequence character: '0'..'9', then '0' again.
char next_sequence(char seq);

// The answer to a read: for each item its header block, then its data blocks, with
// sequence characters from `seq` on. A lone empty file is its header alone; an empty
// file followed by another gets one empty block with the last flag.
std::vector<std::string> read_blocks(const std::vector<const Item*>& items, const BlockSizes& sizes,
                                     char seq = '0');
// The FDS list: one header block per item.
std::vector<std::string> fds_list_blocks(const std::vector<const Item*>& items);
// The status: one block with sequence '0' and the 20 status bytes.
std::string status_block(const Item& status);

// Gathers the blocks of a send (or a raw upload) into items.
class SendGatherer {
public:
    // Checks one block body (the characters between STX and the checksum) and takes it.
    // Returns false with a reason when the register refuses it.
    bool take(const std::string& body, std::string& reason);
    // Whether `body` repeats the last block taken (the host did not see the ACK).
    bool is_repeat(const std::string& body) const { return !last_body_.empty() && body == last_body_; }
    // After the closing EOT: the complete items; false with a reason when the data
    // stopped before a block with the last flag.
    bool finish(std::vector<Item>& items, std::string& reason);
    size_t blocks() const { return blocks_; }
    // Notes on anything odd that was still taken (for the traffic log).
    std::vector<std::string> notes;

private:
    std::vector<Item> items_;
    bool open_ = false;  // the current item still expects data
    bool has_data_ = false;
    char last_seq_ = 0;
    size_t blocks_ = 0;
    std::string last_body_;
};

}  // namespace sim
