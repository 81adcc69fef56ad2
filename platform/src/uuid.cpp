// Universally unique identifiers: random version-4 identifiers, drawn from the
// world's seed when it sets one so that runs repeat.
#include <rpc.h>
#include <xlplatform/world.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

// SplitMix64: a small generator whose whole state is the one 64-bit seed.
uint64_t NextSeeded(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint64_t NextRandom(std::random_device& device) {
    return (static_cast<uint64_t>(device()) << 32) | device();
}

}  // namespace

extern "C" {

RPC_STATUS WINAPI UuidCreate(UUID* uuid) {
    if (uuid == nullptr) return RPC_S_INVALID_ARG;
    uint64_t halves[2];
    std::optional<uint64_t>& seed = xlplatform::TheWorld().uuidSeed;
    if (seed) {
        halves[0] = NextSeeded(*seed);
        halves[1] = NextSeeded(*seed);
    } else {
        std::random_device device;
        halves[0] = NextRandom(device);
        halves[1] = NextRandom(device);
    }
    uuid->Data1 = static_cast<uint32_t>(halves[0] >> 32);
    uuid->Data2 = static_cast<uint16_t>(halves[0] >> 16);
    // Version 4 (random) in the top nibble of Data3, variant 10 in Data4[0].
    uuid->Data3 = static_cast<uint16_t>((halves[0] & 0x0FFF) | 0x4000);
    std::memcpy(uuid->Data4, &halves[1], sizeof uuid->Data4);
    uuid->Data4[0] = static_cast<uint8_t>((uuid->Data4[0] & 0x3F) | 0x80);
    return RPC_S_OK;
}

RPC_STATUS WINAPI UuidToStringA(const UUID* uuid, RPC_CSTR* text) {
    if (uuid == nullptr || text == nullptr) return RPC_S_INVALID_ARG;
    constexpr size_t kSize = 37;
    auto* out = static_cast<char*>(std::malloc(kSize));
    if (out == nullptr) return RPC_S_OUT_OF_MEMORY;
    std::snprintf(out, kSize, "%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                  static_cast<unsigned>(uuid->Data1), uuid->Data2, uuid->Data3, uuid->Data4[0],
                  uuid->Data4[1], uuid->Data4[2], uuid->Data4[3], uuid->Data4[4], uuid->Data4[5],
                  uuid->Data4[6], uuid->Data4[7]);
    *text = reinterpret_cast<RPC_CSTR>(out);
    return RPC_S_OK;
}

RPC_STATUS WINAPI RpcStringFreeA(RPC_CSTR* text) {
    if (text == nullptr) return RPC_S_INVALID_ARG;
    std::free(*text);
    *text = nullptr;
    return RPC_S_OK;
}

}  // extern "C"
