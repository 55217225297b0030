// compila_scenario: compiles the two source files of a scenario, as an author
// has edited them by hand, with the program's own compiler.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// Runs the tool on its arguments (program name excluded); returns the exit
// status: 0 compiled; 1 compiled, with a problem in the sources; 2 wrong
// arguments; 3 nothing written; 4 a file could not be read or written.
int compila_scenario(const std::vector<std::string>& argomenti, std::ostream& uscita,
                     std::ostream& errori);
