// A file written in pieces, each at its own place, while the next pieces are
// being computed. The computing side fills buffers it takes from here and
// hands them back full; a thread of the writer's own puts them in the file,
// so the computing of the line file and the writing of it overlap. Without
// that thread (not asked for, one processor only, or a thread the system
// will not start), and until it runs, each piece is written by the
// computing side as it is handed over. Either way the same bytes land in
// the same places, and never two writes at once.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "app/processori.h"

class scrittura_a_pezzi {
 public:
  using scrittura = std::function<void(uint64_t posizione, std::string_view pezzo)>;

  // Buffers of `capienza` bytes. `scrivi` puts one piece in place and throws
  // when it cannot. With `in_parallelo`, and a second processor to run it
  // on, it runs on the writer's own thread.
  scrittura_a_pezzi(size_t capienza, scrittura scrivi, bool in_parallelo);
  ~scrittura_a_pezzi();
  scrittura_a_pezzi(const scrittura_a_pezzi&) = delete;
  scrittura_a_pezzi& operator=(const scrittura_a_pezzi&) = delete;

  size_t capienza() const { return capienza_; }
  bool in_parallelo() const { return scrittore_.joinable(); }
  // A buffer of capienza() bytes to fill. Waits while every buffer is on its
  // way to the file; rethrows a failed write.
  char* prendi();
  // Hands over the first n bytes of a buffer from prendi(), to be written at
  // byte `posizione`. The buffer is not the caller's any more.
  void consegna(char* buffer, size_t n, uint64_t posizione);
  // Waits until every piece handed over is in the file; rethrows the first
  // write that failed (the pieces after it are dropped).
  void finisci();

  // How many buffers there are at most: two being filled (one per
  // coordinate of the line file) and two on their way to the file. More
  // would only cost fresh memory: the writer is the slower side.
  static constexpr size_t buffer = 4;

 private:
  struct lavoro {
    char* buffer = nullptr;  // nullptr: no more pieces
    size_t n = 0;
    uint64_t posizione = 0;
  };

  void pubblica(const lavoro& l);
  void scrivi_in_ordine();  // the writer's thread
  void ferma();
  void rilancia_se_fallito();

  const size_t capienza_;
  scrittura scrivi_;
  std::vector<std::unique_ptr<char[]>> allocati_;
  std::vector<char*> liberi_;

  // Handed-over pieces, in order: the computing side fills slot p of the
  // ring before counting it published, the writer counts it written once it
  // is in the file. At most `buffer` pieces and the end are in the ring at
  // once; its size divides 2^32, so the counters may wrap.
  static constexpr uint32_t posti = 8;
  lavoro coda_[posti];
  std::atomic<uint32_t> pubblicati_{0};
  std::atomic<uint32_t> scritti_{0};
  uint32_t recuperati_ = 0;  // written pieces whose buffer is back in liberi_

  std::exception_ptr errore_;  // set by the writer before fallito_
  std::atomic<bool> fallito_{false};
  std::atomic<bool> partito_{false};  // the writer's thread is running
  std::optional<processori_divisi> processori_;
  // The two threads each on a processor of its own: known only once the
  // writer's thread has started.
  std::atomic<bool> a_parte_{false};
  std::thread scrittore_;
};
