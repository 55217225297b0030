// Header slots of the table and track files: two format codes and two codes
// computed from the train number and the scenario name.
#include "app/form1.h"
#include "compiler/codici_errore.h"

namespace {

// Lower case of one Windows-1252 character.
unsigned char minuscola(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  if (c == 0x8A || c == 0x8C || c == 0x8E) return c + 0x10;
  if (c == 0x9F) return 0xFF;
  return c;
}

// Train number, then scenario name, in lower case, then a fixed tail that
// makes the text at least 26 characters long; only the first 25 count.
std::string testo_codice(const std::string& treno, const std::string& scenario) {
  std::string t = treno + scenario;
  for (char& c : t) c = static_cast<char>(minuscola(static_cast<unsigned char>(c)));
  return t + "aabbccddeeffgghhiillmmnnoo";
}

}  // namespace

int16_t Form1::codice_gara_og() const {
  const std::string t = testo_codice(tabella_corsa[voce_tabella::treno].nome,
                                     tabella_corsa[voce_tabella::scenario].nome);
  int32_t somma = 0;
  for (int i = 1; i <= 25; ++i) somma += static_cast<unsigned char>(t[i - 1]);
  return static_cast<int16_t>(somma);
}

int32_t Form1::codice_gara_st() const {
  const std::string t = testo_codice(tabella_corsa[voce_tabella::treno].nome,
                                     tabella_corsa[voce_tabella::scenario].nome);
  int32_t somma = 0;
  for (int i = 1; i <= 25; ++i) somma += static_cast<unsigned char>(t[i - 1]) * i;
  return somma;
}

void Form1::riempi_intestazioni() {
  if (tabella_corsa[voce_tabella::scenario].intero1 != 0 || celle[1].dato1 != 0)
    errore(std::to_string(numero_errore(errore_compilazione::formato_occupato)));
  tabella_corsa[voce_tabella::scenario].intero1 = 610;
  celle[1].dato1 = 5121;
  if (tabella_corsa[voce_tabella::scenario].orario != 0 || celle[1].dato2 != 0)
    errore(std::to_string(numero_errore(errore_compilazione::codice_scenario_occupato)));
  tabella_corsa[voce_tabella::scenario].orario = codice_gara_st();
  celle[1].dato2 = codice_gara_og();
}

void Form1::errore(const std::string& a) {
  piattaforma_.messaggio_errore(" Errore n. " + a);
  throw fine_programma{stato_uscita::fermato};
}
