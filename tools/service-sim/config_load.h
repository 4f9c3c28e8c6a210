// The stand-in's reader of the configuration file: fills the block's settings from scribo.xml.
#pragma once

#include <string>

#include "config/shared_block.h"

// Loads the configuration file into every connected slot; returns a short log text of what
// happened. Runs on the thread that owns the listen window (COM is initialised there).
std::string loadConfigurationIntoBlock(scribo::SharedBlock& block, const std::wstring& path);

// The same for one record (a device that arrived after the start).
std::string loadConfigurationIntoRecord(scribo::DeviceRecord& record, const std::wstring& path);

// Where the configuration file lives for the logged-on user (the panel's own path rule).
std::wstring defaultConfigurationPath();
