// What the frame tests share: a plug-in object made through the class factory,
// and a device enabled over Unidrv functions of the test's own.
#pragma once

#include <gtest/gtest.h>
#include <prcomoem.h>
#include <xlplatform/world.h>

#include <vector>

#include "frame/class_factory.h"
#include "frame/device_enable.h"
#include "support/fake_unidrv.h"

namespace xltest {

// A plug-in object as Unidrv makes it, released when the holder goes.
struct PluginHolder {
    PluginHolder() {
        void* factory = nullptr;
        EXPECT_EQ(xlr::GetClassObject(CLSID_OEMRENDER, IID_IClassFactory, &factory), S_OK);
        void* object = nullptr;
        EXPECT_EQ(static_cast<IClassFactory*>(factory)->CreateInstance(nullptr, IID_IPrintOemUni2,
                                                                       &object),
                  S_OK);
        static_cast<IClassFactory*>(factory)->Release();
        plugin = static_cast<IPrintOemUni2*>(object);
    }
    ~PluginHolder() { plugin->Release(); }
    PluginHolder(const PluginHolder&) = delete;
    PluginHolder& operator=(const PluginHolder&) = delete;
    IPrintOemUni2* operator->() const { return plugin; }

    IPrintOemUni2* plugin = nullptr;
};

// A fresh world and a device whose state Enable() makes over `unidrvFunctions`
// (set them first); the surface is the one GDI hands the hooks.
class EnabledDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        xlplatform::ResetWorld();
        surface.dhpdev = reinterpret_cast<DHPDEV>(&device.devobj);
    }
    void TearDown() override {
        xlr::DisableDeviceState(&device.devobj);
        xlplatform::ResetWorld();
    }

    xlr::PluginDeviceState* Enable() {
        DRVENABLEDATA unidrv{0x00010000, static_cast<ULONG>(unidrvFunctions.size()),
                             unidrvFunctions.data()};
        return xlr::EnableDeviceState(&device.devobj, &device.helper, &gdi, &devInfo, &unidrv);
    }

    FakeDevice device;
    GDIINFO gdi{};
    DEVINFO devInfo{};
    std::vector<DRVFN> unidrvFunctions;
    SURFOBJ surface{};
};

}  // namespace xltest
