#pragma once

#include <string>

namespace kovessa {

// A caption font as the stored design keeps it, free of any window toolkit.
struct FontSpec {
    std::string name;
    double size = 9.0; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;

    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

} // namespace kovessa
