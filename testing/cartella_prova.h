// Test helpers that need no program: a temporary folder, and text files and
// sources written into it as the tests give them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Whether a test can make symbolic links: on Windows that takes a privilege
// or the developer mode, which a test run cannot count on.
#ifdef _WIN32
inline constexpr bool collegamenti_simbolici = false;
#else
inline constexpr bool collegamenti_simbolici = true;
#endif

// Names as the system keeps them: Windows drops the dots that end a name.
inline std::vector<std::string> come_nel_sistema(std::vector<std::string> nomi) {
#ifdef _WIN32
  for (std::string& n : nomi) n.erase(n.find_last_not_of('.') + 1);
#endif
  return nomi;
}

#ifdef _WIN32
// A file held open as a program that reads it does (the simulator), letting
// others read it but not delete it: Windows cannot replace it meanwhile.
class tenuto_aperto {
 public:
  explicit tenuto_aperto(const std::filesystem::path& file);
  ~tenuto_aperto();
  tenuto_aperto(const tenuto_aperto&) = delete;
  tenuto_aperto& operator=(const tenuto_aperto&) = delete;

 private:
  void* handle_;
};
#endif

// A temporary folder, removed with everything in it when the test ends.
class cartella_temporanea {
 public:
  cartella_temporanea();
  ~cartella_temporanea();
  cartella_temporanea(const cartella_temporanea&) = delete;
  cartella_temporanea& operator=(const cartella_temporanea&) = delete;
  const std::filesystem::path& percorso() const { return percorso_; }
  std::filesystem::path operator/(const std::string& nome) const { return percorso_ / nome; }

  // Names of the files in the folder, sorted.
  std::vector<std::string> elenco() const;

 private:
  std::filesystem::path percorso_;
};

// Writes a text file as the tests give it (no line-end translation).
void scrivi_testo(const std::filesystem::path& file, const std::string& testo);
std::string leggi_testo(const std::filesystem::path& file);

// Joins lines with CR LF after each, as the source writers lay them out.
std::string righe_crlf(std::initializer_list<std::string_view> righe);

// A line source of L metres: the general section with the length alone, then
// the given record lines, then "[fine]".
std::string sorgente_linea(int32_t L, std::initializer_list<std::string_view> record = {});

// A run source: "[generale]", the given rows, then "[fine]".
std::string sorgente_corsa(std::initializer_list<std::string_view> righe = {});
