// First stage of memorizza_dati: the line source file. It sizes the track and
// the plan from the line length, stores the general values, fills the gradient
// of every cell, builds the plan metre by metre from the curves and places the
// mountain spans, speed indicator boards and text boards.
#include <algorithm>
#include <cstdint>

#include "app/file_disco.h"
#include "app/form1.h"
#include "compiler/codici_errore.h"
#include "compiler/lettura_sorgente.h"
#include "compiler/numeri.h"

namespace {

constexpr int64_t ultimo_punto_curve = 1000000;

class lettura_linea : lettura_sorgente {
 public:
  lettura_linea(Form1& f, lettore_voci& in) : lettura_sorgente(f, in, f.file_sorgente_linea()) {}

  // True when the run source is to be read next.
  bool esegui();

 private:
  esito cerca_generale();
  esito sezione_generale();
  esito riga_generale();
  void leggi_segmento(voce_corsa& v);
  esito record();
  esito pendenza();
  esito curva();
  esito montagna();
  esito indicatore();
  esito cartello();
  void fine_file();

  void riempi_pendenza(int64_t fino);

  // Gradient cursor and gradient in force.
  int64_t c_ = 0;
  int64_t g_ = 0;
};

bool lettura_linea::esegui() {
  if (cerca_generale() == esito::ferma || sezione_generale() == esito::ferma) return false;

  f_.progressive_ordina();
  f_.n_montagne = 0;
  f_.prossimo_cartello = voce_tabella::primo_cartello;
  if (f_.scrivi_linea != 0) {
    if (!f_.punti_linea.esiste()) throw errore_lettura("manca la lunghezza del percorso");
    f_.punti_linea.inizia(0, 0, 0, 1);
  }

  while (prossima_riga()) {
    const esito e = record();
    if (e == esito::ferma) return false;
    if (e == esito::fuori_percorso) break;
  }
  fine_file();
  return true;
}

lettura_linea::esito lettura_linea::cerca_generale() {
  for (;;) {
    if (!in_.fine()) leggi_capo();
    if (in_.fine()) return ferma(errore_compilazione::manca_sezione_generale);
    if (contiene_ic(f_.riga, "[generale]")) return esito::avanti;
  }
}

lettura_linea::esito lettura_linea::sezione_generale() {
  while (!in_.fine()) {
    leggi_capo();
    if (in_.fine()) break;
    // Comment lines: up to ten dash items in a row are passed over.
    for (int n = 0; n < 10; ++n)
      if (contiene(f_.riga, "-")) leggi_capo();
    if (riga_generale() == esito::ferma) return esito::ferma;
    const std::string& r = f_.riga;
    if (!r.starts_with('-') && contiene(r, "[") && contiene(r, "]")) break;
  }
  return esito::avanti;
}

void lettura_linea::leggi_segmento(voce_corsa& v) {
  v.inizio = in_.i32();
  v.fine = in_.i32();
  v.progressiva = in_.i32();
}

// Every general row whose words the lead item holds reads its values.
lettura_linea::esito lettura_linea::riga_generale() {
  const std::string& r = f_.riga;
  auto& t = f_.tabella_corsa;
  if (contiene_ic(r, "percorso") && contiene_ic(r, "lunghezza")) {
    const int32_t L = in_.i32();
    t[voce_tabella::lunghezza].fine = L;
    if (L > lunghezza_massima) return ferma(errore_compilazione::linea_troppo_lunga);
    // Cell 1 is the header of the track file: a track must reach it.
    const int32_t n = ultima_cella_per(L);
    if (n < 2) throw errore_lettura("lunghezza del percorso troppo corta");
    f_.lunghezza_estesa = L + coda_percorso;
    f_.ultima_cella = n;
    f_.celle.assign(static_cast<size_t>(f_.ultima_cella) + 1, cella{});
    if (f_.scrivi_linea != 0) f_.punti_linea.crea(f_.lunghezza_estesa);
  }
  if (contiene(r, "tre") && contiene(r, "progressiva"))
    leggi_segmento(t[voce_tabella::primo_segmento]);
  if (contiene(r, "due") && contiene(r, "progressiva"))
    leggi_segmento(t[voce_tabella::secondo_segmento]);
  if (contiene(r, "uno") && contiene(r, "progressiva"))
    leggi_segmento(t[voce_tabella::terzo_segmento]);
  if (contiene(r, "sfondo") && contiene(r, "uno")) t[voce_tabella::scenario].inizio = in_.i32();
  if (contiene(r, "sfondo") && contiene(r, "due"))
    t[voce_tabella::scenario].progressiva = in_.i32();
  if (contiene(r, "sfondo") && contiene(r, "tre")) t[voce_tabella::scenario].fine = in_.i32();
  if (contiene(r, "segnali") && contiene(r, "ripetizione")) {
    t[voce_tabella::treno].inizio = in_.i32();
    t[voce_tabella::treno].fine = in_.i32();
    if (t[voce_tabella::treno].inizio % 50 != 0)
      return ferma(errore_compilazione::inizio_ripetizione_fuori_passo);
    if (t[voce_tabella::treno].fine % 50 != 0)
      return ferma(errore_compilazione::fine_ripetizione_fuori_passo);
    if (contiene_ic(r, "4")) {
      t[voce_tabella::treno].progressiva = 4;
    } else if (contiene_ic(r, "9")) {
      t[voce_tabella::treno].progressiva = 9;
    } else {
      return ferma(errore_compilazione::ripetizione_senza_codici);
    }
    if (t[voce_tabella::treno].fine == 0) t[voce_tabella::treno].progressiva = 0;
  }
  return esito::avanti;
}

lettura_linea::esito lettura_linea::record() {
  const std::string& r = f_.riga;
  esito e = esito::avanti;
  if (contiene_ic(r, "pendenza") && (e = pendenza()) != esito::avanti) return e;
  if (f_.scrivi_linea != 0 && contiene_ic(r, "curva") && (e = curva()) != esito::avanti) return e;
  if (contiene_ic(r, "montagna") && (e = montagna()) != esito::avanti) return e;
  if (contiene_ic(r, "indicatori_v") && (e = indicatore()) != esito::avanti) return e;
  if (contiene_ic(r, "cartello") && contiene_ic(r, "indicat")) return cartello();
  return esito::avanti;
}

// The cells up to the one before `fino` get the gradient in force. A file
// without a length row has no cells at all to fill.
void lettura_linea::riempi_pendenza(int64_t fino) {
  if (f_.celle.empty()) throw errore_lettura("manca la lunghezza del percorso");
  riempi(c_, fino, [this](cella& c) { c.pendenza = basso8(g_ + 100); });
}

lettura_linea::esito lettura_linea::pendenza() {
  return riga_di_valore(g_, [this](int64_t fino) { riempi_pendenza(fino); });
}

lettura_linea::esito lettura_linea::curva() {
  const int32_t s = in_.i32();
  const int32_t d = in_.i32();
  if (!in_percorso(s)) return fuori_percorso(s);
  static constexpr struct {
    char cifra;
    double k;
  } classi[] = {{'1', 0.0001}, {'2', 0.0002}, {'3', 0.0004},
                {'4', 0.001},  {'5', 0.002},  {'6', 0.003}};
  double k = 0;
  bool trovata = false;
  for (const auto& c : classi) {
    if (f_.riga.find(c.cifra) != std::string::npos) {
      k = c.k;
      trovata = true;
      break;
    }
  }
  if (!trovata) return ferma(errore_compilazione::curva_non_valida);
  if (contiene_ic(f_.riga, "s")) k = -k;

  // A straight run-in up to the start, then the arc, neither past the
  // ceiling of the plan's index: the points up to it are computed, and a
  // run-in that reaches it leaves no arc to take. Every curve before stopped
  // short of it, so the next point is never past it here.
  punti_piano& piano = f_.punti_linea;
  piano.dritto_fino(std::min<int64_t>(s, ultimo_punto_curve));
  piano.curva_fino(std::min<int64_t>(static_cast<int64_t>(s) + d, ultimo_punto_curve), k);
  if (piano.prossimo() > ultimo_punto_curve) return ferma(errore_compilazione::curva_non_valida);
  return esito::avanti;
}

lettura_linea::esito lettura_linea::montagna() {
  const int32_t inizio = in_.i32();
  const int32_t fine = in_.i32();
  int32_t tipo = in_.i32();
  if (!in_percorso(inizio)) return fuori_percorso(inizio);
  f_.memo_montagna(inizio, fine, tipo);
  if (f_.codice_errore > 0) return rifiutata(f_.codice_errore, inizio);
  return esito::avanti;
}

lettura_linea::esito lettura_linea::indicatore() {
  int32_t v[9];
  for (int32_t& x : v) x = in_.i32();
  const int32_t p = v[0];
  if (!in_percorso(p) || indice_cella(p, 1) < 0) return fuori_percorso(p);
  f_.memo_indicatori_v_max(p, v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
  if (f_.codice_errore > 0) return rifiutata(f_.codice_errore, p);
  return esito::avanti;
}

lettura_linea::esito lettura_linea::cartello() {
  const int32_t p = in_.i32();
  f_.riga = in_.testo();
  if (!in_percorso(p)) return fuori_percorso(p);
  const int64_t i = indice_cella(p, 1);
  if (i < 0) return fuori_percorso(p);
  if (f_.celle.empty()) throw errore_lettura("manca la lunghezza del percorso");
  cella& c = f_.celle[i];
  if (!libera(c)) return ferma(errore_compilazione::cartello_su_cella_occupata, p);
  // Board texts fill the table from the first board's entry down to the
  // first station's, no further.
  if (f_.prossimo_cartello < voce_tabella::prima_stazione) throw errore_lettura("troppi cartelli");
  if (f_.riga.size() > testo_massimo) throw errore_lettura("testo del cartello troppo lungo");
  c.tipo = tipo_cella::cartello;
  c.dato1 = basso16(f_.prossimo_cartello);
  f_.tabella_corsa[f_.prossimo_cartello].nome = f_.riga;
  --f_.prossimo_cartello;
  return esito::avanti;
}

void lettura_linea::fine_file() {
  elimina_file(f_.file_sorgente_linea());
  riempi_pendenza(static_cast<int64_t>(f_.ultima_cella) - 2);
  if (f_.scrivi_linea != 0)
    f_.punti_linea.dritto_fino(static_cast<int64_t>(f_.lunghezza_estesa) - 2);
}

}  // namespace

bool Form1::leggi_sorgente_linea() {
  tabella_corsa[voce_tabella::scenario].nome = nome_scenario;
  tabella_corsa[voce_tabella::treno].nome = numero_treno;
  std::error_code ec;
  if (!std::filesystem::exists(file_sorgente_linea(), ec)) {
    codice_errore = numero_errore(errore_compilazione::manca_sorgente_linea);
    return false;
  }
  return leggi_sorgente(*this, file_sorgente_linea(),
                        [this](lettore_voci& in) { return lettura_linea(*this, in).esegui(); });
}
