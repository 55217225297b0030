// The compiled records: what the simulator loads, held in memory in the
// exact widths of their fields. The byte layouts on disk are in file_compilati.h.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// One track cell: 50 m of the run. 15 bytes on disk.
struct cella {
  uint8_t tipo = 0;  // kind of line-side object, see tipo_cella
  int16_t dato1 = 0;
  int16_t dato2 = 0;
  int16_t dato3 = 0;
  int16_t dato4 = 0;
  uint8_t dato5 = 0;     // signal time
  uint8_t dato6 = 0;     // approach mark before a signal or a stop
  uint8_t montagna = 0;  // scenery span kind
  uint8_t velocita = 0;  // speed limit in force, 5 km/h units
  uint8_t pendenza = 0;  // gradient in force + 100
  uint8_t aderenza = 0;  // adhesion value in force
};

// Values of cella::tipo.
namespace tipo_cella {
inline constexpr uint8_t libera = 0;
inline constexpr uint8_t segnale = 1;
inline constexpr uint8_t fine_rallentamento = 2;
inline constexpr uint8_t inizio_rallentamento = 3;
inline constexpr uint8_t avviso_rallentamento = 4;
inline constexpr uint8_t segno_avviso = 5;
inline constexpr uint8_t indicatore_v_max = 6;
inline constexpr uint8_t fermata = 10;
inline constexpr uint8_t marca_montagna = 11;
inline constexpr uint8_t punto_codice = 12;
inline constexpr uint8_t punto_senza_codice = 13;
inline constexpr uint8_t cartello = 14;
}  // namespace tipo_cella

// Free for a placement: nothing there but, at most, a scenery marker.
inline bool libera(const cella& c) {
  return c.tipo == tipo_cella::libera || c.tipo == tipo_cella::marca_montagna;
}

// One entry of tabella_corsa: a station, a board text or a reserved entry.
struct voce_corsa {
  uint8_t tipo = 0;
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t progressiva = 0;
  uint8_t byte1 = 0;
  std::string nome;  // bytes as read from the sources (Windows-1252)
  int16_t intero1 = 0;
  int16_t intero2 = 0;
  int16_t intero3 = 0;
  int16_t intero4 = 0;
  int16_t intero5 = 0;
  uint8_t byte2 = 0;
  uint8_t byte3 = 0;
  uint8_t byte4 = 0;
  uint8_t byte5 = 0;
  int32_t orario = 0;  // seconds after midnight
};

// Type codes of a tagged value in the line file.
namespace tipo_valore {
inline constexpr uint16_t vuoto = 0;
inline constexpr uint16_t intero = 2;  // 16-bit Integer
inline constexpr uint16_t doppio = 5;  // IEEE 754 Double
}  // namespace tipo_valore

// The per-metre plan: two coordinates for each metre 0..ultimo, each a tagged
// value (empty, Integer or Double). Stored as a type byte and a double per
// element, first coordinates first, as the line file lays them out.
class punti_piano {
 public:
  void crea(int32_t ultimo);  // bounds (0 To ultimo, 0 To 1), every element empty
  void libera_tutto();
  bool esiste() const { return !valori_.empty(); }
  int32_t ultimo() const { return static_cast<int32_t>(valori_.size() / 2) - 1; }

  uint16_t tipo(int32_t m, int k) const { return tipi_[indice(m, k)]; }
  double valore(int32_t m, int k) const { return valori_[indice(m, k)]; }
  // One coordinate of every metre, 0 to ultimo(): types and values side by side.
  std::span<const uint8_t> tipi(int k) const { return meta(tipi_, k); }
  std::span<const double> valori(int k) const { return meta(valori_, k); }
  // Inline: the line reader calls them twice for every metre of the line.
  void metti_intero(int32_t m, int k, int16_t v) {
    tipi_[indice(m, k)] = tipo_valore::intero;
    valori_[indice(m, k)] = v;
  }
  void metti_doppio(int32_t m, int k, double v) {
    tipi_[indice(m, k)] = tipo_valore::doppio;
    valori_[indice(m, k)] = v;
  }

 private:
  template <typename T>
  static std::span<const T> meta(const std::vector<T>& v, int k) {
    const size_t n = v.size() / 2;
    return {v.data() + static_cast<size_t>(k) * n, n};
  }
  size_t indice(int32_t m, int k) const {
    return static_cast<size_t>(k) * (valori_.size() / 2) + static_cast<size_t>(m);
  }
  std::vector<uint8_t> tipi_;
  std::vector<double> valori_;
};
