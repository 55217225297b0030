// The pieces every part of the picture is drawn with: SVG elements as text,
// numbers with one decimal, escaped texts, round axis steps.
#pragma once

#include <string>
#include <string_view>

namespace disegno {

// A coordinate with one decimal: a tenth of a pixel is below what shows.
std::string f(double v);
// A whole number for a label or an attribute.
std::string intero(double v);
// A text made safe for an attribute or an element of the document.
std::string xml(std::string_view t);

std::string testo(double x, double y, std::string_view t, const std::string& attributi = "");
std::string linea(double x1, double y1, double x2, double y2, const std::string& attributi);
std::string rettangolo(double x, double y, double w, double h, const std::string& attributi);

// A round step for an axis: the smallest of 1, 2, 5 times a power of ten
// that is at least `minimo`.
double passo_tondo(double minimo);

}  // namespace disegno
