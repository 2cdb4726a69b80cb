#include "Random.h"

#include <random>

namespace tavlor {

namespace {
std::mt19937& generator()
{
    static std::mt19937 engine(1u);
    return engine;
}
} // namespace

int rand15()
{
    return static_cast<int>(generator()() >> 17); // top 15 bits
}

void seedRand15(unsigned int seed)
{
    generator().seed(seed);
}

} // namespace tavlor
