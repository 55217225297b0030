#include "tools/esamina/validazione.h"

#include <algorithm>
#include <cmath>

#include "compiler/formato.h"
#include "compiler/numeri.h"
#include "tools/esamina/testo.h"

namespace {

// Damage tends to repeat over thousands of values or cells: the first few
// faults of a kind are listed, the rest summed up in one line.
class elenco_limitato {
 public:
  elenco_limitato(scenario_letto& s, std::string file) : s_(s), file_(std::move(file)) {}
  void operator()(size_t byte, std::string testo) {
    if (n_++ < massimo) {
      s_.problemi.push_back({file_, byte, std::move(testo)});
    } else if (n_ == massimo + 1) {
      primo_omesso_ = byte;
    }
  }
  void chiudi(const std::string& cosa) {
    if (n_ > massimo)
      s_.problemi.push_back(
          {file_, primo_omesso_,
           "e altri " + std::to_string(n_ - massimo) + " " + cosa + " da qui in poi"});
  }

 private:
  static constexpr int massimo = 10;
  scenario_letto& s_;
  std::string file_;
  int n_ = 0;
  size_t primo_omesso_ = 0;
};

int32_t celle_per(int32_t L) { return ultima_cella_per(L) + 1; }

std::string tra_virgolette(const std::string& s) {
  std::string r = "\"";
  r += da_1252(s);
  r += '"';
  return r;
}

void valida_tracciato(scenario_letto& s, std::optional<int32_t> L) {
  if (!s.tracciato_presente || s.byte_tracciato == 0) return;
  const std::string& file = s.file.tracciato;
  const size_t celle = s.celle.size();
  if (L) {
    const size_t attese = static_cast<size_t>(celle_per(*L));
    if (celle != attese)
      s.problemi.push_back({file, std::min(celle, attese) * byte_cella,
                            "il tracciato ha " + std::to_string(celle) +
                                " celle, la lunghezza di " + std::to_string(*L) + " m (voce " +
                                std::to_string(voce_tabella::lunghezza) + ") ne richiede " +
                                std::to_string(attese)});
  }
  const std::string voci_stazioni = std::to_string(voce_tabella::prima_stazione) + "-" +
                                    std::to_string(voce_tabella::primo_cartello - 1);
  const std::string voci_cartelli = std::to_string(voce_tabella::prima_stazione) + "-" +
                                    std::to_string(voce_tabella::primo_cartello);
  elenco_limitato elenco(s, file);
  for (size_t i = 0; i < celle; ++i) {
    const cella& c = s.celle[i];
    const size_t at = i * byte_cella;
    const std::string qui = "cella " + std::to_string(i) + ": ";
    // Stations lie below the first board's entry, board texts from it down.
    if (c.tipo == tipo_cella::fermata) {
      if (c.dato1 < voce_tabella::prima_stazione || c.dato1 >= voce_tabella::primo_cartello)
        elenco(at + scarto(c, c.dato1), qui + "fermata della voce " + std::to_string(c.dato1) +
                                            ", fuori dalle voci delle stazioni (" + voci_stazioni +
                                            ")");
    } else if (c.tipo == tipo_cella::cartello) {
      if (c.dato1 < voce_tabella::prima_stazione || c.dato1 > voce_tabella::primo_cartello)
        elenco(at + scarto(c, c.dato1),
               qui + "cartello con il testo nella voce " + std::to_string(c.dato1) +
                   ", fuori dalle voci dei cartelli (" + voci_cartelli + ")");
    } else if (nome_tipo_cella(c.tipo).empty()) {
      elenco(at, qui + "tipo " + std::to_string(c.tipo) + " sconosciuto");
    }
  }
  elenco.chiudi("problemi nelle celle");
}

void valida_intestazioni(scenario_letto& s) {
  const std::string& tracciato = s.file.tracciato;
  const std::string& tabella = s.file.tabella;
  const bool cella1 = s.celle.size() > cella_intestazione;
  if (s.tracciato_presente && s.byte_tracciato > 0 && !cella1)
    s.problemi.push_back({tracciato, s.byte_tracciato,
                          "manca la cella " + std::to_string(cella_intestazione) +
                              ", che porta il codice di formato e quello dello scenario"});
  if (cella1 && s.celle[cella_intestazione].dato1 != formato_tracciato)
    s.problemi.push_back(
        {tracciato,
         cella_intestazione * byte_cella +
             scarto(s.celle[cella_intestazione], s.celle[cella_intestazione].dato1),
         "cella " + std::to_string(cella_intestazione) + ": codice di formato " +
             std::to_string(s.celle[cella_intestazione].dato1) + " invece di " +
             std::to_string(formato_tracciato)});

  const std::string voce_scenario = "voce " + std::to_string(voce_tabella::scenario) + ": ";
  if (s.voci_lette > voce_tabella::scenario) {
    const voce_corsa& v = s.tabella[voce_tabella::scenario];
    const size_t at = s.inizio_voce[voce_tabella::scenario];
    if (v.nome != s.nome_scenario)
      s.problemi.push_back({tabella, at + scarto(v, v.nome),
                            voce_scenario + "nome dello scenario " + tra_virgolette(v.nome) +
                                " invece di " + tra_virgolette(s.nome_scenario)});
    if (v.intero1 != formato_tabella)
      s.problemi.push_back({tabella, at + scarto(v, v.intero1),
                            voce_scenario + "codice di formato " + std::to_string(v.intero1) +
                                " invece di " + std::to_string(formato_tabella)});
  }
  if (s.voci_lette <= voce_tabella::treno) return;  // the codes need both names

  const voce_corsa& treno = s.tabella[voce_tabella::treno];
  if (treno.nome != s.numero_treno)
    s.problemi.push_back({tabella, s.inizio_voce[voce_tabella::treno] + scarto(treno, treno.nome),
                          "voce " + std::to_string(voce_tabella::treno) + ": numero del treno " +
                              tra_virgolette(treno.nome) + " invece di " +
                              tra_virgolette(s.numero_treno)});
  const codici_scenario codici =
      codici_dai_nomi(treno.nome, s.tabella[voce_tabella::scenario].nome);
  const std::string dai_nomi = " (dai nomi " + tra_virgolette(treno.nome) + " e " +
                               tra_virgolette(s.tabella[voce_tabella::scenario].nome) + ")";
  const voce_corsa& v = s.tabella[voce_tabella::scenario];
  if (v.orario != codici.tabella)
    s.problemi.push_back({tabella, s.inizio_voce[voce_tabella::scenario] + scarto(v, v.orario),
                          voce_scenario + "codice dello scenario " + std::to_string(v.orario) +
                              " invece di " + std::to_string(codici.tabella) + dai_nomi});
  if (cella1 && s.celle[cella_intestazione].dato2 != codici.tracciato)
    s.problemi.push_back(
        {tracciato,
         cella_intestazione * byte_cella +
             scarto(s.celle[cella_intestazione], s.celle[cella_intestazione].dato2),
         "cella " + std::to_string(cella_intestazione) + ": codice dello scenario " +
             std::to_string(s.celle[cella_intestazione].dato2) + " invece di " +
             std::to_string(codici.tracciato) + dai_nomi});
}

void valida_linea(scenario_letto& s, std::optional<int32_t> L) {
  if (!s.linea_presente || s.byte_linea == 0 || !L) return;
  const std::string& file = s.file.linea;
  const int64_t ultimo = static_cast<int64_t>(*L) + coda_percorso;
  const size_t byte_attesi = static_cast<size_t>(byte_file_linea(*L));
  const bool misura_giusta = s.byte_linea == byte_attesi;
  if (!misura_giusta)
    s.problemi.push_back({file, std::min(s.byte_linea, byte_attesi),
                          "il file ha " + std::to_string(s.byte_linea) + " byte, la lunghezza di " +
                              std::to_string(*L) + " m (voce 84) ne richiede " +
                              std::to_string(byte_attesi)});
  if (!s.linea_intera) return;  // the walk already said where it broke

  const size_t valori = s.valori_letti;
  const size_t valori_attesi = 2 * static_cast<size_t>(ultimo + 1);
  if (valori != valori_attesi) {
    if (misura_giusta)
      s.problemi.push_back({file, s.byte_linea,
                            "il file ha " + std::to_string(valori) + " valori, la lunghezza di " +
                                std::to_string(*L) + " m ne richiede " +
                                std::to_string(valori_attesi)});
    return;
  }

  static const char* coordinata[] = {"x", "y"};
  static const int16_t iniziali[2][2] = {{0, 0}, {0, 1}};  // [coordinate][metre]
  elenco_limitato elenco(s, file);
  // Some two million values at the longest line: each is checked with no
  // text built, the text only for a fault.
  size_t at = 0;
  for (int k = 0; k < 2; ++k) {
    s.punti.percorri(k, [&](int32_t m, uint16_t tipo, double v) {
      const uint16_t atteso = tipo_al_metro(m, ultimo);
      const size_t qui = at;
      at += byte_valore(tipo);
      // Only metres 0 and 1 are laid out as Integers.
      const bool tipo_giusto = tipo == atteso;
      const bool iniziale_giusto =
          !tipo_giusto || tipo != tipo_valore::intero || v == iniziali[k][m];
      const bool finito = tipo != tipo_valore::doppio || std::isfinite(v);
      if (tipo_giusto && iniziale_giusto && finito) return;
      const std::string dove = "metro " + std::to_string(m) + ", coordinata " + coordinata[k];
      if (!tipo_giusto)
        elenco(qui, dove + ": valore di tipo " + std::to_string(tipo) + " invece di " +
                        std::to_string(atteso));
      else if (!iniziale_giusto)
        elenco(qui, dove + ": vale " + std::to_string(static_cast<int>(v)) + " invece di " +
                        std::to_string(iniziali[k][m]));
      else
        elenco(qui, dove + ": il valore non è un numero finito");
    });
  }
  elenco.chiudi("valori fuori posto");
}

}  // namespace

void valida(scenario_letto& s) {
  std::optional<int32_t> L = s.lunghezza();
  if (L && (*L < 0 || *L > lunghezza_massima)) {
    s.problemi.push_back(
        {s.file.tabella,
         s.inizio_voce[voce_tabella::lunghezza] +
             scarto(s.tabella[voce_tabella::lunghezza], s.tabella[voce_tabella::lunghezza].fine),
         "voce " + std::to_string(voce_tabella::lunghezza) + ": lunghezza della linea " +
             std::to_string(*L) + " m, fuori da 0-" + std::to_string(lunghezza_massima) +
             ": le misure dei file non si possono verificare"});
    L.reset();
  }
  valida_tracciato(s, L);
  valida_intestazioni(s);
  valida_linea(s, L);
}

scenario_letto esamina(const contenuti& file, std::string_view nome_scenario,
                       std::string_view numero_treno) {
  scenario_letto s = leggi_scenario(file, nome_scenario, numero_treno);
  valida(s);
  // Listed file by file, each from its first byte on.
  const auto ordine = [&s](const problema& p) {
    const int f = p.file == s.file.linea ? 0 : p.file == s.file.tabella ? 1 : 2;
    return std::pair{f, p.byte ? *p.byte + 1 : 0};
  };
  std::stable_sort(s.problemi.begin(), s.problemi.end(),
                   [&](const problema& a, const problema& b) { return ordine(a) < ordine(b); });
  return s;
}
