// A file written in pieces, each at its own place, while the next pieces are
// being computed. The computing side fills buffers it takes from here and
// hands them back full; a thread of the writer's own puts them in the file,
// so computing the line file and writing it overlap. Without that thread (not
// asked for, one processor only, or a thread the system will not start) each
// piece is written by the computing side as it is handed over. Either way the
// same bytes land in the same places, one write at a time.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

class scrittura_a_pezzi {
 public:
  using scrittura = std::function<void(uint64_t posizione, std::string_view pezzo)>;

  // Buffers of `capienza` bytes. `scrivi` puts one piece in place and throws
  // when it cannot. With `in_parallelo`, and a second processor, it runs on
  // the writer's own thread.
  scrittura_a_pezzi(size_t capienza, scrittura scrivi, bool in_parallelo);
  // Stops the writer's thread once what it was handed is written.
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
    char* buffer;
    size_t n;
    uint64_t posizione;
  };

  void scrivi_in_ordine();  // the writer's thread
  void ferma();

  const size_t capienza_;
  scrittura scrivi_;
  std::vector<std::unique_ptr<char[]>> allocati_;  // the computing side's alone

  // Between the two threads, under m_: the buffers ready to be filled, the
  // pieces not yet written, in order, and how many buffers the writer holds.
  std::mutex m_;
  std::condition_variable da_scrivere_;  // a piece queued, or the end
  std::condition_variable tornato_;      // a buffer back in liberi_
  std::vector<char*> liberi_;
  std::deque<lavoro> coda_;
  size_t in_volo_ = 0;
  bool fine_ = false;
  std::exception_ptr errore_;

  std::jthread scrittore_;
};
