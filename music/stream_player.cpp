#include "music/stream_player.h"

#include <algorithm>

namespace kovessa {

namespace {

// A quarter of a second read ahead is plenty for a decoder that runs hundreds of times faster
// than real time, and keeps a restart audible almost at once.
constexpr int kReadAheadMs = 250;
constexpr size_t kChunkFrames = 2048;

} // namespace

StreamPlayer::StreamPlayer(std::unique_ptr<PcmSource> source, AudioOutput& output)
    : source_(std::move(source)), output_(output), format_(source_->Format()),
      length_(source_->Length()) {
    const size_t frames = std::max<size_t>(kChunkFrames * 2, format_.rate * kReadAheadMs / 1000);
    ring_.assign(frames * format_.channels, 0);
    decoder_ = std::thread([this] { DecodeLoop(); });
}

StreamPlayer::~StreamPlayer() {
    if (attached_) {
        output_.RemoveStream(this);
    }
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    decoder_.join();
}

bool StreamPlayer::Play(int64_t from, int64_t to, Loop loop) {
    // The output must not be asked for while our lock is held: its thread may be inside pull()
    // waiting for that lock.
    if (!attached_) {
        attached_ = output_.AddStream(this);
        if (!attached_) {
            return false;
        }
    }
    {
        std::lock_guard lock(mutex_);
        epoch_ = ++generation_;
        ringHead_ = ringCount_ = 0;
        from_ = std::max<int64_t>(0, from);
        to_ = to;
        loop_ = loop;
        decodePos_ = position_ = from_;
        decodeDone_ = false;
        seekPending_ = true;
        playing_ = true;
        reachedEnd_ = false;
    }
    wake_.notify_all();
    return true;
}

void StreamPlayer::Stop() {
    std::lock_guard lock(mutex_);
    epoch_ = ++generation_;
    ringHead_ = ringCount_ = 0;
    // A stop after the sound ran out leaves it "at the end", so the next play starts over.
    if (playing_) {
        reachedEnd_ = false;
    }
    playing_ = false;
    seekPending_ = false;
}

bool StreamPlayer::IsPlaying() const {
    std::lock_guard lock(mutex_);
    return playing_;
}

bool StreamPlayer::ReachedEnd() const {
    std::lock_guard lock(mutex_);
    return reachedEnd_;
}

int64_t StreamPlayer::Position() const {
    std::lock_guard lock(mutex_);
    return position_;
}

size_t StreamPlayer::BufferedFrames() const {
    return ringCount_ / format_.channels;
}

size_t StreamPlayer::Pull(int16_t* out, size_t frames) {
    size_t taken = 0;
    {
        std::lock_guard lock(mutex_);
        if (!playing_) {
            return 0;
        }
        taken = std::min(frames, BufferedFrames());
        const size_t samples = taken * format_.channels;
        const size_t first = std::min(samples, ring_.size() - ringHead_);
        std::copy_n(ring_.begin() + ringHead_, first, out);
        std::copy_n(ring_.begin(), samples - first, out + first);
        ringHead_ = (ringHead_ + samples) % ring_.size();
        ringCount_ -= samples;
        position_ += static_cast<int64_t>(taken);
        if (ringCount_ == 0 && decodeDone_) {
            playing_ = false;
            reachedEnd_ = true;
        }
    }
    wake_.notify_all();
    return taken;
}

void StreamPlayer::DecodeLoop() {
    std::vector<int16_t> chunk(kChunkFrames * format_.channels);
    int64_t sinceSeek = 0; // frames read since the last seek; guards the loop against empty data
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] {
            return quit_ || seekPending_ ||
                   (playing_ && !decodeDone_ && ring_.size() - ringCount_ >= chunk.size());
        });
        if (quit_) {
            return;
        }
        const uint64_t generation = generation_;
        if (seekPending_) {
            seekPending_ = false;
            const int64_t target = decodePos_;
            lock.unlock();
            const bool ok = source_->Seek(target);
            lock.lock();
            sinceSeek = 0;
            if (generation == generation_ && !ok) {
                decodeDone_ = true;
            }
            continue;
        }
        size_t want = kChunkFrames;
        if (to_ != kToEnd) {
            want = static_cast<size_t>(std::clamp<int64_t>(to_ - decodePos_, 0, want));
        }
        size_t got = 0;
        if (want > 0) {
            lock.unlock();
            got = source_->Read(chunk.data(), want);
            lock.lock();
        }
        if (generation != generation_) {
            continue; // a play or stop came in meanwhile: these frames belong to nobody
        }
        if (got == 0) {
            // End of the range. A loop goes back without a gap, but only when the pass gave
            // sound: a source that yields nothing must not spin this thread.
            if (loop_ == Loop::Yes && sinceSeek > 0) {
                decodePos_ = from_;
                seekPending_ = true;
            } else {
                decodeDone_ = true;
                if (ringCount_ == 0 && playing_) {
                    // Nothing is left for the output to take, so the end is reached now; the
                    // output may not pull again while nothing is buffered.
                    playing_ = false;
                    reachedEnd_ = true;
                }
            }
            continue;
        }
        const size_t samples = got * format_.channels;
        size_t tail = (ringHead_ + ringCount_) % ring_.size();
        for (size_t i = 0; i < samples; ++i) {
            ring_[tail] = chunk[i];
            tail = tail + 1 == ring_.size() ? 0 : tail + 1;
        }
        ringCount_ += samples;
        decodePos_ += static_cast<int64_t>(got);
        sinceSeek += static_cast<int64_t>(got);
    }
}

} // namespace kovessa
