#include "music/mci_media_platform.h"

#include "music/mci_errors.h"

#include <algorithm>
#include <cstring>

namespace kovessa {

namespace {

void CopyText(std::string_view text, char* out, uint32_t size) {
    const size_t n = std::min<size_t>(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

} // namespace

MciMediaPlatform::MciMediaPlatform(MediaLibrary& library, AudioOutput& output)
    : library_(library), output_(output), interpreter_(library, output) {}

MciMediaPlatform::~MciMediaPlatform() = default;

int32_t MciMediaPlatform::SendString(const char* command, char* answer, uint32_t answerSize) {
    const MciReply reply = interpreter_.Execute(command != nullptr ? command : "");
    if (reply.code == mci::kOk && answer != nullptr && answerSize > 0) {
        CopyText(reply.answer, answer, answerSize);
    }
    return reply.code;
}

bool MciMediaPlatform::GetErrorString(int32_t code, char* text, uint32_t size) {
    const std::optional<std::string_view> known = MciErrorText(code);
    if (!known || text == nullptr || size == 0) {
        return false;
    }
    CopyText(*known, text, size);
    return true;
}

int32_t MciMediaPlatform::WaveOutGetNumDevs() {
    return std::max(0, output_.DeviceCount());
}

int32_t MciMediaPlatform::PlaySound(const char* name, uint32_t flags) {
    // Any call ends the sound the last one started, as the system player did.
    sound_.reset();
    if (name == nullptr) {
        return 1;
    }
    MediaOpenResult file = library_.OpenFile(name, MediaKind::Wave);
    if (!file.source) {
        return 0;
    }
    // Sounds always play in the background: a synchronous play would hold the program's only
    // thread for the length of the file, and the program never asks for one.
    auto player = std::make_unique<StreamPlayer>(std::move(file.source), output_);
    const auto loop = (flags & kSndLoop) != 0 ? StreamPlayer::Loop::Yes : StreamPlayer::Loop::No;
    if (!player->Play(0, StreamPlayer::kToEnd, loop)) {
        return 0;
    }
    sound_ = std::move(player);
    return 1;
}

} // namespace kovessa
