#pragma once

#include "music/audio_output.h"
#include "music/pcm_source.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kovessa {

// Plays one source through an audio output. Every call returns at once: a decoder thread of its
// own reads ahead into a short buffer, and the output's thread takes the frames from there. The
// position is what the output has taken, so it follows what is heard, not what was decoded.
class StreamPlayer final : public OutputStream {
public:
    enum class Loop { No, Yes };
    static constexpr int64_t kToEnd = -1;

    StreamPlayer(std::unique_ptr<PcmSource> source, AudioOutput& output);
    ~StreamPlayer() override;
    StreamPlayer(const StreamPlayer&) = delete;
    StreamPlayer& operator=(const StreamPlayer&) = delete;

    // Plays frames [from, to) (to = kToEnd: to the end of the source); with Loop::Yes it goes
    // back to `from` at the end without a gap. False when the output has no device.
    bool Play(int64_t from, int64_t to, Loop loop);
    // Stops; the position stays where the sound stopped.
    void Stop();
    bool IsPlaying() const;
    // True when the last play ran out by itself (end of its range), not by stop().
    bool ReachedEnd() const;
    int64_t Position() const;
    PcmFormat Format() const { return format_; }
    int64_t Length() const { return length_; }

    PcmFormat StreamFormat() const override { return format_; }
    size_t Pull(int16_t* out, size_t frames) override;
    uint64_t StreamEpoch() const override { return epoch_.load(std::memory_order_relaxed); }

private:
    void DecodeLoop();
    size_t BufferedFrames() const;

    std::unique_ptr<PcmSource> source_;
    AudioOutput& output_;
    const PcmFormat format_;
    const int64_t length_;
    bool attached_ = false; // touched by the owning thread only

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<int16_t> ring_;      // read-ahead buffer, `capacity` frames
    size_t ringHead_ = 0;            // first buffered sample
    size_t ringCount_ = 0;           // buffered samples
    uint64_t generation_ = 0;        // bumped by every play and stop; stale decoded data is dropped
    std::atomic<uint64_t> epoch_{0}; // generation_, readable without the lock
    bool playing_ = false;
    bool reachedEnd_ = false;
    bool decodeDone_ = false;
    bool seekPending_ = false;
    bool quit_ = false;
    Loop loop_ = Loop::No;
    int64_t from_ = 0;
    int64_t to_ = kToEnd;
    int64_t decodePos_ = 0;
    int64_t position_ = 0;
    std::thread decoder_;
};

} // namespace kovessa
