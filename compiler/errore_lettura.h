// A read failure of a source file: a number that does not fit its field, the
// end of the file inside a record, a value the records cannot hold. The
// readers turn it into code 25 and delete both source files.
#pragma once

#include <stdexcept>
#include <string>

class errore_lettura : public std::runtime_error {
 public:
  // riga: the source line of the row at fault, when it is not the one being read.
  explicit errore_lettura(const std::string& motivo, int riga = 0)
      : std::runtime_error(motivo), riga_(riga) {}
  int riga() const { return riga_; }

 private:
  int riga_;
};
