#include "tools/esamina/descrizione.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "compiler/numeri.h"
#include "tools/esamina/testo.h"

std::string nome_tipo(uint8_t tipo) {
  const std::string_view nome = nome_tipo_cella(tipo);
  return nome.empty() ? "tipo_" + std::to_string(tipo) : std::string(nome);
}

int64_t posizione_oggetto(size_t cella, uint8_t tipo) {
  const int64_t c = static_cast<int64_t>(cella);
  switch (tipo) {
    case tipo_cella::segnale:
    case tipo_cella::fine_rallentamento:
    case tipo_cella::inizio_rallentamento:
    case tipo_cella::avviso_rallentamento:
    case tipo_cella::indicatore_v_max:
    case tipo_cella::cartello:
      return posizione_cella(c, 1);
    default:
      return posizione_cella(c, 0);
  }
}

namespace {

std::vector<campo> valori_di(const cella& c) {
  switch (c.tipo) {
    case tipo_cella::segnale: {
      // dato1..3: the sx group's value as tens, the dx group's as units;
      // dato4: rapp as tens, then 3 * sx + dx.
      const decine_unita a = decine_della_coppia(c.dato1), b = decine_della_coppia(c.dato2),
                         v = decine_della_coppia(c.dato3), r = decine_della_coppia(c.dato4);
      return {{"sx", r.unita / 3}, {"s1", a.decine}, {"s2", b.decine},      {"s3", v.decine},
              {"rapp", r.decine},  {"dx", r.unita % 3}, {"d1", a.unita},    {"d2", b.unita},
              {"d3", v.unita},     {"tempo", c.dato5}};
    }
    case tipo_cella::fine_rallentamento:
    case tipo_cella::inizio_rallentamento:
      return {{"v", c.dato1}, {"d_v", c.dato2}, {"f_tt", c.dato3}};
    case tipo_cella::avviso_rallentamento:
      return {{"v", c.dato1}, {"d_v", c.dato2}};
    case tipo_cella::segno_avviso:
      return {{"numero", c.dato1}};
    case tipo_cella::indicatore_v_max: {
      const lati_indicatore a = lati_della_coppia(c.dato1), b = lati_della_coppia(c.dato2),
                            v = lati_della_coppia(c.dato3), strisce = strisce_della_coppia(c.dato4);
      return {{"vas", a.s},       {"vbs", b.s}, {"vcs", v.s}, {"strisces", strisce.s},
              {"vad", a.d},       {"vbd", b.d}, {"vcd", v.d}, {"strisced", strisce.d}};
    }
    case tipo_cella::fermata:
      return {{"stazione", c.dato1}};
    case tipo_cella::punto_codice:
      return {{"codice", c.dato1}};
    case tipo_cella::cartello:
      return {{"voce", c.dato1}};
    case tipo_cella::libera:
    case tipo_cella::marca_montagna:
    case tipo_cella::punto_senza_codice:
      return {};
    default:
      return {{"dato1", c.dato1},
              {"dato2", c.dato2},
              {"dato3", c.dato3},
              {"dato4", c.dato4},
              {"dato5", c.dato5}};
  }
}

template <typename F>
std::vector<tratto> tratti(const std::vector<cella>& celle, F valore, bool salta_zero) {
  std::vector<tratto> r;
  for (size_t i = 0; i < celle.size(); ++i) {
    const int v = valore(celle[i]);
    if (!r.empty() && r.back().valore == v && r.back().ultima + 1 == i)
      r.back().ultima = i;
    else if (!(salta_zero && v == 0))
      r.push_back({i, i, v});
  }
  return r;
}

valori_generali generale_di(const scenario_letto& s) {
  const auto& t = s.tabella;
  valori_generali g;
  g.lunghezza = t[voce_tabella::lunghezza].fine;
  g.celle = s.celle.size();
  g.sfondi = {t[voce_tabella::scenario].inizio, t[voce_tabella::scenario].progressiva,
              t[voce_tabella::scenario].fine};
  g.ripetizione_inizio = t[voce_tabella::treno].inizio;
  g.ripetizione_fine = t[voce_tabella::treno].fine;
  g.ripetizione_codici = t[voce_tabella::treno].progressiva;
  g.vetture = t[voce_tabella::lunghezza].progressiva;
  g.massa_frenata = t[voce_tabella::lunghezza].inizio;
  g.sabbia = t[voce_tabella::treno].intero1;
  g.orologio = {t[voce_tabella::treno].intero3, t[voce_tabella::treno].intero4,
                t[voce_tabella::treno].intero5};
  g.nome_scenario = da_1252(t[voce_tabella::scenario].nome);
  g.numero_treno = da_1252(t[voce_tabella::treno].nome);
  return g;
}

riassunto_piano riassunto_di(const piano_letto& p) {
  riassunto_piano r;
  if (!p.esiste()) return r;
  r.punti = static_cast<size_t>(p.ultimo()) + 1;
  const auto estendi = [](std::optional<double>& lo, std::optional<double>& hi, double v) {
    if (!lo || v < *lo) lo = v;
    if (!hi || v > *hi) hi = v;
  };
  p.percorri([&](uint16_t tx, double x, uint16_t ty, double y) {
    if (tx == tipo_valore::vuoto || ty == tipo_valore::vuoto) return;
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    estendi(r.x_min, r.x_max, x);
    estendi(r.y_min, r.y_max, y);
  });
  return r;
}

}  // namespace

descrizione descrivi(const scenario_letto& s) {
  descrizione d;
  if (s.voci_lette == voci_tabella_corsa) {
    d.generale = generale_di(s);
    d.chilometri.emplace(s.tabella);
  }
  const auto km = [&d](int64_t m) -> std::optional<int64_t> {
    if (!d.chilometri) return std::nullopt;
    return d.chilometri->chilometro(m);
  };

  if (s.celle.size() > cella_intestazione) {
    d.testata.formato_tracciato = s.celle[cella_intestazione].dato1;
    d.testata.codice_tracciato = s.celle[cella_intestazione].dato2;
  }
  if (s.voci_lette > voce_tabella::scenario) {
    d.testata.formato_tabella = s.tabella[voce_tabella::scenario].intero1;
    d.testata.codice_tabella = s.tabella[voce_tabella::scenario].orario;
  }

  // Cells name the entries that hold board texts and those that are stations.
  std::map<int, std::vector<size_t>> voci_cartelli, voci_fermate;
  for (size_t i = 0; i < s.celle.size(); ++i) {
    const cella& c = s.celle[i];
    if (c.tipo == tipo_cella::cartello) voci_cartelli[c.dato1].push_back(i);
    if (c.tipo == tipo_cella::fermata) voci_fermate[c.dato1].push_back(i);
  }

  // Stations fill entries from 1 upward and board texts from 80 downward; an
  // entry is a board text when a board cell names it, a station otherwise.
  const int ultima_voce = std::min(s.voci_lette - 1, voce_tabella::primo_cartello);
  for (int k = voce_tabella::prima_stazione; k <= ultima_voce; ++k) {
    const voce_corsa& v = s.tabella[k];
    if (auto c = voci_cartelli.find(k); c != voci_cartelli.end()) {
      d.cartelli.push_back({k, da_1252(v.nome), c->second});
    } else if (!voce_vuota(v)) {
      stazione st{k, v, km(v.progressiva), da_1252(v.nome), {}};
      if (auto f = voci_fermate.find(k); f != voci_fermate.end()) st.celle_fermata = f->second;
      d.stazioni.push_back(std::move(st));
    }
  }
  std::sort(d.cartelli.begin(), d.cartelli.end(),
            [](const testo_cartello& a, const testo_cartello& b) { return a.voce > b.voce; });

  for (size_t i = 0; i < s.celle.size(); ++i) {
    const cella& c = s.celle[i];
    if (c.tipo == tipo_cella::libera && c.dato6 == 0) continue;
    const int64_t m = posizione_oggetto(i, c.tipo);
    oggetto o{i, m, km(m), c, valori_di(c), {}};
    if (c.tipo == tipo_cella::cartello && c.dato1 >= 0 && c.dato1 < s.voci_lette)
      o.testo = da_1252(s.tabella[c.dato1].nome);
    d.oggetti.push_back(std::move(o));
  }

  d.profilo.velocita = tratti(
      s.celle, [](const cella& c) { return velocita_delle_unita(c.velocita); }, false);
  d.profilo.pendenza = tratti(
      s.celle, [](const cella& c) { return pendenza_del_byte(c.pendenza); }, false);
  d.profilo.aderenza = tratti(
      s.celle, [](const cella& c) { return int{c.aderenza}; }, false);
  d.profilo.montagna = tratti(
      s.celle, [](const cella& c) { return int{c.montagna}; }, true);
  d.piano = riassunto_di(s.punti);
  return d;
}
