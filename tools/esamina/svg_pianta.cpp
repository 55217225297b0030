#include "tools/esamina/svg_pianta.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "compiler/numeri.h"
#include "tools/esamina/svg_elementi.h"

using namespace disegno;

namespace {

struct punto {
  double x, y;
};

std::optional<punto> punto_a(const piano_letto& p, int64_t m) {
  if (m < 0 || m > p.ultimo()) return std::nullopt;
  const auto i = static_cast<int32_t>(m);
  if (p.tipo(i, 0) == tipo_valore::vuoto || p.tipo(i, 1) == tipo_valore::vuoto) return std::nullopt;
  const punto q{p.valore(i, 0), p.valore(i, 1)};
  if (!std::isfinite(q.x) || !std::isfinite(q.y)) return std::nullopt;
  return q;
}

// Places text labels around points without overlapping earlier ones.
class etichettatore {
 public:
  struct riquadro {
    double x1, y1, x2, y2;
  };
  struct scelta {
    double x, y;
    std::string ancora;
  };

  explicit etichettatore(riquadro cornice) : cornice_(cornice) {}
  void occupa(const riquadro& r) { occupati_.push_back(r); }

  // The first free place around (px, py) for a text of font size fs; when
  // none is free, the first place if `sempre`, else nothing.
  std::optional<scelta> posa(double px, double py, std::string_view t, double fs, bool sempre) {
    struct candidato {
      double dx, dy;
      const char* ancora;
    };
    static const candidato candidati[] = {{8, -6, "start"}, {8, 14, "start"},   {-8, -6, "end"},
                                          {-8, 14, "end"},  {0, -11, "middle"}, {0, 21, "middle"}};
    const double largo = larghezza_testo(t, fs);
    for (int giro = 0; giro < 2; ++giro) {
      for (const candidato& c : candidati) {
        const double x = px + c.dx, y = py + c.dy;
        const double sinistra_testo = c.ancora[0] == 's'   ? x
                                      : c.ancora[0] == 'e' ? x - largo
                                                           : x - largo / 2;
        const riquadro r{sinistra_testo - 1, y - fs, sinistra_testo + largo + 1, y + 3};
        if (giro == 1 || libero(r)) {
          occupati_.push_back(r);
          return scelta{x, y, c.ancora};
        }
      }
      if (!sempre) return std::nullopt;
    }
    return std::nullopt;
  }

 private:
  // An estimate from the count of characters (UTF-8 continuation bytes
  // left out); capitals are wider than the average.
  static double larghezza_testo(std::string_view t, double fs) {
    double w = 0;
    for (const char c : t) {
      const auto b = static_cast<unsigned char>(c);
      if ((b & 0xC0) == 0x80) continue;
      w += (b >= 'A' && b <= 'Z') ? 0.72 : 0.6;
    }
    return w * fs;
  }
  bool libero(const riquadro& r) const {
    if (r.x1 < cornice_.x1 || r.x2 > cornice_.x2 || r.y1 < cornice_.y1 || r.y2 > cornice_.y2)
      return false;
    for (const riquadro& o : occupati_)
      if (r.x1 < o.x2 && o.x1 < r.x2 && r.y1 < o.y2 && o.y1 < r.y2) return false;
    return true;
  }

  riquadro cornice_;
  std::vector<riquadro> occupati_;
};

}  // namespace

void disegna_pianta(std::string& out, const scenario_letto& s, const descrizione& d,
                    double lunghezza, const cornice& c) {
  const double x0 = c.x, y0 = c.y, w = c.larghezza, h = c.altezza;
  out += "<g id=\"pianta\">\n";
  out += rettangolo(x0, y0, w, h, "fill=\"#fafaf7\" stroke=\"#bbbbbb\"");
  out += testo(x0 + 12, y0 + 24, "Pianta della linea", "font-size=\"15\" font-weight=\"bold\"");
  if (!d.piano.x_min) {
    out += testo(x0 + w / 2, y0 + h / 2,
                 "pianta non disponibile: manca il file della linea o è danneggiato",
                 "font-size=\"14\" text-anchor=\"middle\" fill=\"#888888\"");
    out += "</g>\n";
    return;
  }
  const piano_letto& p = s.punti;
  const double bordo = 50;
  const double dx = *d.piano.x_max - *d.piano.x_min, dy = *d.piano.y_max - *d.piano.y_min;
  double scala =
      std::min(dx > 0 ? (w - 2 * bordo) / dx : INFINITY, dy > 0 ? (h - 2 * bordo) / dy : INFINITY);
  if (!std::isfinite(scala)) scala = 1;
  const double cx = (*d.piano.x_min + *d.piano.x_max) / 2,
               cy = (*d.piano.y_min + *d.piano.y_max) / 2;
  const auto sx = [&](double x) { return x0 + w / 2 + (x - cx) * scala; };
  const auto sy = [&](double y) { return y0 + h / 2 - (y - cy) * scala; };  // north up

  // The track, one point every cell length (50 m): finer than a pixel at any
  // scale that fits a line of some kilometres. Beyond the line's end it is
  // drawn pale.
  const int64_t ultimo = p.ultimo();
  const auto tracciato = [&](int64_t da, int64_t a, const std::string& stile) {
    std::string tratto;
    for (int64_t m = da;; m = std::min<int64_t>(m + metri_cella, a)) {
      if (auto q = punto_a(p, m)) {
        if (!tratto.empty()) tratto += ' ';
        tratto += f(sx(q->x));
        tratto += ',';
        tratto += f(sy(q->y));
      } else if (!tratto.empty()) {
        out += "<polyline points=\"" + tratto + "\" " + stile + "/>\n";
        tratto.clear();
      }
      if (m >= a) break;
    }
    if (!tratto.empty()) out += "<polyline points=\"" + tratto + "\" " + stile + "/>\n";
  };
  const int64_t fine_linea = std::clamp<int64_t>(static_cast<int64_t>(lunghezza), 0, ultimo);
  tracciato(0, fine_linea,
            "fill=\"none\" stroke=\"#333333\" stroke-width=\"2.2\" stroke-linejoin=\"round\"");
  if (fine_linea < ultimo)
    tracciato(fine_linea, ultimo,
              "fill=\"none\" stroke=\"#bbbbbb\" stroke-width=\"1.5\" stroke-dasharray=\"4 3\"");

  // Labels go where they overlap nothing placed before: station names first,
  // each in the first free place around its point, then the kilometre marks,
  // which are left unlabelled where no place is free.
  etichettatore etichette({x0, y0, x0 + w, y0 + h});
  struct posto {
    double x, y;
    const stazione* st;
  };
  std::vector<posto> stazioni;
  for (const stazione& st : d.stazioni)
    if (auto q = punto_a(p, st.dati.progressiva)) {
      stazioni.push_back({sx(q->x), sy(q->y), &st});
      etichette.occupa({sx(q->x) - 5, sy(q->y) - 5, sx(q->x) + 5, sy(q->y) + 5});
    }
  std::string nomi;
  for (const posto& s : stazioni) {
    const etichettatore::scelta e = etichette.posa(s.x, s.y, s.st->nome, 12, true).value();
    nomi += testo(e.x, e.y, s.st->nome,
                  "text-anchor=\"" + e.ancora +
                      "\" font-size=\"12\" fill=\"#7f1d1d\" stroke=\"white\" " +
                      "stroke-width=\"3\" paint-order=\"stroke\"");
  }
  const double passo_km = passo_tondo(lunghezza / 1000 / 14);
  for (double km = passo_km; km * 1000 <= lunghezza; km += passo_km) {
    if (auto q = punto_a(p, static_cast<int64_t>(km * 1000))) {
      out += "<circle cx=\"" + f(sx(q->x)) + "\" cy=\"" + f(sy(q->y)) +
             "\" r=\"2\" fill=\"#888888\"/>\n";
      const std::string t = "km " + intero(km);
      if (auto e = etichette.posa(sx(q->x), sy(q->y), t, 10, false))
        out += testo(e->x, e->y, t,
                     "text-anchor=\"" + e->ancora + "\" font-size=\"10\" fill=\"#888888\"");
    }
  }
  out += "<g id=\"pianta-stazioni\">\n";
  for (const posto& s : stazioni)
    out += "<circle class=\"stazione-pianta\" cx=\"" + f(s.x) + "\" cy=\"" + f(s.y) +
           "\" r=\"4.5\" fill=\"#c62828\" stroke=\"white\" stroke-width=\"1.2\"/>\n";
  out += nomi + "</g>\n";

  // North arrow and scale bar.
  const double nx = x0 + w - 30, ny = y0 + 20;
  out += "<path d=\"M" + f(nx) + "," + f(ny) + " l-7,22 l7,-6 l7,6 z\" fill=\"#333333\"/>\n";
  out += testo(nx, ny + 38, "N", "font-size=\"13\" font-weight=\"bold\" text-anchor=\"middle\"");
  if (scala > 0 && std::isfinite(w / 6 / scala)) {
    const double barra_m = passo_tondo(w / 6 / scala);
    const double bx = x0 + 16, by = y0 + h - 18;
    out += rettangolo(bx, by - 4, barra_m * scala, 4, "fill=\"#333333\"");
    const std::string etichetta =
        barra_m >= 1000 ? intero(barra_m / 1000) + " km" : intero(barra_m) + " m";
    out += testo(bx + barra_m * scala + 8, by, etichetta, "font-size=\"11\"");
  }
  out += "</g>\n";
}
