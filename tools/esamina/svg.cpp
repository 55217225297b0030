#include "tools/esamina/svg.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "compiler/numeri.h"
#include "tools/esamina/svg_elementi.h"
#include "tools/esamina/svg_pianta.h"
#include "tools/esamina/testo.h"

using namespace disegno;

namespace {

// The sheet: the plan on top, the profile bands under it, all sharing the
// left margin where the bands carry their names.
constexpr double larghezza = 1500;
constexpr double margine = 40;
constexpr double sinistra = 160;  // left edge of the profile bands
constexpr double destra = larghezza - margine;
constexpr double pianta_alto = 80;
constexpr double pianta_altezza = 560;
constexpr double nomi_alto = pianta_alto + pianta_altezza + 30;
constexpr double nomi_altezza = 190;
constexpr double banda_velocita = nomi_alto + nomi_altezza;
constexpr double altezza_velocita = 130;
constexpr double banda_pendenza = banda_velocita + altezza_velocita + 18;
constexpr double altezza_pendenza = 130;
constexpr double banda_aderenza = banda_pendenza + altezza_pendenza + 18;
constexpr double altezza_aderenza = 80;
constexpr double righe_alto = banda_aderenza + altezza_aderenza + 18;
constexpr double riga_altezza = 22;

const char* const colore_velocita = "#1f5fbf";
const char* const colore_pendenza = "#9c4f1c";
const char* const colore_aderenza = "#2e8b57";

// Distance along the run to the x of the profile bands.
struct asse_distanza {
  double fine_m;
  double x(double m) const {
    return sinistra + std::clamp(m, 0.0, fine_m) / fine_m * (destra - sinistra);
  }
};

// How far the picture runs: the line's length, stretched to the last object
// if one stands beyond it, and never past the last cell.
double distanza_disegnata(const scenario_letto& s, const descrizione& d) {
  const double traccia = static_cast<double>(s.celle.size()) * metri_cella;
  double fine = d.generale && d.generale->lunghezza > 0 ? d.generale->lunghezza : traccia;
  for (const oggetto& o : d.oggetti)
    if (o.dati.tipo != tipo_cella::libera)
      fine = std::max(fine, static_cast<double>(o.posizione) + metri_cella);
  for (const stazione& st : d.stazioni)
    fine = std::max(fine, static_cast<double>(st.dati.fine) + metri_cella);
  if (traccia > 0) fine = std::min(fine, traccia);
  return fine > 0 ? fine : 1000;
}

// --- The profile bands ---

// A band's vertical scale: values basso..alto over its height, values
// outside the range held at its edges.
struct scala_banda {
  double cima, altezza, basso, alto;
  double y(double v) const {
    return cima + altezza - (std::clamp(v, basso, alto) - basso) / (alto - basso) * altezza;
  }
};

// A band: a frame, its name and unit in the left margin, value labels and
// grid lines every `passo`.
void banda(std::string& out, const scala_banda& s, double passo, const std::string& nome,
           const std::string& unita, const char* colore) {
  out += rettangolo(sinistra, s.cima, destra - sinistra, s.altezza,
                    "fill=\"none\" stroke=\"#bbbbbb\"");
  const std::string stile = "text-anchor=\"end\" fill=\"" + std::string(colore) + "\"";
  const double mezzo = s.cima + s.altezza / 2;
  out += testo(sinistra - 40, mezzo - 2, nome, "font-size=\"13\" font-weight=\"bold\" " + stile);
  if (!unita.empty()) out += testo(sinistra - 40, mezzo + 14, unita, "font-size=\"11\" " + stile);
  for (double v = s.basso; v <= s.alto + 1e-9; v += passo) {
    out += linea(sinistra, s.y(v), destra, s.y(v), "stroke=\"#e4e4e4\"");
    out += testo(sinistra - 6, s.y(v) + 4, intero(v),
                 "font-size=\"11\" text-anchor=\"end\" fill=\"#555555\"");
  }
}

// A step line over the cells' runs, filled down to the level `base`.
void gradini(std::string& out, const asse_distanza& ax, const std::vector<tratto>& tratti,
             const scala_banda& s, double base, const char* colore, const std::string& id) {
  std::string d;
  double ultimo_x = sinistra;
  for (const tratto& t : tratti) {
    const double da = static_cast<double>(t.da_m());
    if (da >= ax.fine_m) break;
    const double a = std::min(static_cast<double>(t.a_m()), ax.fine_m);
    if (d.empty()) {
      d += 'M';
      d += f(ax.x(da));
      d += ',';
      d += f(s.y(base));
    }
    d += " V";
    d += f(s.y(t.valore));
    d += " H";
    d += f(ax.x(a));
    ultimo_x = ax.x(a);
  }
  if (d.empty()) return;
  out += "<path id=\"" + id + "\" d=\"" + d + " V" + f(s.y(base)) + " H" + f(ultimo_x) +
         "\" fill=\"" + colore + "\" fill-opacity=\"0.12\" stroke=\"" + colore +
         "\" stroke-width=\"1.6\"/>\n";
}

// Lowest and highest value over the runs that start before `fine_m`.
std::pair<int, int> estremi(const std::vector<tratto>& tratti, double fine_m) {
  std::optional<int> lo, hi;
  for (const tratto& t : tratti) {
    if (static_cast<double>(t.da_m()) >= fine_m) break;
    lo = std::min(lo.value_or(t.valore), t.valore);
    hi = std::max(hi.value_or(t.valore), t.valore);
  }
  return {lo.value_or(0), hi.value_or(0)};
}

// The scales come from the values along the line itself: the cells past its
// end, which the compiler leaves at zero, would flatten everything else.
void bande_profilo(std::string& out, const descrizione& d, const asse_distanza& ax,
                   double lunghezza) {
  const double fine_valori = std::min(lunghezza, ax.fine_m);
  {
    const int hi = estremi(d.profilo.velocita, fine_valori).second;
    const double passo = passo_tondo(std::max(hi, 20) / 4.0);
    const scala_banda s{banda_velocita, altezza_velocita, 0, std::ceil((hi + 1) / passo) * passo};
    banda(out, s, passo, "Velocità max", "km/h", colore_velocita);
    gradini(out, ax, d.profilo.velocita, s, 0, colore_velocita, "profilo-velocita");
  }
  {
    const auto [lo, hi] = estremi(d.profilo.pendenza, fine_valori);
    const int ampiezza = std::max({std::abs(lo), std::abs(hi), 4});
    const double passo = passo_tondo(ampiezza / 2.0);
    const double massimo = std::ceil((ampiezza + 1) / passo) * passo;
    const scala_banda s{banda_pendenza, altezza_pendenza, -massimo, massimo};
    banda(out, s, passo, "Pendenza", "per mille", colore_pendenza);
    out += linea(sinistra, s.y(0), destra, s.y(0), "stroke=\"#999999\"");
    gradini(out, ax, d.profilo.pendenza, s, 0, colore_pendenza, "profilo-pendenza");
  }
  {
    const auto [lo, hi] = estremi(d.profilo.aderenza, fine_valori);
    const double passo = passo_tondo(std::max(hi - lo, 10) / 2.0);
    const scala_banda s{banda_aderenza, altezza_aderenza, std::floor((lo - 1) / passo) * passo,
                        std::ceil((hi + 1) / passo) * passo};
    banda(out, s, passo, "Aderenza", "", colore_aderenza);
    gradini(out, ax, d.profilo.aderenza, s, s.basso, colore_aderenza, "profilo-aderenza");
  }
}

// --- The rows of marks ---

enum riga_segni : int {
  r_stazioni,
  r_segnali,
  r_cartelli,
  r_indicatori,
  r_codici,
  r_rallentamenti,
  r_montagne,
  r_ripetizione,
  n_righe
};

const char* const nomi_righe[n_righe] = {
    "Stazioni",     "Segnali",       "Cartelli", "Indicatori v. max",
    "Punti codice", "Rallentamenti", "Montagne", "Ripetizione segnali"};

double centro_riga(int r) { return righe_alto + r * riga_altezza + riga_altezza / 2; }

std::string dati_cella(const oggetto& o) {
  return "data-cella=\"" + std::to_string(o.indice) + "\" data-m=\"" + std::to_string(o.posizione) +
         "\"";
}

void segni(std::string& out, const descrizione& d, const asse_distanza& ax) {
  for (int r = 0; r < n_righe; ++r) {
    const double y = righe_alto + r * riga_altezza;
    if (r % 2 == 0)
      out += rettangolo(sinistra, y, destra - sinistra, riga_altezza, "fill=\"#f4f4f4\"");
    out += testo(sinistra - 8, y + riga_altezza / 2 + 4, nomi_righe[r],
                 "font-size=\"12\" text-anchor=\"end\" fill=\"#333333\"");
  }
  const auto dentro = [&](double m) { return m >= 0 && m <= ax.fine_m; };

  out += "<g id=\"segni-stazioni\">\n";
  for (const stazione& st : d.stazioni) {
    const double y = centro_riga(r_stazioni);
    out += rettangolo(ax.x(st.dati.inizio), y - 3, ax.x(st.dati.fine) - ax.x(st.dati.inizio), 6,
                      "fill=\"#c62828\" fill-opacity=\"0.35\"");
    if (dentro(st.dati.progressiva)) {
      const double x = ax.x(st.dati.progressiva);
      out += "<path class=\"stazione\" data-voce=\"" + std::to_string(st.voce) + "\" d=\"M" + f(x) +
             "," + f(y - 7) + " l-5,10 h10 z\" fill=\"#c62828\"/>\n";
    }
  }
  out += "</g>\n";

  std::string segnali, cartelli, indicatori, codici, rallentamenti;
  // Slowdown starts, paired with the end that follows each.
  std::optional<double> inizio_rallentamento;
  for (const oggetto& o : d.oggetti) {
    const double m = static_cast<double>(o.posizione);
    if (!dentro(m)) continue;
    const double x = ax.x(m);
    switch (o.dati.tipo) {
      case tipo_cella::segnale: {
        const double y = centro_riga(r_segnali);
        segnali += "<g class=\"segnale\" " + dati_cella(o) + ">" +
                   linea(x, y + 7, x, y - 2, "stroke=\"#222222\" stroke-width=\"1.2\"") +
                   "<circle cx=\"" + f(x) + "\" cy=\"" + f(y - 4) +
                   "\" r=\"3\" fill=\"#d32f2f\" stroke=\"#222222\" stroke-width=\"0.6\"/></g>\n";
        break;
      }
      case tipo_cella::cartello: {
        const double y = centro_riga(r_cartelli);
        cartelli += "<rect class=\"cartello\" " + dati_cella(o) + " x=\"" + f(x - 3) + "\" y=\"" +
                    f(y - 5) + "\" width=\"6\" height=\"10\" fill=\"#00796b\"/>\n";
        break;
      }
      case tipo_cella::indicatore_v_max: {
        const double y = centro_riga(r_indicatori);
        indicatori += "<path class=\"indicatore\" " + dati_cella(o) + " d=\"M" + f(x) + "," +
                      f(y - 6) + " l6,6 l-6,6 l-6,-6 z\" fill=\"#ef6c00\"/>\n";
        break;
      }
      case tipo_cella::punto_codice:
      case tipo_cella::punto_senza_codice: {
        const double y = centro_riga(r_codici);
        const bool con_codice = o.dati.tipo == tipo_cella::punto_codice;
        const char* colore = !con_codice ? "#9e9e9e" : o.dati.dato1 >= 270 ? "#2e7d32" : "#f9a825";
        codici += "<rect class=\"" +
                  std::string(con_codice ? "punto-codice" : "punto-senza-codice") + "\" " +
                  dati_cella(o) + " x=\"" + f(x - 1.5) + "\" y=\"" + f(y - 7) +
                  "\" width=\"3\" height=\"14\" fill=\"" + colore + "\"/>\n";
        break;
      }
      case tipo_cella::inizio_rallentamento:
        inizio_rallentamento = m;
        break;
      case tipo_cella::fine_rallentamento: {
        const double y = centro_riga(r_rallentamenti);
        const double da = inizio_rallentamento.value_or(m);
        rallentamenti += "<rect class=\"rallentamento\" " + dati_cella(o) + " x=\"" + f(ax.x(da)) +
                         "\" y=\"" + f(y - 5) + "\" width=\"" + f(std::max(x - ax.x(da), 2.0)) +
                         "\" height=\"10\" fill=\"#6a1b9a\"/>\n";
        inizio_rallentamento.reset();
        break;
      }
      case tipo_cella::avviso_rallentamento: {
        const double y = centro_riga(r_rallentamenti);
        rallentamenti +=
            "<path class=\"avviso\" " + dati_cella(o) + " d=\"M" + f(x) + "," + f(y - 6) +
            " l6,11 h-12 z\" fill=\"none\" stroke=\"#6a1b9a\" stroke-width=\"1.4\"/>\n";
        break;
      }
      default:
        break;
    }
  }
  out += "<g id=\"segni-segnali\">\n" + segnali + "</g>\n";
  out += "<g id=\"segni-cartelli\">\n" + cartelli + "</g>\n";
  out += "<g id=\"segni-indicatori\">\n" + indicatori + "</g>\n";
  out += "<g id=\"segni-codici\">\n" + codici + "</g>\n";
  out += "<g id=\"segni-rallentamenti\">\n" + rallentamenti + "</g>\n";

  out += "<g id=\"segni-montagne\">\n";
  const char* colori_montagna[] = {"#8d6e63", "#5d4037", "#3e2723"};
  for (const tratto& t : d.profilo.montagna) {
    const double da = static_cast<double>(t.da_m());
    if (da >= ax.fine_m) break;
    const double a = static_cast<double>(t.a_m());
    const double y = centro_riga(r_montagne);
    const char* colore = colori_montagna[std::clamp(t.valore, 1, 3) - 1];
    out += rettangolo(ax.x(da), y - 5, std::max(ax.x(a) - ax.x(da), 1.5), 10,
                      "class=\"montagna\" data-tipo=\"" + std::to_string(t.valore) + "\" fill=\"" +
                          colore + "\"");
  }
  out += "</g>\n";

  if (d.generale && d.generale->ripetizione_fine != 0) {
    const valori_generali& g = *d.generale;
    const double y = centro_riga(r_ripetizione);
    const double x1 = ax.x(g.ripetizione_inizio), x2 = ax.x(g.ripetizione_fine);
    out +=
        rettangolo(x1, y - 5, x2 - x1, 10,
                   "id=\"ripetizione\" fill=\"#1565c0\" fill-opacity=\"0.3\" stroke=\"#1565c0\"");
    out += testo((x1 + x2) / 2, y + 4, std::to_string(g.ripetizione_codici) + " codici",
                 "font-size=\"10\" text-anchor=\"middle\" fill=\"#0d47a1\"");
  }
}

// Station names above the bands, spread apart where stations stand close,
// each tied to its station's line by a short leader.
void nomi_stazioni(std::string& out, const descrizione& d, const asse_distanza& ax) {
  struct nome {
    double x, etichetta;
    const stazione* st;
  };
  std::vector<nome> nomi;
  for (const stazione& st : d.stazioni)
    if (st.dati.progressiva >= 0 && st.dati.progressiva <= ax.fine_m)
      nomi.push_back({ax.x(st.dati.progressiva), 0, &st});
  std::sort(nomi.begin(), nomi.end(), [](const nome& a, const nome& b) { return a.x < b.x; });
  constexpr double spazio = 13;
  for (size_t i = 0; i < nomi.size(); ++i)
    nomi[i].etichetta = i == 0 ? nomi[i].x : std::max(nomi[i].x, nomi[i - 1].etichetta + spazio);
  for (size_t i = nomi.size(); i-- > 0;) {
    const double limite = i + 1 == nomi.size() ? destra : nomi[i + 1].etichetta - spazio;
    nomi[i].etichetta = std::min(nomi[i].etichetta, limite);
  }
  out += "<g id=\"nomi-stazioni\">\n";
  const double base = nomi_alto + nomi_altezza - 22;
  for (const nome& n : nomi) {
    out += linea(n.x, righe_alto + int{n_righe} * riga_altezza, n.x, nomi_alto + nomi_altezza,
                 "stroke=\"#c62828\" stroke-opacity=\"0.35\" stroke-dasharray=\"3 3\"");
    out += linea(n.etichetta, base + 4, n.x, nomi_alto + nomi_altezza,
                 "stroke=\"#c62828\" stroke-opacity=\"0.6\"");
    out += "<text class=\"nome-stazione\" x=\"" + f(n.etichetta + 4) + "\" y=\"" + f(base) +
           "\" transform=\"rotate(-90 " + f(n.etichetta + 4) + " " + f(base) +
           ")\" font-size=\"11\" fill=\"#7f1d1d\">" + xml(n.st->nome) + "</text>\n";
  }
  out += "</g>\n";
}

void asse(std::string& out, const asse_distanza& ax, double alto, double fondo) {
  const double km = ax.fine_m / 1000;
  const double passo = passo_tondo(km / ((destra - sinistra) / 80));
  const double mantissa = passo / std::pow(10.0, std::floor(std::log10(passo)));
  const double minore = passo / (std::lround(mantissa) == 2 ? 2 : 5);
  out += "<g id=\"asse-km\">\n";
  out += linea(sinistra, fondo, destra, fondo, "stroke=\"#333333\"");
  for (double k = 0; k <= km + 1e-9; k += minore)
    out += linea(ax.x(k * 1000), fondo, ax.x(k * 1000), fondo + 4, "stroke=\"#333333\"");
  for (double k = 0; k <= km + 1e-9; k += passo) {
    const double x = ax.x(k * 1000);
    out += linea(x, alto, x, fondo, "stroke=\"#000000\" stroke-opacity=\"0.08\"");
    out += linea(x, fondo, x, fondo + 8, "stroke=\"#333333\"");
    out += testo(x, fondo + 22, intero(k), "font-size=\"12\" text-anchor=\"middle\"");
  }
  out += testo(destra, fondo + 40, "distanza dall'inizio della corsa (km)",
               "font-size=\"12\" text-anchor=\"end\" fill=\"#555555\"");
  out += "</g>\n";
}

}  // namespace

std::string sommario_scenario(const scenario_letto& s, const descrizione& d) {
  size_t segnali = 0, cartelli = 0, indicatori = 0, codici = 0;
  for (const oggetto& o : d.oggetti) {
    segnali += o.dati.tipo == tipo_cella::segnale;
    cartelli += o.dati.tipo == tipo_cella::cartello;
    indicatori += o.dati.tipo == tipo_cella::indicatore_v_max;
    codici +=
        o.dati.tipo == tipo_cella::punto_codice || o.dati.tipo == tipo_cella::punto_senza_codice;
  }
  std::string sommario =
      d.generale ? "linea di " + chilometri(d.generale->lunghezza) + " km · " : "";
  sommario += std::to_string(d.stazioni.size()) + " stazioni · " + std::to_string(segnali) +
              " segnali · " + std::to_string(cartelli) + " cartelli · " +
              std::to_string(indicatori) + " indicatori di velocità · " + std::to_string(codici) +
              " punti codice";
  if (!s.problemi.empty())
    sommario += " · " + std::to_string(s.problemi.size()) + " problemi nei file";
  return sommario;
}

std::string disegno_svg(const scenario_letto& s, const descrizione& d) {
  const asse_distanza ax{distanza_disegnata(s, d)};
  const double fondo = righe_alto + int{n_righe} * riga_altezza;
  const double altezza = fondo + 60;

  std::string out;
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + intero(larghezza) + "\" height=\"" +
         intero(altezza) + "\" viewBox=\"0 0 " + f(larghezza) + " " + f(altezza) +
         "\" font-family=\"DejaVu Sans, Verdana, Arial, sans-serif\">\n";
  out += rettangolo(0, 0, larghezza, altezza, "fill=\"white\"");

  const std::string nome = d.generale ? d.generale->nome_scenario : da_1252(s.nome_scenario);
  const std::string treno = d.generale ? d.generale->numero_treno : da_1252(s.numero_treno);
  out += testo(margine, 36, "Scenario " + nome + " · treno " + treno,
               "font-size=\"22\" font-weight=\"bold\"");
  const std::string sommario = sommario_scenario(s, d);
  out += testo(margine, 60, sommario, "font-size=\"13\" fill=\"#555555\"");

  const double lunghezza =
      d.generale && d.generale->lunghezza > 0 ? d.generale->lunghezza : ax.fine_m;
  disegna_pianta(out, s, d, lunghezza,
                 {margine, pianta_alto, larghezza - 2 * margine, pianta_altezza});
  out += testo(margine, nomi_alto + 14, "Profilo lungo la corsa",
               "font-size=\"15\" font-weight=\"bold\"");
  asse(out, ax, banda_velocita, fondo);
  nomi_stazioni(out, d, ax);
  bande_profilo(out, d, ax, lunghezza);
  segni(out, d, ax);
  out += "</svg>\n";
  return out;
}
