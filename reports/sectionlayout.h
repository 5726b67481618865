#pragma once

// One section placed once, for the layout phase: long text wrapped inside
// its element's width, the element grown to hold its lines, and what stands
// below a grown element moved down as far as it must, across the whole
// width, so that a caption stays on the line of its value.

#include "reports/report.h"

namespace velinor::reports {

class TextMetrics;

struct ArrangedSection {
    std::vector<ReportItem> items; // tops from the section's top, in points
    std::vector<size_t> pageNumbers; // items whose text is a page number pattern
    double height = 0; // points, at least the section's own
};

// `texts` holds each element's text (shapes ignore theirs); a field without
// text prints nothing. `left` is the body's left edge on the paper, points.
ArrangedSection arrangeSection(const Section& section, const std::vector<QString>& texts,
                               const TextMetrics& metrics, int fontCount, double left);

} // namespace velinor::reports
