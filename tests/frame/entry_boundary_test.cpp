// The exception boundary at the plug-in's entry points: work that throws (here
// Unidrv's helper or Unidrv's own function, standing in for an allocation that
// fails inside the plug-in) answers the failure of the entry point's contract,
// and nothing unwinds into the caller.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <vector>

#include <xlplatform/world.h>

#include "frame/hooks.h"
#include "frame/plugin_fixtures.h"

namespace {

enum class Failure { OutOfMemory, Other };
Failure g_failure = Failure::OutOfMemory;

[[noreturn]] void Throw() {
    if (g_failure == Failure::OutOfMemory) throw std::bad_alloc();
    throw std::runtime_error("broken");
}

// Reads features as Unidrv's helper does until it is told to fail.
class FailingHelper : public xltest::FakeDriverHelper {
  public:
    bool failing = false;
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID devobj, PCSTR feature, PVOID output,
                                                  DWORD size, PDWORD needed,
                                                  PDWORD optionsReturned) override {
        if (failing) Throw();
        return FakeDriverHelper::DrvGetDriverSetting(devobj, feature, output, size, needed,
                                                     optionsReturned);
    }
};

ULONG FailingUnidrvEscape(SURFOBJ*, ULONG, ULONG, PVOID, ULONG, PVOID) {
    Throw();
}
BOOL UnidrvStartDoc(SURFOBJ*, LPWSTR, DWORD) {
    return TRUE;
}

class EntryBoundaryTest : public ::testing::TestWithParam<Failure> {
  protected:
    void SetUp() override {
        xlplatform::ResetWorld();
        g_failure = GetParam();
        unidrvFunctions_ = {{INDEX_DrvEscape, FunctionCast<PFN>(&FailingUnidrvEscape)},
                            {INDEX_DrvStartDoc, FunctionCast<PFN>(&UnidrvStartDoc)}};
        DRVENABLEDATA unidrv{0x00010000, 2, unidrvFunctions_.data()};
        GDIINFO gdi{};
        DEVINFO devInfo{};
        ASSERT_NE(xlr::EnableDeviceState(&device_.devobj, &helper_, &gdi, &devInfo, &unidrv),
                  nullptr);
        helper_.failing = true;
        surface_.dhpdev = reinterpret_cast<DHPDEV>(&device_.devobj);
        ASSERT_TRUE(xlr::EnableHookTable(0x00010000, sizeof hooks_, &hooks_));
    }
    void TearDown() override { xlr::DisableDeviceState(&device_.devobj); }

    template <typename Fn>
    Fn Entry(xlr::HookSlot slot) const {
        return FunctionCast<Fn>(hooks_.pdrvfn[slot].pfn);
    }
    DWORD ExpectedLastError() const {
        return GetParam() == Failure::OutOfMemory ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INTERNAL_ERROR;
    }

    xltest::FakeDevice device_;
    FailingHelper helper_;
    std::vector<DRVFN> unidrvFunctions_;
    DRVENABLEDATA hooks_{};
    SURFOBJ surface_{};
};

// DrvStartDoc reads the printer's features before it calls Unidrv.
TEST_P(EntryBoundaryTest, HookAnswersFalseWithTheReason) {
    SetLastError(0);
    WCHAR name[] = u"doc";
    EXPECT_EQ(Entry<PFN_DrvStartDoc>(xlr::kSlotStartDoc)(&surface_, name, 7), FALSE);
    EXPECT_EQ(GetLastError(), ExpectedLastError());
}

TEST_P(EntryBoundaryTest, EscapeAnswersZeroWithTheReason) {
    SetLastError(0);
    EXPECT_EQ(Entry<PFN_DrvEscape>(xlr::kSlotEscape)(&surface_, 4321, 0, nullptr, 0, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ExpectedLastError());
}

TEST_P(EntryBoundaryTest, ComMethodAnswersItsFailureCode) {
    xltest::PluginHolder plugin;
    // A callback without a composer asks whether the printer has an XML configuration.
    EXPECT_EQ(plugin->CommandCallback(&device_.devobj, 99, 0, nullptr, nullptr),
              GetParam() == Failure::OutOfMemory ? E_OUTOFMEMORY : E_FAIL);
}

INSTANTIATE_TEST_SUITE_P(Failures, EntryBoundaryTest,
                         ::testing::Values(Failure::OutOfMemory, Failure::Other));

}  // namespace
