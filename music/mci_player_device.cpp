#include "music/mci_player_device.h"

#include "music/mci_errors.h"

namespace kovessa {

MciPlayerDevice::MciPlayerDevice(std::unique_ptr<PcmSource> source, AudioOutput& output)
    : player_(std::make_unique<StreamPlayer>(std::move(source), output)) {}

int64_t MciPlayerDevice::currentFrame() const {
    if (cued_) {
        return *cued_;
    }
    if (!started_) {
        return startFrame();
    }
    if (player_->reachedEnd()) {
        return positionAfterEnd(playTo_);
    }
    return player_->position();
}

MciReply MciPlayerDevice::execute(const MciCommand& command) {
    MciWords words(command.words);
    bool wait = false;
    if (command.verb == "play") {
        return play(words);
    }
    if (command.verb == "status") {
        return status(command);
    }
    if (command.verb == "seek") {
        return seek(words);
    }
    if (command.verb == "set") {
        return set(words);
    }
    if (!words.TakeClosingFlags(wait)) {
        return {mci::kUnrecognizedKeyword, {}};
    }
    if (command.verb == "stop" || command.verb == "pause") {
        if (player_->isPlaying()) {
            cued_ = player_->position();
        }
        player_->stop();
        paused_ = command.verb == "pause" && cued_.has_value();
        return {};
    }
    if (command.verb == "resume") {
        if (!paused_) {
            return {};
        }
        paused_ = false;
        const int64_t from = currentFrame();
        cued_.reset();
        started_ = true;
        return {player_->play(from, playTo_, StreamPlayer::Loop::No) ? mci::kOk : mci::kHardware,
                {}};
    }
    return {mci::kUnsupportedFunction, {}};
}

int32_t MciPlayerDevice::TakePosition(MciWords& words, int64_t& frame) const {
    const std::optional<std::string> text = words.value();
    if (!text) {
        return mci::kMissingParameter;
    }
    return parsePosition(*text, frame);
}

MciReply MciPlayerDevice::play(MciWords& words) {
    std::optional<int64_t> from;
    std::optional<int64_t> to;
    bool wait = false;
    while (!words.empty()) {
        if (words.takeFlag(wait)) {
            continue;
        }
        const bool isFrom = words.take("from");
        if (!isFrom && !words.take("to")) {
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
    int64_t start = from.value_or(currentFrame());
    int64_t end = to.value_or(endFrame());
    if (start < startFrame() || start > endFrame() || end > endFrame() || end < start) {
        return {mci::kOutOfRange, {}};
    }
    if (!audibleRange(start, end)) {
        // Nothing in the range can sound: the device stays stopped where it was asked to start.
        player_->stop();
        cued_ = start;
        paused_ = false;
        return {};
    }
    if (!player_->play(start, end, StreamPlayer::Loop::No)) {
        return {mci::kHardware, {}};
    }
    cued_.reset();
    started_ = true;
    paused_ = false;
    playTo_ = end;
    return {};
}

MciReply MciPlayerDevice::seek(MciWords& words) {
    bool wait = false;
    std::optional<int64_t> target;
    while (!words.empty()) {
        if (words.takeFlag(wait)) {
            continue;
        }
        if (words.take("to start")) {
            target = startFrame();
        } else if (words.take("to end")) {
            target = endFrame();
        } else if (words.take("to")) {
            int64_t frame = 0;
            if (const int32_t error = TakePosition(words, frame); error != mci::kOk) {
                return {error, {}};
            }
            if (frame < startFrame() || frame > endFrame()) {
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
    player_->stop();
    paused_ = false;
    cued_ = *target;
    return {};
}

MciReply MciPlayerDevice::set(MciWords& words) {
    bool wait = false;
    while (words.takeFlag(wait)) {
    }
    if (!words.take("time format")) {
        return {words.empty() ? mci::kMissingParameter : mci::kUnrecognizedKeyword, {}};
    }
    const std::optional<std::string> name = words.value();
    if (!name) {
        return {mci::kMissingParameter, {}};
    }
    if (!words.TakeClosingFlags(wait)) {
        return {mci::kUnrecognizedKeyword, {}};
    }
    return setTimeFormat(AsciiLower(*name));
}

MciReply MciPlayerDevice::status(const MciCommand& command) {
    MciWords words(command.words);
    bool wait = false;
    while (words.takeFlag(wait)) {
    }
    if (words.empty()) {
        return {mci::kMissingParameter, {}};
    }
    MciWords item = words; // where the device's own items start, should none of these match
    MciWords* rest = &words;
    MciReply reply;
    if (words.take("mode")) {
        reply.answer = player_->isPlaying() ? "playing" : paused_ ? "paused" : "stopped";
    } else if (words.take("ready")) {
        reply.answer = "true";
    } else if (words.take("time format")) {
        reply.answer = timeFormatName();
    } else if (words.take("position") && (words.empty() || !words.take("track"))) {
        reply.answer = formatPosition(currentFrame());
    } else {
        reply = status(item);
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
