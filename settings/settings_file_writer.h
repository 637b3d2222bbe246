#pragma once

#include "settings/ini_writer.h"

#include <cstdint>

namespace kovessa {

// Writes the dialog's settings into the settings file, keeping each call's result in the
// program's last-result variable as every platform call does.
class SettingsFileWriter : public IniWriter {
public:
    explicit SettingsFileWriter(int32_t& apiResult) : apiResult_(apiResult) {}
    void WriteIniString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) override;

private:
    int32_t& apiResult_;
};

} // namespace kovessa
