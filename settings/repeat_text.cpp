#include "settings/repeat_text.h"

#include "launcher/number_reader.h"

namespace kovessa {

std::string FormatRepeat(int16_t track) {
    return track == 0 ? std::string() : std::to_string(track);
}

int16_t RepeatFromText(std::string_view text, int16_t previous) {
    const std::optional<double> number = StrictNumber(text);
    if (!number)
        return 0;
    const std::optional<int16_t> rounded = RoundToInt16(*number);
    return rounded ? *rounded : previous;
}

} // namespace kovessa
