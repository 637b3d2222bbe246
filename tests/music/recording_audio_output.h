#pragma once

#include "music/audio_output.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

namespace kovessa {

// An audio output without a device: the caller pulls the sound at its own pace and the output
// keeps everything the streams delivered, mixed, in the format it was made with. Frames a stream
// did not have ready are not recorded, so the record is the sound itself, free of the gaps that
// a real-time device would fill with silence.
class RecordingAudioOutput final : public AudioOutput {
public:
    explicit RecordingAudioOutput(PcmFormat format = {}, int devices = 1);

    int DeviceCount() override { return devices_; }
    bool AddStream(OutputStream* stream) override;
    void RemoveStream(OutputStream* stream) override;

    // Pulls up to `frames` frames from every stream once and records the mix of what came.
    // Returns the number of frames recorded. A stream whose format differs from the output's is
    // pulled and dropped.
    size_t Pump(size_t frames);
    // Pumps until `frames` frames are recorded, or until nothing has come for `idle`.
    size_t PumpFrames(size_t frames,
                      std::chrono::milliseconds idle = std::chrono::milliseconds(500));

    PcmFormat Format() const { return format_; }
    std::vector<int16_t> TakeRecording();
    size_t RecordedFrames() const;
    size_t StreamCount() const;

private:
    const PcmFormat format_;
    const int devices_;
    mutable std::mutex mutex_;
    std::vector<OutputStream*> streams_;
    std::vector<int16_t> recording_;
};

} // namespace kovessa
