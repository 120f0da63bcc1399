#include "print/PrintGeometry.h"

#include <QPagedPaintDevice>
#include <QPrinter>

#include <algorithm>
#include <climits>
#include <cmath>

TPrinterMetrics readPrinterMetrics(const QPrinter& printer)
{
    TPrinterMetrics m;
    const QRectF sheet = printer.paperRect(QPrinter::DevicePixel);
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    m.PhysicalWidth = qRound(sheet.width());
    m.PhysicalHeight = qRound(sheet.height());
    m.OffsetX = qRound(printable.left() - sheet.left());
    m.OffsetY = qRound(printable.top() - sheet.top());
    m.DpiX = printer.logicalDpiX();
    m.DpiY = printer.logicalDpiY();
    return m;
}

TPrinterMetrics readDeviceMetrics(const QPagedPaintDevice& device)
{
    if (const auto* printer = dynamic_cast<const QPrinter*>(&device))
        return readPrinterMetrics(*printer);
    TPrinterMetrics m;
    const QPageLayout layout = device.pageLayout();
    const int dpi = device.logicalDpiX();
    const QRect sheet = layout.fullRectPixels(dpi);
    const QRect printable = layout.paintRectPixels(dpi);
    m.PhysicalWidth = sheet.width();
    m.PhysicalHeight = sheet.height();
    m.OffsetX = printable.left() - sheet.left();
    m.OffsetY = printable.top() - sheet.top();
    m.DpiX = dpi;
    m.DpiY = device.logicalDpiY();
    return m;
}

namespace {

// Margins come straight from the settings file without a range check, so every product is
// worked out wide and only then brought back into int.
int clampToInt(qint64 v)
{
    return int(std::clamp<qint64>(v, INT_MIN, INT_MAX));
}

} // namespace

TPageGeometry pageGeometry(const TPrinterMetrics& metrics, const TMargins& margins)
{
    TPageGeometry g;
    const qint64 w = pixelsToTwips(metrics.PhysicalWidth, metrics.DpiX);
    const qint64 h = pixelsToTwips(metrics.PhysicalHeight, metrics.DpiY);
    g.PageRect = QRect(0, 0, int(w), int(h));
    const qint64 layoutW = w - (qint64(margins.Left) + margins.Right) * TwipsPerInch;
    const qint64 layoutH = h - (qint64(margins.Top) + margins.Bottom) * TwipsPerInch;
    // A rectangle without room stays empty rather than turning inside out; the caller refuses it.
    g.LayoutRect =
        QRect(0, 0, clampToInt(qMax<qint64>(0, layoutW)), clampToInt(qMax<qint64>(0, layoutH)));
    const qint64 left = qint64(margins.Left) * metrics.DpiX;
    const qint64 top = qint64(margins.Top) * metrics.DpiY;
    g.BodyOrigin = QPoint(clampToInt(left - metrics.OffsetX), clampToInt(top - metrics.OffsetY));
    // Header and footer are placed from the printable area's corner, not the sheet's, and the
    // footer keeps the top margin's distance from the bottom edge, so both sit half a top margin
    // away from their edge of the sheet.
    g.HeaderPos = QPoint(clampToInt(left), clampToInt(top / 2));
    g.FooterPos = QPoint(clampToInt(left), clampToInt(metrics.PhysicalHeight - top / 2));
    return g;
}

int pixelsToTwips(double pixels, int dpi)
{
    if (dpi <= 0)
        return 0;
    return int(std::llround(pixels * TwipsPerInch / dpi));
}

double twipsToPixels(int twips, int dpi)
{
    return double(twips) * dpi / TwipsPerInch;
}
