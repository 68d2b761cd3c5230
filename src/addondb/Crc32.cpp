#include "addondb/Crc32.h"

#include <libdeflate.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace garrison {

namespace {

#if defined(__x86_64__)

#define GARRISON_FOLDING __attribute__((target("avx512f,avx512vl,vpclmulqdq,pclmul")))
// Inlined into the one function that folds, so no vector crosses a call.
#define GARRISON_FOLDING_STEP GARRISON_FOLDING __attribute__((always_inline)) inline

// Folding a 128-bit lane forward by D bits multiplies its low half by
// x^(D+32) mod P and its high half by x^(D-32) mod P (bit-reflected, shifted
// left once), P being the CRC-32 polynomial; each lane holds the pair.
struct FoldBy {
    std::uint64_t low;
    std::uint64_t high;
};
constexpr FoldBy k2048 = {0x11542778a, 0x1322d1430};
constexpr FoldBy k512 = {0x154442bd4, 0x1c6e41596};
constexpr FoldBy k384 = {0x03db1ecdc, 0x174359406};
constexpr FoldBy k256 = {0x0f1da05aa, 0x15a546366};
constexpr FoldBy k128 = {0x1751997d0, 0x0ccaa009e};

GARRISON_FOLDING_STEP __m512i lanes(FoldBy k)
{
    const auto low = static_cast<long long>(k.low), high = static_cast<long long>(k.high);
    return _mm512_set_epi64(high, low, high, low, high, low, high, low);
}

GARRISON_FOLDING_STEP __m512i load(const std::uint8_t *at)
{
    return _mm512_loadu_si512(at);
}

GARRISON_FOLDING_STEP __m512i fold(__m512i x, __m512i k, __m512i onto)
{
    return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(x, k, 0x00), _mm512_clmulepi64_epi128(x, k, 0x11), onto,
                                     0x96);
}

GARRISON_FOLDING_STEP __m128i fold(__m128i x, FoldBy k, __m128i onto)
{
    const __m128i constants = _mm_set_epi64x(static_cast<long long>(k.high), static_cast<long long>(k.low));
    return _mm_ternarylogic_epi64(_mm_clmulepi64_si128(x, constants, 0x00), _mm_clmulepi64_si128(x, constants, 0x11),
                                  onto, 0x96);
}

// The bytes from data on, in whole 64-byte blocks (at least four), folded
// into 16 bytes whose CRC from a zero register is the blocks' CRC from
// ~crc's: so zlib's crc32 of those 16 bytes from 0xFFFFFFFF is the result.
GARRISON_FOLDING std::uint32_t foldBlocks(std::uint32_t crc, const std::uint8_t *data, std::size_t blocks)
{
    __m512i x0 = _mm512_xor_si512(load(data), _mm512_castsi128_si512(_mm_cvtsi32_si128(static_cast<int>(~crc))));
    __m512i x1 = load(data + 64), x2 = load(data + 128), x3 = load(data + 192);
    data += 256;
    blocks -= 4;
    const __m512i by2048 = lanes(k2048);
    for (; blocks >= 4; blocks -= 4, data += 256) {
        x0 = fold(x0, by2048, load(data));
        x1 = fold(x1, by2048, load(data + 64));
        x2 = fold(x2, by2048, load(data + 128));
        x3 = fold(x3, by2048, load(data + 192));
    }
    const __m512i by512 = lanes(k512);
    __m512i x = fold(fold(fold(x0, by512, x1), by512, x2), by512, x3);
    for (; blocks > 0; --blocks, data += 64)
        x = fold(x, by512, load(data));
    // The four lanes, from the lowest address: each folded onto the last.
    alignas(64) std::uint8_t bytes[64];
    _mm512_store_si512(bytes, x);
    const auto lane = [&](int i) {
        return _mm_load_si128(reinterpret_cast<const __m128i *>(bytes + 16 * i));
    };
    const __m128i last = fold(lane(0), k384, fold(lane(1), k256, fold(lane(2), k128, lane(3))));
    _mm_store_si128(reinterpret_cast<__m128i *>(bytes), last);
    return libdeflate_crc32(0xFFFFFFFFu, bytes, 16);
}

bool canFold()
{
    static const bool supported = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                                  __builtin_cpu_supports("vpclmulqdq") && __builtin_cpu_supports("pclmul");
    return supported;
}

#endif

} // namespace

std::uint32_t updateCrc32(std::uint32_t crc, const void *data, std::size_t size)
{
    const auto *bytes = static_cast<const std::uint8_t *>(data);
#if defined(__x86_64__)
    // Below some kilobytes the set-up costs more than the folding saves.
    constexpr std::size_t kFoldFrom = 1024;
    if (size >= kFoldFrom && canFold()) {
        const std::size_t blocks = size / 64;
        crc = foldBlocks(crc, bytes, blocks);
        bytes += blocks * 64;
        size -= blocks * 64;
    }
#endif
    return libdeflate_crc32(crc, bytes, size);
}

} // namespace garrison
