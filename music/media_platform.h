#pragma once

#include <cstdint>

namespace kovessa {

// The four multimedia calls that the music module makes. On Windows they were the media control
// interface and the system sound player; here one implementation interprets the commands itself
// and a recording one lets tests see exactly what the module sent.
class MediaPlatform {
public:
    virtual ~MediaPlatform() = default;

    // Runs one media command. Returns 0 or an error code. On success the answer text (possibly
    // empty) is written into `answer` with a terminating NUL, cut to `answerSize` - 1 characters;
    // on failure, or when `answerSize` is 0, the buffer is left as it was. `command` ends at its
    // first NUL, as a C string does.
    virtual int32_t SendString(const char* command, char* answer, uint32_t answerSize) = 0;

    // Writes the text of an error code into `text` (NUL-terminated, cut to `size`). Returns false
    // and leaves the buffer alone for a code it has no text for.
    virtual bool GetErrorString(int32_t code, char* text, uint32_t size) = 0;

    // Number of sound output devices; 0 when there is none or they cannot be counted.
    virtual int32_t WaveOutGetNumDevs() = 0;

    // Plays the sound file `name` (flags kSndAsync, kSndLoop) or, with a null name, stops
    // whatever this call started. Returns 1 on success and 0 on failure.
    virtual int32_t PlaySound(const char* name, uint32_t flags) = 0;
};

inline constexpr uint32_t kSndSync = 0;
inline constexpr uint32_t kSndAsync = 1;
inline constexpr uint32_t kSndLoop = 8;

} // namespace kovessa
