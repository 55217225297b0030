#include "tools/decompila/ricava.h"

#include <algorithm>
#include <cstring>

#include "compiler/formato.h"
#include "compiler/nomi_scenario.h"
#include "compiler/numeri.h"

namespace ricavo {

namespace {

bool spazio(char c) { return c == ' ' || c == '\t'; }

}  // namespace

void riga(righe& r, std::string_view testo) {
  r.append(testo);
  r.append("\r\n");
}

// A text as the item reader gives it back: plain when it can be, in quotes
// when it holds a comma, a line end or blanks at its ends. A text that holds
// a quote and needs quoting cannot be written, in any form: a plain item
// ends at the first comma or line end, loses its outer blanks, and is read
// as quoted when it starts with a quote; a quoted item ends at the first
// quote after the opening one. So no source gives such a text, and only a
// file changed by hand holds one: it is named as not coming back.
std::optional<std::string> testo_sorgente(const std::string& t) {
  const bool da_citare = t.find_first_of(",\r\n") != std::string::npos ||
                         (!t.empty() && (spazio(t.front()) || spazio(t.back()) || t.front() == '"'));
  if (!da_citare) return t;
  if (t.find('"') != std::string::npos) return std::nullopt;
  return '"' + t + '"';
}

// A name that stands in a comment: nothing that ends an item or starts a quote.
std::string per_commento(std::string_view nome) {
  std::string r(nome);
  for (char& c : r)
    if (c == ',' || c == '"' || c == '\r' || c == '\n' || c == '[' || c == ']') c = '_';
  return r;
}

}  // namespace ricavo

sorgenti_ricavate ricava_sorgenti(const scenario_letto& s, bool con_linea) {
  sorgenti_ricavate esito;
  for (const problema& p : s.problemi)
    if (con_linea || p.file != s.file.linea) esito.problemi.push_back(p);
  // The header cell's two codes come from the names, not from a row: an
  // object there has left zeros under them.
  std::vector<cella> celle = s.celle;
  if (celle.size() > cella_intestazione) {
    cella& c = celle[cella_intestazione];
    const codici_scenario codici = codici_dai_nomi(s.numero_treno, s.nome_scenario);
    if (c.dato1 != formato_tracciato || c.dato2 != codici.tracciato)
      esito.problemi.push_back({s.file.tracciato, cella_intestazione * byte_cella,
                                "la cella d'intestazione non ha i codici del formato e dello scenario"});
    c.dato1 = 0;
    c.dato2 = 0;
  }
  const ricavo::contesto x{s, esito.problemi, celle};
  const std::optional<int32_t> L = s.lunghezza();
  if (!L || s.voci_lette < voci_tabella_corsa || s.celle.size() < 3) {
    esito.problemi.push_back({s.file.tabella, std::nullopt,
                              "senza la tabella e il tracciato interi non si ricava nessun sorgente"});
    return esito;
  }
  if (*L > lunghezza_massima || s.celle.size() != static_cast<size_t>(ultima_cella_per(*L)) + 1)
    x.tracciato(0, "il tracciato ha " + std::to_string(s.celle.size()) +
                       " celle, non quante ne dà la lunghezza della linea (" + std::to_string(*L) +
                       " m)");
  if (con_linea && s.punti.esiste() && s.punti.ultimo() != int64_t{*L} + coda_percorso)
    x.linea(std::nullopt, "il tracciato metro per metro non ha la lunghezza della linea");
  esito.linea = ricavo::sorgente_linea(x, con_linea && s.punti.esiste(), *L);
  esito.corsa = ricavo::sorgente_corsa(x);
  return esito;
}

std::vector<problema> confronta_compilati(const std::string& file, std::string_view atteso,
                                          std::string_view ottenuto) {
  const size_t n = std::min(atteso.size(), ottenuto.size());
  size_t i = 0;
  // Eight bytes at a time up to the first difference.
  while (i + 8 <= n && std::memcmp(atteso.data() + i, ottenuto.data() + i, 8) == 0) i += 8;
  while (i < n && atteso[i] == ottenuto[i]) ++i;
  if (i < n)
    return {{file, i,
             "ricompilando le sorgenti ricavate questo byte vale " +
                 std::to_string(static_cast<uint8_t>(ottenuto[i])) + " invece di " +
                 std::to_string(static_cast<uint8_t>(atteso[i])) +
                 ": da qui il file non viene da un sorgente"}};
  if (atteso.size() != ottenuto.size())
    return {{file, n,
             "ricompilando le sorgenti ricavate il file ha " + std::to_string(ottenuto.size()) +
                 " byte invece di " + std::to_string(atteso.size())}};
  return {};
}
