#pragma once

#include <string>

namespace kovessa {

// Where the settings dialog sends each setting it stores. The program writes through the
// settings file's writer; tests record the calls.
class IniWriter {
public:
    virtual ~IniWriter() = default;
    // Sets `key` (code page 932 bytes) in `section` of the file at `file` to `value`.
    virtual void WriteIniString(const std::string& section, const std::string& key,
                                const std::string& value, const std::string& file) = 0;
};

} // namespace kovessa
