#include "compiler/lettore_voci.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool spazio(char c) { return c == ' ' || c == '\t'; }
bool fine_riga(char c) { return c == '\r' || c == '\n'; }

// Only the plain letters: keywords are ASCII words.
char minuscola_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Plain decimal, an optional sign and an optional fraction; anything else is
// not a number and reads as 0.
double valore_numerico(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t cifre = 0;
  size_t j = i;
  for (; j < s.size() && s[j] >= '0' && s[j] <= '9'; ++j) ++cifre;
  if (j < s.size() && s[j] == '.') {
    for (++j; j < s.size() && s[j] >= '0' && s[j] <= '9'; ++j) ++cifre;
  }
  if (cifre == 0 || j != s.size()) return 0.0;
  // Most items are whole numbers of a few digits: below 2^53 their value is
  // exact as a double, the very value the general conversion gives.
  if (j - i == cifre && cifre <= 15) {
    int64_t n = 0;
    for (size_t k = i; k < j; ++k) n = n * 10 + (s[k] - '0');
    const double v = static_cast<double>(n);
    return s[0] == '-' ? -v : v;
  }
  const char* inizio = s.data() + (s[0] == '+' ? 1 : 0);
  double v = 0.0;
  const auto esito = std::from_chars(inizio, s.data() + s.size(), v);
  if (esito.ec == std::errc::result_out_of_range)
    return s[0] == '-' ? -std::numeric_limits<double>::infinity()
                       : std::numeric_limits<double>::infinity();
  return v;
}

// A number as an author wrote it, without a fraction of zeros or an exponent.
std::string in_cifre(double x) {
  if (std::isinf(x)) return x > 0 ? "oltre 1e308" : "sotto -1e308";
  char b[32];
  const auto esito = std::to_chars(b, b + sizeof b, x, std::chars_format::fixed, 0);
  return std::string(b, esito.ptr);
}

// Whether an item is a number by the grammar of valore_numerico.
bool numerica(std::string_view s) {
  size_t i = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
  size_t cifre = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++cifre;
  if (i < s.size() && s[i] == '.')
    for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++cifre;
  return cifre > 0 && i == s.size();
}

double intero_nei_limiti(double x, double minimo, double massimo) {
  const double r = std::nearbyint(x);
  if (!(r >= minimo && r <= massimo))
    throw errore_lettura("il numero " + in_cifre(x) + " non sta nel suo campo, che va da " +
                         in_cifre(minimo) + " a " + in_cifre(massimo));
  return r;
}

}  // namespace

void lettore_voci::salta_spazi() {
  while (pos_ < dati_.size() && spazio(dati_[pos_])) ++pos_;
}

void lettore_voci::consuma_fine_riga() {
  if (pos_ >= dati_.size()) return;
  if (dati_[pos_] == '\r') {
    ++pos_;
    if (pos_ < dati_.size() && dati_[pos_] == '\n') ++pos_;
  } else {
    ++pos_;
  }
  ++riga_;
  inizio_riga_ = pos_;
  riga_nuova_ = true;
}

void lettore_voci::inizia_voce() {
  salta_spazi();
  if (fine()) throw errore_lettura("il file finisce a metà di una riga: mancano dei valori");
  riga_voce_ = riga_;
  inizio_riga_voce_ = inizio_riga_;
  colonna_voce_ = static_cast<int32_t>(pos_ - inizio_riga_ + 1);
  a_inizio_riga_ = riga_nuova_;
  riga_nuova_ = false;
  riga_letta& r = riga_corrente_;
  ++r.valori;
  if (riga_voce_ == r.riga) {
    ++r.sulla_riga;
  } else if (r.riga_seguito == 0) {
    r.riga_seguito = riga_voce_;
    size_t fine = pos_;
    while (fine < dati_.size() && !fine_riga(dati_[fine])) ++fine;
    r.seguito = std::string_view(dati_.data() + pos_, fine - pos_);
  }
}

void lettore_voci::inizia_riga(std::string_view capo) {
  riga_corrente_ = riga_letta{};
  riga_corrente_.capo = capo;
  riga_corrente_.riga = riga_voce_;
  riga_corrente_.colonna = colonna_voce_;
  riga_corrente_.inizio_linea = inizio_riga_voce_;
}

std::string_view lettore_voci::linea(const riga_letta& r) const {
  const size_t inizio = std::min(r.inizio_linea, dati_.size());
  size_t fine = inizio;
  while (fine < dati_.size() && !fine_riga(dati_[fine])) ++fine;
  return std::string_view(dati_.data() + inizio, fine - inizio);
}

std::string_view lettore_voci::testo() {
  inizia_voce();
  if (dati_[pos_] == '"') {
    const size_t inizio = ++pos_;
    while (pos_ < dati_.size() && dati_[pos_] != '"') {
      if (dati_[pos_] == '\n' ||
          (dati_[pos_] == '\r' && (pos_ + 1 >= dati_.size() || dati_[pos_ + 1] != '\n'))) {
        ++riga_;
        inizio_riga_ = pos_ + 1;
      }
      ++pos_;
    }
    const std::string_view voce(dati_.data() + inizio, pos_ - inizio);
    if (pos_ < dati_.size()) ++pos_;  // the closing quote
    // Whatever stands between the quote and the separator is dropped.
    while (pos_ < dati_.size() && dati_[pos_] != ',' && !fine_riga(dati_[pos_])) ++pos_;
    if (pos_ < dati_.size()) {
      if (dati_[pos_] == ',')
        ++pos_;
      else
        consuma_fine_riga();
    }
    return voce;
  }
  const size_t inizio = pos_;
  while (pos_ < dati_.size() && dati_[pos_] != ',' && !fine_riga(dati_[pos_])) ++pos_;
  size_t fine_voce = pos_;
  while (fine_voce > inizio && spazio(dati_[fine_voce - 1])) --fine_voce;
  if (pos_ < dati_.size()) {
    if (dati_[pos_] == ',')
      ++pos_;
    else
      consuma_fine_riga();
  }
  return std::string_view(dati_.data() + inizio, fine_voce - inizio);
}

double lettore_voci::numero() {
  inizia_voce();
  const size_t inizio = pos_;
  while (pos_ < dati_.size() && dati_[pos_] != ',' && !spazio(dati_[pos_]) &&
         !fine_riga(dati_[pos_]))
    ++pos_;
  const std::string_view voce(dati_.data() + inizio, pos_ - inizio);
  salta_spazi();
  if (pos_ < dati_.size()) {
    if (dati_[pos_] == ',')
      ++pos_;
    else if (fine_riga(dati_[pos_]))
      consuma_fine_riga();
  }
  const double v = valore_numerico(voce);
  if (v == 0 && letto_come_zero && !numerica(voce)) letto_come_zero(voce);
  return v;
}

int32_t lettore_voci::i32() {
  return static_cast<int32_t>(intero_nei_limiti(numero(), std::numeric_limits<int32_t>::min(),
                                                std::numeric_limits<int32_t>::max()));
}

int16_t lettore_voci::i16() {
  return static_cast<int16_t>(intero_nei_limiti(numero(), -32768.0, 32767.0));
}

uint8_t lettore_voci::u8() { return static_cast<uint8_t>(intero_nei_limiti(numero(), 0.0, 255.0)); }

bool contiene(std::string_view voce, std::string_view parola) {
  return voce.find(parola) != std::string_view::npos;
}

bool contiene_ic(std::string_view voce, std::string_view parola) {
  if (parola.size() > voce.size()) return false;
  for (size_t i = 0; i + parola.size() <= voce.size(); ++i) {
    size_t k = 0;
    while (k < parola.size() && minuscola_ascii(voce[i + k]) == minuscola_ascii(parola[k])) ++k;
    if (k == parola.size()) return true;
  }
  return false;
}
