#include "reports/reportpaint.h"

#include "reports/textmetrics.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace velinor::reports {

namespace {

// A font as the device sets it, with its advances.
struct MeasuredFont {
    MeasuredFont(const ReportFont& f, QPaintDevice* device) : font(qfont(f)), advances(font, device) {}
    double advance(const QString& text) const { return advances.advance(text); }

    QFont font;
    FontAdvances advances;
};

std::vector<MeasuredFont> measuredFonts(const ReportDocument& document, QPaintDevice* device)
{
    std::vector<MeasuredFont> fonts;
    fonts.reserve(document.fonts.size());
    for (const ReportFont& f : document.fonts)
        fonts.emplace_back(f, device);
    return fonts;
}

void paintItems(QPainter& painter, const ReportDocument& document, int page, double dpiX, double dpiY,
                QPointF origin, const std::vector<MeasuredFont>& fonts)
{
    const double fx = dpiX / 72.0, fy = dpiY / 72.0;
    auto map = [&](const QRectF& r) {
        return QRectF((r.x() - origin.x()) * fx, (r.y() - origin.y()) * fy, r.width() * fx, r.height() * fy);
    };

    QPen pen(Qt::black);
    pen.setWidthF(0.6 * fx);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    int currentFont = -1;

    for (const ReportItem& item : document.pages.at(static_cast<size_t>(page)).items) {
        const QRectF r = map(item.rect);
        switch (item.kind) {
        case ReportItem::Line:
            painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        case ReportItem::Box:
            painter.drawRect(r);
            break;
        case ReportItem::Text: {
            const MeasuredFont& f = fonts.at(item.font);
            if (currentFont != item.font) {
                painter.setFont(f.font);
                currentFont = item.font;
            }
            double width = f.advance(item.text);
            QString text = item.text;
            if (width > r.width() + 0.5) {
                // The layout wrapped text to fit its measures; what this
                // device sets wider, and a number too wide for its column,
                // takes the same font smaller, down to half. A number that
                // does not fit even so prints as "###", never as another
                // number; text is cut at the cell's edge, never moved.
                QFont smaller = f.font;
                double scale = r.width() / width;
                do {
                    smaller.setPointSizeF(f.font.pointSizeF() * std::max(0.5, scale));
                    width = QFontMetricsF(smaller, painter.device()).horizontalAdvance(text);
                    scale *= 0.95; // sizes do not scale advances exactly
                } while (width > r.width() + 0.5 && scale > 0.5);
                if (width > r.width() + 0.5 && item.shrink) {
                    text = QStringLiteral("###");
                    width = QFontMetricsF(smaller, painter.device()).horizontalAdvance(text);
                } else if (width > r.width() + 0.5) {
                    const FontAdvances small(smaller, painter.device());
                    text = small.fitting(item.text, r.width(), &width);
                }
                painter.setFont(smaller);
                currentFont = -1;
            }
            double x = r.left();
            if (item.align & Qt::AlignRight)
                x = r.right() - width;
            else if (item.align & Qt::AlignHCenter)
                x = r.left() + (r.width() - width) / 2;
            const double baseline = r.top() + (r.height() + f.advances.ascent() - f.advances.descent()) / 2;
            painter.drawText(QPointF(x, baseline), text);
            break;
        }
        }
    }
}

} // namespace

void paintPage(QPainter& painter, const ReportDocument& document, int page, double dpiX,
               double dpiY, QPointF origin)
{
    paintItems(painter, document, page, dpiX, dpiY, origin, measuredFonts(document, painter.device()));
}

bool paintReport(QPagedPaintDevice* device, const ReportDocument& document)
{
    device->setPageLayout(QPageLayout(QPageSize(document.pageSize, QPageSize::Point),
                                      QPageLayout::Portrait, QMarginsF()));
    const double dpiX = device->logicalDpiX(), dpiY = device->logicalDpiY();
    const QRectF paint = device->pageLayout().paintRect(QPageLayout::Point);

    QPainter painter;
    if (!painter.begin(device))
        return false;
    const std::vector<MeasuredFont> fonts = measuredFonts(document, device);
    for (int page = 0; page < document.pageCount(); ++page) {
        if (page > 0 && !device->newPage())
            return false;
        paintItems(painter, document, page, dpiX, dpiY, paint.topLeft(), fonts);
    }
    return painter.end();
}

} // namespace velinor::reports
