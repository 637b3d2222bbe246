// Feeds command strings, one per line, to the parser and to an interpreter whose disc and files
// are fakes, so that no input can reach the file system or a drive. Checks that quoting reads
// back every name exactly.

#include "fake_media.h"
#include "music/mci_command.h"
#include "music/mci_interpreter.h"
#include "tests/music/recording_audio_output.h"

#include <cstdlib>
#include <string>
#include <string_view>

using namespace kovessa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const MciParseResult quoted = ParseMciCommand("open " + QuoteMciWord(input));
    if (quoted.error != 0 || quoted.command.device.text != input || !quoted.command.words.empty()) {
        std::abort();
    }

    test::FakeMediaLibrary library;
    library.discTracks = 3;
    library.discSectors = 4;
    library.files["a.mp3"] = 3000;
    RecordingAudioOutput output;
    MciInterpreter interpreter(library, output);
    size_t start = 0;
    for (int lines = 0; start <= input.size() && lines < 64; ++lines) {
        size_t end = input.find('\n', start);
        if (end == std::string_view::npos) {
            end = input.size();
        }
        const std::string_view line = input.substr(start, end - start);
        ParseMciCommand(line);
        interpreter.Execute(line);
        output.Pump(256);
        start = end + 1;
    }
    return 0;
}
