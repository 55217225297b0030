// genera_scenario takes no arguments: started with some, it runs no job and
// touches no file, since its job writes over the Ombrasca1 files beside it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// With --help or -h, says on `uscita` what the program does (status 0); with
// anything else, on `errori`, how to start it (status 2).
int rispondi_agli_argomenti(const std::vector<std::string>& argomenti, std::ostream& uscita,
                            std::ostream& errori);
