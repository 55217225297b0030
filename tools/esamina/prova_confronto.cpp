#include "tools/esamina/prova_confronto.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "compiler/chilometri_linea.h"
#include "compiler/numeri.h"
#include "sistema/file_disco.h"
#include "testing/compilazione_prova.h"
#include "tools/esamina/comando.h"
#include "tools/esamina/prova_json.h"
#include "tools/esamina/testo.h"
#include "tools/esamina/validazione.h"

namespace {

// In memory the board slot counter tells the two kinds of entries apart:
// board texts above it, stations below.
std::vector<int> stazioni_in_memoria(const compilatore& f) {
  std::vector<int> k;
  for (int i = 1; i <= f.prossimo_cartello; ++i)
    if (f.tabella_corsa[i].tipo != 0 || !f.tabella_corsa[i].nome.empty()) k.push_back(i);
  return k;
}

std::vector<size_t> celle_di_tipo(const compilatore& f, uint8_t tipo, int16_t dato1 = -1) {
  std::vector<size_t> r;
  for (size_t i = 0; i < f.celle.size(); ++i)
    if (f.celle[i].tipo == tipo && (dato1 < 0 || f.celle[i].dato1 == dato1)) r.push_back(i);
  return r;
}

bool da_elencare(const cella& c) { return c.tipo != tipo_cella::libera || c.dato6 != 0; }

std::vector<size_t> numeri(const valore_json& lista) {
  std::vector<size_t> r;
  for (const valore_json& v : lista.elementi) r.push_back(static_cast<size_t>(v.intero()));
  return r;
}

// Expands a list of runs back to one value per cell.
std::vector<long long> per_cella(const valore_json& tratti, size_t celle) {
  std::vector<long long> r(celle, -99999);
  for (const valore_json& t : tratti.elementi)
    for (long long i = t["prima_cella"].intero(); i <= t["ultima_cella"].intero(); ++i)
      if (i >= 0 && static_cast<size_t>(i) < celle) r[i] = t["valore"].intero();
  return r;
}

}  // namespace

void confronta_letto(const compilatore& f, const scenario_letto& s) {
  ASSERT_EQ(s.celle.size(), f.celle.size());
  for (size_t i = 0; i < f.celle.size(); ++i) {
    const cella &a = f.celle[i], &b = s.celle[i];
    EXPECT_TRUE(a.tipo == b.tipo && a.dato1 == b.dato1 && a.dato2 == b.dato2 &&
                a.dato3 == b.dato3 && a.dato4 == b.dato4 && a.dato5 == b.dato5 &&
                a.dato6 == b.dato6 && a.montagna == b.montagna && a.velocita == b.velocita &&
                a.pendenza == b.pendenza && a.aderenza == b.aderenza)
        << "cella " << i;
  }
  ASSERT_EQ(s.voci_lette, 87);
  for (int k = 0; k < 87; ++k) {
    const voce_corsa &a = f.tabella_corsa[k], &b = s.tabella[k];
    EXPECT_TRUE(a.tipo == b.tipo && a.inizio == b.inizio && a.fine == b.fine &&
                a.progressiva == b.progressiva && a.byte1 == b.byte1 && a.nome == b.nome &&
                a.intero1 == b.intero1 && a.intero2 == b.intero2 && a.intero3 == b.intero3 &&
                a.intero4 == b.intero4 && a.intero5 == b.intero5 && a.byte2 == b.byte2 &&
                a.byte3 == b.byte3 && a.byte4 == b.byte4 && a.byte5 == b.byte5 &&
                a.orario == b.orario)
        << "voce " << k;
  }
  ASSERT_EQ(s.punti.ultimo(), f.punti_linea.ultimo());
  int diversi = 0;
  for (int k = 0; k < 2; ++k)
    for (int32_t m = 0; m <= f.punti_linea.ultimo(); ++m)
      if (s.punti.tipo(m, k) != f.punti_linea.tipo(m, k) ||
          (s.punti.tipo(m, k) != tipo_valore::vuoto &&
           s.punti.valore(m, k) != f.punti_linea.valore(m, k)))
        ++diversi;
  EXPECT_EQ(diversi, 0) << "punti del piano diversi da quelli in memoria";
}

void confronta_json(const compilatore& f, const std::string& json) {
  const std::optional<valore_json> doc = analizza_json(json);
  ASSERT_TRUE(doc) << "documento JSON malformato";
  const valore_json& j = *doc;
  const auto& t = f.tabella_corsa;

  const valore_json& g = j["generale"];
  EXPECT_EQ(g["lunghezza_m"].intero(), t[voce_tabella::lunghezza].fine);
  EXPECT_EQ(g["celle"].intero(), static_cast<long long>(f.celle.size()));
  EXPECT_EQ(g["massa_frenata_percento"].intero(), t[voce_tabella::lunghezza].inizio);
  EXPECT_EQ(g["vetture"].intero(), t[voce_tabella::lunghezza].progressiva);
  EXPECT_EQ(g["sabbia"].intero(), t[voce_tabella::treno].intero1);
  EXPECT_EQ(g["orologio"]["ore"].intero(), t[voce_tabella::treno].intero3);
  EXPECT_EQ(g["orologio"]["minuti"].intero(), t[voce_tabella::treno].intero4);
  EXPECT_EQ(g["orologio"]["secondi"].intero(), t[voce_tabella::treno].intero5);
  EXPECT_EQ(g["sfondi"][0].intero(), t[voce_tabella::scenario].inizio);
  EXPECT_EQ(g["sfondi"][1].intero(), t[voce_tabella::scenario].progressiva);
  EXPECT_EQ(g["sfondi"][2].intero(), t[voce_tabella::scenario].fine);
  EXPECT_EQ(g["ripetizione_segnali"]["inizio_m"].intero(), t[voce_tabella::treno].inizio);
  EXPECT_EQ(g["ripetizione_segnali"]["fine_m"].intero(), t[voce_tabella::treno].fine);
  EXPECT_EQ(g["ripetizione_segnali"]["codici"].intero(), t[voce_tabella::treno].progressiva);
  for (int i = 0; i < 3; ++i) {
    const voce_corsa& v = t[voce_tabella::primo_segmento + i];
    const valore_json& p = g["progressive"][i];
    EXPECT_EQ(p["inizio_m"].intero(), v.inizio);
    EXPECT_EQ(p["progressiva_m"].intero(), v.fine);
    EXPECT_EQ(p["codice"].intero(), v.progressiva);
    EXPECT_EQ(p["valore_scritto_m"].intero(), v.fine - (v.progressiva == 1 ? 100 : 0));
  }
  const chilometri_linea km(t);
  EXPECT_EQ(j["intestazione"]["formato_tracciato"].intero(), f.celle[1].dato1);
  EXPECT_EQ(j["intestazione"]["codice_tracciato"].intero(), f.celle[1].dato2);
  EXPECT_EQ(j["intestazione"]["formato_tabella"].intero(), t[voce_tabella::scenario].intero1);
  EXPECT_EQ(j["intestazione"]["codice_tabella"].intero(), t[voce_tabella::scenario].orario);

  const std::vector<int> stazioni = stazioni_in_memoria(f);
  ASSERT_EQ(j["stazioni"].elementi.size(), stazioni.size());
  for (size_t n = 0; n < stazioni.size(); ++n) {
    const voce_corsa& v = t[stazioni[n]];
    const valore_json& st = j["stazioni"][n];
    EXPECT_EQ(st["voce"].intero(), stazioni[n]);
    EXPECT_EQ(st["nome"].s, da_1252(v.nome));
    EXPECT_EQ(st["tipo"].intero(), v.tipo);
    EXPECT_EQ(st["inizio_m"].intero(), v.inizio);
    EXPECT_EQ(st["fine_m"].intero(), v.fine);
    EXPECT_EQ(st["progressiva_m"].intero(), v.progressiva);
    EXPECT_EQ(st["km_ferroviario_m"].intero(), km.chilometro(v.progressiva));
    EXPECT_EQ(st["orario_s"].intero(), v.orario);
    EXPECT_EQ(st["orario"].s, ora(v.orario));
    EXPECT_EQ(st["byte1"].intero(), v.byte1);
    EXPECT_EQ(st["byte3"].intero(), v.byte3);
    EXPECT_EQ(st["byte5"].intero(), v.byte5);
    EXPECT_EQ(st["intero3"].intero(), v.intero3);
    EXPECT_EQ(st["intero5"].intero(), v.intero5);
    EXPECT_EQ(numeri(st["celle_fermata"]),
              celle_di_tipo(f, tipo_cella::fermata, static_cast<int16_t>(stazioni[n])));
  }

  std::map<long long, const valore_json*> testi;
  for (const valore_json& c : j["cartelli"].elementi) testi[c["voce"].intero()] = &c;
  EXPECT_EQ(testi.size(), static_cast<size_t>(80 - f.prossimo_cartello));
  for (int k = 80; k > f.prossimo_cartello; --k) {
    ASSERT_TRUE(testi.count(k)) << "testo del cartello nella voce " << k;
    EXPECT_EQ((*testi[k])["testo"].s, da_1252(t[k].nome));
    EXPECT_EQ(numeri((*testi[k])["celle"]),
              celle_di_tipo(f, tipo_cella::cartello, static_cast<int16_t>(k)));
  }

  std::map<long long, const valore_json*> oggetti;
  for (const valore_json& o : j["celle"].elementi) oggetti[o["cella"].intero()] = &o;
  size_t attesi = 0;
  for (size_t i = 0; i < f.celle.size(); ++i) {
    const cella& c = f.celle[i];
    if (!da_elencare(c)) continue;
    ++attesi;
    ASSERT_TRUE(oggetti.count(i)) << "cella " << i;
    const valore_json& o = *oggetti[i];
    EXPECT_EQ(o["tipo"].intero(), c.tipo) << "cella " << i;
    EXPECT_EQ(o["km_ferroviario_m"].intero(), km.chilometro(o["posizione_m"].intero()))
        << "cella " << i;
    const long long dati[] = {c.dato1, c.dato2, c.dato3, c.dato4, c.dato5, c.dato6};
    for (int d = 0; d < 6; ++d)
      EXPECT_EQ(o["dati"][d].intero(), dati[d]) << "cella " << i << " dato" << d + 1;
  }
  EXPECT_EQ(oggetti.size(), attesi);

  const valore_json& p = j["profili"];
  const size_t n = f.celle.size();
  const std::vector<long long> velocita = per_cella(p["velocita_kmh"], n),
                               pendenza = per_cella(p["pendenza_per_mille"], n),
                               aderenza = per_cella(p["aderenza"], n),
                               montagna = per_cella(p["montagna"], n);
  int diverse = 0;
  for (size_t i = 0; i < n; ++i) {
    const cella& c = f.celle[i];
    diverse += velocita[i] != velocita_delle_unita(c.velocita) ||
               pendenza[i] != pendenza_del_byte(c.pendenza) ||
               aderenza[i] != c.aderenza || (c.montagna != 0 && montagna[i] != c.montagna) ||
               (c.montagna == 0 && montagna[i] != -99999);
  }
  EXPECT_EQ(diverse, 0) << "celle i cui profili non tornano";
  EXPECT_EQ(j["piano"]["punti"].intero(), static_cast<long long>(f.punti_linea.ultimo()) + 1);
}

void confronta_rapporto(const compilatore& f, const std::string& rapporto) {
  const auto contiene = [&](const std::string& riga) {
    EXPECT_NE(rapporto.find(riga), std::string::npos) << "manca nel rapporto: " << riga;
  };
  const auto& t = f.tabella_corsa;
  const chilometri_linea km(t);
  contiene("  lunghezza della linea: " + std::to_string(t[voce_tabella::lunghezza].fine) + " m (" +
           std::to_string(f.celle.size()) + " celle)\n");
  for (int k : stazioni_in_memoria(f)) {
    contiene("  " + std::to_string(k) + ". " + da_1252(t[k].nome) + ": tipo " +
             std::to_string(t[k].tipo) + ", a " + std::to_string(t[k].progressiva) + " m (km " +
             chilometri(km.chilometro(t[k].progressiva)) + "), area da " +
             std::to_string(t[k].inizio) + " m a " + std::to_string(t[k].fine) + " m, fermata ");
    contiene("orario " + ora(t[k].orario) + "\n");
  }
  for (size_t i = 0; i < f.celle.size(); ++i)
    if (da_elencare(f.celle[i])) contiene("  cella " + std::to_string(i) + " (");
  // The speed runs, found afresh from the cells.
  for (size_t i = 0; i < f.celle.size();) {
    size_t j = i;
    while (j + 1 < f.celle.size() && f.celle[j + 1].velocita == f.celle[i].velocita) ++j;
    contiene("    celle da " + std::to_string(i) + " a " + std::to_string(j) + " (da " +
             std::to_string(posizione_cella(static_cast<int64_t>(i), 0)) + " m a " +
             std::to_string(posizione_cella(static_cast<int64_t>(j) + 1, 0)) +
             " m): " + std::to_string(velocita_delle_unita(f.celle[i].velocita)) + " km/h\n");
    i = j + 1;
  }
  contiene("Verifica: nessun problema\n");
}

void confronta_svg(const compilatore& f, const std::string& svg) {
  EXPECT_TRUE(tag_bilanciati(svg));
  std::map<std::string, std::set<size_t>> segni;
  const std::regex segno("class=\"([a-z-]+)\" data-cella=\"([0-9]+)\"");
  for (auto i = std::sregex_iterator(svg.begin(), svg.end(), segno); i != std::sregex_iterator();
       ++i)
    segni[(*i)[1]].insert(std::stoul((*i)[2]));
  const auto insieme = [&](uint8_t tipo) {
    const std::vector<size_t> v = celle_di_tipo(f, tipo);
    return std::set<size_t>(v.begin(), v.end());
  };
  EXPECT_EQ(segni["segnale"], insieme(tipo_cella::segnale));
  EXPECT_EQ(segni["cartello"], insieme(tipo_cella::cartello));
  EXPECT_EQ(segni["indicatore"], insieme(tipo_cella::indicatore_v_max));
  EXPECT_EQ(segni["punto-codice"], insieme(tipo_cella::punto_codice));
  EXPECT_EQ(segni["punto-senza-codice"], insieme(tipo_cella::punto_senza_codice));
  for (int k : stazioni_in_memoria(f)) {
    std::string nome = da_1252(f.tabella_corsa[k].nome);
    nome = std::regex_replace(nome, std::regex("&"), "&amp;");
    EXPECT_NE(svg.find("class=\"nome-stazione\""), std::string::npos);
    EXPECT_NE(svg.find(">" + nome + "</text>"), std::string::npos)
        << "nome di stazione mancante: " << nome;
  }
}

void confronta_cartella(const compilatore& f, const std::filesystem::path& cartella) {
  const nomi_file nomi = nomi_dei_file(f.nome_scenario, f.numero_treno);
  const std::string linea = leggi_file(cartella / nomi.linea),
                    tabella = leggi_file(cartella / nomi.tabella),
                    tracciato = leggi_file(cartella / nomi.tracciato);
  const scenario_letto s =
      esamina({std::string_view(linea), tabella, tracciato}, f.nome_scenario, f.numero_treno);
  for (const problema& p : s.problemi) ADD_FAILURE() << riga_problema(p);
  confronta_letto(f, s);

  const std::string argomenti_svg = (cartella / "scenario.svg").string();
  for (bool json : {false, true}) {
    std::ostringstream uscita, errori;
    std::vector<std::string> argomenti{cartella.string(), f.nome_scenario, f.numero_treno};
    if (json) argomenti.insert(argomenti.begin(), "--json");
    argomenti.insert(argomenti.begin(), {"--svg", argomenti_svg});
    EXPECT_EQ(esegui_esamina(argomenti, uscita, errori), 0) << errori.str();
    EXPECT_EQ(errori.str(), "");
    if (json)
      confronta_json(f, uscita.str());
    else
      confronta_rapporto(f, uscita.str());
  }
  confronta_svg(f, leggi_testo(argomenti_svg));
}

bool tag_bilanciati(const std::string& xml) {
  std::vector<std::string> aperti;
  for (size_t i = xml.find('<'); i != std::string::npos; i = xml.find('<', i + 1)) {
    const size_t fine = xml.find('>', i);
    if (fine == std::string::npos) return false;
    const std::string tag = xml.substr(i + 1, fine - i - 1);
    if (tag.empty() || tag[0] == '?' || tag[0] == '!') continue;
    const bool chiude = tag[0] == '/';
    const std::string nome = tag.substr(chiude, tag.find_first_of(" />", chiude) - chiude);
    if (chiude) {
      if (aperti.empty() || aperti.back() != nome) return false;
      aperti.pop_back();
    } else if (tag.back() != '/') {
      aperti.push_back(nome);
    }
  }
  return aperti.empty();
}
