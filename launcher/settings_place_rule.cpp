#include "common/window_titles.h"
#include "launcher/program_paths.h"
#include "launcher/settings_file.h"
#include "launcher/settings_place.h"

namespace kovessa {

SettingsPlace ChooseSettingsPlace(const std::string& programFolder, const std::string& configHome,
                                  const std::string& ownFolderName,
                                  const SettingsFileProbe& probe) {
    const std::string beside = SettingsFilePath(programFolder);
    const bool portable = configHome.empty() || probe.mayWriteFolder(programFolder) ||
                          (probe.exists(beside) && probe.mayWriteFile(beside));
    if (portable) {
        return {beside, beside, false};
    }
    const std::string own = JoinPath(JoinPath(configHome, ownFolderName), kSettingsFileName);
    const std::string read = !probe.exists(own) && probe.exists(beside) ? beside : own;
    return {read, own, true};
}

} // namespace kovessa
