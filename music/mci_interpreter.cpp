#include "music/mci_interpreter.h"

#include "music/mci_cd_device.h"
#include "music/mci_errors.h"
#include "music/mci_mpeg_device.h"
#include "music/mci_words.h"

#include <algorithm>

namespace kovessa {

namespace {

enum class DeviceType { Unknown, CdAudio, MpegVideo };

DeviceType TypeByName(const std::string& name) {
    const std::string lower = AsciiLower(name);
    if (lower == "cdaudio") {
        return DeviceType::CdAudio;
    }
    if (lower == "mpegvideo") {
        return DeviceType::MpegVideo;
    }
    return DeviceType::Unknown;
}

// Without a type the file's extension chooses the device, as the system's list did.
bool HasMpegExtension(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) {
        return false;
    }
    const std::string ext = AsciiLower(path.substr(dot + 1));
    return ext == "mp3" || ext == "mp2" || ext == "mpa";
}

} // namespace

MciInterpreter::MciInterpreter(MediaLibrary& library, AudioOutput& output)
    : library_(library), output_(output) {}

MciInterpreter::~MciInterpreter() = default;

MciInterpreter::OpenDevice* MciInterpreter::Find(const std::string& name) {
    const std::string lower = AsciiLower(name);
    for (OpenDevice& d : devices_) {
        if (d.name == lower) {
            return &d;
        }
    }
    return nullptr;
}

MciReply MciInterpreter::Execute(std::string_view command) {
    MciParseResult parsed = ParseMciCommand(command);
    if (parsed.error != mci::kOk) {
        return {parsed.error, {}};
    }
    const MciCommand& cmd = parsed.command;
    static constexpr std::string_view kDeviceVerbs[] = {"play",   "stop", "pause", "resume",
                                                        "status", "set",  "seek"};
    const bool known = cmd.verb == "open" || cmd.verb == "close" ||
                       std::find(std::begin(kDeviceVerbs), std::end(kDeviceVerbs), cmd.verb) !=
                           std::end(kDeviceVerbs);
    if (!known) {
        return {mci::kUnrecognizedCommand, {}};
    }
    if (cmd.device.text.empty()) {
        return {mci::kInvalidDeviceName, {}};
    }
    if (cmd.verb == "open") {
        return Open(cmd);
    }
    if (cmd.verb == "close") {
        return Close(cmd);
    }
    OpenDevice* device = Find(cmd.device.text);
    if (device == nullptr) {
        return {mci::kInvalidDeviceName, {}};
    }
    return device->device->Execute(cmd);
}

MciReply MciInterpreter::Open(const MciCommand& command) {
    MciWords words(command.words);
    std::optional<std::string> type;
    std::optional<std::string> alias;
    bool wait = false;
    while (!words.Empty()) {
        if (words.TakeFlag(wait) || words.Take("shareable")) {
            continue;
        }
        const bool isType = words.Take("type");
        if (!isType && !words.Take("alias")) {
            return {mci::kUnrecognizedKeyword, {}};
        }
        std::optional<std::string> value = words.Value();
        if (!value || value->empty()) {
            return {mci::kMissingParameter, {}};
        }
        (isType ? type : alias) = std::move(value);
    }

    const std::string& element = command.device.text;
    DeviceType kind = DeviceType::Unknown;
    if (type) {
        kind = TypeByName(*type);
        if (kind == DeviceType::Unknown) {
            return {mci::kInvalidDeviceName, {}};
        }
    } else if (!command.device.quoted && TypeByName(element) != DeviceType::Unknown) {
        kind = TypeByName(element);
    } else if (HasMpegExtension(element)) {
        kind = DeviceType::MpegVideo;
    } else {
        return {mci::kExtensionNotFound, {}};
    }
    if (kind == DeviceType::MpegVideo && !command.device.quoted &&
        TypeByName(element) == DeviceType::MpegVideo) {
        return {mci::kUnsupportedFunction, {}}; // the MPEG device plays files only
    }

    const std::string name = AsciiLower(alias.value_or(element));
    if (Find(name) != nullptr) {
        return {alias ? mci::kDuplicateAlias : mci::kDeviceOpen, {}};
    }

    std::unique_ptr<MciDevice> device;
    if (kind == DeviceType::CdAudio) {
        int32_t error = mci::kOk;
        device = MciCdDevice::Open(library_, output_, error);
        if (!device) {
            return {error, {}};
        }
    } else {
        MediaOpenResult file = library_.OpenFile(element, MediaKind::Mpeg);
        if (!file.source) {
            return {file.error != mci::kOk ? file.error : mci::kInvalidFile, {}};
        }
        device = std::make_unique<MciMpegDevice>(std::move(file.source), output_);
    }
    const int32_t id = nextId_++;
    devices_.push_back(OpenDevice{name, id, std::move(device)});
    return {mci::kOk, std::to_string(id)};
}

MciReply MciInterpreter::Close(const MciCommand& command) {
    MciWords words(command.words);
    bool wait = false;
    if (!words.TakeClosingFlags(wait)) {
        return {mci::kUnrecognizedKeyword, {}};
    }
    if (!command.device.quoted && AsciiLower(command.device.text) == "all") {
        devices_.clear();
        return {};
    }
    const std::string name = AsciiLower(command.device.text);
    const auto it = std::find_if(devices_.begin(), devices_.end(),
                                 [&](const OpenDevice& d) { return d.name == name; });
    if (it == devices_.end()) {
        return {mci::kInvalidDeviceName, {}};
    }
    devices_.erase(it);
    return {};
}

} // namespace kovessa
