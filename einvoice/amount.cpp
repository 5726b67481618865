#include "einvoice/amount.h"

#include <cmath>

namespace velinor::einvoice {

namespace {

__int128 pow10(int n)
{
    __int128 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// a / b rounded half away from zero; b > 0.
__int128 divideHalfUp(__int128 a, __int128 b)
{
    const __int128 half = b / 2;
    return a >= 0 ? (a + half) / b : -((-a + half) / b);
}

} // namespace

std::optional<Amount> Amount::fromShortDecimal(double value)
{
    // Below 10^7 the units stay under 10^15 < 2^53, exact in a double.
    if (!(std::fabs(value) < 1e7))
        return std::nullopt;
    const double units = std::nearbyint(value * scale);
    // Two decimals of 15 digits never read as the same double, so the one
    // that does is the 15-digit text of the value.
    if (units / scale != value)
        return std::nullopt;
    return Amount(static_cast<__int128>(units));
}

std::optional<Amount> Amount::fromDouble(double value)
{
    if (!std::isfinite(value) || std::fabs(value) >= 1e15)
        return std::nullopt;
    if (value == 0)
        return Amount();
    if (const auto exact = fromShortDecimal(value))
        return exact;
    // The 15 significant digits as d.dddddddddddddde±x: the value is the
    // 15-digit mantissa times 10^(x - 14), that is in units of 1e-8 the
    // mantissa times 10^(x - 14 + 8).
    const QString e = QString::number(std::fabs(value), 'e', 14);
    const int at = e.indexOf(QLatin1Char('e'));
    QString mantissa = e.left(at);
    mantissa.remove(QLatin1Char('.'));
    const int shift = e.mid(at + 1).toInt() - 14 + 8;
    const __int128 m = mantissa.toLongLong();
    __int128 units = 0;
    if (shift >= 0)
        units = m * pow10(shift);
    else if (shift >= -18)
        units = divideHalfUp(m, pow10(-shift));
    return Amount(value < 0 ? -units : units);
}

bool Amount::fitsDigits(int digits) const
{
    const __int128 whole = (m_units < 0 ? -m_units : m_units) / scale;
    return whole < pow10(digits);
}

Amount Amount::rounded(int decimals) const
{
    const __int128 step = pow10(8 - decimals);
    return Amount(divideHalfUp(m_units, step) * step);
}

Amount Amount::times(const Amount& other) const
{
    return Amount(divideHalfUp(static_cast<__int128>(m_units) * other.m_units, scale));
}

QString Amount::text(int minDecimals, int maxDecimals) const
{
    const __int128 units = rounded(maxDecimals).m_units;
    const __int128 magnitude = units < 0 ? -units : units;
    // Below 10^15 by construction, sums of a few thousand of them included.
    const qint64 whole = static_cast<qint64>(magnitude / scale);
    QString fraction = QString::number(static_cast<qint64>(magnitude % scale)).rightJustified(8, QLatin1Char('0'));
    fraction.truncate(maxDecimals);
    while (fraction.size() > minDecimals && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString t = QString::number(whole);
    if (!fraction.isEmpty())
        t += QLatin1Char('.') + fraction;
    return units < 0 ? QLatin1Char('-') + t : t;
}

} // namespace velinor::einvoice
