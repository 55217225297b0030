// Sets or removes an environment variable for the length of a test and puts
// back what was there.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace dettaglio_ambiente {
// Each system's own call; an empty value removes the variable on Windows.
inline void imposta(const std::string& nome, const char* valore) {
#ifdef _WIN32
  _putenv_s(nome.c_str(), valore != nullptr ? valore : "");
#else
  if (valore != nullptr)
    setenv(nome.c_str(), valore, 1);
  else
    unsetenv(nome.c_str());
#endif
}
}  // namespace dettaglio_ambiente

class variabile_ambiente {
 public:
  // `valore` none removes the variable.
  variabile_ambiente(std::string nome, const std::optional<std::string>& valore)
      : nome_(std::move(nome)) {
    if (const char* prima = std::getenv(nome_.c_str())) prima_ = prima;
    dettaglio_ambiente::imposta(nome_, valore ? valore->c_str() : nullptr);
  }
  ~variabile_ambiente() { dettaglio_ambiente::imposta(nome_, prima_ ? prima_->c_str() : nullptr); }
  variabile_ambiente(const variabile_ambiente&) = delete;
  variabile_ambiente& operator=(const variabile_ambiente&) = delete;

 private:
  std::string nome_;
  std::optional<std::string> prima_;
};
