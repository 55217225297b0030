#include "tools/esamina/prova_scenario.h"

#include "compiler/file_compilati.h"
#include "compiler/numeri.h"
#include "compiler/passo_piano.h"
#include "tools/esamina/validazione.h"

namespace {

void metti_stazione(compilatore& f, int k, const char* nome, uint8_t tipo, int32_t pos,
                    int32_t inizio, int32_t fine, int32_t orario) {
  voce_corsa& v = f.tabella_corsa[k];
  v.tipo = tipo;
  v.progressiva = pos;
  v.inizio = inizio;
  v.fine = fine;
  v.nome = nome;
  v.orario = orario;
  v.intero3 = 4;
  v.intero4 = 1;
  v.intero5 = 1;
  v.byte3 = 30;
  if (ferma_il_treno(tipo)) {
    const int64_t t = cella_fermata(fine);
    f.celle[t].tipo = tipo_cella::fermata;
    f.celle[t].dato1 = static_cast<int16_t>(k);
    if (ha_segni_fermata(tipo))
      for (int j = 1; j <= segni_fermata; ++j)
        if (const int64_t c = cella_segno_fermata(fine, j); c > 1) f.celle[c].dato6 = segno_fermata(j);
  }
}

void metti_cartello(compilatore& f, int cella, int voce, const char* testo) {
  f.celle[cella].tipo = tipo_cella::cartello;
  f.celle[cella].dato1 = static_cast<int16_t>(voce);
  f.tabella_corsa[voce].nome = testo;
}

// The plan as the line reader builds it: straight runs and arcs, each step
// the previous step turned by k.
void piano(compilatore& f) {
  struct curva {
    int32_t inizio, lunghezza;
    double k;
  };
  const curva curve[] = {
      {500, 300, 0.001}, {3000, 1500, -0.0004}, {9000, 2600, 0.0002}, {14000, 800, -0.002}};
  punti_piano& p = f.punti_linea;
  p.crea(f.lunghezza_estesa);
  p.metti_intero(0, 0, 0);
  p.metti_intero(0, 1, 0);
  p.metti_intero(1, 0, 0);
  p.metti_intero(1, 1, 1);
  int32_t m = 2;
  const auto passo = [&](double k) {
    passo_piano q{p.valore(m - 1, 0), p.valore(m - 1, 1), p.valore(m - 2, 0), p.valore(m - 2, 1)};
    q.curva(k);
    p.metti_doppio(m, 0, q.x1);
    p.metti_doppio(m, 1, q.y1);
    ++m;
  };
  for (const curva& c : curve) {
    while (m <= c.inizio) passo(0);
    while (m <= c.inizio + c.lunghezza) passo(c.k);
  }
  while (m <= f.lunghezza_estesa - 2) passo(0);
}

}  // namespace

void riempi_scenario_di_prova(compilatore& f) {
  f.nome_scenario = "Ombrasca1";
  f.numero_treno = "5817";
  f.scrivi_linea = 1;
  const int32_t L = lunghezza_di_prova;
  f.lunghezza_estesa = L + coda_percorso;
  f.ultima_cella = ultima_cella_per(L);
  f.celle.assign(f.ultima_cella + 1, cella{});
  const int32_t U = f.ultima_cella;

  auto& t = f.tabella_corsa;
  const auto terna = [&t](int k, int32_t inizio, int32_t fine, int32_t progressiva) {
    t[k].inizio = inizio;
    t[k].fine = fine;
    t[k].progressiva = progressiva;
  };
  terna(voce_tabella::primo_segmento, 10000, 45100, 1);
  terna(voce_tabella::secondo_segmento, 5000, 40100, 2);
  terna(voce_tabella::terzo_segmento, 0, 39150, 1);
  terna(voce_tabella::lunghezza, 120, L, 5);   // braked mass, length, cars
  terna(voce_tabella::scenario, 1, 0, 51000);  // backgrounds one, three, two
  t[voce_tabella::scenario].nome = "Ombrasca1";
  terna(voce_tabella::treno, 4600, 15000, 9);  // cab-signal repetition
  t[voce_tabella::treno].nome = "5817";
  t[voce_tabella::treno].intero1 = 150;
  t[voce_tabella::treno].intero3 = 6;
  t[voce_tabella::treno].intero4 = 11;
  t[voce_tabella::treno].intero5 = 30;

  metti_stazione(f, 1, "Val d'Ombra", 12, 0, -250, 300, 22320);
  metti_stazione(f, 2, "S. PIETRO\xB0 2", 24, 12400, 12250, 12550, 22980);
  metti_stazione(f, 3, "Bivio Nord", 26, 15000, 14900, 15100, 23400);
  metti_stazione(f, 4, "Ombrasca", 6, 18650, 18150, 18800, 24000);

  metti_cartello(f, 61, 80, "(______)(______)(______)");
  metti_cartello(f, 62, 79, "(P.L.A.    )(km. 35+997)");
  metti_cartello(f, 253, 78, "(S.ROCCO\xB0)(BIVIO)");
  f.prossimo_cartello = 77;

  f.celle[11] = {.tipo = tipo_cella::indicatore_v_max, .dato1 = 1300, .dato2 = 1400, .dato3 = 1600};
  f.celle[300] = {.tipo = tipo_cella::indicatore_v_max,
                  .dato1 = 2020,
                  .dato2 = 2121,
                  .dato3 = 2222,
                  .dato4 = 20};

  f.celle[201] = {
      .tipo = tipo_cella::segnale, .dato1 = 42, .dato2 = 11, .dato3 = 11, .dato4 = 8, .dato5 = 225};
  for (int k = 1; k <= 4; ++k) f.celle[201 - 2 * k].dato6 = segno_segnale(8, k);
  f.celle[280] = {.tipo = tipo_cella::segnale, .dato1 = 50, .dato2 = 70, .dato3 = 0, .dato4 = 13};
  for (int k = 1; k <= 4; ++k) f.celle[280 - 2 * k].dato6 = segno_segnale(3, k);

  f.celle[93] = {.tipo = tipo_cella::punto_codice, .dato1 = 270};
  f.celle[150] = {.tipo = tipo_cella::punto_codice, .dato1 = 180};
  f.celle[160].tipo = tipo_cella::punto_senza_codice;

  // A slowdown at 8000 m for 500 m at 60 km/h, its warning board and marks.
  f.celle[161] = {.tipo = tipo_cella::inizio_rallentamento, .dato1 = 60, .dato3 = 1};
  f.celle[171] = {.tipo = tipo_cella::fine_rallentamento, .dato1 = 60, .dato3 = 1};
  f.celle[137] = {.tipo = tipo_cella::avviso_rallentamento, .dato1 = 60};
  for (int i = 0; i < 4; ++i)
    f.celle[136 - i] = {.tipo = tipo_cella::segno_avviso, .dato1 = static_cast<int16_t>(i + 1)};

  for (int i = 139; i <= 140; ++i) f.celle[i].montagna = 2;
  for (int i = 228; i <= 239; ++i) {
    f.celle[i].montagna = 3;
    if ((i - 227) % 4 == 0 && f.celle[i].tipo == tipo_cella::libera)
      f.celle[i].tipo = tipo_cella::marca_montagna;
  }

  for (int32_t i = 0; i <= U; ++i) {
    cella& c = f.celle[i];
    if (i <= U - 3) {
      c.pendenza = i < 10 ? 100 : i < 30 ? 103 : i <= 200 ? 100 : i <= 400 ? 65 : 129;
      c.velocita = i <= 40 ? 13 : i <= 120 ? 19 : 32;
      c.aderenza = i <= 253 ? 100 : 90;
    }
  }
  piano(f);
  f.riempi_intestazioni();
}

file_di_prova codifica_file(const compilatore& f) {
  return {codifica_linea(f.punti_linea), codifica_tabella(f.tabella_corsa),
          codifica_tracciato(f.celle)};
}

esame_di_prova::esame_di_prova() {
  riempi_scenario_di_prova(p.compilazione);
  rileggi();
}

void esame_di_prova::rileggi() {
  file = codifica_file(p.compilazione);
  s = esamina(file.viste(), "Ombrasca1", "5817");
  d = descrivi(s);
}
