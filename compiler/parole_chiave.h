// The keywords of the two source files: the words a row's lead item must hold
// to start each kind of row, and whether their case counts. Both readers test
// lead items through this table, and docs/sorgenti.md has a section for every
// row of it (its test checks the two against each other).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "compiler/lettore_voci.h"

// Reading a source starts after the item that holds this (any case).
inline constexpr std::string_view intestazione_generale = "[generale]";

enum class riga_sorgente : uint8_t {
  // The line source, its general section.
  lunghezza,
  progressiva_tre,
  progressiva_due,
  progressiva_uno,
  sfondo_uno,
  sfondo_due,
  sfondo_tre,
  ripetizione_segnali,
  // The line source, after its general section.
  pendenza,
  curva,
  montagna,
  indicatore_v_max,
  cartello,
  // The run source.
  massa_frenata,
  vetture,
  velocita,
  aderenza,
  orologio,
  sabbia,
  segnale,
  rallentamento,
  abbattimento,
  stazione,
};

enum class file_sorgente : uint8_t { linea, corsa };

struct parola_chiave {
  riga_sorgente riga;
  file_sorgente file;
  // The lead item holds both words (the second may be empty).
  std::string_view parola;
  std::string_view seconda;
  bool ogni_maiuscola;  // capital and small letters alike
  // The lead item as the program's own sources write it.
  std::string_view forma;
};

inline constexpr std::array<parola_chiave, 23> parole_chiave = {{
    {riga_sorgente::lunghezza, file_sorgente::linea, "lunghezza", "percorso", true,
     "lunghezza percorso"},
    {riga_sorgente::progressiva_tre, file_sorgente::linea, "progressiva", "tre", false,
     "progressiva chilometrica tre"},
    {riga_sorgente::progressiva_due, file_sorgente::linea, "progressiva", "due", false,
     "progressiva chilometrica due"},
    {riga_sorgente::progressiva_uno, file_sorgente::linea, "progressiva", "uno", false,
     "progressiva chilometrica uno"},
    {riga_sorgente::sfondo_uno, file_sorgente::linea, "sfondo", "uno", false, "sfondo uno"},
    {riga_sorgente::sfondo_due, file_sorgente::linea, "sfondo", "due", false, "sfondo due"},
    {riga_sorgente::sfondo_tre, file_sorgente::linea, "sfondo", "tre", false, "sfondo tre"},
    {riga_sorgente::ripetizione_segnali, file_sorgente::linea, "ripetizione", "segnali", false,
     "ripetizione segnali 9 codici"},
    {riga_sorgente::pendenza, file_sorgente::linea, "pendenza", "", true, "pendenza"},
    {riga_sorgente::curva, file_sorgente::linea, "curva", "", true, "curvad4"},
    {riga_sorgente::montagna, file_sorgente::linea, "montagna", "", true, "montagna"},
    {riga_sorgente::indicatore_v_max, file_sorgente::linea, "indicatori_v", "", true,
     "indicatori_vmax"},
    {riga_sorgente::cartello, file_sorgente::linea, "cartello", "indicat", true,
     "cartello_indicatore"},
    {riga_sorgente::massa_frenata, file_sorgente::corsa, "massa", "frenata", true,
     "percentuale massa frenata"},
    {riga_sorgente::vetture, file_sorgente::corsa, "vetture", "", true, "numero vetture"},
    {riga_sorgente::velocita, file_sorgente::corsa, "velocit", "", true, "velocita"},
    {riga_sorgente::aderenza, file_sorgente::corsa, "aderenza", "", true, "aderenza"},
    {riga_sorgente::orologio, file_sorgente::corsa, "orologio", "", true, "orologio"},
    {riga_sorgente::sabbia, file_sorgente::corsa, "sabbia", "", true, "sabbia"},
    {riga_sorgente::segnale, file_sorgente::corsa, "segnale", "", true, "segnale"},
    {riga_sorgente::rallentamento, file_sorgente::corsa, "rallentamento", "", true,
     "rallentamento"},
    {riga_sorgente::abbattimento, file_sorgente::corsa, "abbattimento", "", true, "abbattimento"},
    {riga_sorgente::stazione, file_sorgente::corsa, "stazione", "", true, "stazione"},
}};

// The table is indexed by the kind of row.
constexpr bool parole_in_ordine() {
  for (size_t i = 0; i < parole_chiave.size(); ++i)
    if (static_cast<size_t>(parole_chiave[i].riga) != i) return false;
  return true;
}
static_assert(parole_in_ordine());

constexpr const parola_chiave& parola_di(riga_sorgente r) {
  return parole_chiave[static_cast<size_t>(r)];
}

// Whether a lead item starts a row of this kind.
inline bool apre_riga(std::string_view capo, riga_sorgente r) {
  const parola_chiave& p = parola_di(r);
  const auto ha = [&](std::string_view parola) {
    return parola.empty() ||
           (p.ogni_maiuscola ? contiene_ic(capo, parola) : contiene(capo, parola));
  };
  return ha(p.parola) && ha(p.seconda);
}
