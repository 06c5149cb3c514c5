#include "platform/random.h"

Random::Random() : engine_(std::random_device{}()) {}

qint64 Random::InRange(qint64 low, qint64 high)
{
    if (high < low) std::swap(low, high);
    std::uniform_int_distribution<qint64> pick(low, high);
    return pick(engine_);
}
