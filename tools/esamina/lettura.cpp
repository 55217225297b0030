#include "tools/esamina/lettura.h"

#include <limits>

#include "compiler/codifica.h"
#include "compiler/file_compilati.h"
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
  if (voci_lette <= 84) return std::nullopt;
  return tabella[84].fine;
}

namespace {

uint8_t leggi_byte(std::string_view b, size_t at) { return static_cast<uint8_t>(b[at]); }

void segnala(scenario_letto& s, const std::string& file, size_t byte, std::string testo) {
  s.problemi.push_back({file, byte, std::move(testo)});
}

void leggi_tracciato(scenario_letto& s, std::string_view b) {
  const std::string& file = s.file.tracciato;
  if (b.empty()) {
    segnala(s, file, 0, "il file è vuoto");
    return;
  }
  const size_t n = b.size() / byte_cella;
  s.celle.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const size_t o = i * byte_cella;
    cella& c = s.celle[i];
    c.tipo = leggi_byte(b, o);
    c.dato1 = leggi_intero(b, o + 1);
    c.dato2 = leggi_intero(b, o + 3);
    c.dato3 = leggi_intero(b, o + 5);
    c.dato4 = leggi_intero(b, o + 7);
    c.dato5 = leggi_byte(b, o + 9);
    c.dato6 = leggi_byte(b, o + 10);
    c.montagna = leggi_byte(b, o + 11);
    c.velocita = leggi_byte(b, o + 12);
    c.pendenza = leggi_byte(b, o + 13);
    c.aderenza = leggi_byte(b, o + 14);
  }
  const size_t resto = b.size() % byte_cella;
  if (resto != 0)
    segnala(
        s, file, n * byte_cella,
        std::to_string(resto) + " byte in fondo non formano una cella intera (15 byte a cella)");
}

void leggi_tabella(scenario_letto& s, std::string_view b) {
  const std::string& file = s.file.tabella;
  if (b.empty()) {
    segnala(s, file, 0, "il file è vuoto");
    return;
  }
  size_t o = 0;
  for (int k = 0; k < voci_tabella; ++k) {
    const size_t restano = b.size() - o;
    if (restano < byte_voce_vuota) {
      segnala(s, file, o,
              "il file finisce dentro la voce " + std::to_string(k) + " (ne restano " +
                  std::to_string(restano) + " byte, ne servono almeno 34): lette " +
                  std::to_string(k) + " voci su 87");
      return;
    }
    const int16_t n = leggi_intero(b, o + campo_voce::lunghezza_nome);
    if (n < 0) {
      segnala(s, file, o + campo_voce::lunghezza_nome,
              "la voce " + std::to_string(k) + " dichiara un nome di lunghezza negativa (" +
                  std::to_string(n) + ")");
      return;
    }
    const size_t lung = static_cast<size_t>(n);
    if (restano < byte_voce_vuota + lung) {
      segnala(s, file, o,
              "il file finisce dentro la voce " + std::to_string(k) + " (ne restano " +
                  std::to_string(restano) + " byte, ne servono " +
                  std::to_string(byte_voce_vuota + lung) + "): lette " + std::to_string(k) +
                  " voci su 87");
      return;
    }
    voce_corsa& v = s.tabella[k];
    v.tipo = leggi_byte(b, o);
    v.inizio = leggi_lungo(b, o + campo_voce::inizio);
    v.fine = leggi_lungo(b, o + campo_voce::fine);
    v.progressiva = leggi_lungo(b, o + campo_voce::progressiva);
    v.byte1 = leggi_byte(b, o + 13);
    v.nome.assign(b.substr(o + campo_voce::nome, lung));
    const size_t q = o + campo_voce::intero1(lung);
    v.intero1 = leggi_intero(b, q);
    v.intero2 = leggi_intero(b, q + 2);
    v.intero3 = leggi_intero(b, q + 4);
    v.intero4 = leggi_intero(b, q + 6);
    v.intero5 = leggi_intero(b, q + 8);
    v.byte2 = leggi_byte(b, q + 10);
    v.byte3 = leggi_byte(b, q + 11);
    v.byte4 = leggi_byte(b, q + 12);
    v.byte5 = leggi_byte(b, q + 13);
    v.orario = leggi_lungo(b, o + campo_voce::orario(lung));
    s.inizio_voce[k] = o;
    s.voci_lette = k + 1;
    o += byte_voce_vuota + lung;
  }
  if (o < b.size())
    segnala(s, file, o,
            std::to_string(b.size() - o) + " byte oltre la voce 86, che dovrebbe essere l'ultima");
}

// Size of the value that follows a type code, or nothing for an unknown code.
std::optional<size_t> byte_del_valore(uint16_t tipo) {
  switch (tipo) {
    case tipo_valore::vuoto:
      return 0;
    case tipo_valore::intero:
      return 2;
    case tipo_valore::doppio:
      return 8;
    default:
      return std::nullopt;
  }
}

void leggi_linea(scenario_letto& s, std::string_view b) {
  const std::string& file = s.file.linea;
  if (b.empty()) {
    segnala(s, file, 0, "il file è vuoto");
    return;
  }
  size_t o = 0;
  while (o < b.size()) {
    if (b.size() - o < 2) {
      segnala(s, file, o,
              "il file finisce dentro il codice di tipo del valore " +
                  std::to_string(s.byte_valori.size()));
      return;
    }
    const uint16_t tipo = leggi_parola(b, o);
    const std::optional<size_t> lung = byte_del_valore(tipo);
    if (!lung) {
      segnala(s, file, o,
              "codice di tipo " + std::to_string(tipo) +
                  " sconosciuto (attesi 0, 2 o 5) nel valore " +
                  std::to_string(s.byte_valori.size()));
      return;
    }
    if (b.size() - o - 2 < *lung) {
      segnala(s, file, o,
              "il file finisce dentro il valore " + std::to_string(s.byte_valori.size()) +
                  " (di tipo " + std::to_string(tipo) + ")");
      return;
    }
    s.byte_valori.push_back(o);
    o += 2 + *lung;
  }
  s.linea_intera = true;

  const size_t n = s.byte_valori.size();
  if (n % 2 != 0) {
    segnala(s, file, b.size(),
            "il file ha " + std::to_string(n) +
                " valori, un numero dispari: non si dividono nelle due coordinate");
    return;
  }
  const size_t meta = n / 2;
  if (meta - 1 > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return;
  s.punti.crea(static_cast<int32_t>(meta - 1));
  for (size_t i = 0; i < n; ++i) {
    const int k = i < meta ? 0 : 1;
    const int32_t m = static_cast<int32_t>(i - k * meta);
    const size_t at = s.byte_valori[i];
    const uint16_t tipo = leggi_parola(b, at);
    if (tipo == tipo_valore::intero)
      s.punti.metti_intero(m, k, leggi_intero(b, at + 2));
    else if (tipo == tipo_valore::doppio)
      s.punti.metti_doppio(m, k, leggi_doppio(b, at + 2));
  }
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
