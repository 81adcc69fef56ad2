// Engine surfaces: bitmap layout in both orientations, ownership of the bits,
// association with engine devices, lock and delete order, compressed sources.
#include "engine_test_support.h"

#include <climits>

using enginetest::Bitmap;

namespace {

TEST(EngineSurface, BitmapLayoutFollowsFormatStrideAndOrientation) {
    const struct {
        const char* name;
        ULONG format;
        LONG cx, cy, stride;
        FLONG flags;
        ULONG cjBits;
        LONG lDelta;
        ptrdiff_t scan0Offset;  // pvScan0 - pvBits
    } cases[] = {
        // 24 bpp: 3 pixels = 9 bytes, aligned to 12.
        {"24bpp top-down", BMF_24BPP, 3, 2, 0, BMF_TOPDOWN, 24, 12, 0},
        {"24bpp bottom-up", BMF_24BPP, 3, 2, 0, 0, 24, -12, 12},
        // A given stride need only hold a row: 10 >= 9.
        {"24bpp stride 10 bottom-up", BMF_24BPP, 3, 3, 10, 0, 30, -10, 20},
        {"1bpp 33 wide", BMF_1BPP, 33, 2, 0, BMF_TOPDOWN, 16, 8, 0},
        {"4bpp 3 wide", BMF_4BPP, 3, 1, 0, 0, 4, -4, 0},
        {"8bpp 5 wide", BMF_8BPP, 5, 4, 0, 0, 32, -8, 24},
        {"16bpp 3 wide", BMF_16BPP, 3, 2, 0, BMF_TOPDOWN, 16, 8, 0},
        {"32bpp 2 wide", BMF_32BPP, 2, 2, 0, 0, 16, -8, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap bitmap(c.cx, c.cy, c.format, c.flags, c.stride);
        SURFOBJ* so = bitmap.so();
        ASSERT_NE(so, nullptr);
        EXPECT_EQ(so->hsurf, bitmap.handle());
        EXPECT_EQ(so->cjBits, c.cjBits);
        EXPECT_EQ(so->lDelta, c.lDelta);
        EXPECT_EQ(static_cast<BYTE*>(so->pvScan0) - static_cast<BYTE*>(so->pvBits), c.scan0Offset);
        EXPECT_EQ(so->fjBitmap & BMF_TOPDOWN, c.flags & BMF_TOPDOWN);
        // Bits the engine allocates start zeroed.
        const BYTE* bits = static_cast<const BYTE*>(so->pvBits);
        EXPECT_EQ(std::count(bits, bits + so->cjBits, 0), static_cast<long>(so->cjBits));
    }
    // Bits given by the caller are used in place and not cleared.
    std::vector<BYTE> buffer(2 * 8, 0xAB);
    HSURF given =
        reinterpret_cast<HSURF>(EngCreateBitmap(SIZEL{2, 2}, 8, BMF_24BPP, 0, buffer.data()));
    SURFOBJ* so = EngLockSurface(given);
    ASSERT_NE(so, nullptr);
    EXPECT_EQ(so->pvScan0, buffer.data() + 8);  // bottom-up: the top row is the last
    EXPECT_EQ(buffer[0], 0xAB);
    EngUnlockSurface(so);
    EXPECT_TRUE(EngDeleteSurface(given));
}

TEST(EngineSurface, BadBitmapRequestsFailCleanly) {
    const struct {
        const char* name;
        SIZEL size;
        LONG stride;
        ULONG format;
    } cases[] = {
        {"zero width", {0, 4}, 0, BMF_24BPP},
        {"negative height", {4, -1}, 0, BMF_24BPP},
        {"no format", {4, 4}, 0, 0},
        {"compressed format", {4, 4}, 0, BMF_JPEG},
        {"run-length format", {4, 4}, 0, BMF_8RLE},
        {"stride shorter than a row", {4, 4}, 11, BMF_24BPP},
        {"negative stride", {4, 4}, -12, BMF_24BPP},
        {"over two gigabytes", {100000, 100000}, 0, BMF_24BPP},
        {"widest row times rows", {INT_MAX, 2}, 0, BMF_32BPP},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        EXPECT_EQ(EngCreateBitmap(c.size, c.stride, c.format, 0, nullptr), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(EngCreateDeviceSurface(nullptr, SIZEL{0, 10}, BMF_24BPP), nullptr);
    EXPECT_EQ(EngLockSurface(nullptr), nullptr);
    EXPECT_FALSE(EngDeleteSurface(nullptr));
    SURFOBJ stranger{};
    EngUnlockSurface(&stranger);  // not the engine's: ignored
}

TEST(EngineSurface, AssociationCopiesTheDevicePdevAndNeedsAKnownDevice) {
    Bitmap bitmap(4, 4);
    HDEV hdev = xlplatform::CreateEngineDevice();
    ASSERT_NE(hdev, nullptr);
    DHPDEV pdev = reinterpret_cast<DHPDEV>(0x5000);
    EXPECT_TRUE(xlplatform::SetEngineDevicePdev(hdev, pdev));
    EXPECT_TRUE(EngAssociateSurface(bitmap.handle(), hdev, 0));
    EXPECT_EQ(bitmap.so()->hdev, hdev);
    EXPECT_EQ(bitmap.so()->dhpdev, pdev);
    EXPECT_FALSE(EngAssociateSurface(bitmap.handle(), reinterpret_cast<HDEV>(0x1234), 0));
    EXPECT_FALSE(EngAssociateSurface(nullptr, hdev, 0));
    EXPECT_TRUE(xlplatform::DeleteEngineDevice(hdev));
    EXPECT_FALSE(xlplatform::DeleteEngineDevice(hdev));
    EXPECT_FALSE(EngAssociateSurface(bitmap.handle(), hdev, 0));
}

TEST(EngineSurface, DeleteWhileLockedWaitsForTheLastUnlock) {
    HSURF handle = reinterpret_cast<HSURF>(EngCreateBitmap(SIZEL{2, 2}, 0, BMF_24BPP, 0, nullptr));
    SURFOBJ* first = EngLockSurface(handle);
    SURFOBJ* second = EngLockSurface(handle);
    ASSERT_EQ(first, second);
    EXPECT_TRUE(EngDeleteSurface(handle));
    EXPECT_EQ(EngLockSurface(handle), nullptr);  // gone for new users
    EXPECT_FALSE(EngDeleteSurface(handle));
    EngUnlockSurface(first);
    EXPECT_EQ(second->sizlBitmap.cx, 2);  // still valid: one lock remains
    EngUnlockSurface(second);             // freed here (the sanitizer build checks)
}

TEST(EngineSurface, CompressedSourcesHoldACopyOfTheFileBytesAndCannotBeDrawnFrom) {
    const std::vector<BYTE> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00};
    for (ULONG format : {BMF_JPEG, BMF_PNG}) {
        HSURF hsurf = xlplatform::CreateCompressedSurface(format, jpeg, SIZEL{400, 300});
        SURFOBJ* so = EngLockSurface(hsurf);
        ASSERT_NE(so, nullptr);
        EXPECT_EQ(so->iBitmapFormat, format);
        EXPECT_EQ(so->sizlBitmap.cx, 400);
        const BYTE* bits = static_cast<BYTE*>(so->pvBits);
        EXPECT_EQ(std::vector<BYTE>(bits, bits + so->cjBits), jpeg);
        EXPECT_NE(so->pvBits, jpeg.data());
        Bitmap target(4, 4);
        RECTL dest{0, 0, 4, 4}, src{0, 0, 4, 4};
        POINTL origin{0, 0};
        EXPECT_FALSE(EngCopyBits(target.so(), so, nullptr, nullptr, &dest, &origin));
        EXPECT_FALSE(EngStretchBlt(target.so(), so, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   &dest, &src, nullptr, COLORONCOLOR));
        EngUnlockSurface(so);
        EXPECT_TRUE(EngDeleteSurface(hsurf));
    }
    EXPECT_EQ(xlplatform::CreateCompressedSurface(BMF_24BPP, jpeg, SIZEL{4, 4}), nullptr);
    EXPECT_EQ(xlplatform::CreateCompressedSurface(BMF_JPEG, {}, SIZEL{4, 4}), nullptr);
    EXPECT_EQ(xlplatform::CreateCompressedSurface(BMF_PNG, jpeg, SIZEL{0, 4}), nullptr);
}

}  // namespace
