#pragma once

// Least-squares straight line value = slope * x + intercept through the
// samples seen so far, kept as running sums so an update costs the same
// however many samples came before.
struct TrendFit {
    double sumX = 0.0;
    double sumY = 0.0;
    double sumXY = 0.0;
    double sumXX = 0.0;
    double n = 0.0;
    double slope = 0.0;
    double intercept = 0.0;

    // Adds the sample (x, value). While all samples share one x (always so
    // for the first) the line is undetermined: the slope is 0 and the
    // intercept keeps its previous value.
    void Add(double x, double value);
    // The line's value at x.
    double At(double x) const { return x * slope + intercept; }

    bool operator==(const TrendFit&) const = default;
};
