#pragma once

// Budget against actual, month by month, for one account or a total: two bars a
// month, the budget in the section colour and the actual figure in a fixed dark
// blue, each outlined a shade darker so a pale colour still shows on the white.

#include "budget/BudgetFigures.h"

#include <QColor>

class QChart;

namespace velmora {

// A new chart with the legend shown; the caller owns it.
QChart* buildBudgetChart(const BudgetSeries& series, const QColor& budgetColour);

} // namespace velmora
