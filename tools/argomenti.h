// What the authors' tools share in reading their command line and the
// compiled files it names. Each tool keeps its own options; after them come
// the same three names, CARTELLA NOME TRENO.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/file_disco.h"

// Whether the arguments left after the options are CARTELLA NOME TRENO: three
// of them, NOME not empty, and both names fit to stand in a file name inside
// CARTELLA (no folder separator, and no NUL, which would cut the name short).
// Otherwise says why on `errori`, after `comando` ("esamina_scenario: ").
inline bool tre_posizionali(const std::vector<std::string>& posizionali, std::string_view comando,
                            std::ostream& errori) {
  if (posizionali.size() != 3) {
    errori << comando << "servono tre argomenti, CARTELLA NOME TRENO\n";
    return false;
  }
  if (posizionali[1].empty()) {
    errori << comando << "il NOME dello scenario e' vuoto\n";
    return false;
  }
  constexpr std::string_view vietati("/\\\0", 3);
  for (size_t i = 1; i < 3; ++i) {
    if (posizionali[i].find_first_of(vietati) != std::string::npos) {
      errori << comando << "nome non valido: " << posizionali[i]
             << " (un nome non puo' contenere '/' o '\\')\n";
      return false;
    }
  }
  return true;
}

// A compiled file read whole, or nothing when it cannot be read: the tools
// say of a missing file what it means for them.
inline std::optional<std::string> leggi_se_leggibile(const std::filesystem::path& file) {
  try {
    return leggi_file(file);
  } catch (const errore_file&) {
    return std::nullopt;
  }
}

inline std::optional<std::string_view> vista(const std::optional<std::string>& s) {
  if (!s) return std::nullopt;
  return std::string_view(*s);
}
