// The user's own configuration file on the first start: copied from the default file that is
// installed beside the program, never over a file that is already there.
#pragma once

#include <string>

namespace scribo::win {

enum class FirstRunResult {
    Present,  // the user already has a configuration file; nothing was touched
    Copied,   // the default file was copied into place
    Failed,   // no path, no default file, or the folder or copy could not be made
};

// userFile is where the configuration lives for this user ("" when unknown); defaultFile is the
// installed default. Creates the folders of userFile as needed.
FirstRunResult provideUserConfiguration(const std::u16string& userFile,
                                        const std::u16string& defaultFile);

// "<programDir>\xml\scribo.xml", the default configuration the installer puts beside the program.
std::u16string defaultConfigurationFile();

}  // namespace scribo::win
