// Test helper: a strict little JSON parser, so that tests can check that the
// document is well formed and read it back field by field.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct valore_json {
  enum class genere { nullo, logico, numero, testo, lista, oggetto };
  genere g = genere::nullo;
  bool b = false;
  double n = 0;
  std::string s;
  std::vector<valore_json> elementi;
  std::vector<std::pair<std::string, valore_json>> campi;

  // The member named k; a null value when there is none.
  const valore_json& operator[](std::string_view k) const;
  const valore_json& operator[](size_t i) const { return elementi.at(i); }
  bool ha(std::string_view k) const;
  long long intero() const { return static_cast<long long>(n); }
};

// The document's value, or nothing when the text is not exactly one JSON value.
std::optional<valore_json> analizza_json(std::string_view testo);
