// Any text either fails to parse or parses to a bag whose text form reads back equal, and the
// reads a button makes never fail on what the bag holds.

#include "controls/property_bag.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto bag = kovessa::PropertyBag::Parse(text);
    if (!bag) {
        return 0;
    }
    const auto again = kovessa::PropertyBag::Parse(bag->Serialize());
    if (!again || !(*again == *bag)) {
        std::abort();
    }
    for (const auto& name : bag->Names()) {
        (void)bag->ReadBoolean(name, true);
        (void)bag->ReadString(name, "Command1");
        (void)bag->ReadInteger(name, 0, 0, 0xFFFFFFFF);
        (void)bag->ReadFont(name, {});
    }
    return 0;
}
