// Test helpers for the carried source texts: cutting a row into its fields and
// picking out one section, close enough to the readers' view to check the data.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

// The fields of a row between its commas, blanks kept as they stand.
inline std::vector<std::string_view> campi(std::string_view riga) {
  std::vector<std::string_view> out;
  for (;;) {
    size_t virgola = riga.find(',');
    out.push_back(riga.substr(0, virgola));
    if (virgola == std::string_view::npos) return out;
    riga.remove_prefix(virgola + 1);
  }
}

// A whole number with blanks around it; nullopt for anything else, empty included.
inline std::optional<long> intero(std::string_view campo) {
  while (!campo.empty() && campo.front() == ' ') campo.remove_prefix(1);
  while (!campo.empty() && campo.back() == ' ') campo.remove_suffix(1);
  bool negativo = !campo.empty() && campo.front() == '-';
  if (negativo) campo.remove_prefix(1);
  if (campo.empty() || campo.size() > 9) return std::nullopt;
  long v = 0;
  for (char c : campo) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return negativo ? -v : v;
}

// The records of a section: the lines after its header, up to the next header.
inline std::vector<std::string_view> sezione(std::span<const std::string_view> righe,
                                             std::string_view intestazione) {
  std::vector<std::string_view> out;
  bool dentro = false;
  for (std::string_view r : righe) {
    if (!r.empty() && r.front() == '[') {
      dentro = r == intestazione;
      continue;
    }
    if (dentro) out.push_back(r);
  }
  return out;
}

// The number in field i of a record; 0 when it is missing or not a number,
// which the shape tests of each section catch on their own.
inline long numero_campo(std::string_view riga, size_t i) {
  auto f = campi(riga);
  if (i >= f.size()) return 0;
  return intero(f[i]).value_or(0);
}
