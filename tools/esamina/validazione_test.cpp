#include "tools/esamina/validazione.h"

#include <gtest/gtest.h>

#include <functional>

#include "compiler/codifica.h"
#include "testing/compilazione_prova.h"
#include "tools/esamina/prova_scenario.h"

namespace {

constexpr const char* linea = "Ombrasca1_linea.dat";
constexpr const char* tabella = "Ombrasca1_5817.sim";
constexpr const char* tracciato = "Ombrasca1_5817.dat";

// Byte offset of entry k in the table file of the fixture.
size_t voce(const file_di_prova& b, int k) {
  size_t o = 0;
  for (int i = 0; i < k; ++i) o += 34 + static_cast<size_t>(leggi_a<int16_t>(b.tabella, o + 14));
  return o;
}

// Byte offset of tagged value i in the line file of the fixture.
size_t valore(const file_di_prova& b, size_t i) {
  size_t o = 0;
  for (size_t n = 0; n < i; ++n) {
    const uint16_t t = leggi_a<uint16_t>(b.linea, o);
    o += 2 + (t == 2 ? 2 : t == 5 ? 8 : 0);
  }
  return o;
}

void metti_intero(std::string& b, size_t at, int16_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

struct danno {
  const char* nome;
  std::function<void(file_di_prova&)> guasta;
  std::string file;
  std::function<size_t(const file_di_prova&)> byte;  // offset in the sound files
  const char* testo;
};

TEST(ValidazioneCompilati, FileSaniNessunProblema) {
  compilazione_prova p;
  riempi_scenario_di_prova(p.compilazione);
  const scenario_letto s = esamina(codifica_file(p.compilazione).viste(), "Ombrasca1", "5817");
  EXPECT_TRUE(s.problemi.empty());
}

TEST(ValidazioneCompilati, OgniDannoUnaRigaConFileEByte) {
  const int32_t L = lunghezza_di_prova;
  const size_t celle = 541, metri = static_cast<size_t>(L) + 7001;
  const danno danni[] = {
      {"tracciato con una cella monca",
       [](file_di_prova& b) { b.tracciato.resize(b.tracciato.size() - 7); }, tracciato,
       [&](auto&) { return (celle - 1) * 15; }, "8 byte in fondo non formano una cella intera"},
      {"tracciato con una cella in meno",
       [](file_di_prova& b) { b.tracciato.resize(b.tracciato.size() - 15); }, tracciato,
       [&](auto&) { return (celle - 1) * 15; },
       "il tracciato ha 540 celle, la lunghezza di 20000 m (voce 84) ne richiede 541"},
      {"tracciato vuoto", [](file_di_prova& b) { b.tracciato.clear(); }, tracciato,
       [](auto&) { return 0; }, "il file è vuoto"},
      {"codice di formato sbagliato", [](file_di_prova& b) { b.tracciato[16] = 0; }, tracciato,
       [](auto&) { return 16; }, "cella 1: codice di formato 5120 invece di 5121"},
      {"codice dello scenario sbagliato nel tracciato",
       [](file_di_prova& b) { metti_intero(b.tracciato, 18, 2297); }, tracciato,
       [](auto&) { return 18; }, "cella 1: codice dello scenario 2297 invece di 2296"},
      {"tipo di cella sconosciuto", [](file_di_prova& b) { b.tracciato[100 * 15] = 9; }, tracciato,
       [](auto&) { return 100 * 15; }, "cella 100: tipo 9 sconosciuto"},
      {"cartello che punta fuori dalle voci",
       [](file_di_prova& b) { metti_intero(b.tracciato, 61 * 15 + 1, 99); }, tracciato,
       [](auto&) { return 61 * 15 + 1; }, "cella 61: cartello con il testo nella voce 99"},
      {"fermata di una voce inesistente",
       [](file_di_prova& b) { metti_intero(b.tracciato, 5 * 15 + 1, 0); }, tracciato,
       [](auto&) { return 5 * 15 + 1; }, "cella 5: fermata della voce 0"},
      {"tabella troncata", [](file_di_prova& b) { b.tabella.resize(voce(b, 40) + 20); }, tabella,
       [](auto& b) { return voce(b, 40); }, "il file finisce dentro la voce 40"},
      {"tabella con byte in più", [](file_di_prova& b) { b.tabella += "xyz"; }, tabella,
       [](auto& b) { return b.tabella.size(); }, "3 byte oltre la voce 86"},
      {"nome di lunghezza negativa",
       [](file_di_prova& b) { metti_intero(b.tabella, voce(b, 80) + 14, -3); }, tabella,
       [](auto& b) { return voce(b, 80) + 14; },
       "la voce 80 dichiara un nome di lunghezza negativa (-3)"},
      {"tabella percorsa oltre la fine",
       [](file_di_prova& b) { metti_intero(b.tabella, voce(b, 3) + 14, 30000); }, tabella,
       [](auto& b) { return voce(b, 3); }, "il file finisce dentro la voce 3"},
      {"formato della tabella sbagliato",
       [](file_di_prova& b) { metti_intero(b.tabella, voce(b, 85) + 25, 611); }, tabella,
       [](auto& b) { return voce(b, 85) + 25; }, "voce 85: codice di formato 611 invece di 610"},
      {"codice dello scenario sbagliato nella tabella",
       [](file_di_prova& b) { b.tabella[voce(b, 85) + 39] = 0; }, tabella,
       [](auto& b) { return voce(b, 85) + 39; },
       "voce 85: codice dello scenario 31488 invece di 31605"},
      {"lunghezza fuori misura", [](file_di_prova& b) { b.tabella[voce(b, 84) + 8] = 0x7F; },
       tabella, [](auto& b) { return voce(b, 84) + 5; }, "fuori da 0-1000000"},
      {"linea più corta della lunghezza",
       [](file_di_prova& b) { b.linea.resize(b.linea.size() - 20); }, linea,
       [](auto& b) { return b.linea.size() - 20; },
       "il file ha 539944 byte, la lunghezza di 20000 m (voce 84) ne richiede 539964"},
      {"codice di tipo sconosciuto", [](file_di_prova& b) { b.linea[valore(b, 500)] = 7; }, linea,
       [](auto& b) { return valore(b, 500); }, "codice di tipo 7 sconosciuto"},
      {"valore troncato", [](file_di_prova& b) { b.linea.resize(valore(b, 500) + 5); }, linea,
       [](auto& b) { return valore(b, 500); }, "il file finisce dentro il valore 500"},
      {"un Double scritto come Integer",
       [&](file_di_prova& b) {
         const size_t at = valore(b, metri + 700);
         b.linea.replace(at, 10, std::string("\x02\x00\x05\x00", 4));
       },
       linea, [&](auto& b) { return valore(b, metri + 700); },
       "metro 700, coordinata y: valore di tipo 2 invece di 5"},
      {"punto iniziale spostato", [&](file_di_prova& b) { b.linea[valore(b, metri + 1) + 2] = 3; },
       linea, [&](auto& b) { return valore(b, metri + 1); },
       "metro 1, coordinata y: vale 3 invece di 1"},
      {"un valore vuoto in più", [](file_di_prova& b) { b.linea += std::string(2, '\0'); }, linea,
       [](auto& b) { return b.linea.size() + 2; }, "un numero dispari"},
  };
  for (const danno& d : danni) {
    compilazione_prova p;
    riempi_scenario_di_prova(p.compilazione);
    const file_di_prova sani = codifica_file(p.compilazione);
    file_di_prova b = sani;
    d.guasta(b);
    const scenario_letto s = esamina(b.viste(), "Ombrasca1", "5817");
    const size_t byte = d.byte(sani);
    bool trovato = false;
    for (const problema& q : s.problemi)
      trovato |= q.file == d.file && q.byte == byte && q.testo.find(d.testo) != std::string::npos;
    std::string elenco;
    for (const problema& q : s.problemi) elenco += "\n  " + riga_problema(q);
    EXPECT_TRUE(trovato) << d.nome << ": attesa " << d.file << ": byte " << byte << ": " << d.testo
                         << "\ntrovati:" << elenco;
  }
}

TEST(ValidazioneCompilati, NomiDiversiDaQuelliChiesti) {
  compilazione_prova p;
  riempi_scenario_di_prova(p.compilazione);
  const scenario_letto s = esamina(codifica_file(p.compilazione).viste(), "Ombrasca2", "5818");
  std::vector<std::string> testi;
  for (const problema& q : s.problemi) testi.push_back(q.file + ": " + q.testo);
  EXPECT_EQ(
      testi,
      (std::vector<std::string>{
          "Ombrasca2_5818.sim: voce 85: nome dello scenario \"Ombrasca1\" invece di \"Ombrasca2\"",
          "Ombrasca2_5818.sim: voce 86: numero del treno \"5817\" invece di \"5818\""}));
}

TEST(ValidazioneCompilati, FileMancanti) {
  compilazione_prova p;
  riempi_scenario_di_prova(p.compilazione);
  const file_di_prova b = codifica_file(p.compilazione);
  const scenario_letto s = esamina({std::nullopt, b.tabella, b.tracciato}, "Ombrasca1", "5817");
  ASSERT_EQ(s.problemi.size(), 1u);
  EXPECT_EQ(riga_problema(s.problemi[0]), "Ombrasca1_linea.dat: file mancante o illeggibile");
}

// Damage repeated over thousands of values yields a handful of lines.
TEST(ValidazioneCompilati, DanniRipetutiRiassunti) {
  compilazione_prova p;
  riempi_scenario_di_prova(p.compilazione);
  file_di_prova b = codifica_file(p.compilazione);
  for (size_t i = 0; i < 100; ++i) b.tracciato[(200 + i) * 15] = 42;
  const scenario_letto s = esamina(b.viste(), "Ombrasca1", "5817");
  ASSERT_EQ(s.problemi.size(), 11u);
  EXPECT_EQ(riga_problema(s.problemi.back()),
            "Ombrasca1_5817.dat: byte 3150: e altri 90 problemi nelle celle da qui in poi");
}

}  // namespace
