// The line source: the general values, the curves from the plan's steps,
// gradients, mountain spans, speed indicator boards and board texts.
#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "compiler/chilometri_linea.h"
#include "compiler/formato.h"
#include "compiler/numeri.h"
#include "compiler/passo_piano.h"
#include "tools/decompila/ricava.h"

namespace ricavo {

namespace {

// A row of the line source: two blanks before every value.
std::string valori(std::string_view parola, std::initializer_list<std::optional<int64_t>> v) {
  std::string r(parola);
  for (const auto& x : v) {
    r += ",  ";
    if (x) r += std::to_string(*x);
  }
  return r;
}

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
  const bool coerente = multiplo_cella(tr.inizio) && multiplo_cella(tr.fine) &&
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
      x.tracciato(static_cast<size_t>(std::max<int64_t>(inizio / metri_cella, 0)),
                  "più di " + std::to_string(montagne_massime) + " tratti di montagna");
    riga(r, "montagna,   " + std::to_string(inizio) + ",  " + std::to_string(fine) + ",  " +
                std::to_string(tipo));
    fine_prima = fine;
  };
  for (const riga_montagna& m : tutte) {
    const int64_t inizio = posizione_cella(m.primo, 0);
    const int64_t fine = posizione_cella(m.ultimo + 1, 0);
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
    const lati_indicatore v[3] = {lati_della_coppia(c.dato1), lati_della_coppia(c.dato2),
                                  lati_della_coppia(c.dato3)};
    const bool altro_lato = v[0].d != 0 || v[1].d != 0 || v[2].d != 0;
    const lati_indicatore strisce = strisce_della_coppia(c.dato4);
    const auto lato = [&](int k) { return altro_lato ? std::optional<int64_t>(v[k].d) : std::nullopt; };
    riga(r, valori("indicatori_vmax", {posizione_cella(static_cast<int64_t>(i), 1), v[0].s, v[1].s,
                                       v[2].s, strisce.s, lato(0), lato(1), lato(2), strisce.d}));
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
    riga(r, "cartello_indicatore,  " + std::to_string(posizione_cella(static_cast<int64_t>(i), 1)) +
                ",   " + *t);
  }
}

}  // namespace

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
        riga(r, "pendenza,  " + std::to_string(posizione_cella(i, 0)) + ",   " +
                    std::to_string(pendenza_del_byte(static_cast<uint8_t>(v))));
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

}  // namespace ricavo
