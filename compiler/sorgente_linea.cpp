// First stage of memorizza_dati: the line source file. It sizes the track and
// the plan from the line length, stores the general values, fills the gradient
// of every cell, builds the plan metre by metre from the curves and places the
// mountain spans, speed indicator boards and text boards.
#include <algorithm>
#include <cstdint>
#include <string>

#include "compiler/codici_errore.h"
#include "compiler/compilatore.h"
#include "compiler/lettura_sorgente.h"
#include "compiler/numeri.h"
#include "compiler/parole_chiave.h"
#include "compiler/passo_piano.h"
#include "sistema/file_disco.h"

namespace {

constexpr int64_t ultimo_punto_curve = 1000000;

constexpr const char* manca_lunghezza =
    "manca la lunghezza del percorso: la sezione [generale] deve avere la riga "
    "'lunghezza percorso, METRI' prima delle altre righe";

class lettura_linea : lettura_sorgente {
 public:
  lettura_linea(compilatore& f, lettore_voci& in)
      : lettura_sorgente(f, in, f.file_sorgente_linea()) {}

  // True when the run source is to be read next.
  bool esegui();

 private:
  esito cerca_generale();
  esito sezione_generale();
  esito riga_generale();
  void leggi_segmento(int voce);
  esito record();
  esito pendenza();
  esito curva();
  esito montagna();
  esito indicatore();
  esito cartello();
  void fine_file();
  bool generale_fuori();

  void riempi_pendenza(int64_t fino);
  void avvisa_curva(int64_t s, int64_t d, double k);

  // Gradient cursor and gradient in force.
  int64_t c_ = 0;
  int64_t g_ = 0;
  ordine_righe pendenze_{"pendenza"};
};

bool lettura_linea::esegui() {
  if (cerca_generale() == esito::ferma || sezione_generale() == esito::ferma) return false;

  f_.progressive_ordina();
  f_.n_montagne = 0;
  f_.prossimo_cartello = voce_tabella::primo_cartello;
  if (f_.scrivi_linea != 0) {
    if (!f_.punti_linea.esiste()) throw errore_lettura(manca_lunghezza);
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
    if (in_.fine()) {
      colpa_ = {};  // a problem of the whole file, not of a row
      return ferma(errore_compilazione::manca_sezione_generale);
    }
    if (contiene_ic(f_.riga, intestazione_generale)) return esito::avanti;
  }
}

lettura_linea::esito lettura_linea::sezione_generale() {
  while (!in_.fine()) {
    leggi_capo();
    if (in_.fine()) break;
    // Comment lines: up to ten dash items in a row are passed over.
    for (int n = 0; n < 10; ++n) {
      if (!contiene(f_.riga, "-")) continue;
      commento();
      leggi_capo();
    }
    if (riga_generale() == esito::ferma) return esito::ferma;
    const std::string& r = f_.riga;
    if (!r.starts_with('-') && contiene(r, "[") && contiene(r, "]")) {
      if (contiene_ic(r, intestazione_generale))
        avvisa(tipo_avviso::generale_fuori, capo_,
               "una seconda riga [generale] chiude la sezione [generale]: le righe generali "
               "dopo di essa non sono lette; togliere questa riga");
      break;
    }
  }
  return esito::avanti;
}

// A segment's row, read into `voce` (as read: "tre" the first segment's entry).
void lettura_linea::leggi_segmento(int voce) {
  f_.righe_segmenti[static_cast<size_t>(voce - voce_tabella::primo_segmento)] = {
      nome_file_, capo_.riga, capo_.colonna};
  voce_corsa& v = f_.tabella_corsa[voce];
  v.inizio = in_.i32();
  v.fine = in_.i32();
  v.progressiva = in_.i32();
}

// Every general row whose words the lead item holds reads its values.
lettura_linea::esito lettura_linea::riga_generale() {
  const std::string& r = f_.riga;
  auto& t = f_.tabella_corsa;
  bool letta = false;
  const auto riga_di = [&letta](bool si) {
    letta = letta || si;
    return si;
  };
  if (riga_di(apre_riga(r, riga_sorgente::lunghezza))) {
    const int32_t L = posizione();
    t[voce_tabella::lunghezza].fine = L;
    f_.riga_lunghezza = {nome_file_, colpa_.riga, colpa_.colonna};
    if (L > lunghezza_massima) return ferma(errore_compilazione::linea_troppo_lunga);
    // Cell 1 is the header of the track file: a track must reach it.
    const int32_t n = ultima_cella_per(L);
    if (n < 2)
      throw errore_lettura("la lunghezza del percorso, " + std::to_string(L) +
                           " m, è troppo corta: il tracciato deve arrivare alla cella 1, e la "
                           "lunghezza minima è -6925 m");
    if (L <= 0)
      avvisa(tipo_avviso::numero_negativo, colpa_,
             "la lunghezza del percorso è " + std::to_string(L) +
                 " m: ogni riga con una posizione cadrà fuori dal percorso; scrivere la "
                 "lunghezza in metri, da 1 in su");
    f_.lunghezza_estesa = L + coda_percorso;
    f_.ultima_cella = n;
    f_.celle.assign(static_cast<size_t>(f_.ultima_cella) + 1, cella{});
    if (f_.scrivi_linea != 0) f_.punti_linea.crea(f_.lunghezza_estesa);
  }
  if (riga_di(apre_riga(r, riga_sorgente::progressiva_tre)))
    leggi_segmento(voce_tabella::primo_segmento);
  if (riga_di(apre_riga(r, riga_sorgente::progressiva_due)))
    leggi_segmento(voce_tabella::secondo_segmento);
  if (riga_di(apre_riga(r, riga_sorgente::progressiva_uno)))
    leggi_segmento(voce_tabella::terzo_segmento);
  if (riga_di(apre_riga(r, riga_sorgente::sfondo_uno)))
    t[voce_tabella::scenario].inizio = in_.i32();
  if (riga_di(apre_riga(r, riga_sorgente::sfondo_due)))
    t[voce_tabella::scenario].progressiva = in_.i32();
  if (riga_di(apre_riga(r, riga_sorgente::sfondo_tre))) t[voce_tabella::scenario].fine = in_.i32();
  if (riga_di(apre_riga(r, riga_sorgente::ripetizione_segnali))) {
    t[voce_tabella::treno].inizio = posizione();
    t[voce_tabella::treno].fine = in_.i32();
    if (!multiplo_cella(t[voce_tabella::treno].inizio))
      return ferma(errore_compilazione::inizio_ripetizione_fuori_passo);
    colpa_qui();
    if (!multiplo_cella(t[voce_tabella::treno].fine))
      return ferma(errore_compilazione::fine_ripetizione_fuori_passo);
    colpa_ = capo_;
    if (contiene_ic(r, "4")) {
      t[voce_tabella::treno].progressiva = 4;
    } else if (contiene_ic(r, "9")) {
      t[voce_tabella::treno].progressiva = 9;
    } else {
      return ferma(errore_compilazione::ripetizione_senza_codici);
    }
    if (t[voce_tabella::treno].fine == 0) t[voce_tabella::treno].progressiva = 0;
  }
  if (!letta) riga_non_letta();
  return esito::avanti;
}

lettura_linea::esito lettura_linea::record() {
  const std::string& r = f_.riga;
  esito e = esito::avanti;
  bool letta = false;
  const auto riga_di = [&letta](bool si) {
    letta = letta || si;
    return si;
  };
  if (riga_di(apre_riga(r, riga_sorgente::pendenza)) && (e = pendenza()) != esito::avanti) return e;
  if (riga_di(apre_riga(r, riga_sorgente::curva))) {
    // Without the plan a curve's values are read as lead items of their own.
    if (f_.scrivi_linea == 0) salta_riga();
    if (f_.scrivi_linea != 0 && (e = curva()) != esito::avanti) return e;
  }
  if (riga_di(apre_riga(r, riga_sorgente::montagna)) && (e = montagna()) != esito::avanti) return e;
  if (riga_di(apre_riga(r, riga_sorgente::indicatore_v_max)) && (e = indicatore()) != esito::avanti)
    return e;
  if (apre_riga(r, riga_sorgente::cartello)) return cartello();
  if (!letta && !generale_fuori()) riga_non_letta();
  return esito::avanti;
}

// A general row after the general section is not read: its keyword is
// right, its place is not. True when the lead item is one.
bool lettura_linea::generale_fuori() {
  for (auto k = static_cast<uint8_t>(riga_sorgente::lunghezza);
       k <= static_cast<uint8_t>(riga_sorgente::ripetizione_segnali); ++k) {
    if (!capo_a_inizio_riga_ || !apre_riga(f_.riga, static_cast<riga_sorgente>(k))) continue;
    avvisa(tipo_avviso::generale_fuori, capo_,
           "riga ignorata: " + citazione(f_.riga) +
               " è una riga della sezione [generale], che finisce alla prima riga tra "
               "parentesi quadre: spostarla in testa al file, nella sezione [generale]");
    salta_riga();
    return true;
  }
  return false;
}

// The cells up to the one before `fino` get the gradient in force. A file
// without a length row has no cells at all to fill.
void lettura_linea::riempi_pendenza(int64_t fino) {
  if (f_.celle.empty()) throw errore_lettura(manca_lunghezza);
  riempi(c_, fino, [this](cella& c) { c.pendenza = byte_pendenza(g_); });
}

lettura_linea::esito lettura_linea::pendenza() {
  luogo dove;
  const esito e =
      riga_di_valore(g_, pendenze_, dove, [this](int64_t fino) { riempi_pendenza(fino); });
  const int64_t nel_byte = pendenza_del_byte(byte_pendenza(g_));
  if (e == esito::avanti && nel_byte != g_)
    avvisa(tipo_avviso::valore_troncato, dove,
           "la pendenza " + std::to_string(g_) +
               " per mille è fuori da -100 ... 155 e nel file compilato diventa " +
               std::to_string(nel_byte));
  return e;
}

lettura_linea::esito lettura_linea::curva() {
  const int32_t s = posizione();
  const int32_t d = in_.i32();
  if (!in_percorso(s)) return fuori_percorso(s);
  double k = 0;
  bool trovata = false;
  for (int classe = 0; classe < 6; ++classe) {
    if (f_.riga.find(static_cast<char>('1' + classe)) != std::string::npos) {
      k = curvature_classi[classe];
      trovata = true;
      break;
    }
  }
  if (!trovata) {
    colpa_ = capo_;
    return ferma(errore_compilazione::curva_non_valida, s);
  }
  if (contiene_ic(f_.riga, "s")) k = -k;
  avvisa_curva(s, d, k);

  // A straight run-in up to the start, then the arc, neither past the
  // ceiling of the plan's index: the points up to it are computed, and a
  // run-in that reaches it leaves no arc to take. Every curve before stopped
  // short of it, so the next point is never past it here.
  punti_piano& piano = f_.punti_linea;
  piano.dritto_fino(std::min<int64_t>(s, ultimo_punto_curve));
  piano.curva_fino(std::min<int64_t>(static_cast<int64_t>(s) + d, ultimo_punto_curve), k);
  if (piano.prossimo() > ultimo_punto_curve) return ferma(errore_compilazione::curva_non_valida, s);
  if (static_cast<int64_t>(s) + d > f_.lunghezza_estesa)
    avvisa(tipo_avviso::curva_oltre_fine, colpa_,
           "la curva finisce a " + std::to_string(static_cast<int64_t>(s) + d) +
               " m, oltre l'ultimo punto del tracciato (" + std::to_string(f_.lunghezza_estesa) +
               " m): la parte oltre si perde");
  return esito::avanti;
}

// The lead item names the side by "s" (left) or "d" (right) and the class by
// one digit; any "s" makes a left-hand curve and the lowest digit wins.
void lettura_linea::avvisa_curva(int64_t s, int64_t d, double k) {
  const std::string& r = f_.riga;
  const bool sinistra = contiene_ic(r, "s");
  int cifre = 0;
  char classe = 0;
  for (char c = '6'; c >= '1'; --c)
    if (r.find(c) != std::string::npos) {
      ++cifre;
      classe = c;
    }
  if (sinistra == contiene_ic(r, "d") || cifre > 1)
    avvisa(tipo_avviso::curva_ambigua, capo_,
           citazione(r) + " è letta come curva a " + (k < 0 ? "sinistra" : "destra") +
               " di classe " + classe +
               ": il lato si scrive 's' o 'd' e la classe con una cifra "
               "sola da 1 a 6, come in 'curvad4'");
  // The plan is drawn up to the point before the next one to compute.
  const int64_t disegnato = f_.punti_linea.prossimo() - 1;
  if (disegnato > 1 && s < disegnato)
    avvisa(tipo_avviso::curva_tagliata, colpa_,
           s + d <= disegnato
               ? "la curva da " + std::to_string(s) + " a " + std::to_string(s + d) +
                     " m sta dentro il tracciato già disegnato fino a " +
                     std::to_string(disegnato) + " m dalle curve precedenti: non ha effetto"
               : "la curva comincia a " + std::to_string(s) +
                     " m, dentro il tracciato già disegnato fino a " + std::to_string(disegnato) +
                     " m dalle curve precedenti: ne resta solo la parte dopo " +
                     std::to_string(disegnato) + " m");
}

lettura_linea::esito lettura_linea::montagna() {
  const int32_t inizio = posizione();
  const int32_t fine = in_.i32();
  int32_t tipo = in_.i32();
  if (!in_percorso(inizio)) return fuori_percorso(inizio);
  f_.memo_montagna(inizio, fine, tipo);
  if (f_.problema.codice > 0) return rifiutata(f_.problema.codice, inizio);
  return esito::avanti;
}

lettura_linea::esito lettura_linea::indicatore() {
  int32_t v[9];
  v[0] = posizione();
  // A side of the board left blank reads as zeros.
  vuote_ammesse_ = true;
  for (int i = 1; i < 9; ++i) v[i] = in_.i32();
  vuote_ammesse_ = false;
  const int32_t p = v[0];
  if (!in_percorso(p) || indice_cella(p, 1) < 0) return fuori_percorso(p);
  f_.memo_indicatori_v_max(p, v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
  if (f_.problema.codice > 0) return rifiutata(f_.problema.codice, p);
  return esito::avanti;
}

lettura_linea::esito lettura_linea::cartello() {
  const int32_t p = posizione();
  f_.riga = in_.testo();
  testo_in_fondo(f_.riga);
  if (!in_percorso(p)) return fuori_percorso(p);
  const int64_t i = indice_cella(p, 1);
  if (i < 0) return fuori_percorso(p);
  if (f_.celle.empty()) throw errore_lettura(manca_lunghezza);
  cella& c = f_.celle[i];
  if (!libera(c)) return ferma(errore_compilazione::cartello_su_cella_occupata, p);
  // Board texts fill the table from the first board's entry down to the
  // first station's, no further.
  if (f_.prossimo_cartello < voce_tabella::prima_stazione)
    throw errore_lettura("troppi cartelli: i testi di più di " +
                             std::to_string(voce_tabella::primo_cartello) +
                             " cartelli non trovano posto",
                         colpa_.riga, colpa_.colonna);
  if (f_.riga.size() > testo_massimo)
    throw errore_lettura("il testo del cartello supera " + std::to_string(testo_massimo) +
                         " caratteri");
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

bool compilatore::leggi_sorgente_linea() {
  tabella_corsa[voce_tabella::scenario].nome = nome_scenario;
  tabella_corsa[voce_tabella::treno].nome = numero_treno;
  std::error_code ec;
  if (!std::filesystem::exists(file_sorgente_linea(), ec)) {
    problema.codice = numero_errore(errore_compilazione::manca_sorgente_linea);
    return false;
  }
  return leggi_sorgente(*this, file_sorgente_linea(),
                        [this](lettore_voci& in) { return lettura_linea(*this, in).esegui(); });
}
