// decompila_scenario: the two sources of a scenario back from its three
// compiled files, checked by compiling them again.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/decompila/ricava.h"

// The bytes of the three compiled files; a file not read is absent. The
// line file, some 20 MB at the longest line, may instead be left on disk and
// read a piece at a time.
struct compilati {
  std::optional<std::string> linea;
  std::optional<std::filesystem::path> file_linea;
  std::optional<std::string> tabella;
  std::optional<std::string> tracciato;
};

// Compiles the sources in a folder of its own inside `dove` (removed
// afterwards) and compares what comes out with `originali`: one problem per
// file that differs, none when every byte comes back.
std::vector<problema> ricompila_e_confronta(const sorgenti_ricavate& sorgenti,
                                            const compilati& originali, const std::string& nome,
                                            const std::string& treno, bool con_linea,
                                            const std::filesystem::path& dove);

// Runs the tool on its arguments (program name excluded); returns the exit
// status: 0 sources written, they compile back to the same bytes; 1 sources
// written, with the parts that do not come back said one per line; 2 wrong
// arguments; 4 a file could not be read or written, or a source is there
// already.
int decompila_scenario(const std::vector<std::string>& argomenti, std::ostream& uscita,
                       std::ostream& errori);
