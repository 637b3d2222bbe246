#include "settings/repeat_text.h"

#include "launcher/number_reader.h"

namespace kovessa {

std::string FormatRepeat(int16_t track) {
    return track == 0 ? std::string() : std::to_string(track);
}

int16_t RepeatFromText(std::string_view text, int16_t previous) {
    const std::optional<double> number = StrictNumber(text);
    if (!number) {
        // A number too large for any reading is still a number, only further out of range than
        // the others: it keeps the track as they do, rather than switching to the whole disc.
        const NumberReading reading = ReadNumber(text, false);
        const bool onlyBlanksAfter = text.find_first_not_of(" \t", reading.end) == text.npos;
        return reading.found && reading.overflow && onlyBlanksAfter ? previous : 0;
    }
    const std::optional<int16_t> rounded = RoundToInt16(*number);
    return rounded ? *rounded : previous;
}

} // namespace kovessa
