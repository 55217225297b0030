// Runs a program of the project as a real process, the way a user or a
// script does, optionally with a limit on the size of the files it may write
// (a disk that fills up part-way).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct esito_processo {
  bool uscito = false;  // ended by exit(), not by a signal
  int stato = -1;       // exit status when uscito
  int segnale = 0;      // the signal that ended it otherwise
  std::string errori;   // what it wrote on standard error
};

// Runs eseguibile with the arguments, standard input closed. With
// limite_file, every file the process writes is capped at that many bytes: a
// write past it fails with EFBIG (SIGXFSZ is ignored in the child, as it
// would otherwise kill it).
esito_processo esegui_processo(const std::filesystem::path& eseguibile,
                               const std::vector<std::string>& argomenti = {},
                               std::optional<long> limite_file = std::nullopt);

// Files and folders left in a folder whose names contain ".tmp" or start with
// ".compila_scenario": the traces of a replacement that did not complete.
std::vector<std::string> temporanei_rimasti(const std::filesystem::path& cartella);
