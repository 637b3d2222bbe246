#include "tests/music/recording_audio_output.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace kovessa {

RecordingAudioOutput::RecordingAudioOutput(PcmFormat format, int devices)
    : format_(format), devices_(devices) {}

bool RecordingAudioOutput::AddStream(OutputStream* stream) {
    if (devices_ <= 0) {
        return false;
    }
    std::lock_guard lock(mutex_);
    if (std::find(streams_.begin(), streams_.end(), stream) == streams_.end()) {
        streams_.push_back(stream);
    }
    return true;
}

void RecordingAudioOutput::RemoveStream(OutputStream* stream) {
    std::lock_guard lock(mutex_);
    std::erase(streams_, stream);
}

size_t RecordingAudioOutput::Pump(size_t frames) {
    std::lock_guard lock(mutex_);
    const size_t samples = frames * format_.channels;
    std::vector<int32_t> mix(samples, 0);
    std::vector<int16_t> piece;
    size_t longest = 0;
    for (OutputStream* stream : streams_) {
        const PcmFormat f = stream->StreamFormat();
        piece.resize(frames * f.channels);
        const size_t got = stream->Pull(piece.data(), frames);
        if (f.rate != format_.rate || f.channels != format_.channels) {
            continue;
        }
        for (size_t i = 0; i < got * f.channels; ++i) {
            mix[i] += piece[i];
        }
        longest = std::max(longest, got);
    }
    for (size_t i = 0; i < longest * format_.channels; ++i) {
        recording_.push_back(static_cast<int16_t>(std::clamp(mix[i], -32768, 32767)));
    }
    return longest;
}

size_t RecordingAudioOutput::PumpFrames(size_t frames, std::chrono::milliseconds idle) {
    size_t done = 0;
    auto lastSound = std::chrono::steady_clock::now();
    while (done < frames) {
        const size_t got = Pump(std::min<size_t>(frames - done, 1024));
        done += got;
        if (got > 0) {
            lastSound = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - lastSound > idle) {
            break;
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    return done;
}

std::vector<int16_t> RecordingAudioOutput::TakeRecording() {
    std::lock_guard lock(mutex_);
    return std::exchange(recording_, {});
}

size_t RecordingAudioOutput::RecordedFrames() const {
    std::lock_guard lock(mutex_);
    return recording_.size() / format_.channels;
}

size_t RecordingAudioOutput::StreamCount() const {
    std::lock_guard lock(mutex_);
    return streams_.size();
}

} // namespace kovessa
