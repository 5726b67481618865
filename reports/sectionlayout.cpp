#include "reports/sectionlayout.h"

#include "reports/textmetrics.h"

#include <algorithm>
#include <numeric>

namespace velinor::reports {

namespace {

constexpr double epsilon = 0.01;           // points
const double keepClear = pointsFromCm(0.1); // the least gap kept below a grown element
const double linePadding = pointsFromCm(0.2); // most of a cell's height kept around its lines

struct Box {
    double left = 0, top = 0, width = 0, height = 0;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
};

// Whether two elements share some of the width; a vertical rule counts as a
// hair wide.
bool shareWidth(const Box& a, const Box& b)
{
    const double hair = pointsFromCm(0.05);
    const double aLeft = a.width > 0 ? a.left : a.left - hair, aRight = a.width > 0 ? a.right() : a.left + hair;
    const double bLeft = b.width > 0 ? b.left : b.left - hair, bRight = b.width > 0 ? b.right() : b.left + hair;
    return std::min(aRight, bRight) - std::max(aLeft, bLeft) > epsilon;
}

bool isText(ElementKind kind)
{
    return kind == ElementKind::Label || kind == ElementKind::Field || kind == ElementKind::PageNumber;
}

// Frames and vertical rules stretch over what grows inside them.
bool stretches(const Element& e)
{
    return e.kind == ElementKind::Frame || (e.kind == ElementKind::Rule && e.width == 0);
}

} // namespace

ArrangedSection arrangeSection(const Section& section, const std::vector<QString>& texts,
                               const TextMetrics& metrics, int fontCount, double left)
{
    const size_t n = section.elements.size();
    const double sectionHeight = pointsFromCm(section.height);
    std::vector<Box> boxes(n);
    std::vector<QStringList> lines(n);
    std::vector<double> grow(n, 0.0), shift(n, 0.0);
    bool anyGrows = false;
    for (size_t i = 0; i < n; ++i) {
        const Element& e = section.elements[i];
        Box& b = boxes[i];
        b = {left + pointsFromCm(e.left), pointsFromCm(e.top), pointsFromCm(e.width), pointsFromCm(e.height)};
        if (!isText(e.kind) || texts[i].isEmpty())
            continue;
        const int font = std::clamp(e.font, 0, fontCount - 1);
        // Numbers are never broken: the painter sets one that is too wide smaller.
        const bool wraps = e.kind != ElementKind::PageNumber && e.format != FieldFormat::Number
                           && e.format != FieldFormat::Money;
        lines[i] = wraps ? metrics.wrap(font, texts[i], b.width) : QStringList{texts[i]};
        if (lines[i].size() > 1) {
            const double spacing = metrics.lineSpacing(font);
            const double block = double(lines[i].size()) * spacing;
            const double padding = std::clamp(b.height - spacing, 0.0, linePadding);
            grow[i] = std::max(0.0, block + padding - b.height);
            anyGrows = anyGrows || grow[i] > epsilon;
        }
    }

    double height = sectionHeight;
    if (anyGrows) {
        std::vector<size_t> order(n);
        std::iota(order.begin(), order.end(), size_t(0));
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return boxes[a].top != boxes[b].top ? boxes[a].top < boxes[b].top : boxes[a].bottom() < boxes[b].bottom();
        });
        auto newBottom = [&](size_t j) { return boxes[j].bottom() + shift[j] + grow[j]; };
        // Until nothing moves: a frame stretched moves what is below it.
        for (int pass = 0; pass < 8; ++pass) {
            bool moved = false;
            for (size_t i : order) {
                const Box& b = boxes[i];
                double s = 0;
                for (size_t j = 0; j < n; ++j)
                    if (j != i && boxes[j].bottom() <= b.top + epsilon)
                        s = std::max(s, newBottom(j) + std::min(b.top - boxes[j].bottom(), keepClear) - b.top);
                double g = grow[i];
                if (stretches(section.elements[i]))
                    for (size_t j = 0; j < n; ++j) {
                        const bool inside = j != i && boxes[j].top >= b.top - epsilon
                                            && boxes[j].bottom() <= b.bottom() + epsilon
                                            && (b.width == 0 || shareWidth(boxes[j], b));
                        if (inside)
                            g = std::max(g, newBottom(j) + (b.bottom() - boxes[j].bottom()) - (b.bottom() + s));
                    }
                if (std::abs(s - shift[i]) > epsilon || std::abs(g - grow[i]) > epsilon) {
                    shift[i] = s;
                    grow[i] = g;
                    moved = true;
                }
            }
            if (!moved)
                break;
        }
        for (size_t i = 0; i < n; ++i)
            height = std::max(height, newBottom(i) + std::min(sectionHeight - boxes[i].bottom(), keepClear));
        // Frames and rules down to the section's foot keep reaching it.
        for (size_t i = 0; i < n; ++i)
            if (stretches(section.elements[i]) && std::abs(boxes[i].bottom() - sectionHeight) < epsilon)
                grow[i] = std::max(grow[i], height - boxes[i].bottom() - shift[i]);
    }

    ArrangedSection out;
    out.height = height;
    for (size_t i = 0; i < n; ++i) {
        const Element& e = section.elements[i];
        const Box& b = boxes[i];
        ReportItem item;
        item.font = static_cast<quint8>(std::clamp(e.font, 0, fontCount - 1));
        item.align = e.align;
        item.shrink = e.format == FieldFormat::Number || e.format == FieldFormat::Money;
        switch (e.kind) {
        case ElementKind::Rule:
            item.kind = ReportItem::Line;
            item.rect = QRectF(b.left, b.top + shift[i], b.width, b.width > 0 ? 0 : b.height + grow[i]);
            out.items.push_back(item);
            continue;
        case ElementKind::Frame:
            item.kind = ReportItem::Box;
            item.rect = QRectF(b.left, b.top + shift[i], b.width, b.height + grow[i]);
            out.items.push_back(item);
            continue;
        default:
            break;
        }
        if (lines[i].isEmpty())
            continue;
        if (e.kind == ElementKind::PageNumber)
            out.pageNumbers.push_back(out.items.size());
        if (lines[i].size() == 1) {
            item.rect = QRectF(b.left, b.top + shift[i], b.width, b.height);
            item.text = lines[i].first();
            out.items.push_back(std::move(item));
            continue;
        }
        // The lines as a block in the middle of the grown element.
        const double spacing = metrics.lineSpacing(item.font);
        double top = b.top + shift[i] + (b.height + grow[i] - double(lines[i].size()) * spacing) / 2;
        for (const QString& line : lines[i]) {
            item.rect = QRectF(b.left, top, b.width, spacing);
            item.text = line;
            out.items.push_back(item);
            top += spacing;
        }
    }
    return out;
}

} // namespace velinor::reports
