#include "tools/esamina/prova_json.h"

#include <cstdlib>

namespace {

class analizzatore {
 public:
  explicit analizzatore(std::string_view t) : t_(t) {}

  bool documento(valore_json& v) {
    if (!valore(v)) return false;
    spazi();
    return i_ == t_.size();
  }

 private:
  void spazi() {
    while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\n' || t_[i_] == '\r' || t_[i_] == '\t'))
      ++i_;
  }
  bool letterale(std::string_view l) {
    if (t_.substr(i_, l.size()) != l) return false;
    i_ += l.size();
    return true;
  }
  bool valore(valore_json& v) {
    spazi();
    if (i_ >= t_.size()) return false;
    const char c = t_[i_];
    if (c == '{') return oggetto(v);
    if (c == '[') return lista(v);
    if (c == '"') {
      v.g = valore_json::genere::testo;
      return stringa(v.s);
    }
    if (letterale("true")) {
      v.g = valore_json::genere::logico;
      v.b = true;
      return true;
    }
    if (letterale("false")) {
      v.g = valore_json::genere::logico;
      return true;
    }
    if (letterale("null")) return true;
    return numero(v);
  }
  bool numero(valore_json& v) {
    const size_t inizio = i_;
    if (i_ < t_.size() && t_[i_] == '-') ++i_;
    while (i_ < t_.size() &&
           std::string_view("0123456789.eE+-").find(t_[i_]) != std::string_view::npos)
      ++i_;
    if (i_ == inizio) return false;
    const std::string testo(t_.substr(inizio, i_ - inizio));
    char* fine = nullptr;
    v.n = std::strtod(testo.c_str(), &fine);
    v.g = valore_json::genere::numero;
    return fine == testo.c_str() + testo.size();
  }
  bool stringa(std::string& s) {
    ++i_;
    while (i_ < t_.size()) {
      const char c = t_[i_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        s += c;
        continue;
      }
      if (i_ >= t_.size()) return false;
      const char e = t_[i_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          s += e;
          break;
        case 'n':
          s += '\n';
          break;
        case 't':
          s += '\t';
          break;
        case 'r':
          s += '\r';
          break;
        case 'b':
          s += '\b';
          break;
        case 'f':
          s += '\f';
          break;
        case 'u': {
          if (i_ + 4 > t_.size()) return false;
          const unsigned long cp = std::strtoul(std::string(t_.substr(i_, 4)).c_str(), nullptr, 16);
          i_ += 4;
          if (cp < 0x80) {
            s += static_cast<char>(cp);
          } else if (cp < 0x800) {
            s += static_cast<char>(0xC0 | (cp >> 6));
            s += static_cast<char>(0x80 | (cp & 0x3F));
          } else {
            s += static_cast<char>(0xE0 | (cp >> 12));
            s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (cp & 0x3F));
          }
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }
  bool lista(valore_json& v) {
    v.g = valore_json::genere::lista;
    ++i_;
    spazi();
    if (letterale("]")) return true;
    for (;;) {
      v.elementi.emplace_back();
      if (!valore(v.elementi.back())) return false;
      spazi();
      if (letterale("]")) return true;
      if (!letterale(",")) return false;
    }
  }
  bool oggetto(valore_json& v) {
    v.g = valore_json::genere::oggetto;
    ++i_;
    spazi();
    if (letterale("}")) return true;
    for (;;) {
      spazi();
      std::string k;
      if (i_ >= t_.size() || t_[i_] != '"' || !stringa(k)) return false;
      spazi();
      if (!letterale(":")) return false;
      v.campi.emplace_back(std::move(k), valore_json{});
      if (!valore(v.campi.back().second)) return false;
      spazi();
      if (letterale("}")) return true;
      if (!letterale(",")) return false;
    }
  }

  std::string_view t_;
  size_t i_ = 0;
};

}  // namespace

const valore_json& valore_json::operator[](std::string_view k) const {
  static const valore_json nullo;
  for (const auto& [nome, v] : campi)
    if (nome == k) return v;
  return nullo;
}

bool valore_json::ha(std::string_view k) const {
  for (const auto& c : campi)
    if (c.first == k) return true;
  return false;
}

std::optional<valore_json> analizza_json(std::string_view testo) {
  valore_json v;
  if (!analizzatore(testo).documento(v)) return std::nullopt;
  return v;
}
