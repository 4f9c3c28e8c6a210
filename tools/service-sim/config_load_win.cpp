#include "config_load.h"

#include <windows.h>

#include "config/block_access.h"
#include "config/config_reader.h"
#include "config/win/config_store.h"
#include "platform/msxml_document.h"
#include "platform/wide.h"

namespace {

platform::MsxmlFactory& factory() {
    static platform::MsxmlFactory f;
    return f;
}

std::unique_ptr<scribo::XmlDocument> loadFile(const std::wstring& path, std::string& problem) {
    auto doc = factory().createDocument();
    if (!doc) {
        problem = "no XML DOM";
        return nullptr;
    }
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        problem = "no configuration file";
        return nullptr;
    }
    if (!doc->load(platform::toU16(path))) {
        problem = "configuration file not readable";
        return nullptr;
    }
    return doc;
}

}  // namespace

std::string loadConfigurationIntoBlock(scribo::SharedBlock& block, const std::wstring& path) {
    std::string problem;
    auto doc = loadFile(path, problem);
    if (!doc) return problem;
    const scribo::BlockLoadSummary s = scribo::readBlock(*doc, block);
    return "loaded " + std::to_string(s.loaded) + " of " + std::to_string(s.devices) +
           " devices (missing " + std::to_string(s.missing) + ", incomplete " +
           std::to_string(s.broken) + ")";
}

std::string loadConfigurationIntoRecord(scribo::DeviceRecord& record, const std::wstring& path) {
    std::string problem;
    auto doc = loadFile(path, problem);
    if (!doc) return problem;
    auto device = scribo::findDeviceElement(*doc, scribo::readField(record.deviceId));
    if (!device) return "device not in the file";
    return scribo::readDevice(*device, record) == scribo::WalkResult::Done ? "device loaded"
                                                                           : "device incomplete";
}

std::wstring defaultConfigurationPath() {
    return platform::toWide(scribo::win::configurationFilePath());
}
