#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace velinor::einvoice {

// An exact decimal with eight places, for the numbers of an electronic
// invoice, held in 128 bits: products and sums of the largest amounts the
// file carries cannot overflow. The database keeps doubles; a double becomes an Amount through
// its 15-digit text, the number the user saw, so 1.15 x 3 stored as
// 3.4499999999999997 is 3.45 here. Rounding is half away from zero, the
// commercial "half up".
class Amount {
public:
    constexpr Amount() = default;
    static Amount fromCents(qint64 cents) { return Amount(static_cast<__int128>(cents) * 1000000); }
    // nullopt for NaN, infinities and values of 10^15 and beyond; whether
    // a value fits its field is for fitsDigits().
    static std::optional<Amount> fromDouble(double value);
    // The value when a decimal of at most eight places and 15 digits reads
    // as exactly this double, as nearly every typed amount does; that
    // decimal is then the value's 15-digit text, found without writing it.
    static std::optional<Amount> fromShortDecimal(double value);
    // Whether the whole part has at most `digits` digits (the file's
    // amounts take 11, its quantities 12).
    bool fitsDigits(int digits) const;

    Amount rounded(int decimals) const;
    // this x other, rounded to eight places.
    Amount times(const Amount& other) const;
    qint64 cents() const { return static_cast<qint64>(rounded(2).m_units / 1000000); }
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
    constexpr explicit Amount(__int128 units) : m_units(units) {}
    static constexpr qint64 scale = 100000000;
    __int128 m_units = 0;
};

} // namespace velinor::einvoice
