#pragma once

#include "launcher/profile_file.h"
#include "settings/ini_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kovessa {

// Writes the dialog's settings into the settings file: the keys given since the last Commit
// are stored in ONE replacement of the file, so a kill or a full disk at any moment leaves the
// old settings or all the new ones, never a mix. The result is kept in the program's
// last-result variable as every platform call does.
class SettingsFileWriter : public IniWriter {
public:
    explicit SettingsFileWriter(int32_t& apiResult) : apiResult_(apiResult) {}
    void WriteIniString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) override;
    bool Commit(std::string& error) override;

private:
    int32_t& apiResult_;
    std::string section_;
    std::string file_;
    std::vector<ProfileEntry> entries_;
    bool mixed_ = false; // keys for more than one file or section: refused at Commit
};

} // namespace kovessa
