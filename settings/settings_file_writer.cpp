#include "settings/settings_file_writer.h"

#include "launcher/settings_file.h"

namespace kovessa {

void SettingsFileWriter::WriteIniString(const std::string& section, const std::string& key,
                                        const std::string& value, const std::string& file) {
    // The result is kept but not acted on: a settings file that cannot be written leaves the
    // old settings in place, and the dialog closes as usual.
    kovessa::WriteIniString(section, key, value, file, apiResult_);
}

} // namespace kovessa
