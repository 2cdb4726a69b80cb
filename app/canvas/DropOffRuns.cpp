#include "canvas/DropOffRuns.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void DropOffRuns::build(const float* dropOff, int w, int h, float threshold)
{
    width = w;
    height = h;
    runs.clear();
    rowStart.assign(1, 0);
    keepValues.clear();
    weightValues.clear();
    for (int j = 0; j < h; ++j) {
        const float* d = dropOff + static_cast<std::size_t>(j) * w;
        int i = 0;
        while (i < w) {
            if (d[i] <= threshold) {
                ++i;
                continue;
            }
            Run r;
            r.j = j;
            r.i0 = i;
            r.full = d[i] == 1.0f;
            while (i < w && d[i] > threshold && (d[i] == 1.0f) == r.full) ++i;
            r.i1 = i;
            if (!r.full) {
                r.offset = keepValues.size();
                for (int k = r.i0; k < r.i1; ++k) {
                    for (int c = 0; c < 3; ++c) {
                        keepValues.push_back(1.0f - d[k]);
                        weightValues.push_back(d[k]);
                    }
                }
            }
            runs.push_back(r);
        }
        rowStart.push_back(runs.size());
    }
}

void DropOffRuns::blendBytes(unsigned char* dst, const float* keep, const float* weighted,
                             std::size_t n)
{
    std::size_t q = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time, in the same single-precision steps as the scalar loop (multiply,
    // add, clamp, truncate), so the bytes written are the same.
    const __m128i zero = _mm_setzero_si128();
    const __m128 lo = _mm_setzero_ps();
    const __m128 hi = _mm_set1_ps(255.0f);
    for (; q + 16 <= n; q += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + q));
        const __m128i words[2] = {_mm_unpacklo_epi8(bytes, zero), _mm_unpackhi_epi8(bytes, zero)};
        __m128i ints[4];
        for (int k = 0; k < 4; ++k) {
            const __m128i dwords = k % 2 == 0 ? _mm_unpacklo_epi16(words[k / 2], zero)
                                              : _mm_unpackhi_epi16(words[k / 2], zero);
            __m128 v = _mm_mul_ps(_mm_cvtepi32_ps(dwords), _mm_loadu_ps(keep + q + 4 * k));
            v = _mm_add_ps(v, _mm_loadu_ps(weighted + q + 4 * k));
            v = _mm_min_ps(_mm_max_ps(v, lo), hi);
            ints[k] = _mm_cvttps_epi32(v);
        }
        const __m128i packed =
            _mm_packus_epi16(_mm_packs_epi32(ints[0], ints[1]), _mm_packs_epi32(ints[2], ints[3]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + q), packed);
    }
#endif
    for (; q < n; ++q)
        dst[q] = static_cast<unsigned char>(std::clamp(dst[q] * keep[q] + weighted[q], 0.0f, 255.0f));
}
