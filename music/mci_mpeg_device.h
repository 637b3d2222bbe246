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
    int32_t ParsePosition(const std::string& text, int64_t& frame) const override;
    std::string FormatPosition(int64_t frame) const override;
    int64_t StartFrame() const override { return 0; }
    int64_t EndFrame() const override;
    MciReply Status(MciWords& item) override;
    MciReply SetTimeFormat(const std::string& name) override;
    std::string TimeFormatName() const override { return "milliseconds"; }
};

} // namespace kovessa
