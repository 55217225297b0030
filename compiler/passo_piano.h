// How the per-metre plan goes from one point to the next: the compiler draws
// the plan with it, and decompila_scenario replays it to tell each metre's
// step from the bits of the point. Both must give the very same doubles, so
// the formulas live here once.
#pragma once

// The six classes of curve, digits 1 to 6 of a curve row: the curvature of
// a right-hand arc; a left-hand one takes the opposite sign.
inline constexpr double curvature_classi[6] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

// The two points before the next one, and the step from them. The formulas
// are the plan's bits: each bracketed sum first, then the addition to the
// previous coordinate.
struct passo_piano {
  double x1, y1, x2, y2;
  void dritto() {
    const double dx = x1 - x2;
    const double dy = y1 - y2;
    avanza(x1 + dx, y1 + dy);
  }
  // The direction (dx, dy) turned by k, towards positive x for a positive k,
  // without being normalised.
  void curva(double k) {
    const double dx = x1 - x2;
    const double dy = y1 - y2;
    avanza(x1 + (dy * k + dx), y1 + (dy - dx * k));
  }
  void avanza(double x, double y) {
    x2 = x1;
    y2 = y1;
    x1 = x;
    y1 = y;
  }
};
