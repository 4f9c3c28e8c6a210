// The service's side of the configuration file: reads a device element back into the block at
// the same positions the panel writes (config_layout.h).
#pragma once

#include <string>
#include <string_view>

#include "config/config_layout.h"
#include "config/shared_block.h"
#include "config/xml_tree.h"

namespace scribo {

// Reads the values of `device` into `rec`. Values that are absent or not well-formed leave
// their field as it was; texts longer than their field are cut to fit. The device facts of
// `rec` (kind, keys, rings) must already be filled: they decide which parts exist. Application
// entries with a name are marked in use; entry 0 always is.
WalkResult readDevice(XmlNode& device, DeviceRecord& rec);

struct BlockLoadSummary {
    int devices = 0;  // connected slots
    int loaded = 0;   // of those, read completely
    int missing = 0;  // no element in the file
    int broken = 0;   // element found but a required element is missing (read up to there)
};

// Reads every connected slot's element of `doc` into the block.
BlockLoadSummary readBlock(const XmlDocument& doc, SharedBlock& block);

// Whether `doc` is a configuration tree: a document element with at least one device element
// ("PID_" and four hexadecimal digits) that holds at least the information and settings
// elements. Guards import against files that would leave the service nothing to read.
bool isConfigurationTree(const XmlDocument& doc);

// Splits a stored ring text "name;left;right" into its three parts. The name ends at the first
// ";"; the left descriptor ends at the next ";" that starts a descriptor or ends the text, so a
// ";" key inside a descriptor ("[;]") stays in it.
void splitRingText(std::u16string_view text, std::u16string& name, std::u16string& left,
                   std::u16string& right);

}  // namespace scribo
