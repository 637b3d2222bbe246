#include "music/mci_errors.h"

#include <array>
#include <utility>

namespace kovessa {

std::optional<std::string_view> MciErrorText(int32_t code) {
    static constexpr std::array<std::pair<int32_t, std::string_view>, 22> kTexts{{
        {mci::kInvalidDeviceId,
         "Invalid MCI device ID. Use the ID returned when opening the MCI device."},
        {mci::kUnrecognizedKeyword, "The driver cannot recognize the specified command parameter."},
        {mci::kUnrecognizedCommand, "The driver cannot recognize the specified command."},
        {mci::kHardware, "There is a problem with your media device. Make sure it is working "
                         "correctly or contact the device manufacturer."},
        {mci::kInvalidDeviceName, "The specified device is not open or is not recognized by MCI."},
        {mci::kOutOfMemory, "Your system does not have enough memory for this task. Quit one or "
                            "more applications to increase available memory, and then try again."},
        {mci::kDeviceOpen, "The device name is already being used as an alias by this "
                           "application. Use a unique alias."},
        {mci::kCannotLoadDriver,
         "There is an undetectable problem in loading the specified device driver."},
        {mci::kMissingCommandString, "No command was specified."},
        {mci::kBadInteger, "The specified integer is invalid for this command."},
        {mci::kMissingParameter, "The specified command requires a parameter. Please supply one."},
        {mci::kUnsupportedFunction,
         "The MCI device you are using does not support the specified command."},
        {mci::kFileNotFound,
         "Cannot find the specified file. Make sure the path and filename are correct."},
        {mci::kDeviceNotReady, "The device driver is not ready."},
        {mci::kExtensionNotFound, "The specified extension has no device type associated with it. "
                                  "Specify a device type."},
        {mci::kOutOfRange, "The specified parameter is out of range for the specified command."},
        {mci::kDuplicateAlias,
         "The specified alias is already being used in this application. Use a unique alias."},
        {mci::kBadTimeFormat, "The specified time format is invalid."},
        {mci::kNoClosingQuote, "A closing quotation mark is missing from the parameter value. "
                               "Please supply one."},
        {mci::kInvalidFile, "The specified file cannot be played on the specified MCI device. The "
                            "file may be corrupt, or not in the correct format."},
        {mci::kDeviceNotInstalled, "The specified device is not installed on the system. Use the "
                                   "Drivers option in Control Panel to install the device."},
        {mci::kOk, "The specified command was carried out."},
    }};
    for (const auto& [known, text] : kTexts) {
        if (known == code) {
            return text;
        }
    }
    return std::nullopt;
}

} // namespace kovessa
