// A printer added to the test's world and opened as the driver opens it. The
// handle lives in the world: the world's reset at the end of a test closes it.
#pragma once

#include <gtest/gtest.h>
#include <winspool.h>
#include <xlplatform/world.h>

#include <string>

namespace xltest {

inline HANDLE AddOpenedPrinter(const xlplatform::Printer& printer) {
    std::u16string name = xlplatform::AddPrinter(printer).name;
    HANDLE handle = nullptr;
    EXPECT_TRUE(OpenPrinterW(name.data(), &handle, nullptr)) << xlplatform::Utf16ToUtf8(name);
    return handle;
}

inline HANDLE AddOpenedPrinter(std::u16string_view name) {
    xlplatform::Printer printer;
    printer.name = name;
    return AddOpenedPrinter(printer);
}

}  // namespace xltest
