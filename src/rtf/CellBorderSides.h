#pragma once

#include <QTextFormat>

namespace rtf {

// A table cell's border properties in the order RTF lists the sides (top, left, bottom, right),
// so that reading and writing a cell's borders walk the same sides.
struct TCellBorderSide
{
    int width;
    int style;
    int brush;
};

inline constexpr TCellBorderSide CellBorderSides[] = {
    {QTextFormat::TableCellTopBorder, QTextFormat::TableCellTopBorderStyle,
     QTextFormat::TableCellTopBorderBrush},
    {QTextFormat::TableCellLeftBorder, QTextFormat::TableCellLeftBorderStyle,
     QTextFormat::TableCellLeftBorderBrush},
    {QTextFormat::TableCellBottomBorder, QTextFormat::TableCellBottomBorderStyle,
     QTextFormat::TableCellBottomBorderBrush},
    {QTextFormat::TableCellRightBorder, QTextFormat::TableCellRightBorderStyle,
     QTextFormat::TableCellRightBorderBrush},
};

} // namespace rtf
