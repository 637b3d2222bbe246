#include "music/cdio_disc.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace kovessa {

struct CdioHandle {
    CdIo_t* cdio = nullptr;
    ~CdioHandle() {
        if (cdio != nullptr) {
            cdio_destroy(cdio);
        }
    }
};

namespace {

bool EndsWithCue(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return ext == ".cue";
}

// Reads the disc sector by sector through paranoia, which corrects the jitter and read errors
// of real drives and reads images just the same.
class ParanoiaSource final : public PcmSource {
public:
    ParanoiaSource(std::shared_ptr<CdioHandle> handle, int32_t endSector)
        : handle_(std::move(handle)), endSector_(endSector) {}
    ~ParanoiaSource() override {
        if (paranoia_ != nullptr) {
            cdio_paranoia_free(paranoia_);
        }
        if (drive_ != nullptr) {
            cdio_cddap_close_no_free_cdio(drive_);
        }
    }

    bool Start() {
        char* messages = nullptr;
        drive_ = cdio_cddap_identify_cdio(handle_->cdio, CDDA_MESSAGE_FORGETIT, &messages);
        cdio_cddap_free_messages(messages);
        if (drive_ == nullptr || cdio_cddap_open(drive_) != 0) {
            return false;
        }
        paranoia_ = cdio_paranoia_init(drive_);
        if (paranoia_ == nullptr) {
            return false;
        }
        cdio_paranoia_modeset(paranoia_, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
        return Seek(0);
    }

    PcmFormat Format() const override { return {kCdSampleRate, 2}; }
    int64_t Length() const override { return int64_t{endSector_} * kCdFramesPerSector; }

    bool Seek(int64_t frame) override {
        if (frame < 0 || frame > Length()) {
            return false;
        }
        sector_ = static_cast<int32_t>(frame / kCdFramesPerSector);
        cdio_paranoia_seek(paranoia_, sector_, SEEK_SET);
        // The frames of the first sector ahead of the target are skipped once it is read.
        used_ = kCdFramesPerSector;
        skip_ = static_cast<int>(frame % kCdFramesPerSector);
        return true;
    }

    size_t Read(int16_t* out, size_t frames) override {
        size_t total = 0;
        while (total < frames) {
            if (used_ == kCdFramesPerSector) {
                if (sector_ >= endSector_) {
                    break;
                }
                const int16_t* data = cdio_paranoia_read(paranoia_, nullptr);
                if (data == nullptr) {
                    sector_ = endSector_; // an unreadable disc ends the sound
                    break;
                }
                std::memcpy(sectorData_, data, sizeof sectorData_);
                ++sector_;
                used_ = skip_;
                skip_ = 0;
            }
            const size_t n = std::min<size_t>(kCdFramesPerSector - used_, frames - total);
            std::memcpy(out + total * 2, sectorData_ + used_ * 2, n * 2 * sizeof(int16_t));
            used_ += static_cast<int>(n);
            total += n;
        }
        return total;
    }

private:
    std::shared_ptr<CdioHandle> handle_;
    const int32_t endSector_;
    cdrom_drive_t* drive_ = nullptr;
    cdrom_paranoia_t* paranoia_ = nullptr;
    int32_t sector_ = 0;            // next sector to read
    int used_ = kCdFramesPerSector; // frames of sector_data_ already handed out
    int skip_ = 0;                  // frames to skip in the next sector read
    int16_t sectorData_[kCdFramesPerSector * 2] = {};
};

} // namespace

std::unique_ptr<CdioDisc> CdioDisc::Open(const std::string& source) {
    static std::once_flag quiet;
    std::call_once(quiet, [] { cdio_loglevel_default = CDIO_LOG_ERROR; });

    auto handle = std::make_shared<CdioHandle>();
    // Never DRIVER_UNKNOWN for a drive: it would probe image files in the current folder.
    if (source.empty()) {
        handle->cdio = cdio_open(nullptr, DRIVER_DEVICE);
    } else if (EndsWithCue(source)) {
        handle->cdio = cdio_open(source.c_str(), DRIVER_BINCUE);
    } else {
        handle->cdio = cdio_open(source.c_str(), DRIVER_DEVICE);
    }
    if (handle->cdio == nullptr) {
        return nullptr;
    }
    const track_t first = cdio_get_first_track_num(handle->cdio);
    const track_t count = cdio_get_num_tracks(handle->cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) {
        return nullptr;
    }
    std::unique_ptr<CdioDisc> disc(new CdioDisc(handle));
    bool anyAudio = false;
    for (track_t t = first; t < first + count; ++t) {
        const lsn_t start = cdio_get_track_lsn(handle->cdio, t);
        if (start == CDIO_INVALID_LSN) {
            return nullptr;
        }
        const bool audio = cdio_get_track_format(handle->cdio, t) == TRACK_FORMAT_AUDIO;
        anyAudio = anyAudio || audio;
        disc->toc_.tracks.push_back(CdTrack{t, start, audio});
    }
    const lsn_t leadOut = cdio_get_track_lsn(handle->cdio, CDIO_CDROM_LEADOUT_TRACK);
    if (!anyAudio || leadOut == CDIO_INVALID_LSN ||
        leadOut <= disc->toc_.tracks.back().startSector) {
        return nullptr;
    }
    disc->toc_.leadOutSector = leadOut;
    return disc;
}

CdioDisc::~CdioDisc() = default;

std::unique_ptr<PcmSource> CdioDisc::OpenAudio() {
    auto source = std::make_unique<ParanoiaSource>(handle_, toc_.leadOutSector);
    if (!source->Start()) {
        return nullptr;
    }
    return source;
}

} // namespace kovessa
