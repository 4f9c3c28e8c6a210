// Time of the positional walk for one device with the largest tree (11 applications of 20 keys
// and two rings), over the native DOM.
#include <benchmark/benchmark.h>

#include "config/config_writer.h"
#include "config_fixtures.h"
#include "pugi_xml.h"

namespace {

class Silent : public scribo::UserFeedback {
public:
    void showMessage(std::u16string_view) override {}
    void traceSaveFailure() override {}
};

void BM_WriteOneFullDevice(benchmark::State& state) {
    scribo::testing::PugiDocument doc;
    doc.loadText("<Scribo>" + scribo::testing::fullDeviceXml("PID_0100") + "</Scribo>");
    auto rec = scribo::testing::makeRecord(u"PID_0100", 1);
    scribo::testing::makeFull(*rec);
    Silent feedback;
    for (auto _ : state) {
        auto device = scribo::findDeviceElement(doc, u"PID_0100");
        benchmark::DoNotOptimize(scribo::writeDevice(doc, *device, *rec, feedback));
    }
}
BENCHMARK(BM_WriteOneFullDevice)->Unit(benchmark::kMicrosecond);

}  // namespace
