// The stand-in's reader of the configuration file: fills the block's settings from scribo.xml.
#pragma once

#include <string>

#include "config/shared_block.h"

// Loads the configuration file into the block; returns a short log text of what happened.
std::string loadConfigurationIntoBlock(scribo::SharedBlock& block, const std::wstring& path);

// Where the configuration file lives for the logged-on user.
std::wstring defaultConfigurationPath();
