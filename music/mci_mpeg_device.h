#pragma once

#include "music/mci_player_device.h"

#include <memory>

namespace kovessa {

// The "MPEGVideo" device for one MP3 file. Positions are milliseconds from the file's start.
class MciMpegDevice final : public MciPlayerDevice {
public:
    MciMpegDevice(std::unique_ptr<PcmSource> source, AudioOutput& output)
        : MciPlayerDevice(std::move(source), output) {}

private:
    int32_t parsePosition(const std::string& text, int64_t& frame) const override;
    std::string formatPosition(int64_t frame) const override;
    int64_t startFrame() const override { return 0; }
    int64_t endFrame() const override;
    MciReply status(MciWords& item) override;
    MciReply setTimeFormat(const std::string& name) override;
    std::string timeFormatName() const override { return "milliseconds"; }
};

} // namespace kovessa
