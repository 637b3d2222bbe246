#pragma once

#include "music/audio_output.h"
#include "music/mci_device.h"
#include "music/media_library.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kovessa {

// Our own media command interpreter: reads command strings such as
//   open "C:/music/a b.mp3" type MPEGVideo alias MP3Play
//   status cdaudio position track 3
// keeps the open devices by name (or alias) and answers as the Windows media control interface
// did, with the same error codes. Devices: "cdaudio" (the disc) and "MPEGVideo" (an MP3 file).
// Runs on the caller's thread and returns at once; the sound is made on other threads.
class MciInterpreter {
public:
    MciInterpreter(MediaLibrary& library, AudioOutput& output);
    ~MciInterpreter();

    MciReply Execute(std::string_view command);

private:
    struct OpenDevice {
        std::string name; // lower case; the alias when one was given
        int32_t id = 0;
        std::unique_ptr<MciDevice> device;
    };

    MciReply Open(const MciCommand& command);
    MciReply Close(const MciCommand& command);
    OpenDevice* Find(const std::string& name);

    MediaLibrary& library_;
    AudioOutput& output_;
    std::vector<OpenDevice> devices_;
    int32_t nextId_ = 1;
};

} // namespace kovessa
