#include "compiler/lettura_compilati.h"

#include <algorithm>
#include <functional>
#include <limits>

#include "compiler/codifica.h"
#include "compiler/formato.h"
#include "compiler/nomi_scenario.h"
#include "sistema/fine_programma.h"

std::string riga_problema(const problema& p) {
  std::string r = p.file + ": ";
  if (p.byte) r += "byte " + std::to_string(*p.byte) + ": ";
  return r + p.testo;
}

nomi_file nomi_dei_file(std::string_view nome_scenario, std::string_view numero_treno) {
  file_scenario f = file_dello_scenario(nome_scenario, numero_treno);
  return {std::move(f.linea), std::move(f.tabella), std::move(f.tracciato)};
}

std::optional<int32_t> scenario_letto::lunghezza() const {
  if (voci_lette <= voce_tabella::lunghezza) return std::nullopt;
  return tabella[voce_tabella::lunghezza].fine;
}

namespace {

void segnala(scenario_letto& s, const std::string& file, size_t byte, std::string testo) {
  s.problemi.push_back({file, byte, std::move(testo)});
}

void leggi_tracciato(scenario_letto& s, std::string_view b) {
  const std::string& file = s.file.tracciato;
  if (b.empty()) {
    segnala(s, file, 0, "il file è vuoto");
    return;
  }
  decodifica in(b);
  s.celle.resize(b.size() / byte_cella);
  for (cella& c : s.celle) campi(in, c);
  if (!in.finito())
    segnala(s, file, in.posizione(),
            std::to_string(in.restano()) + " byte in fondo non formano una cella intera (" +
                std::to_string(byte_cella) + " byte a cella)");
}

void leggi_tabella(scenario_letto& s, std::string_view b) {
  const std::string& file = s.file.tabella;
  if (b.empty()) {
    segnala(s, file, 0, "il file è vuoto");
    return;
  }
  decodifica in(b);
  for (int k = 0; k < voci_tabella_corsa; ++k) {
    const size_t o = in.posizione();
    const auto finisce_dentro = [&](const std::string& servono) {
      segnala(s, file, o,
              "il file finisce dentro la voce " + std::to_string(k) + " (ne restano " +
                  std::to_string(b.size() - o) + " byte, ne servono " + servono + "): lette " +
                  std::to_string(k) + " voci su " + std::to_string(voci_tabella_corsa));
    };
    if (in.restano() < byte_voce_vuota) {
      finisce_dentro("almeno " + std::to_string(byte_voce_vuota));
      return;
    }
    voce_corsa& v = s.tabella[k];
    campi(in, v);
    if (const auto& g = in.guasto()) {
      const int32_t nome = g->lunghezza_testo.value_or(static_cast<int16_t>(v.nome.size()));
      if (nome < 0)
        segnala(s, file, g->byte,
                "la voce " + std::to_string(k) + " dichiara un nome di lunghezza negativa (" +
                    std::to_string(nome) + ")");
      else
        finisce_dentro(std::to_string(byte_voce_vuota + static_cast<size_t>(nome)));
      v = voce_corsa{};
      return;
    }
    s.inizio_voce[k] = o;
    s.voci_lette = k + 1;
  }
  if (!in.finito())
    segnala(s, file, in.posizione(),
            std::to_string(in.restano()) + " byte oltre la voce " +
                std::to_string(voci_tabella_corsa - 1) + ", che dovrebbe essere l'ultima");
}

// Calls valore(byte, tipo) for each tagged value of the file, in order.
// False, with a problem said, where a value cannot be read; the count of
// values read goes into s.valori_letti.
template <typename F>
bool percorri_valori(scenario_letto& s, byte_linea& b, F&& valore) {
  valori_in_fila fila(b, 0);
  size_t n = 0;
  for (; !fila.finito(); ++n) {
    const size_t o = fila.posizione();
    uint16_t tipo = 0;
    double v = 0;
    if (!fila.prossimo(tipo, v)) {
      const std::string numero = std::to_string(n);
      const decodifica& in = fila.cursore();
      std::string testo;
      if (!in.ok() && fila.posizione() == o)
        testo = "il file finisce dentro il codice di tipo del valore " + numero;
      else if (!in.ok())
        testo = "il file finisce dentro il valore " + numero + " (di tipo " + std::to_string(tipo) +
                ")";
      else
        testo = "codice di tipo " + std::to_string(tipo) +
                " sconosciuto (attesi 0, 2 o 5) nel valore " + numero;
      segnala(s, s.file.linea, o, testo);
      s.valori_letti = n;
      return false;
    }
    valore(o, tipo);
  }
  s.valori_letti = n;
  return true;
}

// The last metre of a plan laid out as the compiler lays it in `byte`
// bytes, if a plan of that size can be.
std::optional<int64_t> ultimo_per_byte(size_t byte) {
  const size_t fissi = 2 * byte_valore(tipo_valore::intero) + 2 * byte_valore(tipo_valore::vuoto);
  const size_t doppio = byte_valore(tipo_valore::doppio);
  if (byte % 2 != 0 || byte / 2 < fissi || (byte / 2 - fissi) % doppio != 0) return std::nullopt;
  return static_cast<int64_t>((byte / 2 - fissi) / doppio) + 3;
}

void leggi_linea(scenario_letto& s, byte_linea b) {
  const std::string& file = s.file.linea;
  if (b.size() == 0) {
    segnala(s, file, 0, "il file è vuoto");
    return;
  }
  // One walk checks that every value can be read and whether each lies
  // where the compiler puts it for a file of this size. Only when one does
  // not is the byte of every value kept, in a second walk.
  const std::optional<int64_t> ultimo_atteso = ultimo_per_byte(b.size());
  bool come_compilato = ultimo_atteso.has_value();
  int64_t i = 0;
  const bool letta = percorri_valori(s, b, [&](size_t, uint16_t tipo) {
    if (come_compilato) {
      const int64_t metri = *ultimo_atteso + 1;
      come_compilato = i < 2 * metri && tipo == tipo_al_metro(i % metri, metri - 1);
    }
    ++i;
  });
  if (!letta) return;
  s.linea_intera = true;
  const size_t n = s.valori_letti;
  come_compilato = come_compilato && n == 2 * static_cast<size_t>(*ultimo_atteso + 1);

  if (n % 2 != 0) {
    segnala(s, file, b.size(),
            "il file ha " + std::to_string(n) +
                " valori, un numero dispari: non si dividono nelle due coordinate");
    return;
  }
  const size_t meta = n / 2;
  if (meta - 1 > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return;
  const auto ultimo = static_cast<int32_t>(meta - 1);
  std::vector<size_t> scarti;
  if (!come_compilato || !piano_letto::senza_scarti(ultimo)) {
    scarti.reserve(n);
    percorri_valori(s, b, [&](size_t byte, uint16_t) { scarti.push_back(byte); });
  }
  s.punti = piano_letto(b, ultimo, std::move(scarti));
}

}  // namespace

scenario_letto leggi_scenario(const contenuti& file, std::string_view nome_scenario,
                              std::string_view numero_treno) {
  scenario_letto s;
  s.nome_scenario = nome_scenario;
  s.numero_treno = numero_treno;
  s.file = nomi_dei_file(nome_scenario, numero_treno);
  const auto mancante = [&s](const std::string& nome) {
    s.problemi.push_back({nome, std::nullopt, "file mancante o illeggibile"});
  };
  const auto mancante_o_rifiutato = [&](const std::string& nome) {
    const auto r = std::find_if(file.rifiuti.begin(), file.rifiuti.end(),
                                [&](const problema& p) { return p.file == nome; });
    if (r != file.rifiuti.end())
      s.problemi.push_back(*r);
    else
      mancante(nome);
  };
  if (!file.tracciato) mancante_o_rifiutato(s.file.tracciato);
  if (!file.tabella) mancante_o_rifiutato(s.file.tabella);
  if (!file.linea) mancante_o_rifiutato(s.file.linea);
  if (file.tracciato) {
    s.tracciato_presente = true;
    s.byte_tracciato = file.tracciato->size();
    leggi_tracciato(s, *file.tracciato);
  }
  if (file.tabella) {
    s.tabella_presente = true;
    s.byte_tabella = file.tabella->size();
    leggi_tabella(s, *file.tabella);
  }
  if (file.linea) {
    s.linea_presente = true;
    s.byte_linea = file.linea->size();
    leggi_linea(s, *file.linea);
  }
  return s;
}

contenuti file_letti::viste() const {
  contenuti c;
  if (linea) c.linea.emplace(linea);
  if (tabella) c.tabella = *tabella;
  if (tracciato) c.tracciato = *tracciato;
  c.rifiuti = rifiuti;
  return c;
}

namespace {

// The largest each file can be in a valid scenario.
uint64_t byte_massimi_tabella() { return voci_tabella_corsa * (byte_voce_vuota + testo_massimo); }
uint64_t byte_massimi_tracciato() {
  return (static_cast<uint64_t>(ultima_cella_per(lunghezza_massima)) + 1) * byte_cella;
}
uint64_t byte_massimi_linea() { return byte_massimi_file_linea(lunghezza_massima); }

// The file opened, or nothing with the reason in `rifiuti` when it is there
// but cannot be right: not a regular file, or more than `massimo` bytes.
// A file that is not there at all is left for the reader to call missing.
std::shared_ptr<file_in_lettura> apri_se_plausibile(
    const std::filesystem::path& percorso, const std::string& nome, uint64_t massimo,
    const std::function<std::string()>& quanti_ne_servono, std::vector<problema>& rifiuti) {
  try {
    auto f = std::make_shared<file_in_lettura>(percorso);
    if (f->dimensione() <= massimo) return f;
    rifiuti.push_back({nome, std::nullopt,
                       "il file ha " + std::to_string(f->dimensione()) + " byte, " +
                           quanti_ne_servono() +
                           ": non è il file giusto, o è danneggiato; "
                           "non è stato letto"});
  } catch (const errore_file& e) {
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(percorso, ec)))
      rifiuti.push_back({nome, std::nullopt, e.motivo()});
  }
  return nullptr;
}

std::string al_massimo(uint64_t byte) {
  return "più dei " + std::to_string(byte) + " che ha al massimo in uno scenario valido";
}

}  // namespace

file_letti leggi_file_scenario(const std::filesystem::path& cartella,
                               std::string_view nome_scenario, std::string_view numero_treno,
                               bool con_linea) {
  const nomi_file nomi = nomi_dei_file(nome_scenario, numero_treno);
  file_letti r;
  const auto leggi_intero = [&](const std::string& nome, uint64_t massimo,
                                std::optional<std::string>& dove) {
    const auto f = apri_se_plausibile(
        cartella / nome, nome, massimo, [&] { return al_massimo(massimo); }, r.rifiuti);
    if (!f) return;
    try {
      dove = f->leggi_tutto();
    } catch (const errore_file& e) {
      r.rifiuti.push_back({nome, std::nullopt, "illeggibile: " + e.motivo()});
    }
  };
  leggi_intero(nomi.tabella, byte_massimi_tabella(), r.tabella);
  leggi_intero(nomi.tracciato, byte_massimi_tracciato(), r.tracciato);
  if (!con_linea) return r;

  // The line file's size follows from the line's length, where the table
  // gives one that a line can have.
  uint64_t massimo = byte_massimi_linea();
  std::function<std::string()> quanti = [&] {
    return al_massimo(massimo) + " (la linea di " + std::to_string(lunghezza_massima) + " m)";
  };
  if (r.tabella) {
    const std::optional<int32_t> L =
        leggi_scenario({std::nullopt, *r.tabella, std::nullopt, {}}, nome_scenario, numero_treno)
            .lunghezza();
    if (L && *L <= lunghezza_massima && ultima_cella_per(*L) >= 2) {
      massimo = byte_massimi_file_linea(*L);
      quanti = [&, L] {
        return "più dei " + std::to_string(massimo) + " che può avere con la lunghezza di " +
               std::to_string(*L) + " m (voce " + std::to_string(voce_tabella::lunghezza) + ")";
      };
    }
  }
  r.linea = apri_se_plausibile(cartella / nomi.linea, nomi.linea, massimo, quanti, r.rifiuti);
  return r;
}
