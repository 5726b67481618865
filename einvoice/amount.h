#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace velinor::einvoice {

// An exact decimal with eight places, for the numbers of an electronic
// invoice. The database keeps doubles; a double becomes an Amount through
// its 15-digit text, the number the user saw, so 1.15 x 3 stored as
// 3.4499999999999997 is 3.45 here. Rounding is half away from zero, the
// commercial "half up".
class Amount {
public:
    constexpr Amount() = default;
    static Amount fromCents(qint64 cents) { return Amount(cents * 1000000); }
    // nullopt for NaN, infinities and values beyond 99,999,999,999.
    static std::optional<Amount> fromDouble(double value);

    Amount rounded(int decimals) const;
    // this x other, rounded to eight places.
    Amount times(const Amount& other) const;
    qint64 cents() const { return rounded(2).m_units / 1000000; }
    bool isZero() const { return m_units == 0; }
    bool isNegative() const { return m_units < 0; }
    // Decimal point, no grouping, at least minDecimals places and at most
    // maxDecimals (rounded to them), trailing zeros beyond the minimum dropped.
    QString text(int minDecimals, int maxDecimals) const;

    Amount operator+(const Amount& o) const { return Amount(m_units + o.m_units); }
    Amount operator-(const Amount& o) const { return Amount(m_units - o.m_units); }
    Amount& operator+=(const Amount& o) { m_units += o.m_units; return *this; }
    auto operator<=>(const Amount&) const = default;

private:
    constexpr explicit Amount(qint64 units) : m_units(units) {}
    static constexpr qint64 scale = 100000000;
    qint64 m_units = 0;
};

} // namespace velinor::einvoice
