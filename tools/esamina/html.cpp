#include "tools/esamina/html.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string_view>
#include <vector>

#include "compiler/formato.h"
#include "compiler/numeri.h"
#include "tools/esamina/json.h"
#include "tools/esamina/rapporto.h"
#include "tools/esamina/scrittore_json.h"
#include "tools/esamina/svg.h"
#include "tools/esamina/svg_elementi.h"
#include "tools/esamina/testo.h"
#include "tools/esamina/vista_incorporata.h"

namespace {

template <size_t n>
std::string unisci(const std::string_view (&pezzi)[n]) {
  std::string r;
  for (std::string_view p : pezzi) r += p;
  return r;
}

template <typename T, typename F>
void lista(scrittore_json& j, std::string_view k, const std::vector<T>& v, F valore) {
  j.chiave(k);
  j.lista();
  for (const T& e : v) valore(e);
  j.fine_lista();
}

void profilo(scrittore_json& j, std::string_view nome, std::string_view titolo,
             std::string_view unita, const std::vector<tratto>& tratti) {
  j.oggetto();
  j.campo("nome", nome);
  j.campo("titolo", titolo);
  j.campo("unita", unita);
  lista(j, "prima", tratti, [&](const tratto& t) { j.numero(static_cast<int64_t>(t.prima)); });
  lista(j, "ultima", tratti, [&](const tratto& t) { j.numero(static_cast<int64_t>(t.ultima)); });
  lista(j, "valore", tratti, [&](const tratto& t) { j.numero(int64_t{t.valore}); });
  j.fine_oggetto();
}

// The plan every cell length (50 m: finer than the page can show at any
// scale that holds a curve whole) and at its last metre, as whole metres
// (the page draws it some hundreds of pixels wide) given as the step from the
// point before: a few digits each. A metre without a finite point is null.
void piano(scrittore_json& j, const scenario_letto& s) {
  const piano_letto& p = s.punti;
  std::vector<std::optional<int64_t>> x, y;
  int32_t m = 0;
  p.percorri([&](uint16_t tx, double vx, uint16_t ty, double vy) {
    const bool preso = m % metri_cella == 0 || m == p.ultimo();
    ++m;
    if (!preso) return;
    // Past some 9e15 m a double has no whole metres to round to: no plan
    // has points that far, but a damaged file may.
    const auto intero = [](uint16_t t, double v) -> std::optional<int64_t> {
      if (t == tipo_valore::vuoto || !std::isfinite(v) || std::abs(v) > 1e15) return std::nullopt;
      return static_cast<int64_t>(std::llround(v));
    };
    const auto qx = intero(tx, vx), qy = intero(ty, vy);
    x.push_back(qx && qy ? qx : std::nullopt);
    y.push_back(qx && qy ? qy : std::nullopt);
  });
  j.oggetto();
  j.campo("passo_m", metri_cella);
  j.campo("ultimo_m", p.ultimo());
  for (auto [k, v] : {std::pair{"x", &x}, std::pair{"y", &y}}) {
    j.chiave(k);
    j.lista();
    int64_t prima = 0;
    for (const std::optional<int64_t>& q : *v) {
      if (!q) {
        j.nullo();
        continue;
      }
      j.numero(*q - prima);
      prima = *q;
    }
    j.fine_lista();
  }
  j.fine_oggetto();
}

}  // namespace

std::optional<int64_t> metro_del_problema(const scenario_letto& s, const descrizione& d,
                                          const problema& p) {
  if (!p.byte) return std::nullopt;
  const size_t byte = *p.byte;
  if (p.file == s.file.tracciato) {
    if (s.celle.empty()) return std::nullopt;
    const size_t cella = std::min(byte / byte_cella, s.celle.size() - 1);
    return posizione_cella(static_cast<int64_t>(cella), 0);
  }
  if (p.file == s.file.tabella) {
    int voce = -1;
    for (int k = 0; k < s.voci_lette; ++k)
      if (s.inizio_voce[k] <= byte) voce = k;
    for (const stazione& st : d.stazioni)
      if (st.voce == voce) return st.dati.progressiva;
    for (const testo_cartello& t : d.cartelli)
      if (t.voce == voce && !t.celle.empty())
        return posizione_oggetto(t.celle.front(), tipo_cella::cartello);
    return std::nullopt;
  }
  if (p.file == s.file.linea) {
    // Each half of the file holds one coordinate of every metre: two
    // Integers, then Doubles, as the compiler lays them. A damaged file may
    // be laid otherwise; the metre is then only near the fault.
    const size_t meta = s.byte_linea / 2;
    if (meta == 0) return std::nullopt;
    const size_t o = byte >= meta ? byte - meta : byte;
    const size_t interi = 2 * byte_valore(tipo_valore::intero);
    const size_t m = o < interi ? o / byte_valore(tipo_valore::intero)
                                : 2 + (o - interi) / byte_valore(tipo_valore::doppio);
    const size_t fine = s.celle.empty() ? m : s.celle.size() * metri_cella;
    return static_cast<int64_t>(std::min(m, fine));
  }
  return std::nullopt;
}

std::string dati_vista(const scenario_letto& s, const descrizione& d) {
  scrittore_json j;
  j.oggetto();
  j.campo("scenario", d.generale ? d.generale->nome_scenario : da_1252(s.nome_scenario));
  j.campo("treno", d.generale ? d.generale->numero_treno : da_1252(s.numero_treno));
  j.campo("sommario", sommario_scenario(s, d));
  j.chiave("lunghezza_m");
  if (d.generale)
    j.numero(int64_t{d.generale->lunghezza});
  else
    j.nullo();
  j.campo("celle", static_cast<int64_t>(s.celle.size()));
  j.campo("metri_cella", metri_cella);
  tratti_chilometrici_json(j, d.chilometri);

  std::map<int64_t, std::string> nomi_stazioni;
  for (const stazione& st : d.stazioni) nomi_stazioni[st.voce] = st.nome;
  j.chiave("stazioni");
  j.oggetto();
  lista(j, "voce", d.stazioni, [&](const stazione& st) { j.numero(int64_t{st.voce}); });
  lista(j, "nome", d.stazioni, [&](const stazione& st) { j.testo(st.nome); });
  lista(j, "m", d.stazioni, [&](const stazione& st) { j.numero(int64_t{st.dati.progressiva}); });
  lista(j, "da_m", d.stazioni, [&](const stazione& st) { j.numero(int64_t{st.dati.inizio}); });
  lista(j, "a_m", d.stazioni, [&](const stazione& st) { j.numero(int64_t{st.dati.fine}); });
  lista(j, "frase", d.stazioni, [&](const stazione& st) { j.testo(frase_stazione(st)); });
  j.fine_oggetto();

  // The same words as the report; thousands of signals share a handful of
  // settings, so each distinct sentence is written once.
  std::vector<std::string> frasi;
  std::map<std::string, size_t> indice_frase;
  std::vector<size_t> frase_di;
  std::vector<std::string> generi;
  std::map<uint8_t, size_t> indice_genere;
  std::vector<size_t> genere_di;
  for (const oggetto& o : d.oggetti) {
    std::string nome;
    if (o.dati.tipo == tipo_cella::fermata)
      if (auto i = nomi_stazioni.find(o.dati.dato1); i != nomi_stazioni.end()) nome = i->second;
    std::string f = frase_oggetto(o, nome);
    auto [i, nuova] = indice_frase.try_emplace(std::move(f), frasi.size());
    if (nuova) frasi.push_back(i->first);
    frase_di.push_back(i->second);
    auto [g, nuovo] = indice_genere.try_emplace(o.dati.tipo, generi.size());
    if (nuovo) generi.push_back(nome_tipo(o.dati.tipo));
    genere_di.push_back(g->second);
  }
  lista(j, "generi", generi, [&](const std::string& g) { j.testo(g); });
  lista(j, "frasi", frasi, [&](const std::string& f) { j.testo(f); });
  j.chiave("oggetti");
  j.oggetto();
  lista(j, "cella", d.oggetti, [&](const oggetto& o) { j.numero(static_cast<int64_t>(o.indice)); });
  lista(j, "m", d.oggetti, [&](const oggetto& o) { j.numero(o.posizione); });
  lista(j, "genere", genere_di, [&](size_t g) { j.numero(static_cast<int64_t>(g)); });
  lista(j, "dato1", d.oggetti, [&](const oggetto& o) { j.numero(int64_t{o.dati.dato1}); });
  lista(j, "frase", frase_di, [&](size_t f) { j.numero(static_cast<int64_t>(f)); });
  j.fine_oggetto();

  j.chiave("profili");
  j.lista();
  profilo(j, "velocita", "Velocità massima", " km/h", d.profilo.velocita);
  profilo(j, "pendenza", "Pendenza", " per mille", d.profilo.pendenza);
  profilo(j, "aderenza", "Aderenza", "", d.profilo.aderenza);
  profilo(j, "montagne", "Montagne", "", d.profilo.montagna);
  j.fine_lista();

  j.chiave("ripetizione");
  if (d.generale && d.generale->ripetizione_fine != 0) {
    const valori_generali& g = *d.generale;
    j.oggetto();
    j.campo("da_m", g.ripetizione_inizio);
    j.campo("a_m", g.ripetizione_fine);
    j.campo("codici", g.ripetizione_codici);
    j.campo("frase", "ripetizione segnali: " + frase_ripetizione(g));
    j.fine_oggetto();
  } else {
    j.nullo();
  }

  j.chiave("piano");
  if (s.punti.esiste())
    piano(j, s);
  else
    j.nullo();

  j.chiave("problemi");
  j.lista();
  for (const problema& p : s.problemi) {
    j.oggetto();
    j.campo("riga", riga_problema(p));
    j.chiave("m");
    if (auto m = metro_del_problema(s, d, p))
      j.numero(*m);
    else
      j.nullo();
    j.fine_oggetto();
  }
  j.fine_lista();
  j.fine_oggetto();
  return j.fine();
}

std::string pagina_html(const scenario_letto& s, const descrizione& d) {
  // Inside a script element "</script" would end it and "<!--" can keep
  // it from ending; JSON says "<" as \u003c too, and "<" stands nowhere else.
  std::string dati;
  for (const char c : dati_vista(s, d)) {
    if (c == '<')
      dati += "\\u003c";
    else
      dati += c;
  }
  const std::string nome = d.generale ? d.generale->nome_scenario : da_1252(s.nome_scenario);
  const std::string treno = d.generale ? d.generale->numero_treno : da_1252(s.numero_treno);
  const std::map<std::string_view, std::string> parti = {
      {"TITOLO", disegno::xml("Scenario " + nome + " · treno " + treno)},
      {"STILE", unisci(vista_incorporata::stile)},
      {"DATI", dati},
      {"PROGRAMMA", unisci(vista_incorporata::programma)}};

  // Each @@NAME@@ of the template is put in place once; what is put in is
  // never searched again, so the data cannot be taken for a marker.
  const std::string modello = unisci(vista_incorporata::modello);
  std::string r;
  size_t at = 0;
  for (;;) {
    const size_t inizio = modello.find("@@", at);
    const size_t fine = inizio == std::string::npos ? inizio : modello.find("@@", inizio + 2);
    if (fine == std::string::npos) break;
    const auto parte = parti.find(std::string_view(modello).substr(inizio + 2, fine - inizio - 2));
    if (parte == parti.end()) {
      r.append(modello, at, inizio + 2 - at);
      at = inizio + 2;
      continue;
    }
    r.append(modello, at, inizio - at);
    r += parte->second;
    at = fine + 2;
  }
  r.append(modello, at);
  return r;
}
