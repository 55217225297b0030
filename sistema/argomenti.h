// What the authors' tools share in reading their command line and the
// compiled files it names. Each tool keeps its own options; after them come
// the same three names, CARTELLA NOME TRENO.
#pragma once

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "sistema/file_disco.h"
#include "sistema/fine_programma.h"

// A folder a tool writes into, made where it is missing; false, and said on
// `errori` with the status to exit with (errore_file), when it cannot be made.
inline bool cartella_di_uscita(const std::filesystem::path& cartella, std::string_view comando,
                               std::ostream& errori) {
  std::error_code ec;
  if (std::filesystem::exists(cartella, ec)) return true;
  std::filesystem::create_directories(cartella, ec);
  if (!ec) return true;
  errori << comando << "impossibile creare la cartella " << cartella.string() << ": "
         << motivo_errore(ec) << "\n";
  return false;
}

// The answer to a wrong command line, the same in every tool: why (already
// said), the short usage, and where the whole help is. The status to exit with.
inline int argomenti_sbagliati(std::string_view uso, std::string_view comando,
                               std::ostream& errori) {
  errori << uso << comando << "--help per l'aiuto completo\n";
  return stato_uscita::uso;
}

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
    errori << comando << "il NOME dello scenario è vuoto\n";
    return false;
  }
  constexpr std::string_view vietati("/\\\0", 3);
  for (size_t i = 1; i < 3; ++i) {
    if (posizionali[i].find_first_of(vietati) != std::string::npos) {
      errori << comando << "nome non valido: " << posizionali[i]
             << " (un nome non può contenere '/' o '\\')\n";
      return false;
    }
  }
  return true;
}

// One option of a tool: a switch that sets `acceso`, or, with `valore`, one
// that takes the argument after it (`che_cosa` names that argument in the
// message when it is missing: "il nome del file").
struct opzione_comando {
  std::string_view nome;
  bool* acceso = nullptr;
  std::optional<std::string>* valore = nullptr;
  std::string_view che_cosa = {};
};

// Sets the options found in the arguments and puts the rest in
// `posizionali`, where they must be CARTELLA NOME TRENO (tre_posizionali).
// An option's value comes after it or after "=" (`--svg=FILE`); after "--"
// every argument is a name, even one that starts with "-". Otherwise says
// why on `errori`, after `comando`, and returns false.
inline bool leggi_argomenti(const std::vector<std::string>& argomenti,
                            std::initializer_list<opzione_comando> opzioni,
                            std::vector<std::string>& posizionali, std::string_view comando,
                            std::ostream& errori) {
  bool solo_nomi = false;
  for (size_t i = 0; i < argomenti.size(); ++i) {
    const std::string& a = argomenti[i];
    if (solo_nomi || a.size() < 2 || a[0] != '-') {
      posizionali.push_back(a);
      continue;
    }
    if (a == "--") {
      solo_nomi = true;
      continue;
    }
    const size_t uguale = a.starts_with("--") ? a.find('=') : std::string::npos;
    const std::string_view nome = std::string_view(a).substr(0, uguale);
    const auto o = std::find_if(opzioni.begin(), opzioni.end(),
                                [&](const opzione_comando& x) { return x.nome == nome; });
    if (o == opzioni.end()) {
      errori << comando << "opzione sconosciuta: " << a << '\n';
      return false;
    }
    if (o->valore == nullptr) {
      if (uguale != std::string::npos) {
        errori << comando << "l'opzione " << o->nome << " non prende un valore: " << a << '\n';
        return false;
      }
      *o->acceso = true;
    } else if (uguale != std::string::npos) {
      *o->valore = a.substr(uguale + 1);
    } else if (i + 1 == argomenti.size()) {
      errori << comando << "manca " << o->che_cosa << " dopo " << o->nome << '\n';
      return false;
    } else {
      *o->valore = argomenti[++i];
    }
  }
  return tre_posizionali(posizionali, comando, errori);
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

// Before the tools read a folder's compiled files: a set whose replacement a
// killed run left half done is completed first, so that they read one whole
// set. False, having said why after `comando`, when it cannot be.
inline bool insieme_completato(const std::filesystem::path& cartella, std::string_view comando,
                               std::ostream& errori) {
  try {
    completa_sostituzione_interrotta(cartella, [&] {
      errori << comando << "in attesa che finisca un'altra compilazione in " << cartella.string()
             << std::endl;
    });
    return true;
  } catch (const errore_file& e) {
    errori << comando << "impossibile completare la sostituzione dei file compilati lasciata a "
           << "metà: " << e.file() << ": " << e.motivo() << '\n';
    return false;
  }
}
