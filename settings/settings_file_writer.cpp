#include "settings/settings_file_writer.h"

#include "launcher/settings_file.h"

namespace kovessa {

void SettingsFileWriter::WriteIniString(const std::string& section, const std::string& key,
                                        const std::string& value, const std::string& file) {
    const std::string cutSection = section.substr(0, kIniNameLimit);
    if (entries_.empty()) {
        section_ = cutSection;
        file_ = file;
    } else if (section_ != cutSection || file_ != file) {
        mixed_ = true;
    }
    entries_.push_back({key.substr(0, kIniNameLimit), value});
}

bool SettingsFileWriter::Commit(std::string* error) {
    bool ok = true;
    if (mixed_) {
        if (error != nullptr) {
            *error = "the settings name more than one file or section";
        }
        ok = false;
    } else if (!entries_.empty()) {
        ok = WriteProfileStrings(section_, entries_, file_, error);
    }
    entries_.clear();
    mixed_ = false;
    return ok;
}

} // namespace kovessa
