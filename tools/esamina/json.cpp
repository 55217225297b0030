#include "tools/esamina/json.h"

#include <vector>

#include "tools/esamina/testo.h"

namespace {

void lista_celle(scrittore_json& j, std::string_view k, const std::vector<size_t>& celle) {
  j.chiave(k);
  j.lista();
  for (size_t c : celle) j.numero(static_cast<int64_t>(c));
  j.fine_lista();
}

void file_json(scrittore_json& j, std::string_view k, const std::string& nome, bool presente,
               size_t byte) {
  j.chiave(k);
  j.oggetto();
  j.campo("nome", nome);
  j.chiave("presente");
  j.logico(presente);
  j.campo("byte", static_cast<int64_t>(byte));
  j.fine_oggetto();
}

template <typename T>
void opzionale(scrittore_json& j, std::string_view k, const std::optional<T>& v) {
  j.chiave(k);
  if (v)
    j.numero(static_cast<int64_t>(*v));
  else
    j.nullo();
}

// k is there whenever g is: descrivi reads both from the table's last entries.
void generale_json(scrittore_json& j, const valori_generali& g,
                   const std::optional<chilometri_linea>& k) {
  j.oggetto();
  j.campo("lunghezza_m", g.lunghezza);
  j.campo("celle", static_cast<int64_t>(g.celle));
  j.chiave("progressive");
  j.lista();
  for (const segmento_chilometrico& s : k->segmenti()) {
    j.oggetto();
    j.campo("voce", s.voce);
    j.campo("inizio_m", s.inizio);
    j.campo("progressiva_m", s.memorizzato);  // as stored: code 1 adds 100 m
    j.campo("codice", s.codice);
    j.campo("valore_scritto_m", s.valore);
    j.chiave("in_uso");
    j.logico(s.in_uso);
    j.fine_oggetto();
  }
  j.fine_lista();
  tratti_chilometrici_json(j, k);
  j.chiave("sfondi");
  j.lista();
  for (int32_t v : g.sfondi) j.numero(int64_t{v});
  j.fine_lista();
  j.chiave("ripetizione_segnali");
  j.oggetto();
  j.campo("inizio_m", g.ripetizione_inizio);
  j.campo("fine_m", g.ripetizione_fine);
  j.campo("codici", g.ripetizione_codici);
  j.fine_oggetto();
  j.campo("vetture", g.vetture);
  j.campo("massa_frenata_percento", g.massa_frenata);
  j.campo("sabbia", g.sabbia);
  j.chiave("orologio");
  j.oggetto();
  j.campo("ore", g.orologio[0]);
  j.campo("minuti", g.orologio[1]);
  j.campo("secondi", g.orologio[2]);
  j.campo("testo", ora(int64_t{g.orologio[0]} * 3600 + g.orologio[1] * 60 + g.orologio[2]));
  j.fine_oggetto();
  j.campo("nome_scenario", g.nome_scenario);
  j.campo("numero_treno", g.numero_treno);
  j.fine_oggetto();
}

void stazione_json(scrittore_json& j, const stazione& st) {
  const voce_corsa& v = st.dati;
  j.oggetto();
  j.campo("voce", st.voce);
  j.campo("nome", st.nome);
  j.campo("tipo", v.tipo);
  j.campo("progressiva_m", v.progressiva);
  opzionale(j, "km_ferroviario_m", st.km);
  j.campo("inizio_m", v.inizio);
  j.campo("fine_m", v.fine);
  lista_celle(j, "celle_fermata", st.celle_fermata);
  j.campo("orario_s", v.orario);
  j.campo("orario", ora(v.orario));
  j.campo("byte1", v.byte1);
  j.campo("byte2", v.byte2);
  j.campo("byte3", v.byte3);
  j.campo("byte4", v.byte4);
  j.campo("byte5", v.byte5);
  j.campo("intero1", v.intero1);
  j.campo("intero2", v.intero2);
  j.campo("intero3", v.intero3);
  j.campo("intero4", v.intero4);
  j.campo("intero5", v.intero5);
  j.fine_oggetto();
}

void oggetto_json(scrittore_json& j, const oggetto& o) {
  const cella& c = o.dati;
  j.oggetto();
  j.campo("cella", static_cast<int64_t>(o.indice));
  j.campo("posizione_m", o.posizione);
  opzionale(j, "km_ferroviario_m", o.km);
  j.campo("tipo", c.tipo);
  j.campo("genere", nome_tipo(c.tipo));
  j.chiave("valori");
  j.oggetto();
  for (const campo& v : o.valori) j.campo(v.nome, v.valore);
  j.fine_oggetto();
  if (c.tipo == tipo_cella::cartello) j.campo("testo", o.testo);
  j.campo("marca", c.dato6);
  j.chiave("dati");
  j.lista();
  for (int64_t v : {int64_t{c.dato1}, int64_t{c.dato2}, int64_t{c.dato3}, int64_t{c.dato4},
                    int64_t{c.dato5}, int64_t{c.dato6}})
    j.numero(v);
  j.fine_lista();
  j.fine_oggetto();
}

void tratti_json(scrittore_json& j, std::string_view k, const std::vector<tratto>& tratti) {
  j.chiave(k);
  j.lista();
  for (const tratto& t : tratti) {
    j.oggetto();
    j.campo("prima_cella", static_cast<int64_t>(t.prima));
    j.campo("ultima_cella", static_cast<int64_t>(t.ultima));
    j.campo("da_m", t.da_m());
    j.campo("a_m", t.a_m());
    j.campo("valore", t.valore);
    j.fine_oggetto();
  }
  j.fine_lista();
}

}  // namespace

void tratti_chilometrici_json(scrittore_json& j, const std::optional<chilometri_linea>& k) {
  j.chiave("tratti_chilometrici");
  if (!k) {
    j.nullo();
    return;
  }
  j.lista();
  for (const tratto_chilometrico& t : k->tratti()) {
    j.oggetto();
    j.campo("da_m", t.da_m);
    j.campo("km_m", t.km_m);
    j.campo("verso", t.verso);
    j.campo("voce", t.voce);
    j.fine_oggetto();
  }
  j.fine_lista();
}

std::string documento_json(const scenario_letto& s, const descrizione& d) {
  scrittore_json j;
  j.oggetto();
  j.campo("scenario", da_1252(s.nome_scenario));
  j.campo("treno", da_1252(s.numero_treno));
  j.chiave("file");
  j.oggetto();
  file_json(j, "linea", s.file.linea, s.linea_presente, s.byte_linea);
  file_json(j, "tabella", s.file.tabella, s.tabella_presente, s.byte_tabella);
  file_json(j, "tracciato", s.file.tracciato, s.tracciato_presente, s.byte_tracciato);
  j.fine_oggetto();

  j.chiave("valido");
  j.logico(s.problemi.empty());
  j.chiave("problemi");
  j.lista();
  for (const problema& p : s.problemi) {
    j.oggetto();
    j.campo("file", p.file);
    opzionale(j, "byte", p.byte);
    j.campo("testo", p.testo);
    j.fine_oggetto();
  }
  j.fine_lista();

  j.chiave("generale");
  if (d.generale)
    generale_json(j, *d.generale, d.chilometri);
  else
    j.nullo();

  j.chiave("intestazione");
  j.oggetto();
  opzionale(j, "formato_tracciato", d.testata.formato_tracciato);
  opzionale(j, "codice_tracciato", d.testata.codice_tracciato);
  opzionale(j, "formato_tabella", d.testata.formato_tabella);
  opzionale(j, "codice_tabella", d.testata.codice_tabella);
  j.fine_oggetto();

  j.chiave("stazioni");
  j.lista();
  for (const stazione& st : d.stazioni) stazione_json(j, st);
  j.fine_lista();

  j.chiave("cartelli");
  j.lista();
  for (const testo_cartello& t : d.cartelli) {
    j.oggetto();
    j.campo("voce", t.voce);
    j.campo("testo", t.testo);
    lista_celle(j, "celle", t.celle);
    j.fine_oggetto();
  }
  j.fine_lista();

  j.chiave("celle");
  j.lista();
  for (const oggetto& o : d.oggetti) oggetto_json(j, o);
  j.fine_lista();

  j.chiave("profili");
  j.oggetto();
  tratti_json(j, "velocita_kmh", d.profilo.velocita);
  tratti_json(j, "pendenza_per_mille", d.profilo.pendenza);
  tratti_json(j, "aderenza", d.profilo.aderenza);
  tratti_json(j, "montagna", d.profilo.montagna);
  j.fine_oggetto();

  j.chiave("piano");
  j.oggetto();
  j.campo("punti", static_cast<int64_t>(d.piano.punti));
  for (auto [k, v] : {std::pair{"x_min", d.piano.x_min}, std::pair{"x_max", d.piano.x_max},
                      std::pair{"y_min", d.piano.y_min}, std::pair{"y_max", d.piano.y_max}}) {
    j.chiave(k);
    if (v)
      j.numero(*v);
    else
      j.nullo();
  }
  j.fine_oggetto();

  j.fine_oggetto();
  return j.fine();
}
