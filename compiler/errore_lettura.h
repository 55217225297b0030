// A read failure of a source file: a number that does not fit its field, the
// end of the file inside a record, a value the records cannot hold. The
// readers turn it into code 25, with the reason as its text, and delete both
// source files.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

class errore_lettura : public std::runtime_error {
 public:
  // riga, colonna: where the item at fault begins, when it is not the one
  // being read (0 otherwise).
  explicit errore_lettura(const std::string& motivo, int32_t riga = 0, int32_t colonna = 0)
      : std::runtime_error(motivo), riga_(riga), colonna_(colonna) {}
  int32_t riga() const { return riga_; }
  int32_t colonna() const { return colonna_; }

 private:
  int32_t riga_;
  int32_t colonna_;
};
