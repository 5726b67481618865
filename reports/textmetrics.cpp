#include "reports/textmetrics.h"

#include <algorithm>

namespace velinor::reports {

namespace {

// Pixels of the em the layout measures at; hinting is negligible there.
constexpr int referencePixels = 1000;

} // namespace

QFont qfont(const ReportFont& f)
{
    QFont font(f.family);
    font.setPointSizeF(f.pointSize);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    return font;
}

FontAdvances::FontAdvances(const QFont& font, QPaintDevice* device, double scale)
    : m_metrics(device ? QFontMetricsF(font, device) : QFontMetricsF(font)), m_scale(scale)
{
    for (int c = 0; c < 256; ++c)
        m_advance[static_cast<size_t>(c)] = m_metrics.horizontalAdvance(QChar(c)) * scale;
    m_ascent = m_metrics.ascent() * scale;
    m_descent = m_metrics.descent() * scale;
    m_lineSpacing = m_metrics.lineSpacing() * scale;
}

double FontAdvances::advance(const QString& text) const
{
    double width = 0;
    for (QChar c : text) {
        if (c.unicode() > 255)
            return m_metrics.horizontalAdvance(text) * m_scale;
        width += m_advance[c.unicode()];
    }
    return width;
}

QString FontAdvances::fitting(const QString& text, double width, double* fitted) const
{
    qsizetype lo = 0, hi = text.size();
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (advance(text.left(mid)) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    *fitted = advance(text.left(lo));
    return text.left(lo);
}

TextMetrics::TextMetrics(const std::vector<ReportFont>& fonts)
{
    m_fonts.reserve(fonts.size());
    for (const ReportFont& f : fonts) {
        QFont font = qfont(f);
        font.setPixelSize(referencePixels);
        font.setHintingPreference(QFont::PreferNoHinting);
        // At 72 points to the inch a point is a pixel.
        m_fonts.emplace_back(font, nullptr, f.pointSize / referencePixels);
    }
}

const FontAdvances& TextMetrics::at(int font) const
{
    return m_fonts.at(static_cast<size_t>(std::clamp<int>(font, 0, int(m_fonts.size()) - 1)));
}

QStringList TextMetrics::wrap(int font, const QString& text, double width) const
{
    const FontAdvances& f = at(font);
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        if (f.advance(paragraph) <= width) {
            lines << paragraph;
            continue;
        }
        QString line;
        for (QString word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString joined = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (f.advance(joined) <= width) {
                line = joined;
                continue;
            }
            if (!line.isEmpty())
                lines << line;
            while (f.advance(word) > width) {
                double fitted = 0;
                QString head = f.fitting(word, width, &fitted);
                if (head.isEmpty())
                    head = word.left(1); // a column narrower than one character
                lines << head;
                word.remove(0, head.size());
            }
            line = word;
        }
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

} // namespace velinor::reports
