#include "music/sndfile_source.h"

#include <sndfile.h>

namespace kovessa {

namespace {
constexpr int kMaxRate = 768000;
} // namespace

std::unique_ptr<SndfileSource> SndfileSource::Open(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        return nullptr;
    }
    std::unique_ptr<SndfileSource> source(new SndfileSource(file));
    // More than two channels would need a down-mix that the output does not offer; such files
    // are refused rather than played with the wrong channels. A rate far above any real
    // recording's would make the read-ahead and the rate converter hold gigabytes.
    if (info.samplerate <= 0 || info.samplerate > kMaxRate || info.channels < 1 ||
        info.channels > 2 || info.frames <= 0) {
        return nullptr;
    }
    source->format_ = PcmFormat{info.samplerate, info.channels};
    source->length_ = info.frames;
    return source;
}

SndfileSource::~SndfileSource() {
    sf_close(file_);
}

size_t SndfileSource::Read(int16_t* out, size_t frames) {
    const sf_count_t got = sf_readf_short(file_, out, static_cast<sf_count_t>(frames));
    return got > 0 ? static_cast<size_t>(got) : 0;
}

bool SndfileSource::Seek(int64_t frame) {
    return sf_seek(file_, frame, SEEK_SET) >= 0;
}

} // namespace kovessa
