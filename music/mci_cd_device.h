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

    int32_t parsePosition(const std::string& text, int64_t& frame) const override;
    std::string formatPosition(int64_t frame) const override;
    int64_t startFrame() const override;
    int64_t endFrame() const override;
    MciReply status(MciWords& item) override;
    MciReply setTimeFormat(const std::string& name) override;
    std::string timeFormatName() const override;
    // Only audio tracks sound: a play skips a data track it starts in and ends where the next
    // data track begins; the play that follows goes on after it.
    bool audibleRange(int64_t& start, int64_t& end) const override;
    int64_t positionAfterEnd(int64_t playedTo) const override;

    // Index of the track that holds `sector` (the first track for sectors before it).
    size_t trackIndexAt(int32_t sector) const;
    std::string formatLength(int32_t sectors) const;
    // Index of the first audio track that starts at or after `sector`, or the track count.
    size_t audioTrackFrom(int32_t sector) const;

    std::unique_ptr<CdDisc> disc_;
    const CdToc toc_;
    TimeFormat format_ = TimeFormat::Msf;
};

} // namespace kovessa
