#pragma once

#include "renderer/message_sink.h"

namespace kovessa {

// The renderer's message boxes on Windows: MessageBoxW with no owner window, OK only, the stop
// icon where the message asks for it. The texts are UTF-8 and shown through the wide-character
// call, so they read right whatever the machine's code page. Each also goes to standard error
// as "Kovessa.xy: caption: text".
class Win32MessageBox : public MessageSink {
public:
    void ShowMessage(const std::string& text, const std::string& caption,
                     MessageIcon icon) override;
};

} // namespace kovessa
