#include "tools/esamina/svg_elementi.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace disegno {

std::string f(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.1f", v);
  return b;
}

std::string intero(double v) { return std::to_string(std::llround(v)); }

std::string xml(std::string_view t) {
  std::string r;
  for (const char c : t) {
    switch (c) {
      case '&':
        r += "&amp;";
        break;
      case '<':
        r += "&lt;";
        break;
      case '>':
        r += "&gt;";
        break;
      case '"':
        r += "&quot;";
        break;
      default:
        r += c;
    }
  }
  return r;
}

std::string testo(double x, double y, std::string_view t, const std::string& attributi) {
  return "<text x=\"" + f(x) + "\" y=\"" + f(y) + "\"" +
         (attributi.empty() ? "" : " " + attributi) + ">" + xml(t) + "</text>\n";
}

std::string linea(double x1, double y1, double x2, double y2, const std::string& attributi) {
  return "<line x1=\"" + f(x1) + "\" y1=\"" + f(y1) + "\" x2=\"" + f(x2) + "\" y2=\"" + f(y2) +
         "\" " + attributi + "/>\n";
}

std::string rettangolo(double x, double y, double w, double h, const std::string& attributi) {
  return "<rect x=\"" + f(x) + "\" y=\"" + f(y) + "\" width=\"" + f(std::max(w, 0.0)) +
         "\" height=\"" + f(std::max(h, 0.0)) + "\" " + attributi + "/>\n";
}

double passo_tondo(double minimo) {
  if (!(minimo > 0)) return 1;
  double p = std::pow(10.0, std::floor(std::log10(minimo)));
  for (double k : {1.0, 2.0, 5.0, 10.0})
    if (k * p >= minimo) return k * p;
  return 10 * p;
}

}  // namespace disegno
