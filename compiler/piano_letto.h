// The line file as the reader takes it (compiler/lettura_compilati.h). At the longest line it is
// some 20 MB: held whole in fresh memory it costs more to read than the compiler takes to write it,
// so its bytes are taken a piece at a time where they are asked for, and the plan decodes each
// value when it is wanted.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "compiler/codifica.h"
#include "compiler/formato.h"
#include "sistema/file_disco.h"

// The bytes of a line file: held by the caller (who keeps them alive as long
// as anything reads them), or in a file read a piece at a time. A copy shares
// the file but keeps a piece of its own, so that two walks in two places of
// the file do not take turns at one piece.
class byte_linea {
 public:
  byte_linea(std::string_view tutti) : tutti_(tutti), dimensione_(tutti.size()) {}
  explicit byte_linea(std::shared_ptr<file_in_lettura> file)
      : file_(std::move(file)), dimensione_(static_cast<size_t>(file_->dimensione())) {}
  byte_linea(const byte_linea& altro) : byte_linea(altro.tutti_, altro.file_, altro.dimensione_) {}
  byte_linea& operator=(const byte_linea& altro) {
    tutti_ = altro.tutti_;
    file_ = altro.file_;
    dimensione_ = altro.dimensione_;
    pezzo_.reset();
    inizio_pezzo_ = fine_pezzo_ = 0;
    return *this;
  }

  size_t size() const { return dimensione_; }
  // At least min(n, size() - at) bytes from byte `at` on, good until the
  // next call. From a file: errore_file if it cannot be read.
  std::string_view da(size_t at, size_t n) {
    at = std::min(at, dimensione_);
    if (!file_) return tutti_.substr(at);
    if (at < inizio_pezzo_ || std::min(at + n, dimensione_) > fine_pezzo_) carica(at);
    return {pezzo_.get() + (at - inizio_pezzo_), fine_pezzo_ - at};
  }

  // The bytes read from a file at once.
  static constexpr size_t pezzo = 256 * 1024;

 private:
  byte_linea(std::string_view tutti, std::shared_ptr<file_in_lettura> file, size_t dimensione)
      : tutti_(tutti), file_(std::move(file)), dimensione_(dimensione) {}
  void carica(size_t at) {
    if (!pezzo_) pezzo_ = std::make_unique_for_overwrite<char[]>(pezzo);
    inizio_pezzo_ = at;
    fine_pezzo_ = inizio_pezzo_ + file_->leggi_a(inizio_pezzo_, pezzo_.get(), pezzo);
  }

  std::string_view tutti_;
  std::shared_ptr<file_in_lettura> file_;
  size_t dimensione_ = 0;
  std::unique_ptr<char[]> pezzo_;
  size_t inizio_pezzo_ = 0;
  size_t fine_pezzo_ = 0;
};

// The tagged values of a line file one after the other, from a given byte
// on, a piece at a time.
class valori_in_fila {
 public:
  valori_in_fila(byte_linea& b, size_t da) : b_(b), inizio_pezzo_(da) { ricarica(); }

  bool finito() const { return ultimo_pezzo_ && in_.finito(); }
  // Byte of the next value, or of the one that could not be read.
  size_t posizione() const { return inizio_pezzo_ + in_.posizione(); }
  // Why the last value could not be read, if the bytes ran out.
  const decodifica& cursore() const { return in_; }

  // The next value; false where it cannot be read (leggi_valore).
  bool prossimo(uint16_t& tipo, double& v) {
    if (!ultimo_pezzo_ && in_.restano() < byte_valore(tipo_valore::doppio)) {
      inizio_pezzo_ += in_.posizione();
      ricarica();
    }
    return leggi_valore(in_, tipo, v);
  }

 private:
  void ricarica() {
    const std::string_view pezzo = b_.da(inizio_pezzo_, byte_linea::pezzo);
    ultimo_pezzo_ = inizio_pezzo_ + pezzo.size() >= b_.size();
    in_ = decodifica(pezzo);
  }

  byte_linea& b_;
  size_t inizio_pezzo_;
  bool ultimo_pezzo_ = false;
  decodifica in_{std::string_view()};
};

// The plan of a line file whose every value has been walked and found
// readable. It keeps where its values lie, and nothing at all when the file
// is laid out as the compiler lays it.
class piano_letto {
 public:
  piano_letto() = default;
  // A plan of metres 0 to `ultimo` in `byte`. With `scarti` empty the
  // values lie where tipo_al_metro puts them; otherwise scarti gives the
  // byte of each value, in file order.
  piano_letto(const byte_linea& byte, int32_t ultimo, std::vector<size_t> scarti)
      : byte_{byte, byte}, ultimo_(ultimo), scarti_(std::move(scarti)) {}

  bool esiste() const { return ultimo_ >= 0; }
  int32_t ultimo() const { return ultimo_; }

  // Type code and value of coordinate k at metre m, both within the plan;
  // an empty value reads as 0.
  uint16_t tipo(int32_t m, int k) const {
    uint16_t t = 0;
    double v = 0;
    leggi(m, k, t, v);
    return t;
  }
  double valore(int32_t m, int k) const {
    uint16_t t = 0;
    double v = 0;
    leggi(m, k, t, v);
    return v;
  }

  // Calls visita(m, tipo, valore) for coordinate k of every metre, in order.
  template <typename F>
  void percorri(int k, F&& visita) const {
    valori_in_fila fila(byte_[k], scarto(0, k));
    for (int32_t m = 0; m <= ultimo_; ++m) {
      uint16_t t = 0;
      double v = 0;
      fila.prossimo(t, v);
      visita(m, t, v);
    }
  }
  // Calls visita(tipo_x, x, tipo_y, y) for every metre, in order: each half
  // is walked once, through a piece of its own.
  template <typename F>
  void percorri(F&& visita) const {
    valori_in_fila x(byte_[0], scarto(0, 0)), y(byte_[1], scarto(0, 1));
    for (int32_t m = 0; m <= ultimo_; ++m) {
      uint16_t tx = 0, ty = 0;
      double vx = 0, vy = 0;
      x.prossimo(tx, vx);
      y.prossimo(ty, vy);
      visita(tx, vx, ty, vy);
    }
  }

  // Whether a plan of metres 0 to `ultimo` can do without the byte of each
  // value: only then may it be laid out as the compiler lays it.
  static bool senza_scarti(int32_t ultimo) { return ultimo >= 3; }

 private:
  void leggi(int32_t m, int k, uint16_t& t, double& v) const {
    decodifica in(byte_[k].da(scarto(m, k), byte_valore(tipo_valore::doppio)));
    leggi_valore(in, t, v);
  }
  size_t scarto(int32_t m, int k) const {
    const int64_t metri = int64_t{ultimo_} + 1;
    if (!scarti_.empty()) return scarti_[static_cast<size_t>(k * metri + m)];
    // A half: the Integers of metres 0 and 1, the Doubles of metres 2 to
    // ultimo - 2, the empty values of the last two metres.
    const int64_t interi = std::min<int64_t>(m, 2);
    const int64_t doppi = std::max<int64_t>(0, std::min<int64_t>(m - 2, ultimo_ - 3));
    const int64_t vuoti = std::max<int64_t>(0, m - (ultimo_ - 1));
    const uint64_t meta = byte_[0].size() / 2;
    return static_cast<size_t>(k * meta + interi * byte_valore(tipo_valore::intero) +
                               doppi * byte_valore(tipo_valore::doppio) +
                               vuoti * byte_valore(tipo_valore::vuoto));
  }

  mutable byte_linea byte_[2] = {std::string_view(), std::string_view()};
  int32_t ultimo_ = -1;
  std::vector<size_t> scarti_;
};
