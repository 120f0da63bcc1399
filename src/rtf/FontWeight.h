#pragma once

#include <QFont>

// RTF knows a run as bold or not, nothing between. Semibold shows heavy on screen (and falls
// back to the bold face in families without a semibold one), so it counts as bold: the Bold
// mark, the Bold command and the saved file then agree on every weight, and a save never turns
// text the editor called plain into bold or the other way round.
constexpr int BoldFromWeight = QFont::DemiBold;

constexpr bool IsBoldWeight(int weight)
{
    return weight >= BoldFromWeight;
}
