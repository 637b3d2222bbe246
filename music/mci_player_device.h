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
    MciReply Execute(const MciCommand& command) override;

protected:
    MciPlayerDevice(std::unique_ptr<PcmSource> source, AudioOutput& output);

    // Reads a position in the current time format; returns 0 or an error code.
    virtual int32_t ParsePosition(const std::string& text, int64_t& frame) const = 0;
    virtual std::string FormatPosition(int64_t frame) const = 0;
    // First and one-past-last playable frame.
    virtual int64_t StartFrame() const = 0;
    virtual int64_t EndFrame() const = 0;
    // Status items beyond mode, ready and position; `item` has been checked to be non-empty.
    // The flags that may follow the item are left to the caller.
    virtual MciReply Status(MciWords& item) = 0;
    // "set" items beyond time format are the device's own.
    virtual MciReply SetTimeFormat(const std::string& name) = 0;
    virtual std::string TimeFormatName() const = 0;
    // Narrows a play of frames [start, end) to the part the device can sound; false when nothing
    // of it can. A device that sounds all of its frames keeps the range.
    virtual bool AudibleRange(int64_t& start, int64_t& end) const { return start <= end; }
    // Where a play that ran out by itself leaves the position, given where it stopped.
    virtual int64_t PositionAfterEnd(int64_t /*playedTo*/) const { return StartFrame(); }

    // The position as status reports it: where the sound stands, where it was stopped or
    // sought to, and back at the start once a play has run out.
    int64_t CurrentFrame() const;
    const StreamPlayer& Player() const { return *player_; }

private:
    // Takes the next word as a position in the current time format; returns 0 or an error code.
    int32_t TakePosition(MciWords& words, int64_t& frame) const;
    MciReply Play(MciWords& words);
    MciReply Status(const MciCommand& command);
    MciReply Seek(MciWords& words);
    MciReply Set(MciWords& words);

    std::unique_ptr<StreamPlayer> player_;
    std::optional<int64_t> cued_; // a position set by seek or stop before playing again
    bool started_ = false;
    bool paused_ = false;
    int64_t playTo_ = 0;
};

} // namespace kovessa
