#pragma once

#include "music/cd_disc.h"
#include "music/mci_errors.h"
#include "music/media_library.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>

namespace kovessa::test {

// A source whose every sample tells where it came from: frame f of a source carries
// (base + f) % 30000 in each channel, so a recording can be checked frame by frame.
class RampSource final : public PcmSource {
public:
    RampSource(int64_t frames, int base = 0, PcmFormat format = {})
        : frames_(frames), base_(base), format_(format) {}
    PcmFormat Format() const override { return format_; }
    size_t Read(int16_t* out, size_t frames) override {
        const size_t n = static_cast<size_t>(std::clamp<int64_t>(frames_ - pos_, 0, frames));
        for (size_t i = 0; i < n; ++i, ++pos_) {
            for (int c = 0; c < format_.channels; ++c) {
                *out++ = static_cast<int16_t>((base_ + pos_) % 30000);
            }
        }
        return n;
    }
    bool Seek(int64_t frame) override {
        if (frame < 0 || frame > frames_) {
            return false;
        }
        pos_ = frame;
        return true;
    }
    int64_t Length() const override { return frames_; }

private:
    int64_t frames_;
    int base_;
    PcmFormat format_;
    int64_t pos_ = 0;
};

// A disc of `tracks` audio tracks of `sectors` sectors each, starting at sector 0.
class FakeDisc final : public CdDisc {
public:
    FakeDisc(int tracks, int32_t sectors) {
        for (int t = 0; t < tracks; ++t) {
            toc_.tracks.push_back(CdTrack{t + 1, t * sectors, true});
        }
        toc_.leadOutSector = tracks * sectors;
    }
    const CdToc& Toc() const override { return toc_; }
    std::unique_ptr<PcmSource> OpenAudio() override {
        return std::make_unique<RampSource>(int64_t{toc_.leadOutSector} * kCdFramesPerSector);
    }

private:
    CdToc toc_;
};

// Files by name: a registered name opens as a ramp of its length; anything else is missing.
class FakeMediaLibrary final : public MediaLibrary {
public:
    int discTracks = 0; // 0: no disc in the drive
    int32_t discSectors = 75;
    std::map<std::string, int64_t> files;    // name -> frames
    std::map<std::string, int32_t> badFiles; // name -> open error

    std::unique_ptr<CdDisc> OpenDisc() override {
        if (discTracks == 0) {
            return nullptr;
        }
        return std::make_unique<FakeDisc>(discTracks, discSectors);
    }
    MediaOpenResult OpenFile(const std::string& path, MediaKind) override {
        MediaOpenResult result;
        if (auto bad = badFiles.find(path); bad != badFiles.end()) {
            result.error = bad->second;
        } else if (auto it = files.find(path); it != files.end()) {
            result.source = std::make_unique<RampSource>(it->second);
        } else {
            result.error = mci::kFileNotFound;
        }
        return result;
    }
};

} // namespace kovessa::test
