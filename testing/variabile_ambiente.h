// Sets or removes an environment variable for the length of a test and puts
// back what was there.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class variabile_ambiente {
 public:
  // `valore` none removes the variable.
  variabile_ambiente(std::string nome, const std::optional<std::string>& valore)
      : nome_(std::move(nome)) {
    if (const char* prima = std::getenv(nome_.c_str())) prima_ = prima;
    if (valore)
      setenv(nome_.c_str(), valore->c_str(), 1);
    else
      unsetenv(nome_.c_str());
  }
  ~variabile_ambiente() {
    if (prima_)
      setenv(nome_.c_str(), prima_->c_str(), 1);
    else
      unsetenv(nome_.c_str());
  }
  variabile_ambiente(const variabile_ambiente&) = delete;
  variabile_ambiente& operator=(const variabile_ambiente&) = delete;

 private:
  std::string nome_;
  std::optional<std::string> prima_;
};
