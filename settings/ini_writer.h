#pragma once

#include <string>

namespace kovessa {

// Where the settings dialog sends the settings it stores. The program writes through the
// settings file's writer; tests record the calls.
class IniWriter {
public:
    virtual ~IniWriter() = default;
    // Sets `key` (code page 932 bytes) in `section` of the file at `file` to `value`. A writer
    // may keep the keys until Commit, so that they reach the file together.
    virtual void WriteIniString(const std::string& section, const std::string& key,
                                const std::string& value, const std::string& file) = 0;
    // Stores what the calls since the last Commit gave. False, with a reason for the user in
    // `error` when given, when they could not be stored; the file then keeps what it held
    // before.
    virtual bool Commit(std::string* error) = 0;
};

} // namespace kovessa
