#include "music/sdl_audio_output.h"

#include "music/sdl_audio_library.h"

#include <algorithm>

namespace kovessa {

namespace {
constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr int kBufferFrames = 1024; // 23 ms: short enough for a prompt start

// SDL's converter gathers 1024 frames of input before it converts any, and then converts them
// all at once: at 1 Hz that is 17 minutes of sound, hundreds of megabytes at the device's
// rate. Below this rate every frame is handed over several times, as a stream of at least
// this rate, so the converter's batches stay a fraction of a second long.
constexpr int kLowestConvertedRate = 8000;

int RepeatFor(int rate) {
    return rate >= kLowestConvertedRate ? 1 : (kLowestConvertedRate + rate - 1) / std::max(1, rate);
}
} // namespace

SdlAudioOutput::SdlAudioOutput() : sdl_(OpenSdlAudioLibrary()) {
    if (sdl_ == nullptr) {
        return;
    }
    // SDL would otherwise take SIGINT (and SIGTERM, where nobody has) for a quit event that no
    // one in this program reads, and Ctrl-C would leave the music playing without a picture.
    sdl_->setHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    initialized_ = sdl_->initSubSystem(SDL_INIT_AUDIO) == 0;
}

SdlAudioOutput::~SdlAudioOutput() {
    if (device_ != 0) {
        sdl_->closeAudioDevice(device_);
    }
    for (Entry& e : entries_) {
        sdl_->freeAudioStream(e.convert);
    }
    if (initialized_) {
        sdl_->quitSubSystem(SDL_INIT_AUDIO);
    }
}

int SdlAudioOutput::DeviceCount() {
    if (!initialized_) {
        return 0;
    }
    // Negative counts mean "unknown" (the driver cannot list its devices): none to rely on.
    return std::max(0, sdl_->getNumAudioDevices(0));
}

bool SdlAudioOutput::OpenDevice() {
    if (device_ != 0) {
        return true;
    }
    if (!initialized_) {
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = kRate;
    want.format = AUDIO_S16SYS;
    want.channels = kChannels;
    want.samples = kBufferFrames;
    want.callback = &SdlAudioOutput::Callback;
    want.userdata = this;
    // No changes allowed: SDL converts to whatever the hardware takes, so the mixer below always
    // works on 16-bit stereo at 44.1 kHz.
    device_ = sdl_->openAudioDevice(nullptr, 0, &want, &spec_, 0);
    if (device_ == 0) {
        return false;
    }
    const size_t samples = static_cast<size_t>(spec_.samples) * kChannels;
    sum_.assign(samples, 0);
    converted_.assign(samples, 0);
    return true;
}

bool SdlAudioOutput::AddStream(OutputStream* stream) {
    if (!OpenDevice()) {
        return false;
    }
    const PcmFormat f = stream->StreamFormat();
    const int repeat = RepeatFor(f.rate);
    SDL_AudioStream* convert =
        sdl_->newAudioStream(AUDIO_S16SYS, static_cast<Uint8>(f.channels), f.rate * repeat,
                             AUDIO_S16SYS, kChannels, kRate);
    if (convert == nullptr) {
        return false;
    }
    sdl_->lockAudioDevice(device_);
    entries_.push_back(Entry{stream, convert, stream->StreamEpoch(), repeat});
    sdl_->unlockAudioDevice(device_);
    sdl_->pauseAudioDevice(device_, 0);
    return true;
}

void SdlAudioOutput::RemoveStream(OutputStream* stream) {
    if (device_ == 0) {
        return;
    }
    SDL_AudioStream* convert = nullptr;
    sdl_->lockAudioDevice(device_);
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& e) { return e.stream == stream; });
    if (it != entries_.end()) {
        convert = it->convert;
        entries_.erase(it);
    }
    const bool idle = entries_.empty();
    sdl_->unlockAudioDevice(device_);
    sdl_->freeAudioStream(convert);
    if (idle) {
        sdl_->pauseAudioDevice(device_, 1); // nothing to play: let the device thread rest
    }
}

void SDLCALL SdlAudioOutput::Callback(void* self, Uint8* out, int bytes) {
    static_cast<SdlAudioOutput*>(self)->Mix(out, bytes);
}

void SdlAudioOutput::Mix(Uint8* out, int bytes) {
    const size_t samples = static_cast<size_t>(bytes) / sizeof(int16_t);
    if (sum_.size() < samples) {
        // Only if the device asks for more than it said it would; never in practice.
        sum_.resize(samples);
        converted_.resize(samples);
    }
    std::fill_n(sum_.begin(), samples, 0);
    for (Entry& e : entries_) {
        const PcmFormat f = e.stream->StreamFormat();
        if (const uint64_t epoch = e.stream->StreamEpoch(); epoch != e.epoch) {
            // The stream jumped: converted sound of the old position must not play first.
            sdl_->audioStreamClear(e.convert);
            e.epoch = epoch;
        }
        // Pull in pieces of about one device buffer's worth until the converter holds
        // enough; at a very low rate a piece is a single frame.
        const size_t piece = std::max<size_t>(1, static_cast<size_t>(samples / kChannels) *
                                                     static_cast<size_t>(f.rate) / kRate);
        pulled_.resize(piece * f.channels);
        while (sdl_->audioStreamAvailable(e.convert) < bytes) {
            const size_t got = e.stream->Pull(pulled_.data(), piece);
            if (got == 0) {
                break;
            }
            const int16_t* feed = pulled_.data();
            size_t frames = got;
            if (e.repeat > 1) {
                repeated_.resize(got * f.channels * static_cast<size_t>(e.repeat));
                auto out = repeated_.begin();
                for (size_t i = 0; i < got; ++i) {
                    for (int r = 0; r < e.repeat; ++r) {
                        out = std::copy_n(pulled_.begin() + i * f.channels, f.channels, out);
                    }
                }
                feed = repeated_.data();
                frames = got * static_cast<size_t>(e.repeat);
            }
            sdl_->audioStreamPut(e.convert, feed,
                                 static_cast<int>(frames * f.channels * sizeof(int16_t)));
        }
        const int have = sdl_->audioStreamGet(e.convert, converted_.data(), bytes);
        for (size_t i = 0; i < static_cast<size_t>(std::max(0, have)) / sizeof(int16_t); ++i) {
            sum_[i] += converted_[i];
        }
    }
    auto* dst = reinterpret_cast<int16_t*>(out);
    for (size_t i = 0; i < samples; ++i) {
        dst[i] = static_cast<int16_t>(std::clamp(sum_[i], -32768, 32767));
    }
}

} // namespace kovessa
