#pragma once

#include <QPoint>
#include <QRect>

class QPagedPaintDevice;
class QPrinter;

constexpr int TwipsPerInch = 1440;

// What the printer tells us about the sheet, all in device pixels.
struct TPrinterMetrics
{
    int PhysicalWidth = 0; // the whole sheet
    int PhysicalHeight = 0;
    int OffsetX = 0; // from the sheet's corner to the printable area's corner
    int OffsetY = 0;
    int DpiX = 0;
    int DpiY = 0;
};

struct TMargins
{
    int Left = 1, Right = 1, Top = 1, Bottom = 1; // whole inches
};

// Page and layout rectangles are twips with their corner at (0, 0); the body origin is in
// pixels from the printable area's corner.
struct TPageGeometry
{
    QRect PageRect;
    QRect LayoutRect;
    QPoint BodyOrigin;
    QPoint HeaderPos;
    QPoint FooterPos;
};

TPrinterMetrics readPrinterMetrics(const QPrinter& printer);
// The same for any paged device: a printer as above, anything else (a PDF writer) by its page
// layout, whose margins stand for the printable area.
TPrinterMetrics readDeviceMetrics(const QPagedPaintDevice& device);
TPageGeometry pageGeometry(const TPrinterMetrics& metrics, const TMargins& margins);

// Device units to twips are rounded to the nearest twip.
int pixelsToTwips(double pixels, int dpi);
double twipsToPixels(int twips, int dpi);
