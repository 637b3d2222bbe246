#pragma once

namespace kovessa {

// The music calls the show makes, in the terms of the music module. The show drives them from
// its load handler, its two music watches and its end sequence; the production implementation
// forwards to Zeruma_BGM.
class ShowMusic {
public:
    virtual ~ShowMusic() = default;

    virtual void OpenCD() = 0;          // opens the CD device; nothing plays until CheckCD
    virtual void CheckCD() = 0;         // keeps the disc (or the chosen track) playing
    virtual bool IsCDReady() const = 0; // the module's CDReady: false once the CD cannot be queried
    virtual void CloseCD() = 0;         // stops and closes the CD device
    virtual void PlayMP3() = 0;         // opens and plays BGMFile through the MPEG player
    virtual void RepeatMP3() = 0;       // restarts the MP3 from the start once it has stopped
    virtual void CloseMP3() = 0;        // stops and closes the MP3
    virtual void PlayWave() = 0;        // loops BGMFile through the sound player
    virtual void StopWave() = 0;        // stops whatever the sound player plays
};

} // namespace kovessa
