// Time of saveAllDevices through MSXML for five devices with the largest trees a device can
// have (11 applications of 20 keys and two rings each), into a real file.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "config/block_access.h"
#include "config/win/config_store.h"
#include "config_fixtures.h"
#include "store_doubles.h"
#include "win_test_files.h"

namespace {

using testsupport::KeyAsText;
using testsupport::Recorder;

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    platform::TempFolder dir;
    const std::u16string path = dir.file(u"scribo.xml");
    auto block = std::make_unique<scribo::SharedBlock>();
    std::string xml = "<?xml version=\"1.0\"?><Scribo>";
    std::vector<std::u16string> ids;
    for (int s = 0; s < 5; ++s) {
        const std::string id = "PID_010" + std::to_string(s);
        xml += scribo::testing::fullDeviceXml(id);
        scribo::testing::makeFull(block->devices[s]);
        ids.push_back(std::u16string(id.begin(), id.end()));
        scribo::storeField(block->devices[s].deviceId, ids.back());
    }
    platform::writeText(path, xml + "</Scribo>");
    KeyAsText source;
    Recorder feedback;
    scribo::win::ConfigStore store(path, scribo::TIniFile(source, u"x.ini"), feedback);
    std::vector<double> ms;
    for (int run = 0; run < runs; ++run) {
        const auto t0 = std::chrono::steady_clock::now();
        store.saveAllDevices(*block, ids);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    if (!feedback.messages.empty()) {
        std::printf("saveAllDevices failed\n");
        return 1;
    }
    const double first = ms.front();
    std::sort(ms.begin(), ms.end());
    std::printf(
        "saveAllDevices, 5 full devices (%zu bytes): first %.1f ms, median %.1f ms (%d runs)\n",
        platform::readText(path).size(), first, ms[ms.size() / 2], runs);
    return 0;
}
