#include "common/session_bus.h"

#include <cstdlib>

namespace kovessa {

void KeepOffUnnamedSessionBus() {
    const char* named = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (named == nullptr || *named == '\0') {
        setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    }
}

} // namespace kovessa
