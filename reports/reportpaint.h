#pragma once

#include "reports/report.h"

#include <QPointF>

class QPagedPaintDevice;
class QPainter;

namespace velinor::reports {

// Paints the laid-out pages on a preview, a printer or a PDF writer, one
// device page per report page, at the device's resolution. Text is drawn as
// text. The device is given the report's paper size first. False when the
// device cannot be painted on (a file that cannot be written, say).
bool paintReport(QPagedPaintDevice* device, const ReportDocument& document);

// One page on a painter that is already active on a device of that
// resolution; `origin` is the device's top left corner in points from the
// paper's top left corner.
void paintPage(QPainter& painter, const ReportDocument& document, int page, double dpiX,
               double dpiY, QPointF origin = {});

} // namespace velinor::reports
