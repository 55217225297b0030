#include "bench/genera_sorgenti.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "compiler/numeri.h"

namespace fs = std::filesystem;

namespace {

// Where each kind of object stands inside a block, in metres from its start,
// and the cell it takes (a block is 40 cells, B its first):
//   text board            50   B+2
//   speed indicator      200   B+5    (not in slowdown blocks)
//   code point           500   B+10
//   signal              1000   B+21   approach marks on B+19..B+13
//   station             1500   stop on B+33
//   slowdown            1500   warning B+7, its marks B+6..B+3,
//                              start B+31, end B+37 (300 m)
// The post-pass then finds free cells for its own code points around each
// slowdown (B+26, B+20, B+13 and beside the previous block's signal).
constexpr int32_t a_cartello = 50;
constexpr int32_t a_indicatore = 200;
constexpr int32_t a_codice = 500;
constexpr int32_t a_segnale = 1000;
constexpr int32_t a_stazione = 1500;
constexpr int32_t a_rallentamento = 1500;

// The records cap these kinds: board texts and stations share 79 table
// entries, mountain spans are at most 80.
constexpr int32_t cartelli_massimi = 40;
constexpr int32_t stazioni_massime = 28;
constexpr int32_t montagne_massime = 60;

// Every `passo`-th block, so that at most `quanti` are chosen out of n.
int32_t passo(int32_t n, int32_t quanti) { return std::max(1, (n + quanti - 1) / quanti); }

std::string a_destra(int64_t v, size_t larghezza) {
  std::string s = std::to_string(v);
  if (s.size() < larghezza) s.insert(0, larghezza - s.size(), ' ');
  return s;
}

// A row of the run source: the keyword, then each value right-aligned in its
// field, the fields separated by commas.
std::string colonne(std::string_view parola,
                    std::initializer_list<std::pair<int64_t, size_t>> campi) {
  std::string r(parola);
  for (const auto& [v, larghezza] : campi) {
    r += ',';
    r += a_destra(v, larghezza);
  }
  return r;
}

class testo_crlf {
 public:
  void riga(std::string_view r) {
    s_.append(r);
    s_.append("\r\n");
  }
  std::string& testo() { return s_; }

 private:
  std::string s_;
};

struct piano_blocchi {
  int32_t n;  // blocks
  int32_t passo_stazioni, passo_cartelli, passo_montagne;

  explicit piano_blocchi(int32_t lunghezza)
      : n(lunghezza / metri_blocco),
        passo_stazioni(std::max(2, passo(n, stazioni_massime))),
        passo_cartelli(passo(n, cartelli_massimi)),
        passo_montagne(passo(n, montagne_massime)) {}

  static int32_t inizio(int32_t i) { return i * metri_blocco; }
  bool stazione(int32_t i) const { return i % passo_stazioni == 0 || i == n - 1; }
  bool rallentamento(int32_t i) const { return i % 10 == 5 && !stazione(i); }
  bool cartello(int32_t i) const { return i % passo_cartelli == 0; }
  bool montagna(int32_t i) const { return i % passo_montagne == 0; }
};

std::string sorgente_linea(int32_t L, const piano_blocchi& p) {
  testo_crlf t;
  // Kilometre segments and the background change start on a cell.
  auto sulla_cella = [](int64_t v) { return v / metri_cella * metri_cella; };
  t.riga("[generale]");
  t.riga("lunghezza percorso,    " + std::to_string(L));
  t.riga("progressiva chilometrica uno,    0,    10000,    1");
  t.riga("progressiva chilometrica due,    " + std::to_string(sulla_cella(L / 3)) +
         ",    50000,    1");
  t.riga("progressiva chilometrica tre,    " + std::to_string(sulla_cella(2 * int64_t{L} / 3)) +
         ",    90000,    1");
  t.riga("sfondo uno,    1");
  t.riga("sfondo due,    " + std::to_string(sulla_cella(L / 2)));
  t.riga("sfondo tre,    0");
  t.riga("ripetizione segnali 9 codici,    " + std::to_string(metri_blocco) + ",    " +
         std::to_string(L - metri_blocco));

  // Two curves a block, a right-hand one and a left-hand one of other classes.
  t.riga("[curve]");
  for (int32_t i = 0; i < p.n; ++i) {
    const int32_t b = p.inizio(i);
    t.riga("curvad" + std::to_string(i % 6 + 1) + ",  " + std::to_string(b + 300) + ",  400");
    t.riga("curvas" + std::to_string((i + 3) % 6 + 1) + ",  " + std::to_string(b + 1200) +
           ",  500");
  }

  t.riga("[pendenze]");
  t.riga("pendenza,   0,    0");
  for (int32_t i = 0; i < p.n; ++i) {
    const int32_t b = p.inizio(i);
    const int32_t g = (i * 7) % 41 - 20;
    if (i > 0) t.riga("pendenza,  " + std::to_string(b) + ",   " + std::to_string(g));
    t.riga("pendenza,  " + std::to_string(b + 1000) + ",   " + std::to_string(-g / 2));
  }

  // Spans of blocks next to each other stay 200 m apart, so none is joined.
  t.riga("[montagne]");
  static constexpr int tipi_montagna[] = {1, 2, 11, 12};
  for (int32_t i = 0, k = 0; i < p.n; ++i) {
    if (!p.montagna(i)) continue;
    const int32_t b = p.inizio(i);
    t.riga("montagna,   " + std::to_string(b + 100) + ",  " + std::to_string(b + 1900) + ",  " +
           std::to_string(tipi_montagna[k++ % 4]));
  }

  // The other side's speeds only on every other board, absent otherwise.
  t.riga("[cartelli]");
  for (int32_t i = 0; i < p.n; ++i) {
    if (p.rallentamento(i)) continue;
    const int32_t v = 65 + (i % 8) * 5;
    const std::string s = std::to_string(v) + ",  " + std::to_string(v + 5) + ",  " +
                          std::to_string(v + 15);
    t.riga("indicatori_vmax,  " + std::to_string(p.inizio(i) + a_indicatore) + ",  " + s + ",  " +
           std::to_string(i % 3) + ",  " + (i % 2 ? s : std::string(",  ,  ")) + ",  0");
  }

  t.riga("[indicazioni]");
  for (int32_t i = 0; i < p.n; ++i) {
    if (!p.cartello(i)) continue;
    const int32_t x = p.inizio(i) + a_cartello;
    const std::string km = std::to_string(x / 1000) + "+" + a_destra(x % 1000, 3);
    std::string r = i % 2 ? "(______)(______)(______)" : "(P.L.A.    )(km. " + km + ")";
    t.riga("cartello_indicatore,  " + std::to_string(x) + ",   " + r);
  }
  t.riga("[fine]");
  return std::move(t.testo());
}

std::string sorgente_corsa(const piano_blocchi& p) {
  testo_crlf t;
  t.riga("[generale]");
  t.riga("numero vetture,    5");
  t.riga("percentuale massa frenata,    120");
  t.riga("sabbia,    150");
  t.riga("orologio,    6               11            30 ");

  t.riga("[aderenze]");
  for (int32_t i = 0; i < p.n; ++i)
    t.riga(colonne("aderenza", {{p.inizio(i), 8}, {80 + i % 21, 6}}));

  t.riga("[vel_limite]");
  for (int32_t i = 0; i < p.n; ++i) {
    t.riga(colonne("velocita", {{p.inizio(i), 8}, {100 + (i % 3) * 20, 6}}));
    t.riga(colonne("velocita", {{p.inizio(i) + 1000, 8}, {90, 6}}));
  }

  // A departure, stops and through stations, and a terminal arrival.
  t.riga("[stazioni]");
  int32_t k = 0;
  for (int32_t i = 0; i < p.n; ++i) {
    if (!p.stazione(i)) continue;
    const bool arrivo = i == p.n - 1 && k > 0;
    const int32_t tipo = arrivo ? 6 : (k == 0 ? 12 : (k % 3 == 0 ? 26 : 24));
    const int32_t secondi = 6 * 3600 + k * 420;
    t.riga(colonne("stazione", {{p.inizio(i) + a_stazione, 8}, {tipo, 3}, {400, 5}, {k % 2, 3},
                                {0, 2}, {0, 2}, {1, 3}, {1, 1}, {0, 1}, {4, 3}, {1, 1}, {1, 1},
                                {k % 2 ? 30 : 1, 5}, {secondi / 3600, 4}, {secondi / 60 % 60, 2},
                                {0, 2}}) +
           ", Localita " + std::to_string(k + 1));
    ++k;
  }

  t.riga("[rallentamenti]");
  for (int32_t i = 0; i < p.n; ++i) {
    if (!p.rallentamento(i)) continue;
    t.riga(colonne("rallentamento", {{p.inizio(i) + a_rallentamento, 8},
                                     {i % 20 == 5 ? 60 : 120, 4},
                                     {300, 5},
                                     {1, 2},
                                     {1, 2},
                                     {0, 2}}));
  }

  t.riga("[segnali]");
  for (int32_t i = 0; i < p.n; ++i) {
    const int64_t sx = 1 + i % 2;
    t.riga(colonne("segnale", {{p.inizio(i) + a_segnale, 8}, {sx, 4}, {4, 2}, {1, 2}, {0, 3},
                               {0, 2}, {0, 5}, {0, 3}, {0, 1}, {0, 1}}) +
           ", " + std::to_string(i % 25 == 0 ? 225 : 0));
  }

  t.riga("[codici]");
  for (int32_t i = 0; i < p.n; ++i) {
    const int32_t x = p.inizio(i) + a_codice;
    if (i % 9 == 4)
      t.riga("abbattimento," + a_destra(x, 8) + ",   AC");
    else
      t.riga(colonne("abbattimento", {{x, 8}, {i % 5 ? 270 : 180, 6}}));
  }
  t.riga("[fine]");
  return std::move(t.testo());
}

void scrivi(const fs::path& file, const std::string& testo) {
  std::ofstream f(file, std::ios::binary);
  f.write(testo.data(), static_cast<std::streamsize>(testo.size()));
  if (!f.flush()) throw std::runtime_error("impossibile scrivere " + file.string());
}

}  // namespace

sorgenti_generate genera_sorgenti(int32_t lunghezza) {
  if (lunghezza < metri_blocco || lunghezza > 1000000 || lunghezza % metri_blocco != 0)
    throw std::invalid_argument("lunghezza non valida: " + std::to_string(lunghezza));
  const piano_blocchi p(lunghezza);
  return {sorgente_linea(lunghezza, p), sorgente_corsa(p)};
}

void scrivi_sorgenti(const fs::path& cartella, std::string_view nome, std::string_view treno,
                     int32_t lunghezza) {
  const sorgenti_generate s = genera_sorgenti(lunghezza);
  scrivi(cartella / (std::string(nome) + "_linea.txt"), s.linea);
  scrivi(cartella / (std::string(nome) + "_" + std::string(treno) + "-.txt"), s.corsa);
}
