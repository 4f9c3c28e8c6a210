#include "shell/device_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "config/block_access.h"

namespace scribo {
namespace {

class DeviceListTest : public ::testing::Test {
protected:
    DeviceListTest() : block(std::make_unique<SharedBlock>()) {
        std::memset(block.get(), 0, sizeof(SharedBlock));
        list = std::make_unique<DeviceList>(*block, [this](std::u16string_view id) {
            return id == u"PID_0374" ? tableName : std::u16string();
        });
    }
    DeviceRecord& fill(int slot, const char16_t* id, int kind, const char16_t* product) {
        DeviceRecord& r = block->devices[slot];
        r.connected = 1;
        r.deviceKind = kind;
        storeField(r.deviceId, id);
        storeField(r.productName, product);
        return r;
    }
    void clear(int slot) { std::memset(&block->devices[slot], 0, sizeof(DeviceRecord)); }
    std::u16string current() const {
        return list->currentDevice() ? list->currentDevice()->deviceId : u"none";
    }

    std::unique_ptr<SharedBlock> block;
    std::unique_ptr<DeviceList> list;
    std::u16string tableName = u"Scribo Pad S";
};

using Texts = std::vector<std::u16string>;

TEST_F(DeviceListTest, ScanMergesSlotsWithOneIdAndNamesEntries) {
    fill(0, u"PID_0374", 0, u"Pad S product");
    fill(2, u"PID_0374", 0, u"Pad S product");
    fill(3, u"PID_0390", 1, u"Display 16");
    fill(4, u"PID_0A31", 5, u"Remote");
    EXPECT_EQ(list->scanDevices(), 3);
    EXPECT_EQ(list->deviceKindMask(), 3);
    EXPECT_EQ(list->entries()[0]->connectionCount, 2);
    list->rebuildDeviceCombo();
    EXPECT_EQ(list->comboTexts(), (Texts{u"Scribo Pad S", u"Display 16"}));
    EXPECT_EQ(list->entries()[2]->comboIndex, -1);  // the remote is never listed in the combo
    list->selectCurrentFromCombo(0);
    EXPECT_EQ(current(), u"PID_0374");

    // The first removal of a doubly connected id only counts down.
    PanelActions a = list->onDeviceRemoved(0x0374);
    EXPECT_FALSE(a.rebuildCombo);
    EXPECT_EQ(list->entries().size(), 3u);
    a = list->onDeviceRemoved(0x0374);
    EXPECT_TRUE(a.rebuildCombo && a.loadCurrent);
    EXPECT_EQ(list->comboTexts(), (Texts{u"Display 16"}));
    EXPECT_EQ(current(), u"PID_0390");
}

TEST_F(DeviceListTest, SpecialNameForTheLargeModelAndProductNameFallback) {
    DeviceRecord& r = fill(0, u"PID_0B52", 0, u"Pad");
    storeField(r.modelName, u"XL-1");
    r.physicalWidth = 20320;
    r.physicalHeight = 15240;
    fill(1, u"PID_0B52", 0, u"Pad");
    block->devices[1].physicalWidth = 20320;  // other height: product name only
    storeField(block->devices[1].deviceId, u"PID_0B53");
    list->scanDevices();
    list->rebuildDeviceCombo();
    EXPECT_EQ(list->comboTexts(), (Texts{u"XL-1 Pad", u"Pad"}));
}

TEST_F(DeviceListTest, OnlyTheRemoteConnected) {
    fill(0, u"PID_0A31", 5, u"Remote");
    EXPECT_EQ(list->scanDevices(), 1);
    EXPECT_EQ(list->deviceKindMask(), 2);
    list->rebuildDeviceCombo();
    EXPECT_TRUE(list->comboTexts().empty());
    list->selectCurrentFromCombo(-1);  // an empty combo reports -1, the remote's comboIndex
    EXPECT_EQ(current(), u"PID_0A31");
}

TEST_F(DeviceListTest, ArrivalAndRemovalSequences) {
    fill(0, u"PID_0374", 0, u"Pad S");
    list->scanDevices();
    list->rebuildDeviceCombo();
    list->selectCurrentFromCombo(0);

    // The remote arrives while a tablet is listed: no remote window, the panel reloads.
    fill(1, u"PID_0A31", 5, u"Remote");
    PanelActions a = list->onDeviceArrived(0x0A31);
    EXPECT_FALSE(a.createRemoteWindow);
    EXPECT_TRUE(a.loadCurrent);
    EXPECT_EQ(list->deviceKindMask(), 3);

    // The same tablet id arriving again gives a second entry; each removal removes one.
    a = list->onDeviceArrived(0x0374);
    EXPECT_TRUE(a.rebuildCombo && a.loadCurrent && a.showWindow);
    EXPECT_EQ(list->comboTexts(), (Texts{u"Scribo Pad S", u"Scribo Pad S"}));
    list->onDeviceRemoved(0x0374);
    EXPECT_EQ(list->comboTexts().size(), 1u);

    // The last tablet goes while the remote stays: hide, no current device.
    clear(0);
    a = list->onDeviceRemoved(0x0374);
    EXPECT_TRUE(a.hideWindow);
    EXPECT_FALSE(a.loadCurrent);
    EXPECT_EQ(current(), u"none");
    EXPECT_EQ(list->deviceKindMask(), 2);
    EXPECT_EQ(list->currentRecord(), nullptr);

    // The remote goes too: its window closes.
    a = list->onDeviceRemoved(0x0A31);
    EXPECT_TRUE(a.closeRemoteWindow);
    EXPECT_EQ(list->deviceKindMask(), 0);
    EXPECT_TRUE(list->entries().empty());
}

TEST_F(DeviceListTest, ArrivalBeforeTheSlotIsFilledIsListedByIdAndNeverLoaded) {
    fill(0, u"PID_0374", 0, u"Pad S");
    list->scanDevices();
    list->rebuildDeviceCombo();
    PanelActions a = list->onDeviceArrived(0x0375);
    EXPECT_FALSE(a.rebuildCombo || a.loadCurrent || a.showWindow);
    EXPECT_EQ(list->entries().back()->record, nullptr);

    // The next rebuild lists it by its id, and selecting it loads nothing.
    list->onDeviceArrived(0x0374);
    EXPECT_EQ(list->comboTexts(), (Texts{u"Scribo Pad S", u"PID_0375", u"Scribo Pad S"}));
    a = list->onComboSelection(1);
    EXPECT_FALSE(a.loadCurrent);
    EXPECT_EQ(current(), u"PID_0375");
    EXPECT_EQ(list->currentRecord(), nullptr);

    // Once the service fills the slot, the same entry finds its record; nothing edits it
    // before the panels have loaded it (they still show the previous device's values).
    fill(1, u"PID_0375", 0, u"Pad L");
    EXPECT_EQ(list->currentRecord(), nullptr);
    EXPECT_TRUE(list->refresh().loadCurrent);
    EXPECT_EQ(list->currentRecord(), &block->devices[1]);
    EXPECT_FALSE(list->refresh().loadCurrent);
}

// An arrival or a removal puts the combo back on its first item and loads that device; the
// device chosen before must then load again when it is chosen again.
TEST_F(DeviceListTest, ChoosingTheEarlierDeviceAgainAfterTheComboWasResetLoadsIt) {
    fill(0, u"PID_0374", 0, u"Pad S");
    fill(1, u"PID_0390", 1, u"Display");
    list->scanDevices();
    list->rebuildDeviceCombo();
    list->selectCurrentFromCombo(0);
    for (const bool arrival : {true, false}) {
        SCOPED_TRACE(arrival ? "arrival" : "removal");
        ASSERT_TRUE(list->onComboSelection(1).loadCurrent);
        ASSERT_EQ(list->currentRecord(), &block->devices[1]);
        if (arrival) {
            fill(2, u"PID_0375", 0, u"Pad L");
            EXPECT_TRUE(list->onDeviceArrived(0x0375).loadCurrent);
        } else {
            clear(2);
            EXPECT_TRUE(list->onDeviceRemoved(0x0375).loadCurrent);
        }
        EXPECT_EQ(list->currentRecord(), &block->devices[0]);
        const PanelActions again = list->onComboSelection(1);
        EXPECT_TRUE(again.loadCurrent);
        EXPECT_EQ(current(), u"PID_0390");
        EXPECT_EQ(list->currentRecord(), &block->devices[1]);
        list->onComboSelection(0);
    }
}

TEST_F(DeviceListTest, ComboChangesActOnlyOnANewSelection) {
    fill(0, u"PID_0374", 0, u"Pad S");
    fill(1, u"PID_0390", 1, u"Display");
    list->scanDevices();
    list->rebuildDeviceCombo();
    list->selectCurrentFromCombo(0);
    EXPECT_FALSE(list->onComboSelection(0).loadCurrent);
    EXPECT_TRUE(list->onComboSelection(1).loadCurrent);
    EXPECT_EQ(current(), u"PID_0390");
    EXPECT_FALSE(list->onComboSelection(1).loadCurrent);
    EXPECT_EQ(list->deviceIds(), (Texts{u"PID_0374", u"PID_0390"}));
}

TEST_F(DeviceListTest, RemoteAloneArrivingAsksForItsWindow) {
    fill(0, u"PID_0A31", 5, u"Remote");
    PanelActions a = list->onDeviceArrived(0x0A31);
    EXPECT_TRUE(a.createRemoteWindow);
    EXPECT_FALSE(a.rebuildCombo);
    EXPECT_EQ(list->deviceKindMask(), 2);
}

}  // namespace
}  // namespace scribo
