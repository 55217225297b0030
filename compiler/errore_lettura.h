// A read failure of a source file: a number that does not fit its field, the
// end of the file inside a record, a value the records cannot hold. The
// readers turn it into code 25 and delete both source files.
#pragma once

#include <stdexcept>
#include <string>

class errore_lettura : public std::runtime_error {
 public:
  explicit errore_lettura(const std::string& motivo) : std::runtime_error(motivo) {}
};
