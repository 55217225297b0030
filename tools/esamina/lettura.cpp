#include "tools/esamina/lettura.h"

#include <limits>

#include "compiler/codifica.h"
#include "compiler/formato.h"
#include "compiler/nomi_scenario.h"

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
  if (!file.tracciato) mancante(s.file.tracciato);
  if (!file.tabella) mancante(s.file.tabella);
  if (!file.linea) mancante(s.file.linea);
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
