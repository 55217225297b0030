// The run source: the train's general values, adhesion and speed limits,
// stations, slowdowns, signals in the order their approach marks need, and
// the code points no post-pass placed.
#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "compiler/avviso_rallentamento.h"
#include "compiler/numeri.h"
#include "tools/decompila/completamento.h"
#include "tools/decompila/ricava.h"

namespace ricavo {

namespace {

// Right-aligned in `larghezza` characters; a longer value keeps every digit.
std::string a_destra(int64_t v, size_t larghezza) {
  std::string s = std::to_string(v);
  if (s.size() < larghezza) s.insert(0, larghezza - s.size(), ' ');
  return s;
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

// Floor division and its remainder, so that q * d + r gives v back for any sign.
int64_t quoziente(int64_t v, int64_t d) { return v / d - ((v % d != 0 && (v < 0) != (d < 0)) ? 1 : 0); }

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
    if (voce_vuota(v)) break;
    ultima_stazione = k;
    const int64_t p = v.progressiva;
    const riga_area area = riga_dell_area(v.tipo, p, {v.inizio, v.fine});
    const int64_t lunghezza = area.lunghezza;
    // The row's value for the longer area: the compiler clears it in the
    // first station, after it has used it, and wherever it does not apply.
    int64_t campo6 = allungabile(v.tipo) ? v.byte4 : 0;
    bool esatta = area.allunga.has_value();
    if (allungabile(v.tipo)) {
      if (k == voce_tabella::prima_stazione) {
        campo6 = area.allunga.value_or(false) ? 1 : 0;
        esatta = esatta && v.byte4 == 0;
      } else {
        esatta = area.allunga == (v.byte4 != 0);
      }
    }
    if (!esatta || lunghezza % 100 != 0 || !multiplo_cella(p) ||
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
    if (ha_segni_fermata(v.tipo))
      for (int j = 1; j <= segni_fermata; ++j)
        if (const int64_t c = cella_segno_fermata(v.fine, j); c > 1)
          riga_stazione.segni.push_back({c, segno_fermata(j)});
    righe_stazioni.push_back(std::move(riga_stazione));
  }
  for (int k = ultima_stazione + 1; k < primo_testo; ++k) {
    const voce_corsa& v = t[static_cast<size_t>(k)];
    if (!voce_vuota(v)) {
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
  const int64_t cella_avviso = posti_di(posizione_cella(s, 1)).cella_avviso;
  const bool avviso = cella_avviso >= 0 && celle[static_cast<size_t>(cella_avviso)].tipo ==
                                               tipo_cella::avviso_rallentamento;
  std::vector<int64_t> candidati = {posizione_cella(s, 1)};
  if (avviso && s == indice_cella(inizio_con_avviso, 1)) candidati = {inizio_con_avviso + 1};
  if (s % 2 == 0) candidati.push_back(posizione_cella(s, 2) + metri_cella / 2);
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
    const int64_t lunghezza = posizione_cella(e, 1) - i.inizio;
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
    q.push_back(decine_della_coppia(celle[i].dato4).unita);
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
    return w.chi < dove.size() ? segno_segnale(q[w.chi], w.k) : w.valore;
  };
  // How many of signal s's marks show q = prova, and no other row's.
  const auto mostrati = [&](size_t s, int64_t prova) {
    int n = 0;
    for (int k = 1; k <= 4; ++k) {
      const int64_t m = static_cast<int64_t>(dove[s]) - 2 * k;
      if (m < 0 || m >= static_cast<int64_t>(celle.size())) continue;
      const uint8_t lasciato = celle[static_cast<size_t>(m)].dato6;
      if (segno_segnale(prova, k) != lasciato) continue;
      bool altro = false;
      for (const scrittura& w : scritture[m]) altro = altro || (w.chi != s && segno_di(w) == lasciato);
      n += altro ? 0 : 1;
    }
    return n;
  };
  for (int giro = 0; giro < 4; ++giro) {
    bool cambiato = false;
    for (size_t s = 0; s < dove.size(); ++s) {
      const int64_t unita_q = decine_della_coppia(celle[dove[s]].dato4).unita;
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
    const decine_unita a = decine_della_coppia(c.dato1), b = decine_della_coppia(c.dato2),
                       v = decine_della_coppia(c.dato3);
    riga_con_segni riga_segnale{
        colonne("segnale", {{posizione_cella(static_cast<int64_t>(i), 1), 8}, {sx, 4}, {a.decine, 2},
                            {b.decine, 2}, {v.decine, 3}, {rapp, 2}, {dx, 5}, {a.unita, 3},
                            {b.unita, 1}, {v.unita, 1}}) +
            ", " + std::to_string(tempo),
        {}};
    for (int k = 1; k <= 4; ++k)
      riga_segnale.segni.push_back({static_cast<int64_t>(i) - 2 * k, segno_segnale(q[s], k)});
    righe_segnali.push_back(std::move(riga_segnale));
  }
  return righe_segnali;
}

void codici(const contesto& x, righe& r) {
  const auto& celle = x.celle;
  const std::vector<bool> suo = punti_del_completamento(celle);
  for (size_t i = 0; i < celle.size(); ++i) {
    const cella& c = celle[i];
    const int64_t p = posizione_cella(static_cast<int64_t>(i), 0);
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

}  // namespace

std::string sorgente_corsa(const contesto& x) {
  righe r;
  riga(r, "-- sorgente della corsa ricavato da " + per_commento(x.s.file.tabella) + " " +
              per_commento(x.s.file.tracciato) + " --");
  generale_corsa(x, r);
  riga(r, "[aderenze]");
  righe_in_vigore(
      x.celle, [](const cella& c) { return static_cast<int>(c.aderenza); },
      [&](int64_t i, int v) { riga(r, colonne("aderenza", {{posizione_cella(i, 0), 8}, {v, 6}})); });
  riga(r, "[vel_limite]");
  righe_in_vigore(
      x.celle, [](const cella& c) { return static_cast<int>(c.velocita); },
      [&](int64_t i, int v) {
        riga(r, colonne("velocita", {{posizione_cella(i, 0), 8},
                                     {velocita_delle_unita(static_cast<uint8_t>(v)), 6}}));
      });
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

}  // namespace ricavo
