#include "music/zeruma_bgm.h"

#include "music/mci_command.h"

#include <cstring>
#include <string_view>

namespace kovessa {

namespace {

constexpr int16_t kTrue = -1;
constexpr int16_t kFalse = 0;

// The text of a fixed buffer up to its first NUL.
std::string TextOf(const char* buffer, size_t capacity) {
    return std::string(buffer, strnlen(buffer, capacity));
}

// The first seven characters of a mode buffer against a mode word, case-sensitively.
bool ModeIs(const char* buffer, std::string_view mode) {
    return std::string_view(buffer, 7) == mode;
}

bool ContainsErr(const std::string& answer) {
    std::string upper = answer;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper.find("ERR") != std::string::npos;
}

// The number at the start of a text (blanks skipped, optional sign, digits), 0 when there is
// none: how an answer is "taken as a number".
double LeadingNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    double sign = 1;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        sign = text[i] == '-' ? -1 : 1;
        ++i;
    }
    double value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    return sign * value;
}

} // namespace

Zeruma_BGM::Zeruma_BGM(MusicSettings& settings, int32_t& apiResult, MediaPlatform& platform)
    : settings_(settings), apiResult_(apiResult), platform_(platform) {}

void Zeruma_BGM::OpenCD() {
    // Neither result is looked at: without a disc the CD watch's first query finds out.
    platform_.SendString("open cdaudio", nullptr, 0);
    platform_.SendString("set cdaudio time format tmsf", nullptr, 0);
}

void Zeruma_BGM::CheckCD() {
    CDReady = kTrue;
    const std::string track = MCIQuery("status cdaudio current track");
    if (ContainsErr(track)) {
        CDReady = kFalse;
        return;
    }
    // The count only proves that the disc can be read.
    if (ContainsErr(MCIQuery("status cdaudio number of tracks"))) {
        CDReady = kFalse;
        return;
    }
    // A failed query leaves the buffer as the last one that succeeded filled it.
    platform_.SendString("status cdaudio mode", cdMode_.data(), 255);
    const bool stopped = ModeIs(cdMode_.data(), "stopped");
    if (settings_.BGMRepeat == 0) {
        if (stopped) {
            MCIPlay("cdaudio", "", "");
        }
        return;
    }
    if (stopped || LeadingNumber(track) != settings_.BGMRepeat) {
        const std::string number = std::to_string(settings_.BGMRepeat);
        const std::string start = MCIQuery("status cdaudio position track " + number);
        // A data track has no sound to repeat. Playing it again on every tick would only
        // keep the drive busy, so the watch ends here and the disc stays silent.
        if (!ContainsErr(start) && MCIQuery("status cdaudio type track " + number) == "other") {
            CDReady = kFalse;
            return;
        }
        MCIPlay("cdaudio", start, "");
    }
}

void Zeruma_BGM::CloseCD() {
    platform_.SendString("stop cdaudio", nullptr, 0);
    platform_.SendString("close cdaudio", nullptr, 0);
}

void Zeruma_BGM::PlayMP3() {
    // The path is quoted so that blanks work; a double quote inside it is doubled, so it stays
    // part of the name and can never end the name early and add words to the command.
    const std::string open =
        "open " + QuoteMciWord(settings_.BGMFile) + " type MPEGVideo Alias MP3Play";
    if (platform_.SendString(open.c_str(), nullptr, 0) == 0) {
        platform_.SendString("play MP3Play", nullptr, 0);
    }
}

bool Zeruma_BGM::IsMP3Playing() {
    platform_.SendString("status MP3Play mode", mp3Mode_.data(), 30);
    return ModeIs(mp3Mode_.data(), "playing");
}

void Zeruma_BGM::RepeatMP3() {
    if (IsMP3Playing()) {
        return;
    }
    platform_.SendString("stop MP3Play", nullptr, 0);
    platform_.SendString("play MP3Play from 0", nullptr, 0);
}

void Zeruma_BGM::CloseMP3() {
    platform_.SendString("stop MP3Play", nullptr, 0);
    platform_.SendString("close MP3Play", nullptr, 0);
}

void Zeruma_BGM::PlayWave() {
    if (platform_.WaveOutGetNumDevs() <= 0) {
        return;
    }
    // Music failures are silent: a file that does not play leaves the show without music.
    platform_.PlaySound(settings_.BGMFile.c_str(), kSndAsync | kSndLoop);
}

void Zeruma_BGM::StopWave() {
    platform_.PlaySound(nullptr, kSndSync);
}

int32_t Zeruma_BGM::SendMCICommand(const std::string& command, std::string& answer) {
    if (command.empty()) {
        answer = "コマンド文字列が指定されていません";
        return -1;
    }
    apiResult_ = platform_.SendString(command.c_str(), commandAnswer_.data(),
                                      static_cast<uint32_t>(commandAnswer_.size()));
    if (apiResult_ != 0) {
        if (!platform_.GetErrorString(apiResult_, errorText_.data(),
                                      static_cast<uint32_t>(errorText_.size()))) {
            answer = "Error (文字列が取れません)";
        } else {
            answer = TextOf(errorText_.data(), errorText_.size());
        }
        return apiResult_;
    }
    answer = TextOf(commandAnswer_.data(), commandAnswer_.size());
    return 0;
}

std::string Zeruma_BGM::MCIQuery(const std::string& command) {
    const int32_t code = SendMCICommand(command, lastAnswer_);
    if (code != 0) {
        return "Error:" + std::to_string(code);
    }
    return lastAnswer_;
}

int32_t Zeruma_BGM::MCIPlay(const std::string& device, const std::string& from,
                            const std::string& to) {
    std::string command = "play " + device;
    if (!from.empty()) {
        command += " from " + from;
    }
    if (!to.empty()) {
        command += " to " + to;
    }
    return SendMCICommand(command, lastAnswer_);
}

} // namespace kovessa
