#pragma once

#include "music/pcm_source.h"

#include <cstdint>
#include <memory>
#include <string>

struct mpg123_handle_struct;

namespace kovessa {

// An MP3 file decoded by libmpg123 to 16-bit PCM at the file's own rate and channel count.
class Mpg123Source final : public PcmSource {
public:
    // Null when the file cannot be read or holds no MPEG audio; `error` then says which.
    static std::unique_ptr<Mpg123Source> Open(const std::string& path, int32_t& error);
    ~Mpg123Source() override;

    PcmFormat Format() const override { return format_; }
    size_t Read(int16_t* out, size_t frames) override;
    bool Seek(int64_t frame) override;
    int64_t Length() const override { return length_; }

private:
    explicit Mpg123Source(mpg123_handle_struct* handle) : handle_(handle) {}
    mpg123_handle_struct* handle_;
    PcmFormat format_;
    int64_t length_ = -1;
    bool ended_ = false;
};

} // namespace kovessa
