#include "music/mci_player_device.h"

#include "music/mci_errors.h"

namespace kovessa {

MciPlayerDevice::MciPlayerDevice(std::unique_ptr<PcmSource> source, AudioOutput& output)
    : player_(std::make_unique<StreamPlayer>(std::move(source), output)) {}

int64_t MciPlayerDevice::CurrentFrame() const {
    if (cued_) {
        return *cued_;
    }
    if (!started_) {
        return StartFrame();
    }
    if (player_->ReachedEnd()) {
        return PositionAfterEnd(playTo_);
    }
    return player_->Position();
}

MciReply MciPlayerDevice::Execute(const MciCommand& command) {
    MciWords words(command.words);
    bool wait = false;
    if (command.verb == "play") {
        return Play(words);
    }
    if (command.verb == "status") {
        return Status(command);
    }
    if (command.verb == "seek") {
        return Seek(words);
    }
    if (command.verb == "set") {
        return Set(words);
    }
    if (!words.TakeClosingFlags(wait)) {
        return {mci::kUnrecognizedKeyword, {}};
    }
    if (command.verb == "stop" || command.verb == "pause") {
        if (player_->IsPlaying()) {
            cued_ = player_->Position();
        }
        player_->Stop();
        paused_ = command.verb == "pause" && cued_.has_value();
        return {};
    }
    if (command.verb == "resume") {
        if (!paused_) {
            return {};
        }
        paused_ = false;
        const int64_t from = CurrentFrame();
        cued_.reset();
        started_ = true;
        return {player_->Play(from, playTo_, StreamPlayer::Loop::No) ? mci::kOk : mci::kHardware,
                {}};
    }
    return {mci::kUnsupportedFunction, {}};
}

int32_t MciPlayerDevice::TakePosition(MciWords& words, int64_t& frame) const {
    const std::optional<std::string> text = words.Value();
    if (!text) {
        return mci::kMissingParameter;
    }
    return ParsePosition(*text, frame);
}

MciReply MciPlayerDevice::Play(MciWords& words) {
    std::optional<int64_t> from;
    std::optional<int64_t> to;
    bool wait = false;
    while (!words.Empty()) {
        if (words.TakeFlag(wait)) {
            continue;
        }
        const bool isFrom = words.Take("from");
        if (!isFrom && !words.Take("to")) {
            return {mci::kUnrecognizedKeyword, {}};
        }
        int64_t frame = 0;
        if (const int32_t error = TakePosition(words, frame); error != mci::kOk) {
            return {error, {}};
        }
        (isFrom ? from : to) = frame;
    }
    if (wait) {
        // Playing to the end before returning would stall the program's only thread for the
        // length of a song; the music is always watched by polling instead.
        return {mci::kUnsupportedFunction, {}};
    }
    int64_t start = from.value_or(CurrentFrame());
    int64_t end = to.value_or(EndFrame());
    if (start < StartFrame() || start > EndFrame() || end > EndFrame() || end < start) {
        return {mci::kOutOfRange, {}};
    }
    if (!AudibleRange(start, end)) {
        // Nothing in the range can sound: the device stays stopped where it was asked to start.
        player_->Stop();
        cued_ = start;
        paused_ = false;
        return {};
    }
    if (!player_->Play(start, end, StreamPlayer::Loop::No)) {
        return {mci::kHardware, {}};
    }
    cued_.reset();
    started_ = true;
    paused_ = false;
    playTo_ = end;
    return {};
}

MciReply MciPlayerDevice::Seek(MciWords& words) {
    bool wait = false;
    std::optional<int64_t> target;
    while (!words.Empty()) {
        if (words.TakeFlag(wait)) {
            continue;
        }
        if (words.Take("to start")) {
            target = StartFrame();
        } else if (words.Take("to end")) {
            target = EndFrame();
        } else if (words.Take("to")) {
            int64_t frame = 0;
            if (const int32_t error = TakePosition(words, frame); error != mci::kOk) {
                return {error, {}};
            }
            if (frame < StartFrame() || frame > EndFrame()) {
                return {mci::kOutOfRange, {}};
            }
            target = frame;
        } else {
            return {mci::kUnrecognizedKeyword, {}};
        }
    }
    if (!target) {
        return {mci::kMissingParameter, {}};
    }
    player_->Stop();
    paused_ = false;
    cued_ = *target;
    return {};
}

MciReply MciPlayerDevice::Set(MciWords& words) {
    bool wait = false;
    while (words.TakeFlag(wait)) {
    }
    if (!words.Take("time format")) {
        return {words.Empty() ? mci::kMissingParameter : mci::kUnrecognizedKeyword, {}};
    }
    const std::optional<std::string> name = words.Value();
    if (!name) {
        return {mci::kMissingParameter, {}};
    }
    if (!words.TakeClosingFlags(wait)) {
        return {mci::kUnrecognizedKeyword, {}};
    }
    return SetTimeFormat(AsciiLower(*name));
}

MciReply MciPlayerDevice::Status(const MciCommand& command) {
    MciWords words(command.words);
    bool wait = false;
    while (words.TakeFlag(wait)) {
    }
    if (words.Empty()) {
        return {mci::kMissingParameter, {}};
    }
    MciWords item = words; // where the device's own items start, should none of these match
    MciWords* rest = &words;
    MciReply reply;
    if (words.Take("mode")) {
        reply.answer = player_->IsPlaying() ? "playing" : paused_ ? "paused" : "stopped";
    } else if (words.Take("ready")) {
        reply.answer = "true";
    } else if (words.Take("time format")) {
        reply.answer = TimeFormatName();
    } else if (words.Take("position") && (words.Empty() || !words.Take("track"))) {
        reply.answer = FormatPosition(CurrentFrame());
    } else {
        reply = Status(item);
        if (reply.code != mci::kOk) {
            return reply;
        }
        rest = &item;
    }
    if (!rest->TakeClosingFlags(wait)) {
        return {mci::kUnrecognizedKeyword, {}};
    }
    return reply;
}

} // namespace kovessa
