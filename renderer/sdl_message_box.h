#pragma once

#include "renderer/message_sink.h"

namespace kovessa {

// Messages as blocking SDL message boxes without an owner window. The text also goes to
// standard error, so that it is seen where no box can be shown (no display) and logged by
// whoever started the renderer.
class SdlMessageBox : public MessageSink {
public:
    void ShowMessage(const std::string& text, const std::string& caption,
                     MessageIcon icon) override;
};

} // namespace kovessa
