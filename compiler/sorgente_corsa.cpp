// Second stage of memorizza_dati: the run source file. It stores the train's
// general values, fills the speed limit and adhesion of every cell, places the
// cab-signal code points, the stations with their stops, and hands signals
// and slowdowns to their storers.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "compiler/avviso_rallentamento.h"
#include "compiler/codici_errore.h"
#include "compiler/compilatore.h"
#include "compiler/lettura_sorgente.h"
#include "compiler/numeri.h"
#include "compiler/parole_chiave.h"
#include "sistema/file_disco.h"

namespace {

class lettura_corsa : lettura_sorgente {
 public:
  lettura_corsa(compilatore& f, lettore_voci& in)
      : lettura_sorgente(f, in, f.file_sorgente_corsa()), u_(f.ultima_cella) {}

  void esegui();

 private:
  esito riga();
  esito velocita();
  esito aderenza();
  esito codice();
  esito segnale();
  esito rallentamento();
  esito stazione();
  void fine_file();

  // The speed in 5 km/h units must fit its byte. It is tested when a fill
  // uses it, which may be rows later: the fault lies with the row that set it.
  uint8_t unita_velocita() {
    const std::optional<uint8_t> u = ::unita_velocita(velocita_);
    if (!u) {
      f_.problema.posizione = posizione_velocita_;
      throw errore_lettura("la velocità " + std::to_string(velocita_) +
                               " km/h è fuori dai limiti: va da 0 a 1277 km/h",
                           luogo_velocita_.riga, luogo_velocita_.colonna);
    }
    return *u;
  }
  void scrivi_velocita();
  void riempi_aderenza(int64_t fino);
  cella& cella_in(int64_t i) { return f_.celle[static_cast<size_t>(i)]; }

  const int64_t u_;

  // Fill points (next cell not yet given a value) and the values in force.
  // Before the first row of its kind a value in force is 0.
  int64_t punto_velocita_ = 0;
  int64_t punto_aderenza_ = 0;
  int64_t velocita_ = 0;
  luogo luogo_velocita_;  // of the row that set the speed in force
  int32_t posizione_velocita_ = 0;
  int64_t aderenza_ = 0;
  int32_t stazione_ = 1;      // the entry of the next station
  int64_t orario_prima_ = 0;  // of the last station with a time, in seconds

  // A time as the author wrote it, hh:mm:ss.
  static std::string orario_letto(int64_t ore, int64_t minuti, int64_t secondi) {
    std::string r;
    for (const int64_t v : {ore, minuti, secondi}) {
      if (!r.empty()) r += ':';
      if (v >= 0 && v < 10) r += '0';
      r += std::to_string(v);
    }
    return r;
  }
  void controlla_orario(int64_t ore, int64_t minuti, int64_t secondi, luogo dove) {
    if (ore >= 0 && ore <= 23 && minuti >= 0 && minuti <= 59 && secondi >= 0 && secondi <= 59)
      return;
    avvisa(tipo_avviso::orario_impossibile, dove,
           "l'orario " + orario_letto(ore, minuti, secondi) +
               " non esiste: le ore vanno da 0 a 23, i minuti e i secondi da 0 a 59; correggere "
               "l'orario");
  }
  void non_negativo(int64_t v, const char* che_cosa) {
    if (v >= 0) return;
    avvisa(tipo_avviso::numero_negativo, qui(),
           std::string(che_cosa) + " è " + std::to_string(v) +
               ", sotto zero: scrivere un numero da 0 in su");
  }
  ordine_righe velocita_righe_{"velocità"};
  ordine_righe aderenze_{"aderenza"};
};

void lettura_corsa::esegui() {
  // Nothing before the general section is looked at.
  bool generale = false;
  while (!in_.fine() && !generale) {
    leggi_capo();
    generale = contiene_ic(f_.riga, intestazione_generale);
  }
  if (!generale)
    avvisa(tipo_avviso::senza_generale, {1, 1},
           "manca la riga [generale]: nessuna riga del file è letta; scriverla in testa al "
           "file, prima delle righe del treno");
  while (prossima_riga()) {
    const esito e = riga();
    if (e == esito::ferma) return;
    if (e == esito::fuori_percorso) break;
  }
  fine_file();
}

// The keyword tests are independent: one token may start several rows.
lettura_corsa::esito lettura_corsa::riga() {
  const std::string& r = f_.riga;
  auto& t = f_.tabella_corsa;
  esito e = esito::avanti;
  bool letta = false;
  const auto parola = [&](riga_sorgente p) {
    const bool si = apre_riga(r, p);
    letta |= si;
    return si;
  };
  if (parola(riga_sorgente::massa_frenata)) {
    t[voce_tabella::lunghezza].inizio = in_.i32();
    non_negativo(t[voce_tabella::lunghezza].inizio, "la percentuale di massa frenata");
  }
  if (parola(riga_sorgente::vetture)) {
    t[voce_tabella::lunghezza].progressiva = in_.i32();
    non_negativo(t[voce_tabella::lunghezza].progressiva, "il numero di vetture");
  }
  if (parola(riga_sorgente::velocita) && (e = velocita()) != esito::avanti) return e;
  if (parola(riga_sorgente::aderenza) && (e = aderenza()) != esito::avanti) return e;
  if (parola(riga_sorgente::orologio)) {
    t[voce_tabella::treno].intero3 = in_.i16();
    const luogo dove = qui();
    t[voce_tabella::treno].intero4 = in_.i16();
    t[voce_tabella::treno].intero5 = in_.i16();
    controlla_orario(t[voce_tabella::treno].intero3, t[voce_tabella::treno].intero4,
                     t[voce_tabella::treno].intero5, dove);
  }
  if (parola(riga_sorgente::sabbia)) t[voce_tabella::treno].intero1 = in_.i16();
  if (parola(riga_sorgente::segnale) && (e = segnale()) != esito::avanti) return e;
  if (parola(riga_sorgente::rallentamento) && (e = rallentamento()) != esito::avanti) return e;
  if (parola(riga_sorgente::abbattimento) && (e = codice()) != esito::avanti) return e;
  if (parola(riga_sorgente::stazione)) return stazione();
  if (!letta) riga_non_letta();
  return esito::avanti;
}

void lettura_corsa::scrivi_velocita() {
  cella_in(punto_velocita_).velocita = unita_velocita();
  ++punto_velocita_;
}

void lettura_corsa::riempi_aderenza(int64_t fino) {
  riempi(punto_aderenza_, fino, [this](cella& c) { c.aderenza = basso8(aderenza_); });
}

lettura_corsa::esito lettura_corsa::velocita() {
  // At least one cell is written; the fill stops short of the last cell.
  luogo dove;
  const esito e = riga_di_valore(velocita_, velocita_righe_, dove, [this](int64_t c) {
    do {
      if (punto_velocita_ >= u_) break;
      scrivi_velocita();
    } while (punto_velocita_ < c);
  });
  if (e == esito::avanti) {
    luogo_velocita_ = in_.riga_corrente().riga_seguito != 0 ? capo_ : dove;
    posizione_velocita_ = velocita_righe_.posizione;
  }
  return e;
}

lettura_corsa::esito lettura_corsa::aderenza() {
  luogo dove;
  const esito e =
      riga_di_valore(aderenza_, aderenze_, dove, [this](int64_t fino) { riempi_aderenza(fino); });
  if (e == esito::avanti && (aderenza_ < 0 || aderenza_ > 255))
    avvisa(tipo_avviso::valore_troncato, dove,
           "l'aderenza " + std::to_string(aderenza_) +
               " è fuori da 0 ... 255 e nel file compilato diventa " +
               std::to_string(basso8(aderenza_)));
  return e;
}

lettura_corsa::esito lettura_corsa::codice() {
  const int32_t p = posizione();
  // A word in place of the code ("AC") is a point where the code ceases.
  parole_ammesse_ = true;
  const int32_t w = in_.i32();
  parole_ammesse_ = false;
  const luogo dove = qui();
  const int64_t c = indice_cella(p, 0);
  if (!in_percorso(p) || !in_celle(c)) return fuori_percorso(p);
  cella& x = cella_in(c);
  if (!libera(x)) return ferma(errore_compilazione::codice_su_cella_occupata, p);
  if (w > 0) {
    x.tipo = tipo_cella::punto_codice;
    x.dato1 = basso16(w);
    if (w > 32767)
      avvisa(tipo_avviso::valore_troncato, dove,
             "il codice " + std::to_string(w) + " è oltre 32767 e nel file compilato diventa " +
                 std::to_string(x.dato1));
  } else {
    x.tipo = tipo_cella::punto_senza_codice;
  }
  return esito::avanti;
}

lettura_corsa::esito lettura_corsa::segnale() {
  const int32_t posizione = lettura_sorgente::posizione();
  int32_t v[10];
  for (int32_t& x : v) x = in_.i32();
  if (!in_percorso(posizione) || !in_celle(indice_cella(posizione, 1)))
    return fuori_percorso(posizione);
  f_.memo_segnale(posizione, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]);
  if (f_.problema.codice > 0) return rifiutata(f_.problema.codice, posizione);
  return esito::avanti;
}

lettura_corsa::esito lettura_corsa::rallentamento() {
  const int32_t x = posizione();
  int32_t v = in_.i32();
  int32_t l = in_.i32();
  int32_t f_tt = in_.i32();
  const int32_t f_ta = in_.i32();
  int32_t d_v = in_.i32();
  if (!in_percorso(x)) return fuori_percorso(x);
  // The start, end and warning-board cells must all lie on the track.
  const bool dentro = in_celle(indice_cella(x, 1)) &&
                      in_celle(indice_cella(static_cast<int64_t>(x) + l, 1)) &&
                      (x <= inizio_con_avviso ||
                       in_celle(indice_cella(static_cast<int64_t>(x) - distanza_avviso, 1)));
  if (!dentro) return fuori_percorso(x);
  f_.memo_rallentamento(x, v, l, f_tt, f_ta, d_v);
  if (f_.problema.codice > 0) return rifiutata(f_.problema.codice, x);
  return esito::avanti;
}

lettura_corsa::esito lettura_corsa::stazione() {
  const int32_t k = stazione_;
  // Stations grow upwards towards the board texts and never reach them.
  if (k > f_.prossimo_cartello) return ferma(errore_compilazione::troppe_stazioni);
  voce_corsa& s = f_.tabella_corsa[static_cast<size_t>(k)];

  const int32_t p = posizione();
  s.progressiva = p;
  if (!in_percorso(p, 800)) return fuori_percorso(p);
  if (!multiplo_cella(p)) return ferma(errore_compilazione::stazione_fuori_passo, p);
  s.tipo = in_.u8();
  const int32_t lunghezza = in_.i32();
  if (lunghezza % 100 != 0) {
    colpa_qui();
    return ferma(errore_compilazione::lunghezza_stazione_fuori_passo, p);
  }
  s.byte1 = in_.u8();
  s.byte5 = in_.u8();
  s.byte4 = in_.u8();
  s.intero1 = in_.i16();
  s.intero2 = in_.i16();
  s.byte2 = in_.u8();
  s.intero3 = in_.i16();
  s.intero4 = in_.i16();
  s.intero5 = in_.i16();
  s.byte3 = in_.u8();
  const int64_t ore = in_.i32();
  const luogo dove_orario = qui();
  const int64_t minuti = in_.i32();
  const int64_t secondi = in_.i32();
  const std::string_view nome = in_.testo();
  testo_in_fondo(nome);
  if (nome.size() > testo_massimo)
    throw errore_lettura("il nome della stazione supera 32767 caratteri");
  s.nome = nome;

  auto lungo = [this](int64_t v) {
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
      throw errore_lettura(
          "l'orario o l'area della stazione escono dai limiti di un numero a 32 bit", colpa_.riga,
          colpa_.colonna);
    return static_cast<int32_t>(v);
  };
  s.orario = lungo((ore * 60 + minuti) * 60 + secondi);
  controlla_orario(ore, minuti, secondi, dove_orario);
  // A station without a time (a junction, a stop not in the timetable) has 0.
  if (s.orario != 0) {
    if (orario_prima_ > s.orario)
      avvisa(tipo_avviso::orario_indietro, dove_orario,
             "l'orario " + orario_letto(ore, minuti, secondi) +
                 " viene prima di quello della stazione precedente, " +
                 orario_letto(orario_prima_ / 3600, orario_prima_ / 60 % 60, orario_prima_ % 60) +
                 ": gli orari vanno in ordine lungo la corsa; controllare le due stazioni");
    orario_prima_ = s.orario;
  }

  const uint8_t tipo = s.tipo;
  if (!allungabile(tipo)) s.byte4 = 0;
  const area_stazione area = area_del_tipo(tipo, p, lunghezza, s.byte4 != 0);
  s.inizio = lungo(area.inizio);
  s.fine = lungo(area.fine);
  if (lunghezza < 600) s.byte5 = 0;
  if (k == 1) {
    s.byte4 = 0;
    s.byte5 = 0;
  }

  if (ferma_il_treno(tipo)) {
    const int64_t fermata = cella_fermata(s.fine);
    if (fermata > u_) return fuori_percorso(p);
    if (ha_segni_fermata(tipo)) {
      for (int j = 1; j <= segni_fermata; ++j) {
        const int64_t t = cella_segno_fermata(s.fine, j);
        if (t > 1) cella_in(t).dato6 = segno_fermata(j);
      }
    }
    if (fermata <= 1) return ferma(errore_compilazione::fermata_troppo_presto, p);
    // A stop never takes a cell that holds another object.
    if (!libera(cella_in(fermata))) return ferma(errore_compilazione::fermata_su_cella_occupata, p);
    cella_in(fermata).tipo = tipo_cella::fermata;
    cella_in(fermata).dato1 = basso16(k);
  }

  if (k > 1 && static_cast<int64_t>(s.inizio) - 350 < f_.tabella_corsa[k - 1].fine)
    return ferma(errore_compilazione::stazioni_troppo_vicine, p);
  ++stazione_;
  if (stazione_ >= f_.prossimo_cartello) return ferma(errore_compilazione::troppe_stazioni, p);
  return esito::avanti;
}

void lettura_corsa::fine_file() {
  elimina_file(f_.file_sorgente_corsa());
  // The tails: at least one cell each, never past the last cell.
  riempi(punto_velocita_, u_ - 2, [this](cella& c) { c.velocita = unita_velocita(); });
  riempi_aderenza(u_ - 2);

  for (int e = voce_tabella::primo_segmento; e <= voce_tabella::terzo_segmento; ++e) {
    const voce_corsa& v = f_.tabella_corsa[e];
    if (!multiplo_cella(v.inizio) || !multiplo_cella(v.fine)) {
      f_.problema.codice = numero_errore(errore_compilazione::progressiva_fuori_passo);
      const compilatore::luogo_riga& r =
          f_.righe_segmenti[static_cast<size_t>(e - voce_tabella::primo_segmento)];
      f_.problema.posizione = v.inizio;
      f_.problema.file = f_.file_sorgente_linea().filename().string();
      f_.problema.riga = r.riga;
      f_.problema.colonna = r.colonna;
    }
  }
}

}  // namespace

void compilatore::leggi_sorgente_corsa() {
  leggi_sorgente(*this, file_sorgente_corsa(), [this](lettore_voci& in) {
    lettura_corsa(*this, in).esegui();
    return true;
  });
}
