// Any text as a number: no crash, no undefined conversion, and the strict reader never accepts
// what the lenient one reads differently.
#include "launcher/command_line.h"
#include "launcher/number_reader.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double lenient = kovessa::Val(text);
    if (std::isnan(lenient)) {
        std::abort();
    }
    if (const auto strict = kovessa::StrictNumber(text)) {
        if (*strict != lenient) {
            std::abort();
        }
    }
    (void)kovessa::RoundToInt16(lenient);
    (void)kovessa::PreviewHandle(text);
    (void)kovessa::ModeLetter(text);
    return 0;
}
