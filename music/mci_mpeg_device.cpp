#include "music/mci_mpeg_device.h"

#include "music/mci_errors.h"

#include <limits>

namespace kovessa {

int64_t MciMpegDevice::EndFrame() const {
    // The decoder's length of an MP3 is an estimate that can fall short of the real end, so a
    // play without "to" always runs to the last decoded frame.
    return std::numeric_limits<int64_t>::max();
}

int32_t MciMpegDevice::ParsePosition(const std::string& text, int64_t& frame) const {
    const std::optional<int32_t> ms = ParseMciInteger(text);
    if (!ms) {
        return mci::kBadInteger;
    }
    frame = int64_t{*ms} * Player().Format().rate / 1000;
    return mci::kOk;
}

std::string MciMpegDevice::FormatPosition(int64_t frame) const {
    return std::to_string(frame * 1000 / Player().Format().rate);
}

MciReply MciMpegDevice::Status(MciWords& item) {
    MciReply reply;
    if (item.Take("length")) {
        const int64_t length = Player().Length();
        reply.answer = length >= 0 ? FormatPosition(length) : "0";
    } else if (item.Take("media present")) {
        reply.answer = "true";
    } else if (item.Take("start position")) {
        reply.answer = "0";
    } else {
        return {mci::kUnrecognizedKeyword, {}};
    }
    return reply;
}

MciReply MciMpegDevice::SetTimeFormat(const std::string& name) {
    if (name == "milliseconds" || name == "ms") {
        return {};
    }
    return {mci::kBadTimeFormat, {}};
}

} // namespace kovessa
