#include "print/PrintGeometry.h"

#include <gtest/gtest.h>

#include <climits>

TEST(PrintGeometry, PlacesBodyHeaderAndFooterFromTheMargins)
{
    // Letter at 600 dpi with the printable area a quarter inch in from the sheet's corner.
    const TPrinterMetrics letter{5100, 6600, 150, 150, 600, 600};
    const TPageGeometry g = pageGeometry(letter, {1, 1, 2, 1});
    EXPECT_EQ(g.PageRect, QRect(0, 0, 12240, 15840));
    EXPECT_EQ(g.LayoutRect, QRect(0, 0, 9360, 11520));
    // The body is counted from the sheet's edge, so the printable area's offset comes off.
    EXPECT_EQ(g.BodyOrigin, QPoint(600 - 150, 1200 - 150));
    // Header and footer are counted from the printable area's corner, and the footer keeps
    // half the top margin from the bottom.
    EXPECT_EQ(g.HeaderPos, QPoint(600, 600));
    EXPECT_EQ(g.FooterPos, QPoint(600, 6600 - 600));

    // With different resolutions across and down, each direction uses its own.
    const TPrinterMetrics tall{5100, 13200, 50, 100, 600, 1200};
    const TPageGeometry t = pageGeometry(tall, {1, 1, 1, 1});
    EXPECT_EQ(t.PageRect, QRect(0, 0, 12240, 15840));
    EXPECT_EQ(t.BodyOrigin, QPoint(600 - 50, 1200 - 100));
    EXPECT_EQ(t.HeaderPos, QPoint(600, 600));
    EXPECT_EQ(t.FooterPos, QPoint(600, 13200 - 600));
}

TEST(PrintGeometry, MarginsBeyondTheSheetLeaveAnEmptyBodyWithoutOverflow)
{
    const TPrinterMetrics letter{5100, 6600, 0, 0, 600, 600};
    const TPageGeometry full = pageGeometry(letter, {4, 5, 6, 5});
    EXPECT_EQ(full.LayoutRect.width(), 0);
    EXPECT_EQ(full.LayoutRect.height(), 0);
    // Settings values are not range-checked; absurd ones must not wrap around into a body.
    const TPageGeometry huge = pageGeometry(letter, {INT_MAX, INT_MAX, INT_MAX, INT_MAX});
    EXPECT_EQ(huge.LayoutRect.width(), 0);
    EXPECT_EQ(huge.LayoutRect.height(), 0);
}

TEST(PrintGeometry, ConvertsBetweenPixelsAndTwips)
{
    EXPECT_EQ(pixelsToTwips(600, 600), 1440);
    EXPECT_EQ(pixelsToTwips(1, 600), 2);    // 2.4 rounds down
    EXPECT_EQ(pixelsToTwips(1.25, 600), 3); // 3.0
    EXPECT_EQ(pixelsToTwips(100, 0), 0);    // a device without a resolution measures nothing
    EXPECT_DOUBLE_EQ(twipsToPixels(1440, 300), 300);
}
