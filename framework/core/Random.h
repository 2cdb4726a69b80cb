#pragma once
// The one source of random numbers where formulas expect the classic 0 ... 32767 range.

namespace tavlor {

constexpr int kRandMax = 32767;

// 0 ... 32767 from the process-wide seeded generator.
int rand15();
// Reseeds the generator (the formulas' srand).
void seedRand15(unsigned int seed);

} // namespace tavlor
