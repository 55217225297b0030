// What the readers took without a complaint, though perhaps not as the author
// meant it: a keyword with a typo, a number that reads as 0, a row out of
// order. Warnings change nothing that is compiled; compila_scenario shows them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct avviso {
  std::string file;
  int32_t riga = 0;
  int32_t colonna = 0;
  std::string testo;
};

class elenco_avvisi {
 public:
  // A file with a great many keeps the first ones; the rest are only counted.
  static constexpr size_t massimo_per_file = 20;

  void aggiungi(avviso a);
  void azzera() {
    tenuti_.clear();
    oltre_.clear();
  }
  const std::vector<avviso>& tenuti() const { return tenuti_; }
  // For each file with more than massimo_per_file: how many more it had.
  const std::vector<std::pair<std::string, int64_t>>& oltre() const { return oltre_; }
  int64_t totale() const;

 private:
  std::vector<avviso> tenuti_;
  std::vector<std::pair<std::string, int64_t>> oltre_;
};
