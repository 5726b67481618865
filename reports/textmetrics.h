#pragma once

#include "reports/report.h"

#include <QFont>
#include <QFontMetricsF>
#include <QStringList>

#include <array>
#include <vector>

class QPaintDevice;

namespace velinor::reports {

// The advances of one font, with a table for Latin-1 so that most texts are
// measured without shaping them. Measured on a device, or without one at
// `scale` times the font's size.
class FontAdvances {
public:
    FontAdvances(const QFont& font, QPaintDevice* device, double scale = 1);

    double advance(const QString& text) const;
    // The longest start of the text no wider than `width`, and its width.
    QString fitting(const QString& text, double width, double* fitted) const;

    double ascent() const { return m_ascent; }
    double descent() const { return m_descent; }
    double lineSpacing() const { return m_lineSpacing; }

private:
    QFontMetricsF m_metrics;
    double m_scale;
    std::array<double, 256> m_advance{};
    double m_ascent = 0, m_descent = 0, m_lineSpacing = 0;
};

// Text measured in points the same way for every device: the fonts' own
// unhinted advances, taken at a large size and scaled down, so that a
// preview, a printer and a PDF get the same lines.
class TextMetrics {
public:
    explicit TextMetrics(const std::vector<ReportFont>& fonts);

    double width(int font, const QString& text) const { return at(font).advance(text); }
    double lineSpacing(int font) const { return at(font).lineSpacing(); }
    // The text in lines no wider than `width`: broken at its own line
    // breaks and between words, and inside a word only when the word alone
    // is wider than that. Every character but the breaking spaces is kept.
    QStringList wrap(int font, const QString& text, double width) const;

private:
    const FontAdvances& at(int font) const;
    std::vector<FontAdvances> m_fonts;
};

// The report font as a QFont of its point size.
QFont qfont(const ReportFont& font);

} // namespace velinor::reports
