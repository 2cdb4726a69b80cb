#include "canvas/DropOffRuns.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define NPR_BLEND_AVX2 1
#endif

void DropOffRuns::build(const float* dropOff, int w, int h, float threshold)
{
    width = w;
    height = h;
    runs.clear();
    rowStart.assign(1, 0);
    rows.assign(static_cast<std::size_t>(h), Row());
    keepValues.clear();
    weightValues.clear();
    for (int j = 0; j < h; ++j) {
        const float* d = dropOff + static_cast<std::size_t>(j) * w;
        for (int i = 0; i < w;) {
            if (d[i] <= threshold) {
                ++i;
                continue;
            }
            Run r;
            r.j = j;
            r.i0 = i;
            while (i < w && d[i] > threshold) ++i;
            r.i1 = i;
            runs.push_back(r);
        }
        rowStart.push_back(runs.size());
        if (rowStart[j] == rowStart[j + 1]) continue;
        Row& row = rows[j];
        row.first = runs[rowStart[j]].i0;
        row.last = runs.back().i1;
        row.padded = std::min(w, row.last + 6);
        row.offset = keepValues.size();
        for (int i = row.first; i < row.padded; ++i) {
            const bool written = d[i] > threshold;
            for (int c = 0; c < 3; ++c) {
                keepValues.push_back(written ? 1.0f - d[i] : 1.0f);
                weightValues.push_back(written ? d[i] : 0.0f);
            }
        }
        for (int i = row.first; i < row.last;) {
            if (d[i] != 1.0f) {
                ++i;
                continue;
            }
            const int begin = i;
            while (i < row.last && d[i] == 1.0f) ++i;
            if (i - begin > row.fullEnd - row.fullBegin) {
                row.fullBegin = begin;
                row.fullEnd = i;
            }
        }
    }
}

#if defined(__SSE2__)
namespace {

// Sixteen bytes, in the same single-precision steps as the scalar blend (multiply, add, clamp,
// truncate), so the bytes written are the same.
inline void blendBlock(unsigned char* dst, const float* keep, const float* weighted)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128 lo = _mm_setzero_ps();
    const __m128 hi = _mm_set1_ps(255.0f);
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
    const __m128i words[2] = {_mm_unpacklo_epi8(bytes, zero), _mm_unpackhi_epi8(bytes, zero)};
    __m128i ints[4];
    for (int k = 0; k < 4; ++k) {
        const __m128i dwords = k % 2 == 0 ? _mm_unpacklo_epi16(words[k / 2], zero)
                                          : _mm_unpackhi_epi16(words[k / 2], zero);
        __m128 v = _mm_mul_ps(_mm_cvtepi32_ps(dwords), _mm_loadu_ps(keep + 4 * k));
        v = _mm_add_ps(v, _mm_loadu_ps(weighted + 4 * k));
        v = _mm_min_ps(_mm_max_ps(v, lo), hi);
        ints[k] = _mm_cvttps_epi32(v);
    }
    const __m128i packed =
        _mm_packus_epi16(_mm_packs_epi32(ints[0], ints[1]), _mm_packs_epi32(ints[2], ints[3]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), packed);
}

} // namespace
#endif

#if defined(NPR_BLEND_AVX2)
namespace {

// Thirty-two bytes at a time where the processor has AVX2: the same steps eight lanes wide.
// Returns how many bytes it blended (a multiple of 32).
__attribute__((target("avx2"))) std::size_t blendBytesAvx2(unsigned char* dst, const float* keep,
                                                           const float* weighted, std::size_t n)
{
    const __m256 lo = _mm256_setzero_ps();
    const __m256 hi = _mm256_set1_ps(255.0f);
    // packs and packus interleave the two 128-bit halves: this puts the dwords back in order.
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    std::size_t q = 0;
    for (; q + 32 <= n; q += 32) {
        __m256i ints[4];
        for (int k = 0; k < 4; ++k) {
            const __m128i eight = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(dst + q + 8 * k));
            __m256 v = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(eight));
            v = _mm256_mul_ps(v, _mm256_loadu_ps(keep + q + 8 * k));
            v = _mm256_add_ps(v, _mm256_loadu_ps(weighted + q + 8 * k));
            v = _mm256_min_ps(_mm256_max_ps(v, lo), hi);
            ints[k] = _mm256_cvttps_epi32(v);
        }
        const __m256i packed = _mm256_packus_epi16(_mm256_packs_epi32(ints[0], ints[1]),
                                                   _mm256_packs_epi32(ints[2], ints[3]));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + q),
                            _mm256_permutevar8x32_epi32(packed, order));
    }
    return q;
}

const bool hasAvx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));

} // namespace
#endif

void DropOffRuns::blendBytes(unsigned char* dst, const float* keep, const float* weighted,
                             std::size_t n)
{
#if defined(__SSE2__)
    std::size_t q = 0;
#if defined(NPR_BLEND_AVX2)
    if (hasAvx2) q = blendBytesAvx2(dst, keep, weighted, n);
#endif
    for (; q + 16 <= n; q += 16) blendBlock(dst + q, keep + q, weighted + q);
    if (q == n) return;
    // The rest through a block of copies, padded with bytes the blend leaves as they are.
    const std::size_t rest = n - q;
    unsigned char bytes[16] = {};
    float keepRest[16], weightedRest[16];
    std::fill(keepRest, keepRest + 16, 1.0f);
    std::fill(weightedRest, weightedRest + 16, 0.0f);
    std::memcpy(bytes, dst + q, rest);
    std::memcpy(keepRest, keep + q, rest * sizeof(float));
    std::memcpy(weightedRest, weighted + q, rest * sizeof(float));
    blendBlock(bytes, keepRest, weightedRest);
    std::memcpy(dst + q, bytes, rest);
#else
    for (std::size_t q = 0; q < n; ++q)
        dst[q] = static_cast<unsigned char>(std::clamp(dst[q] * keep[q] + weighted[q], 0.0f, 255.0f));
#endif
}
