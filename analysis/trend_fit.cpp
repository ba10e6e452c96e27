#include "analysis/trend_fit.h"

void TrendFit::Add(double x, double value)
{
    n += 1.0;
    sumX += x;
    sumY += value;
    sumXX += x * x;
    sumXY += x * value;
    const double det = sumXX * n - sumX * sumX;
    if (det != 0.0) {
        slope = (sumXY * n - sumX * sumY) / det;
        intercept = (sumY - sumX * slope) / n;
    } else {
        slope = 0.0;
    }
}
