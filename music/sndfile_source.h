#pragma once

#include "music/pcm_source.h"

#include <memory>
#include <string>

struct sf_private_tag;

namespace kovessa {

// A sound file (WAV and the other formats libsndfile knows) read as 16-bit PCM.
class SndfileSource final : public PcmSource {
public:
    // Null when the file cannot be opened as sound.
    static std::unique_ptr<SndfileSource> Open(const std::string& path);
    ~SndfileSource() override;

    PcmFormat Format() const override { return format_; }
    size_t Read(int16_t* out, size_t frames) override;
    bool Seek(int64_t frame) override;
    int64_t Length() const override { return length_; }

private:
    explicit SndfileSource(sf_private_tag* file) : file_(file) {}
    sf_private_tag* file_;
    PcmFormat format_;
    int64_t length_ = -1;
};

} // namespace kovessa
