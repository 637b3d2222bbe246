#pragma once

#include "launcher/profile_file.h"
#include "settings/ini_writer.h"

#include <string>
#include <vector>

namespace kovessa {

// Writes the dialog's settings into the settings file: the keys given since the last Commit
// are stored in ONE replacement of the file, so a kill or a full disk at any moment leaves the
// old settings or all the new ones, never a mix.
class SettingsFileWriter : public IniWriter {
public:
    void WriteIniString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) override;
    bool Commit(std::string* error) override;

private:
    std::string section_;
    std::string file_;
    std::vector<ProfileEntry> entries_;
    bool mixed_ = false; // keys for more than one file or section: refused at Commit
};

} // namespace kovessa
