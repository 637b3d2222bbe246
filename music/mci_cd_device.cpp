#include "music/mci_cd_device.h"

#include "music/mci_errors.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace kovessa {

namespace {

// MSF addresses count the two-second lead-in ahead of the first sector.
constexpr int32_t kMsfOffset = 2 * kCdSectorsPerSecond;

// Splits "a:b:c" into at most `limit` whole numbers; false on an empty or non-numeric field or
// too many fields.
bool SplitFields(const std::string& text, size_t limit, std::array<int32_t, 4>& fields,
                 size_t& count) {
    fields = {};
    count = 0;
    size_t pos = 0;
    for (;;) {
        const size_t colon = text.find(':', pos);
        const std::string part = text.substr(pos, colon == std::string::npos ? colon : colon - pos);
        const std::optional<int32_t> value = ParseMciInteger(part);
        if (!value || count == limit) {
            return false;
        }
        fields[count++] = *value;
        if (colon == std::string::npos) {
            return true;
        }
        pos = colon + 1;
    }
}

std::string Msf(int32_t sectors) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", sectors / (60 * kCdSectorsPerSecond),
                  sectors / kCdSectorsPerSecond % 60, sectors % kCdSectorsPerSecond);
    return text;
}

} // namespace

std::unique_ptr<MciCdDevice> MciCdDevice::Open(MediaLibrary& library, AudioOutput& output,
                                               int32_t& error) {
    std::unique_ptr<CdDisc> disc = library.OpenDisc();
    if (!disc || disc->Toc().tracks.empty()) {
        error = mci::kHardware;
        return nullptr;
    }
    std::unique_ptr<PcmSource> source = disc->OpenAudio();
    if (!source) {
        error = mci::kHardware;
        return nullptr;
    }
    error = mci::kOk;
    return std::unique_ptr<MciCdDevice>(
        new MciCdDevice(std::move(disc), std::move(source), output));
}

MciCdDevice::MciCdDevice(std::unique_ptr<CdDisc> disc, std::unique_ptr<PcmSource> source,
                         AudioOutput& output)
    : MciPlayerDevice(std::move(source), output), disc_(std::move(disc)), toc_(disc_->Toc()) {}

int64_t MciCdDevice::StartFrame() const {
    return int64_t{toc_.tracks.front().startSector} * kCdFramesPerSector;
}

int64_t MciCdDevice::EndFrame() const {
    return int64_t{toc_.leadOutSector} * kCdFramesPerSector;
}

size_t MciCdDevice::TrackIndexAt(int32_t sector) const {
    size_t index = 0;
    while (index + 1 < toc_.tracks.size() && toc_.tracks[index + 1].startSector <= sector) {
        ++index;
    }
    return index;
}

size_t MciCdDevice::AudioTrackFrom(int32_t sector) const {
    size_t index = 0;
    while (index < toc_.tracks.size() &&
           (toc_.tracks[index].startSector < sector || !toc_.tracks[index].audio)) {
        ++index;
    }
    return index;
}

bool MciCdDevice::AudibleRange(int64_t& start, int64_t& end) const {
    const auto sectorOf = [](int64_t frame) {
        return static_cast<int32_t>(frame / kCdFramesPerSector);
    };
    if (const size_t at = TrackIndexAt(sectorOf(start)); !toc_.tracks[at].audio) {
        const size_t next = AudioTrackFrom(toc_.tracks[at].startSector);
        if (next == toc_.tracks.size()) {
            return false;
        }
        start = int64_t{toc_.tracks[next].startSector} * kCdFramesPerSector;
    }
    for (size_t i = TrackIndexAt(sectorOf(start)) + 1; i < toc_.tracks.size(); ++i) {
        if (!toc_.tracks[i].audio) {
            end = std::min(end, int64_t{toc_.tracks[i].startSector} * kCdFramesPerSector);
            break;
        }
    }
    return start < end;
}

int64_t MciCdDevice::PositionAfterEnd(int64_t playedTo) const {
    // A play cut short by a data track leaves the position there, so that playing on reaches the
    // audio after it; at the end of the audio the disc starts over.
    const auto sector = static_cast<int32_t>(playedTo / kCdFramesPerSector);
    const size_t at = TrackIndexAt(sector);
    const bool cutAtData = !toc_.tracks[at].audio &&
                           int64_t{toc_.tracks[at].startSector} * kCdFramesPerSector == playedTo;
    if (cutAtData && AudioTrackFrom(sector) < toc_.tracks.size()) {
        return playedTo;
    }
    return StartFrame();
}

int32_t MciCdDevice::ParsePosition(const std::string& text, int64_t& frame) const {
    std::array<int32_t, 4> f{};
    size_t count = 0;
    int64_t sector = 0;
    switch (format_) {
    case TimeFormat::Tmsf: {
        if (!SplitFields(text, 4, f, count)) {
            return mci::kBadInteger;
        }
        const int32_t first = toc_.tracks.front().number;
        if (f[0] < first || f[0] >= first + static_cast<int32_t>(toc_.tracks.size())) {
            return mci::kOutOfRange;
        }
        sector = toc_.tracks[f[0] - first].startSector +
                 (int64_t{f[1]} * 60 + f[2]) * kCdSectorsPerSecond + f[3];
        break;
    }
    case TimeFormat::Msf:
        if (!SplitFields(text, 3, f, count)) {
            return mci::kBadInteger;
        }
        sector = (int64_t{f[0]} * 60 + f[1]) * kCdSectorsPerSecond + f[2] - kMsfOffset;
        break;
    case TimeFormat::Milliseconds: {
        const std::optional<int32_t> ms = ParseMciInteger(text);
        if (!ms) {
            return mci::kBadInteger;
        }
        sector = int64_t{*ms} * kCdSectorsPerSecond / 1000;
        break;
    }
    }
    if (sector < toc_.tracks.front().startSector || sector > toc_.leadOutSector) {
        return mci::kOutOfRange;
    }
    frame = sector * kCdFramesPerSector;
    return mci::kOk;
}

std::string MciCdDevice::FormatPosition(int64_t frame) const {
    const auto sector = static_cast<int32_t>(frame / kCdFramesPerSector);
    switch (format_) {
    case TimeFormat::Tmsf: {
        const CdTrack& track = toc_.tracks[TrackIndexAt(sector)];
        const int32_t offset = sector - track.startSector;
        char text[48];
        std::snprintf(text, sizeof text, "%02d:%02d:%02d:%02d", track.number,
                      offset / (60 * kCdSectorsPerSecond), offset / kCdSectorsPerSecond % 60,
                      offset % kCdSectorsPerSecond);
        return text;
    }
    case TimeFormat::Msf:
        return Msf(sector + kMsfOffset);
    case TimeFormat::Milliseconds:
        break;
    }
    return std::to_string(int64_t{sector} * 1000 / kCdSectorsPerSecond);
}

std::string MciCdDevice::FormatLength(int32_t sectors) const {
    // Lengths have no track to name, so tmsf reports them as msf, as the Windows media control
    // interface does.
    if (format_ == TimeFormat::Milliseconds) {
        return std::to_string(int64_t{sectors} * 1000 / kCdSectorsPerSecond);
    }
    return Msf(sectors);
}

MciReply MciCdDevice::Status(MciWords& item) {
    MciReply reply;
    const auto trackNumber = [&](size_t& index) -> int32_t {
        const std::optional<std::string> text = item.Value();
        if (!text) {
            return mci::kMissingParameter;
        }
        const std::optional<int32_t> number = ParseMciInteger(*text);
        if (!number) {
            return mci::kBadInteger;
        }
        const int32_t first = toc_.tracks.front().number;
        if (*number < first || *number >= first + static_cast<int32_t>(toc_.tracks.size())) {
            return mci::kOutOfRange;
        }
        index = static_cast<size_t>(*number - first);
        return mci::kOk;
    };
    size_t index = 0;
    if (item.Take("current track")) {
        const auto sector = static_cast<int32_t>(CurrentFrame() / kCdFramesPerSector);
        reply.answer = std::to_string(toc_.tracks[TrackIndexAt(sector)].number);
    } else if (item.Take("number of tracks")) {
        reply.answer = std::to_string(toc_.tracks.size());
    } else if (item.Take("media present")) {
        reply.answer = "true";
    } else if (item.Take("start position")) {
        reply.answer = FormatPosition(StartFrame());
    } else if (item.Take("position track")) {
        if (const int32_t error = trackNumber(index); error != mci::kOk) {
            return {error, {}};
        }
        reply.answer = FormatPosition(int64_t{toc_.tracks[index].startSector} * kCdFramesPerSector);
    } else if (item.Take("type track")) {
        if (const int32_t error = trackNumber(index); error != mci::kOk) {
            return {error, {}};
        }
        reply.answer = toc_.tracks[index].audio ? "audio" : "other";
    } else if (item.Take("length track")) {
        if (const int32_t error = trackNumber(index); error != mci::kOk) {
            return {error, {}};
        }
        reply.answer = FormatLength(toc_.TrackEnd(index) - toc_.tracks[index].startSector);
    } else if (item.Take("length")) {
        reply.answer = FormatLength(toc_.leadOutSector - toc_.tracks.front().startSector);
    } else {
        return {mci::kUnrecognizedKeyword, {}};
    }
    return reply;
}

MciReply MciCdDevice::SetTimeFormat(const std::string& name) {
    if (name == "tmsf") {
        format_ = TimeFormat::Tmsf;
    } else if (name == "msf") {
        format_ = TimeFormat::Msf;
    } else if (name == "milliseconds" || name == "ms") {
        format_ = TimeFormat::Milliseconds;
    } else {
        return {mci::kBadTimeFormat, {}};
    }
    return {};
}

std::string MciCdDevice::TimeFormatName() const {
    switch (format_) {
    case TimeFormat::Tmsf:
        return "tmsf";
    case TimeFormat::Msf:
        return "msf";
    case TimeFormat::Milliseconds:
        break;
    }
    return "milliseconds";
}

} // namespace kovessa
