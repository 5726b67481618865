#include "common/recordcode.h"

#include <chrono>
#include <cmath>
#include <random>

namespace velinor {

namespace {

Draws& injected()
{
    static Draws d;
    return d;
}

// Re-seeded from the clock on every code, as the program always did.
Draws clockSeeded()
{
    const auto seed = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    auto engine = std::make_shared<std::mt19937_64>(seed);
    return [engine] { return std::uniform_real_distribution<double>(0.0, 1.0)(*engine); };
}

long long roundHalfEven(double x)
{
    // nearbyint honours the default rounding mode, round-to-nearest-even.
    return static_cast<long long>(std::nearbyint(x));
}

} // namespace

void setRecordCodeDraws(Draws draws) { injected() = std::move(draws); }

QString recordCode(const QString& prefix, const QString& boxText)
{
    return recordCode(prefix, boxText, injected() ? injected() : clockSeeded());
}

QString recordCode(const QString& prefix, const QString& boxText, const Draws& draws)
{
    const double r1 = draws();
    const double r2 = draws();
    const long long number = roundHalfEven(r1 * 999999.0);
    const char letter = static_cast<char>(65 + roundHalfEven(r2 * 25.0));
    return prefix + QString::number(number) + boxText + QChar(QLatin1Char(letter));
}

} // namespace velinor
