#pragma once

#include <QString>

#include <functional>

namespace velinor {

// A source of uniform draws in [0, 1).
using Draws = std::function<double()>;

// A generated record code: prefix, r1 * 999999 and r2 * 25 rounded half to
// even, with the code box's current text between the number and the letter.
// Codes are not checked for uniqueness; two may coincide.
QString recordCode(const QString& prefix, const QString& boxText);
QString recordCode(const QString& prefix, const QString& boxText, const Draws& draws);

// Tests make codes predictable; an empty function restores the clock-seeded one.
void setRecordCodeDraws(Draws draws);

} // namespace velinor
