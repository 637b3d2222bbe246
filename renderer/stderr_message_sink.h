#pragma once

#include "common/problem_report.h"
#include "renderer/message_sink.h"

namespace kovessa {

// Messages as lines on standard error only. Inside a daemon's window no box may appear: the
// daemon holds the keyboard and pointer, so nobody could dismiss it, and the daemon would wait.
class StderrMessageSink : public MessageSink {
public:
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon) override {
        ReportProblem(caption + ": " + text);
    }
};

} // namespace kovessa
