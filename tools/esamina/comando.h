// The command esamina_scenario: arguments, files, outputs, exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// Runs the command on its arguments (without the program name); the report
// or the JSON document goes to `uscita`, problem lines and usage to `errori`.
// Returns 0 when the files are sound, 1 when any problem was found, 2 for
// wrong arguments, 4 when the picture or the page could not be written.
int esegui_esamina(const std::vector<std::string>& argomenti, std::ostream& uscita,
                   std::ostream& errori);
