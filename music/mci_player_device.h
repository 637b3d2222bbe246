#pragma once

#include "music/audio_output.h"
#include "music/mci_device.h"
#include "music/mci_words.h"
#include "music/stream_player.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kovessa {

// What the CD and the MPEG device share: one stream player driven by play, stop, pause, resume
// and seek, and the status items every playing device answers. Positions are frames of the
// player; each device reads and writes them in its own time formats.
class MciPlayerDevice : public MciDevice {
public:
    MciReply execute(const MciCommand& command) override;

protected:
    MciPlayerDevice(std::unique_ptr<PcmSource> source, AudioOutput& output);

    // Reads a position in the current time format; returns 0 or an error code.
    virtual int32_t parsePosition(const std::string& text, int64_t& frame) const = 0;
    virtual std::string formatPosition(int64_t frame) const = 0;
    // First and one-past-last playable frame.
    virtual int64_t startFrame() const = 0;
    virtual int64_t endFrame() const = 0;
    // Status items beyond mode, ready and position; `item` has been checked to be non-empty.
    // The flags that may follow the item are left to the caller.
    virtual MciReply status(MciWords& item) = 0;
    // "set" items beyond time format are the device's own.
    virtual MciReply setTimeFormat(const std::string& name) = 0;
    virtual std::string timeFormatName() const = 0;
    // Narrows a play of frames [start, end) to the part the device can sound; false when nothing
    // of it can. A device that sounds all of its frames keeps the range.
    virtual bool audibleRange(int64_t& start, int64_t& end) const { return start <= end; }
    // Where a play that ran out by itself leaves the position, given where it stopped.
    virtual int64_t positionAfterEnd(int64_t /*playedTo*/) const { return startFrame(); }

    // The position as status reports it: where the sound stands, where it was stopped or
    // sought to, and back at the start once a play has run out.
    int64_t currentFrame() const;
    const StreamPlayer& player() const { return *player_; }

private:
    // Takes the next word as a position in the current time format; returns 0 or an error code.
    int32_t TakePosition(MciWords& words, int64_t& frame) const;
    MciReply play(MciWords& words);
    MciReply status(const MciCommand& command);
    MciReply seek(MciWords& words);
    MciReply set(MciWords& words);

    std::unique_ptr<StreamPlayer> player_;
    std::optional<int64_t> cued_; // a position set by seek or stop before playing again
    bool started_ = false;
    bool paused_ = false;
    int64_t playTo_ = 0;
};

} // namespace kovessa
