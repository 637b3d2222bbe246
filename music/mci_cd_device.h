#pragma once

#include "music/cd_disc.h"
#include "music/mci_player_device.h"
#include "music/media_library.h"

#include <memory>

namespace kovessa {

// The "cdaudio" device: the disc in the drive, played digitally through the audio output.
// Positions are whole sectors (1/75 s) in the time formats tmsf (track:min:sec:frame within a
// track), msf (min:sec:frame of the disc, which starts at 00:02:00) and milliseconds.
class MciCdDevice final : public MciPlayerDevice {
public:
    // Null, with the reason in `error`, when there is no drive or no readable audio disc.
    static std::unique_ptr<MciCdDevice> Open(MediaLibrary& library, AudioOutput& output,
                                             int32_t& error);

private:
    enum class TimeFormat { Msf, Tmsf, Milliseconds };

    MciCdDevice(std::unique_ptr<CdDisc> disc, std::unique_ptr<PcmSource> source,
                AudioOutput& output);

    int32_t ParsePosition(const std::string& text, int64_t& frame) const override;
    std::string FormatPosition(int64_t frame) const override;
    int64_t StartFrame() const override;
    int64_t EndFrame() const override;
    MciReply Status(MciWords& item) override;
    MciReply SetTimeFormat(const std::string& name) override;
    std::string TimeFormatName() const override;
    // Only audio tracks sound: a play skips a data track it starts in and ends where the next
    // data track begins; the play that follows goes on after it.
    bool AudibleRange(int64_t& start, int64_t& end) const override;
    int64_t PositionAfterEnd(int64_t playedTo) const override;

    // Index of the track that holds `sector` (the first track for sectors before it).
    size_t TrackIndexAt(int32_t sector) const;
    std::string FormatLength(int32_t sectors) const;
    // Index of the first audio track that starts at or after `sector`, or the track count.
    size_t AudioTrackFrom(int32_t sector) const;

    std::unique_ptr<CdDisc> disc_;
    const CdToc toc_;
    TimeFormat format_ = TimeFormat::Msf;
};

} // namespace kovessa
