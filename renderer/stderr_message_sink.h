#pragma once

#include "renderer/message_sink.h"

#include <cstdio>

namespace kovessa {

// Messages as lines on standard error only. Inside a daemon's window no box may appear: the
// daemon holds the keyboard and pointer, so nobody could dismiss it, and the daemon would wait.
class StderrMessageSink : public MessageSink {
public:
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon) override {
        std::fprintf(stderr, "Kovessa.xy: %s: %s\n", caption.c_str(), text.c_str());
    }
};

} // namespace kovessa
