#include "tools/decompila/ricava.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "compiler/avviso_rallentamento.h"
#include "compiler/chilometri_linea.h"
#include "compiler/formato.h"
#include "compiler/nomi_scenario.h"
#include "compiler/numeri.h"
#include "compiler/passo_piano.h"
#include "tools/decompila/completamento.h"

namespace {

using righe = std::string;

// Right-aligned in `larghezza` characters; a longer value keeps every digit.
std::string a_destra(int64_t v, size_t larghezza) {
  std::string s = std::to_string(v);
  if (s.size() < larghezza) s.insert(0, larghezza - s.size(), ' ');
  return s;
}

void riga(righe& r, std::string_view testo) {
  r.append(testo);
  r.append("\r\n");
}

// A row of the run source: each value right-aligned in its column.
std::string colonne(std::string_view parola, std::initializer_list<std::pair<int64_t, size_t>> c) {
  std::string r(parola);
  r += ',';
  bool primo = true;
  for (const auto& [v, larghezza] : c) {
    if (!primo) r += ',';
    primo = false;
    r += a_destra(v, larghezza);
  }
  return r;
}

// A row of the line source: two blanks before every value.
std::string valori(std::string_view parola, std::initializer_list<std::optional<int64_t>> v) {
  std::string r(parola);
  for (const auto& x : v) {
    r += ",  ";
    if (x) r += std::to_string(*x);
  }
  return r;
}

// Floor division and its remainder, so that q * d + r gives v back for any sign.
int64_t quoziente(int64_t v, int64_t d) { return v / d - ((v % d != 0 && (v < 0) != (d < 0)) ? 1 : 0); }

bool spazio(char c) { return c == ' ' || c == '\t'; }

// A text as the item reader gives it back: plain when it can be, in quotes
// when it holds a comma, a line end or blanks at its ends. A text that holds
// a quote and needs quoting cannot be written, in any form: a plain item
// ends at the first comma or line end, loses its outer blanks, and is read
// as quoted when it starts with a quote; a quoted item ends at the first
// quote after the opening one. So no source gives such a text, and only a
// file changed by hand holds one: it is named as not coming back.
std::optional<std::string> testo_sorgente(const std::string& t) {
  const bool da_citare = t.find_first_of(",\r\n") != std::string::npos ||
                         (!t.empty() && (spazio(t.front()) || spazio(t.back()) || t.front() == '"'));
  if (!da_citare) return t;
  if (t.find('"') != std::string::npos) return std::nullopt;
  return '"' + t + '"';
}

// A name that stands in a comment: nothing that ends an item or starts a quote.
std::string per_commento(std::string_view nome) {
  std::string r(nome);
  for (char& c : r)
    if (c == ',' || c == '"' || c == '\r' || c == '\n' || c == '[' || c == ']') c = '_';
  return r;
}

struct contesto {
  const scenario_letto& s;
  std::vector<problema>& problemi;
  // The cells as the rows left them: the header slots as before the codes.
  const std::vector<cella>& celle;
  void tracciato(size_t cella_n, std::string testo) const {
    problemi.push_back({s.file.tracciato, cella_n * byte_cella, std::move(testo)});
  }
  void tabella(int voce, std::string testo) const {
    problemi.push_back({s.file.tabella, s.inizio_voce[static_cast<size_t>(voce)], std::move(testo)});
  }
  void linea(std::optional<size_t> byte, std::string testo) const {
    problemi.push_back({s.file.linea, byte, std::move(testo)});
  }
};

// --- Line source ---

// The three segments as progressive_ordina leaves them, from rows read into
// entries 81, 82, 83 (tre, due, uno).
using terna = std::array<int32_t, 3>;  // inizio, fine, progressiva
std::array<terna, 3> ordina_progressive(const std::array<terna, 3>& letti) {
  const terna& T = letti[0];
  const terna& D = letti[1];
  const terna& U = letti[2];
  std::array<terna, 3> r{};
  const int64_t somma = int64_t{T[0]} + D[0] + U[0];
  if (somma != 0) {
    const int32_t t = T[0], d = D[0], u = U[0];
    if (t > d && t > u)
      r = d > u ? std::array{T, D, U} : u > d ? std::array{T, U, D} : std::array{T, U, D};
    else if (d > t && d > u)
      r = t > u ? std::array{D, T, U} : u > t ? std::array{D, U, T} : std::array{D, U, T};
    else if (u > t && u > d)
      r = t > d ? std::array{U, T, D} : d > t ? std::array{U, D, T} : std::array{U, D, T};
    else
      r = {};
  } else if (U[1] > 0) {
    r = {U, D, T};
  } else if (D[1] > 0) {
    r = {D, T, U};
  } else if (T[1] > 0) {
    r = {T, D, U};
  }
  for (terna& x : r)
    if (x[2] == 1)
      x[1] = static_cast<int32_t>(static_cast<uint32_t>(x[1]) + uint32_t{scarto_codice_uno});
  return r;
}

// The rows tre, due, uno that give the three segments as stored: each
// stored segment back to its value as read, then every order of the rows
// tried until one is put in the stored order.
std::optional<std::array<terna, 3>> progressive_lette(const std::array<terna, 3>& salvate) {
  std::array<terna, 3> base = salvate;
  for (terna& x : base)
    if (x[2] == 1)
      x[1] = static_cast<int32_t>(static_cast<uint32_t>(x[1]) - uint32_t{scarto_codice_uno});
  std::array<int, 3> ordine = {0, 1, 2};
  do {
    const std::array<terna, 3> prova = {base[ordine[0]], base[ordine[1]], base[ordine[2]]};
    if (ordina_progressive(prova) == salvate) return prova;
  } while (std::next_permutation(ordine.begin(), ordine.end()));
  // All three cleared: a source without them gives that too.
  if (salvate == std::array<terna, 3>{}) return std::array<terna, 3>{};
  return std::nullopt;
}

void generale_linea(const contesto& x, righe& r, int32_t L) {
  const auto& t = x.s.tabella;
  riga(r, "[generale]");
  riga(r, "lunghezza percorso,    " + std::to_string(L));
  std::array<terna, 3> salvate;
  for (int i = 0; i < 3; ++i) {
    const voce_corsa& v = t[static_cast<size_t>(voce_tabella::primo_segmento + i)];
    salvate[static_cast<size_t>(i)] = {v.inizio, v.fine, v.progressiva};
  }
  std::array<terna, 3> lette{};
  if (const auto p = progressive_lette(salvate))
    lette = *p;
  else
    x.tabella(voce_tabella::primo_segmento,
              "le tre progressive chilometriche non sono in un ordine che il compilatore dia");
  const char* nomi[] = {"tre", "due", "uno"};
  for (int i = 2; i >= 0; --i) {
    const terna& v = lette[static_cast<size_t>(i)];
    riga(r, std::string("progressiva chilometrica ") + nomi[i] + ",    " + std::to_string(v[0]) +
                ",    " + std::to_string(v[1]) + ",    " + std::to_string(v[2]));
  }
  const voce_corsa& sc = t[voce_tabella::scenario];
  riga(r, "sfondo uno,    " + std::to_string(sc.inizio));
  riga(r, "sfondo due,    " + std::to_string(sc.progressiva));
  riga(r, "sfondo tre,    " + std::to_string(sc.fine));
  const voce_corsa& tr = t[voce_tabella::treno];
  const int32_t codici = tr.progressiva == 4 ? 4 : 9;
  const bool coerente = tr.inizio % 50 == 0 && tr.fine % 50 == 0 &&
                        (tr.fine == 0 ? tr.progressiva == 0 : tr.progressiva == codici);
  if (!coerente)
    x.tabella(voce_tabella::treno,
              "la ripetizione dei segnali (" + std::to_string(tr.inizio) + ", " +
                  std::to_string(tr.fine) + ", " + std::to_string(tr.progressiva) +
                  " codici) non viene da una riga del sorgente");
  riga(r, "ripetizione segnali " + std::to_string(codici) + " codici,    " +
              std::to_string(tr.inizio) + ",    " + std::to_string(tr.fine));
}

// The plan's steps: straight where the straight step gives the point's bits,
// otherwise the one of the twelve curvatures that does.
struct arco {
  int64_t primo, ultimo;  // points of the arc
  int classe;             // 0..5: digits 1..6
  bool sinistra;
};

bool stessi_bit(double a, double b) { return bit_doppio(a) == bit_doppio(b); }

std::vector<arco> archi_del_piano(const contesto& x) {
  std::vector<arco> archi;
  const piano_letto& p = x.s.punti;
  const int32_t ultimo = p.ultimo();
  const auto byte_di = [&](int64_t m) -> std::optional<size_t> {
    // Where the compiler puts the first coordinate of metre m.
    return static_cast<size_t>(4 * std::min<int64_t>(m, 2) + 10 * std::max<int64_t>(0, m - 2));
  };
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int64_t m = 0;
  int attuale = -1;  // index into the twelve of the arc in course, -1 straight
  bool guasto = false;
  p.percorri([&](uint16_t tx, double vx, uint16_t ty, double vy) {
    const int64_t q = m++;
    if (guasto) return;
    // An arc that runs past the end of the plan fills its last two metres too.
    uint16_t atteso = tipo_al_metro(q, ultimo);
    if (atteso == tipo_valore::vuoto && tx == tipo_valore::doppio && attuale >= 0 &&
        !archi.empty() && archi.back().ultimo == q - 1)
      atteso = tipo_valore::doppio;
    if (tx != atteso || ty != atteso) {
      x.linea(byte_di(q), "il metro " + std::to_string(q) +
                              " non ha il tipo di valore che il compilatore gli dà");
      guasto = true;
      return;
    }
    if (q <= 1) {
      if (vx != 0 || vy != static_cast<double>(q)) {
        x.linea(byte_di(q), "il punto " + std::to_string(q) + " non è quello d'inizio (0, " +
                                std::to_string(q) + ")");
        guasto = true;
      }
      x2 = x1, y2 = y1, x1 = vx, y1 = vy;
      return;
    }
    if (atteso != tipo_valore::doppio) return;
    int trovata = -2;
    passo_piano dritto{x1, y1, x2, y2};
    dritto.dritto();
    if (stessi_bit(vx, dritto.x1) && stessi_bit(vy, dritto.y1)) {
      trovata = -1;
    } else {
      const auto prova = [&](int i) {
        passo_piano p{x1, y1, x2, y2};
        p.curva(i < 6 ? curvature_classi[i] : -curvature_classi[i - 6]);
        return stessi_bit(vx, p.x1) && stessi_bit(vy, p.y1);
      };
      if (attuale >= 0 && prova(attuale)) {
        trovata = attuale;
      } else {
        for (int i = 0; i < 12 && trovata == -2; ++i)
          if (prova(i)) trovata = i;
      }
    }
    if (trovata == -2) {
      x.linea(byte_di(q), "il punto del metro " + std::to_string(q) +
                              " non segue dai due prima né in rettilineo né in curva");
      guasto = true;
      return;
    }
    if (trovata == -1 && q > int64_t{ultimo} - 2) {
      x.linea(byte_di(q), "il metro " + std::to_string(q) +
                              " va in rettilineo oltre dove il compilatore si ferma");
      guasto = true;
      return;
    }
    if (trovata >= 0) {
      if (trovata == attuale && !archi.empty() && archi.back().ultimo == q - 1)
        archi.back().ultimo = q;
      else
        archi.push_back({q, q, trovata % 6, trovata >= 6});
    }
    attuale = trovata;
    x2 = x1, y2 = y1, x1 = vx, y1 = vy;
  });
  return archi;
}

// Cells where a value in force (a byte of the cell) changes: a row at each,
// the first at 0. The fill stops short of the last three cells.
template <typename F, typename S>
void righe_in_vigore(const std::vector<cella>& celle, F&& valore, S&& scrivi) {
  const int64_t n = static_cast<int64_t>(celle.size()) - 1;
  const int64_t fino = n - 3;
  int precedente = 0;
  for (int64_t i = 0; i <= fino; ++i) {
    const int v = valore(celle[static_cast<size_t>(i)]);
    if (i == 0 || v != precedente) scrivi(i, v);
    precedente = v;
  }
  // Rows repeated at the last position the check lets through each fill
  // one cell more: that is how the last three cells get a value.
  int64_t ultima_piena = -1;
  for (int64_t i = std::max<int64_t>(n - 2, 0); i <= n; ++i)
    if (valore(celle[static_cast<size_t>(i)]) != 0) ultima_piena = i;
  for (int64_t i = std::max<int64_t>(n - 2, 0); i <= ultima_piena; ++i)
    scrivi(n - 2, valore(celle[static_cast<size_t>(i)]));
}

// Mountain spans. Each row writes its kind over the cells it covers, so a
// later row hides an earlier one, and puts a marker on every 4th free cell
// from its own first, which stays whatever row comes later. The rows are
// rebuilt in two steps: first the markers that no span of the values can
// have put, each chain of them by a row of value 0; then one row per run of
// equal values, in position order, which writes the values over them.
struct riga_montagna {
  int64_t primo, ultimo;  // cells
  int valore;             // the byte it leaves
  bool marca;
};

void montagne(const contesto& x, righe& r) {
  const auto& celle = x.celle;
  const int64_t n = static_cast<int64_t>(celle.size());
  const auto marcatore = [&](int64_t i) {
    return i >= 0 && i < n && celle[static_cast<size_t>(i)].tipo == tipo_cella::marca_montagna;
  };
  // A cell whose marker, if a span put one, an object has taken since.
  const auto coperta = [&](int64_t i) {
    return i >= 0 && i < n && !libera(celle[static_cast<size_t>(i)]);
  };
  // Whether a span from `primo` to `ultimo` with markers leaves them as they are.
  const auto marca_giusta = [&](int64_t primo, int64_t ultimo) {
    bool una = false;
    for (int64_t i = primo + 3; i <= ultimo; i += 4) {
      if (!marcatore(i) && !coperta(i)) return false;
      una = una || marcatore(i);
    }
    return una;
  };
  std::vector<bool> spiegato(static_cast<size_t>(n), false);
  std::vector<riga_montagna> valori;
  // A row starts no later than two cells before the last. A run in the last
  // two starts there instead, before the rows that write those two cells'
  // own values (of value 0 where they have none).
  const int64_t ultimo_inizio = n - 3;
  std::vector<riga_montagna> in_coda;
  for (int64_t a = 0; a < n;) {
    const uint8_t v = celle[static_cast<size_t>(a)].montagna;
    int64_t b = a;
    while (b + 1 < n && celle[static_cast<size_t>(b + 1)].montagna == v) ++b;
    if (v != 0 && a > ultimo_inizio) {
      in_coda.push_back({ultimo_inizio, b, v, false});
      for (int64_t i = ultimo_inizio; i < a; ++i)
        if (celle[static_cast<size_t>(i)].montagna == 0) valori.push_back({i, i, 0, false});
    } else if (v != 0) {
      const bool marca = marca_giusta(a, b);
      if (marca)
        for (int64_t i = a + 3; i <= b; i += 4) spiegato[static_cast<size_t>(i)] = true;
      valori.push_back({a, b, v, marca});
    }
    a = b + 1;
  }
  std::sort(valori.begin(), valori.end(),
            [](const riga_montagna& p, const riga_montagna& q) { return p.primo < q.primo; });
  std::vector<riga_montagna> tutte;
  for (int64_t i = 0; i < n; ++i) {
    if (!marcatore(i) || spiegato[static_cast<size_t>(i)]) continue;
    // A chain from this marker on, every 4th cell, as far as markers go.
    int64_t ultimo = i;
    for (int64_t j = i + 4; marcatore(j) || coperta(j); j += 4)
      if (marcatore(j)) ultimo = j;
    for (int64_t j = i; j <= ultimo; j += 4) spiegato[static_cast<size_t>(j)] = true;
    tutte.push_back({i - 3, ultimo, 0, true});
  }
  tutte.insert(tutte.end(), in_coda.begin(), in_coda.end());
  tutte.insert(tutte.end(), valori.begin(), valori.end());

  // A row that starts at most 150 m after the previous one's end is drawn
  // joined to it, kind 3 whatever it says. Where that is not the kind to
  // leave, an empty span goes between them: it covers no cell, and its end
  // (at 0, or far enough before the row's start) is the one the row is
  // measured from.
  std::optional<int64_t> fine_prima;
  int contate = 0;
  const auto scrivi = [&](int64_t inizio, int64_t fine, int64_t tipo) {
    if (++contate == montagne_massime + 1)
      x.tracciato(static_cast<size_t>(std::max<int64_t>(inizio / 50, 0)),
                  "più di " + std::to_string(montagne_massime) + " tratti di montagna");
    riga(r, "montagna,   " + std::to_string(inizio) + ",  " + std::to_string(fine) + ",  " +
                std::to_string(tipo));
    fine_prima = fine;
  };
  for (const riga_montagna& m : tutte) {
    const int64_t inizio = 50 * m.primo;
    const int64_t fine = 50 * (m.ultimo + 1);
    bool unita = fine_prima && inizio - *fine_prima <= 150;
    if (unita && m.valore != 3) {
      scrivi(0, inizio > 150 ? 0 : inizio - 200, 0);
      unita = false;
    }
    // The kind as a row writes it: above 10 it asks for markers, and the
    // byte keeps its low 8 bits.
    int64_t tipo = unita ? 1 : m.valore;
    if (!m.marca && tipo > 10) tipo -= 256;
    if (m.marca) tipo += tipo == 0 ? 266 : 10;
    scrivi(inizio, fine, tipo);
  }
}

void indicatori(const contesto& x, righe& r) {
  const auto& celle = x.celle;
  for (size_t i = 0; i < celle.size(); ++i) {
    const cella& c = celle[i];
    if (c.tipo != tipo_cella::indicatore_v_max) continue;
    const int16_t d[3] = {c.dato1, c.dato2, c.dato3};
    int64_t s[3], e[3];
    bool altro_lato = false;
    for (int k = 0; k < 3; ++k) {
      s[k] = 5 * quoziente(d[k], 100);
      e[k] = 5 * (d[k] - 100 * quoziente(d[k], 100));
      if (e[k] != 0) altro_lato = true;
    }
    const int64_t strisce = c.dato4 / 10;
    const int64_t strisced = c.dato4 % 10;
    const auto lato = [&](int k) { return altro_lato ? std::optional<int64_t>(e[k]) : std::nullopt; };
    riga(r, valori("indicatori_vmax", {50 * (static_cast<int64_t>(i) - 1), s[0], s[1], s[2], strisce,
                                       lato(0), lato(1), lato(2), strisced}));
  }
}

void cartelli(const contesto& x, righe& r) {
  std::map<int, size_t, std::greater<>> per_voce;  // entry -> cell, first board first
  for (size_t i = 0; i < x.celle.size(); ++i) {
    const cella& c = x.celle[i];
    if (c.tipo != tipo_cella::cartello) continue;
    if (c.dato1 < voce_tabella::prima_stazione || c.dato1 > voce_tabella::primo_cartello ||
        !per_voce.emplace(c.dato1, i).second) {
      x.tracciato(i, "il cartello della cella " + std::to_string(i) + " rimanda alla voce " +
                         std::to_string(c.dato1) + ", che nessun cartello del sorgente avrebbe");
      continue;
    }
  }
  int atteso = voce_tabella::primo_cartello;
  for (const auto& [voce, i] : per_voce) {
    if (voce != atteso)
      x.tracciato(i, "i cartelli non prendono le voci dalla " +
                         std::to_string(voce_tabella::primo_cartello) +
                         " in giù una dopo l'altra: manca la voce " + std::to_string(atteso));
    atteso = voce - 1;
    const std::string& testo = x.s.tabella[static_cast<size_t>(voce)].nome;
    auto t = testo_sorgente(testo);
    if (!t) {
      x.tabella(voce, "il testo della voce " + std::to_string(voce) +
                          " ha virgolette e va citato: non si scrive in un sorgente");
      t = "";
    }
    riga(r, "cartello_indicatore,  " + std::to_string(50 * (static_cast<int64_t>(i) - 1)) + ",   " +
                *t);
  }
}

std::string sorgente_linea(const contesto& x, bool con_linea, int32_t L) {
  righe r;
  riga(r, "-- sorgente della linea ricavato da " + per_commento(x.s.file.linea) + " " +
              per_commento(x.s.file.tabella) + " " + per_commento(x.s.file.tracciato) + " --");
  generale_linea(x, r, L);
  riga(r, "[curve]");
  if (con_linea) {
    for (const arco& a : archi_del_piano(x))
      riga(r, std::string("curva") + (a.sinistra ? "s" : "d") + std::to_string(a.classe + 1) +
                  ",  " + std::to_string(a.primo - 1) + ",  " +
                  std::to_string(a.ultimo - a.primo + 1));
  }
  riga(r, "[pendenze]");
  righe_in_vigore(
      x.celle, [](const cella& c) { return static_cast<int>(c.pendenza); },
      [&](int64_t i, int v) {
        riga(r, "pendenza,  " + std::to_string(50 * i) + ",   " + std::to_string(v - 100));
      });
  riga(r, "[montagne]");
  montagne(x, r);
  riga(r, "[cartelli]");
  indicatori(x, r);
  riga(r, "[indicazioni]");
  cartelli(x, r);
  riga(r, "[fine]");
  return r;
}

// --- Run source ---

void generale_corsa(const contesto& x, righe& r) {
  const voce_corsa& l = x.s.tabella[voce_tabella::lunghezza];
  const voce_corsa& t = x.s.tabella[voce_tabella::treno];
  riga(r, "[generale]");
  riga(r, "numero vetture,    " + std::to_string(l.progressiva));
  riga(r, "percentuale massa frenata,    " + std::to_string(l.inizio));
  riga(r, "sabbia,    " + std::to_string(t.intero1));
  riga(r, "orologio,    " + std::to_string(t.intero3) + "               " +
              std::to_string(t.intero4) + "            " + std::to_string(t.intero5) + " ");
}

// A station or signal row and the approach marks (cell, value) it writes
// over whatever the cell holds.
struct riga_con_segni {
  std::string testo;
  std::vector<std::pair<int64_t, uint8_t>> segni;
};

std::vector<riga_con_segni> stazioni(const contesto& x) {
  const auto& t = x.s.tabella;
  std::vector<riga_con_segni> righe_stazioni;
  // Stations end where the board texts begin: with the table full there is
  // no empty entry between them.
  int primo_testo = voce_tabella::primo_cartello;
  for (const cella& c : x.celle)
    if (c.tipo == tipo_cella::cartello && c.dato1 >= voce_tabella::prima_stazione)
      primo_testo = std::min<int>(primo_testo, c.dato1);
  int ultima_stazione = 0;
  for (int k = voce_tabella::prima_stazione; k < primo_testo; ++k) {
    const voce_corsa& v = t[static_cast<size_t>(k)];
    if (v.tipo == 0 && v.inizio == 0 && v.fine == 0 && v.progressiva == 0 && v.nome.empty() &&
        v.byte1 == 0 && v.intero1 == 0 && v.intero2 == 0 && v.intero3 == 0 && v.intero4 == 0 &&
        v.intero5 == 0 && v.byte2 == 0 && v.byte3 == 0 && v.byte4 == 0 && v.byte5 == 0 &&
        v.orario == 0)
      break;
    ultima_stazione = k;
    const int64_t p = v.progressiva;
    int64_t lunghezza = 0;
    int64_t campo6 = v.byte4;
    bool esatta = true;
    if (v.tipo == 5 || v.tipo == 6) {
      lunghezza = p - v.inizio;
      esatta = v.fine == p + 150;
      campo6 = 0;
    } else if (v.tipo == 7 || v.tipo == 8) {
      lunghezza = p - v.inizio;
      esatta = v.fine == p + lunghezza;
      campo6 = 0;
    } else {
      lunghezza = 2 * (p - v.inizio);
      const int64_t oltre = v.fine - (p + lunghezza / 2);
      if (k == voce_tabella::prima_stazione) {
        if (v.byte4 != 0) esatta = false;
        campo6 = oltre == 50 ? 1 : 0;
        esatta = esatta && (oltre == 0 || oltre == 50);
      } else {
        esatta = oltre == (v.byte4 != 0 ? 50 : 0);
      }
    }
    if (!esatta || lunghezza % 100 != 0 || p % 50 != 0 ||
        (v.byte5 != 0 && (lunghezza < 600 || k == voce_tabella::prima_stazione)))
      x.tabella(k, "la stazione della voce " + std::to_string(k) +
                       " ha un'area che nessuna riga del sorgente dà");
    auto nome = testo_sorgente(v.nome);
    if (!nome) {
      x.tabella(k, "il nome della stazione della voce " + std::to_string(k) +
                       " ha virgolette e va citato: non si scrive in un sorgente");
      nome = "";
    }
    const int64_t o = v.orario;
    const int64_t ore = o / 3600, minuti = (o % 3600) / 60, secondi = o % 60;
    riga_con_segni riga_stazione{
        colonne("stazione", {{p, 8}, {v.tipo, 3}, {lunghezza, 5}, {v.byte1, 3}, {v.byte5, 2},
                             {campo6, 2}, {v.intero1, 3}, {v.intero2, 1}, {v.byte2, 1},
                             {v.intero3, 3}, {v.intero4, 1}, {v.intero5, 1}, {v.byte3, 5},
                             {ore, 4}, {minuti, 2}, {secondi, 2}}) +
            ", " + *nome,
        {}};
    // A stop's marks, the four cells before the end of its area.
    if (v.tipo < 25 && v.tipo != 5 && v.tipo != 6)
      for (int j = 1; j <= 4; ++j)
        if (const int64_t c = int64_t{v.fine} / 50 - j - 1; c > 1)
          riga_stazione.segni.push_back({c, static_cast<uint8_t>(80 + j)});
    righe_stazioni.push_back(std::move(riga_stazione));
  }
  for (int k = ultima_stazione + 1; k < primo_testo; ++k) {
    const voce_corsa& v = t[static_cast<size_t>(k)];
    if (v.tipo != 0 || v.inizio != 0 || v.fine != 0 || v.progressiva != 0 || v.orario != 0) {
      x.tabella(k, "la voce " + std::to_string(k) +
                       " sta oltre l'ultima stazione ma non è vuota");
      break;
    }
  }
  return righe_stazioni;
}

// Which end cell each start cell has. A start and its end hold the same
// speed, code and second value, and nothing else ties them: slowdowns may
// lie inside one another or cross. Any pairing of equal values gives the
// same cells, so each end goes to the nearest free start before it (after
// it, where its row had a negative length); a start left without one was so
// short that it covered its own end.
std::map<int64_t, int64_t> fini_dei_rallentamenti(const std::vector<cella>& celle) {
  using valori = std::tuple<int16_t, int16_t, int16_t>;
  std::map<valori, std::vector<int64_t>> aperti;  // starts not yet paired
  std::map<valori, std::vector<int64_t>> in_attesa;  // ends with no start before them
  std::map<int64_t, int64_t> fine;
  for (int64_t i = 0; i < static_cast<int64_t>(celle.size()); ++i) {
    const cella& c = celle[static_cast<size_t>(i)];
    const valori v{c.dato1, c.dato2, c.dato3};
    if (c.tipo == tipo_cella::inizio_rallentamento) {
      fine[i] = i;
      std::vector<int64_t>& attese = in_attesa[v];
      if (attese.empty()) {
        aperti[v].push_back(i);
      } else {
        fine[i] = attese.front();
        attese.erase(attese.begin());
      }
    } else if (c.tipo == tipo_cella::fine_rallentamento) {
      std::vector<int64_t>& a = aperti[v];
      if (a.empty()) {
        in_attesa[v].push_back(i);
      } else {
        fine[a.back()] = i;
        a.pop_back();
      }
    }
  }
  return fine;
}

// Where a slowdown's row puts its warning board and its marks: the board
// (when the start lies past 1500 m) 1200 m before the start, in the next cell
// as the start is, and the marks in the four cells before the one the board
// position itself rounds to, 1 next to it.
struct posti_avviso {
  bool avviso;
  int64_t cella_avviso;
  int64_t primo_segno;
};

posti_avviso posti_di(int64_t inizio) {
  return {inizio > inizio_con_avviso, indice_cella(inizio - distanza_avviso, 1),
          indice_cella(inizio - distanza_avviso, 0)};
}

// The start a row gives a slowdown that starts in cell s, whether it has its
// marks, and its last value. Positions on 50 m give the board 24 cells
// before the start and the marks just before it. Others round otherwise,
// each half to the even cell: a start in cell 31 has its board only from
// 1501 m; a start halfway between two multiples of 50 m, in an even cell,
// leaves a free cell between the board and its marks. A start whose board
// and marks show one of these is written so; marks already claimed by
// another slowdown are not its own.
struct inizio_rallentamento {
  int64_t inizio;
  bool segni;
  int64_t valore;  // the row's last value
};

inizio_rallentamento inizio_del_rallentamento(const std::vector<cella>& celle, int64_t s,
                                              std::vector<bool>& segni_presi) {
  const cella& c = celle[static_cast<size_t>(s)];
  // The marks number themselves in their second value too when the row's
  // last value is not 0, even one the other cells keep as 0 (65536).
  const auto segni_a = [&](const posti_avviso& p, bool numerati) {
    if (!p.avviso || p.primo_segno - 3 < 0) return false;
    for (int64_t i = 0; i < 4; ++i) {
      const size_t k = static_cast<size_t>(p.primo_segno - i);
      const cella& m = celle[k];
      if (segni_presi[k] || m.tipo != tipo_cella::segno_avviso || m.dato1 != i + 1 ||
          m.dato2 != (numerati ? i + 1 : 0))
        return false;
    }
    return true;
  };
  // Every start that falls in cell s has its board in the same cell.
  const int64_t cella_avviso = posti_di(50 * (s - 1)).cella_avviso;
  const bool avviso = cella_avviso >= 0 && celle[static_cast<size_t>(cella_avviso)].tipo ==
                                               tipo_cella::avviso_rallentamento;
  std::vector<int64_t> candidati = {50 * (s - 1)};
  if (avviso && s == indice_cella(inizio_con_avviso, 1)) candidati = {inizio_con_avviso + 1};
  if (s % 2 == 0) candidati.push_back(50 * (s - 2) + 25);
  for (const int64_t inizio : candidati) {
    const posti_avviso p = posti_di(inizio);
    if (p.avviso != avviso || (avviso && p.cella_avviso != cella_avviso)) continue;
    for (const bool numerati : {c.dato2 != 0, true}) {
      if (!segni_a(p, numerati)) continue;
      for (int64_t i = 0; i < 4; ++i) segni_presi[static_cast<size_t>(p.primo_segno - i)] = true;
      return {inizio, true, numerati && c.dato2 == 0 ? 65536 : c.dato2};
    }
  }
  return {candidati.front(), false, c.dato2};
}

void rallentamenti(const contesto& x, righe& r) {
  const auto& celle = x.celle;
  std::vector<bool> segni_presi(celle.size(), false);
  for (const auto& [s, e] : fini_dei_rallentamenti(celle)) {
    const cella& c = celle[static_cast<size_t>(s)];
    const inizio_rallentamento i = inizio_del_rallentamento(celle, s, segni_presi);
    // The end cell is the start's offset by the length, whatever the start.
    const int64_t lunghezza = 50 * (e - 1) - i.inizio;
    riga(r, colonne("rallentamento", {{i.inizio, 8}, {c.dato1, 6}, {lunghezza, 6}, {c.dato3, 4},
                                      {i.segni ? 1 : 0, 2}, {i.valore, 4}}));
  }
}

// The order of the station and signal rows. Each writes its approach marks
// over what is there, so where several write one cell the one whose mark is
// left came after the others. Stations keep the order of their entries;
// otherwise, and where the marks cannot tell, stations come first and
// signals by position. Rows 0..n_stazioni-1 are the stations.
std::vector<size_t> ordine_dei_segni(const std::vector<cella>& celle,
                                     const std::vector<riga_con_segni>& righe_, size_t n_stazioni) {
  const size_t n = righe_.size();
  std::vector<std::vector<size_t>> dopo(n);
  std::vector<int> prima(n, 0);
  const auto precede = [&](size_t a, size_t b) {
    dopo[a].push_back(b);
    ++prima[b];
  };
  for (size_t s = 1; s < n_stazioni; ++s) precede(s - 1, s);
  std::map<int64_t, std::vector<std::pair<size_t, uint8_t>>> scrittori;  // cell -> (row, mark)
  for (size_t s = 0; s < n; ++s)
    for (const auto& [c, segno] : righe_[s].segni)
      if (c >= 0 && c < static_cast<int64_t>(celle.size())) scrittori[c].push_back({s, segno});
  for (const auto& [c, w] : scrittori) {
    if (w.size() < 2) continue;
    const uint8_t lasciato = celle[static_cast<size_t>(c)].dato6;
    std::optional<size_t> ultimo;
    for (const auto& [s, segno] : w)
      if (segno == lasciato) ultimo = s;
    if (!ultimo) continue;
    for (const auto& [s, segno] : w)
      if (segno != lasciato) precede(s, *ultimo);
  }
  std::set<size_t> pronti;  // rows are numbered in the plain order
  for (size_t s = 0; s < n; ++s)
    if (prima[s] == 0) pronti.insert(s);
  std::vector<size_t> ordine;
  std::vector<bool> messo(n, false);
  size_t prossima_stazione = 0;
  while (ordine.size() < n) {
    size_t s = 0;
    if (!pronti.empty()) {
      s = *pronti.begin();
      pronti.erase(pronti.begin());
    } else {
      // A cycle: the marks cannot all be left. The next station goes, or the
      // first signal still out.
      s = prossima_stazione < n_stazioni ? prossima_stazione : n_stazioni;
      while (messo[s]) ++s;
    }
    if (messo[s]) continue;
    messo[s] = true;
    if (s < n_stazioni) prossima_stazione = s + 1;
    ordine.push_back(s);
    for (const size_t t : dopo[s])
      if (--prima[t] == 0 && !messo[t]) pronti.insert(t);
  }
  return ordine;
}

std::vector<riga_con_segni> segnali(const contesto& x,
                                    const std::vector<riga_con_segni>& righe_stazioni) {
  const auto& celle = x.celle;
  // dato4 holds rapp * 10 + q, q = 3 * sx + dx, and the marks before the
  // signal q * 10 + k in a byte: together they tell q up to 640. The plain
  // q, below 10, is the one dato4 shows; another only where more of the
  // signal's marks show it than show the plain one, counting only marks
  // that no other row leaves. Each signal's q changes the marks the others
  // can count on, so the choice is made again until it holds.
  std::vector<size_t> dove;
  std::vector<int64_t> q;
  for (size_t i = 0; i < celle.size(); ++i) {
    if (celle[i].tipo != tipo_cella::segnale) continue;
    dove.push_back(i);
    q.push_back(celle[i].dato4 - 10 * quoziente(celle[i].dato4, 10));
  }
  struct scrittura {
    size_t chi;  // a signal, or dove.size() for a station
    int k;       // the signal's mark, or 0 and the station's value
    uint8_t valore;
  };
  std::map<int64_t, std::vector<scrittura>> scritture;  // cell -> writers
  for (size_t s = 0; s < dove.size(); ++s)
    for (int k = 1; k <= 4; ++k)
      scritture[static_cast<int64_t>(dove[s]) - 2 * k].push_back({s, k, 0});
  for (const riga_con_segni& st : righe_stazioni)
    for (const auto& [m, segno] : st.segni) scritture[m].push_back({dove.size(), 0, segno});
  const auto segno_di = [&](const scrittura& w) {
    return w.chi < dove.size() ? static_cast<uint8_t>(q[w.chi] * 10 + w.k) : w.valore;
  };
  // How many of signal s's marks show q = prova, and no other row's.
  const auto mostrati = [&](size_t s, int64_t prova) {
    int n = 0;
    for (int k = 1; k <= 4; ++k) {
      const int64_t m = static_cast<int64_t>(dove[s]) - 2 * k;
      if (m < 0 || m >= static_cast<int64_t>(celle.size())) continue;
      const uint8_t lasciato = celle[static_cast<size_t>(m)].dato6;
      if (static_cast<uint8_t>(prova * 10 + k) != lasciato) continue;
      bool altro = false;
      for (const scrittura& w : scritture[m]) altro = altro || (w.chi != s && segno_di(w) == lasciato);
      n += altro ? 0 : 1;
    }
    return n;
  };
  for (int giro = 0; giro < 4; ++giro) {
    bool cambiato = false;
    for (size_t s = 0; s < dove.size(); ++s) {
      const int64_t unita_q = celle[dove[s]].dato4 - 10 * quoziente(celle[dove[s]].dato4, 10);
      int64_t scelto = unita_q;
      int migliore = mostrati(s, unita_q);
      // Every q that marks can tell apart, the nearest to 0 of each.
      for (int64_t prova = unita_q - 320; prova < unita_q + 320; prova += 10)
        if (const int n = prova == unita_q ? 0 : mostrati(s, prova); n > migliore) {
          scelto = prova;
          migliore = n;
        }
      cambiato = cambiato || scelto != q[s];
      q[s] = scelto;
    }
    if (!cambiato) break;
  }
  std::vector<riga_con_segni> righe_segnali;
  for (size_t s = 0; s < dove.size(); ++s) {
    const size_t i = dove[s];
    const cella& c = celle[i];
    const int64_t rapp = quoziente(int64_t{c.dato4} - q[s], 10);
    const int64_t sx = c.dato5 != 0 ? 2 : q[s] / 3;
    const int64_t dx = q[s] - 3 * sx;
    int64_t tempo = c.dato5;
    if (tempo >= 1 && tempo <= 100) tempo += 256;
    const auto parti = [](int16_t d) {
      const int64_t a = quoziente(d, 10);
      return std::pair{a, d - 10 * a};
    };
    const auto [s1, d1] = parti(c.dato1);
    const auto [s2, d2] = parti(c.dato2);
    const auto [s3, d3] = parti(c.dato3);
    riga_con_segni riga_segnale{
        colonne("segnale", {{50 * (static_cast<int64_t>(i) - 1), 8}, {sx, 4}, {s1, 2}, {s2, 2},
                            {s3, 3}, {rapp, 2}, {dx, 5}, {d1, 3}, {d2, 1}, {d3, 1}}) +
            ", " + std::to_string(tempo),
        {}};
    for (int k = 1; k <= 4; ++k)
      riga_segnale.segni.push_back({static_cast<int64_t>(i) - 2 * k, static_cast<uint8_t>(q[s] * 10 + k)});
    righe_segnali.push_back(std::move(riga_segnale));
  }
  return righe_segnali;
}

void codici(const contesto& x, righe& r) {
  const auto& celle = x.celle;
  const std::vector<bool> suo = punti_del_completamento(celle);
  for (size_t i = 0; i < celle.size(); ++i) {
    const cella& c = celle[i];
    const int64_t p = 50 * static_cast<int64_t>(i);
    if (c.tipo == tipo_cella::punto_codice && !suo[i]) {
      const int64_t w = c.dato1 > 0 ? c.dato1 : int64_t{c.dato1} + 65536;
      riga(r, colonne("abbattimento", {{p, 8}, {w, 6}}));
    } else if (c.tipo == tipo_cella::punto_senza_codice) {
      if (c.dato1 != 0)
        x.tracciato(i, "il punto senza codice della cella " + std::to_string(i) +
                           " ha un valore che nessuna riga del sorgente dà");
      riga(r, "abbattimento," + a_destra(p, 8) + ",   AC");
    }
  }
}

std::string sorgente_corsa(const contesto& x) {
  righe r;
  riga(r, "-- sorgente della corsa ricavato da " + per_commento(x.s.file.tabella) + " " +
              per_commento(x.s.file.tracciato) + " --");
  generale_corsa(x, r);
  riga(r, "[aderenze]");
  righe_in_vigore(
      x.celle, [](const cella& c) { return static_cast<int>(c.aderenza); },
      [&](int64_t i, int v) { riga(r, colonne("aderenza", {{50 * i, 8}, {v, 6}})); });
  riga(r, "[vel_limite]");
  righe_in_vigore(
      x.celle, [](const cella& c) { return static_cast<int>(c.velocita); },
      [&](int64_t i, int v) { riga(r, colonne("velocita", {{50 * i, 8}, {5 * v, 6}})); });
  // Stations and signals in the order their marks need: the stations that
  // go before every signal in their own section, any that must follow a
  // signal among the signals.
  std::vector<riga_con_segni> scritte = stazioni(x);
  const size_t n_stazioni = scritte.size();
  for (riga_con_segni& s : segnali(x, scritte)) scritte.push_back(std::move(s));
  const std::vector<size_t> ordine = ordine_dei_segni(x.celle, scritte, n_stazioni);
  size_t i = 0;
  riga(r, "[stazioni]");
  for (; i < ordine.size() && ordine[i] < n_stazioni; ++i) riga(r, scritte[ordine[i]].testo);
  riga(r, "[rallentamenti]");
  rallentamenti(x, r);
  riga(r, "[segnali]");
  for (; i < ordine.size(); ++i) riga(r, scritte[ordine[i]].testo);
  riga(r, "[codici]");
  codici(x, r);
  riga(r, "[fine]");
  return r;
}

}  // namespace

sorgenti_ricavate ricava_sorgenti(const scenario_letto& s, bool con_linea) {
  sorgenti_ricavate esito;
  for (const problema& p : s.problemi)
    if (con_linea || p.file != s.file.linea) esito.problemi.push_back(p);
  // The header cell's two codes come from the names, not from a row: an
  // object there has left zeros under them.
  std::vector<cella> celle = s.celle;
  if (celle.size() > cella_intestazione) {
    cella& c = celle[cella_intestazione];
    const codici_scenario codici = codici_dai_nomi(s.numero_treno, s.nome_scenario);
    if (c.dato1 != formato_tracciato || c.dato2 != codici.tracciato)
      esito.problemi.push_back({s.file.tracciato, cella_intestazione * byte_cella,
                                "la cella d'intestazione non ha i codici del formato e dello scenario"});
    c.dato1 = 0;
    c.dato2 = 0;
  }
  const contesto x{s, esito.problemi, celle};
  const std::optional<int32_t> L = s.lunghezza();
  if (!L || s.voci_lette < voci_tabella_corsa || s.celle.size() < 3) {
    esito.problemi.push_back({s.file.tabella, std::nullopt,
                              "senza la tabella e il tracciato interi non si ricava nessun sorgente"});
    return esito;
  }
  if (*L > lunghezza_massima || s.celle.size() != static_cast<size_t>(ultima_cella_per(*L)) + 1)
    x.tracciato(0, "il tracciato ha " + std::to_string(s.celle.size()) +
                       " celle, non quante ne dà la lunghezza della linea (" + std::to_string(*L) +
                       " m)");
  if (con_linea && s.punti.esiste() && s.punti.ultimo() != int64_t{*L} + coda_percorso)
    x.linea(std::nullopt, "il tracciato metro per metro non ha la lunghezza della linea");
  esito.linea = sorgente_linea(x, con_linea && s.punti.esiste(), *L);
  esito.corsa = sorgente_corsa(x);
  return esito;
}

std::vector<problema> confronta_compilati(const std::string& file, std::string_view atteso,
                                          std::string_view ottenuto) {
  const size_t n = std::min(atteso.size(), ottenuto.size());
  size_t i = 0;
  // Eight bytes at a time up to the first difference.
  while (i + 8 <= n && std::memcmp(atteso.data() + i, ottenuto.data() + i, 8) == 0) i += 8;
  while (i < n && atteso[i] == ottenuto[i]) ++i;
  if (i < n)
    return {{file, i,
             "ricompilando le sorgenti ricavate questo byte vale " +
                 std::to_string(static_cast<uint8_t>(ottenuto[i])) + " invece di " +
                 std::to_string(static_cast<uint8_t>(atteso[i])) +
                 ": da qui il file non viene da un sorgente"}};
  if (atteso.size() != ottenuto.size())
    return {{file, n,
             "ricompilando le sorgenti ricavate il file ha " + std::to_string(ottenuto.size()) +
                 " byte invece di " + std::to_string(atteso.size())}};
  return {};
}
