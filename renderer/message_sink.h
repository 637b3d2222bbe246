#pragma once

#include <string>

namespace kovessa {

enum class MessageIcon { None, Stop };

// Where the renderer's messages go: a blocking message box (and standard error) in the program,
// a recording list in tests.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows the text under the caption and returns once the user has dismissed it.
    virtual void ShowMessage(const std::string& text, const std::string& caption,
                             MessageIcon icon) = 0;
};

} // namespace kovessa
