#pragma once

#include "music/mci_command.h"

#include <cstdint>
#include <string>

namespace kovessa {

struct MciReply {
    int32_t code = 0;
    std::string answer;
};

// An open device of the interpreter. It handles every command but open and close, which the
// interpreter's device table takes care of.
class MciDevice {
public:
    virtual ~MciDevice() = default;
    virtual MciReply Execute(const MciCommand& command) = 0;
};

} // namespace kovessa
