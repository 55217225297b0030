#include "compiler/scrittura_a_pezzi.h"

#include <chrono>
#include <stdexcept>
#include <utility>

namespace {

// Waits until `a` no longer holds `vecchio`. When the other side runs on a
// processor of its own it answers within tens of microseconds, while a
// sleeping thread can take longer than that just to be woken: so the wait
// spins for a while before it sleeps. Sharing a processor, spinning would
// only keep the other side from running.
void aspetta_cambio(const std::atomic<uint32_t>& a, uint32_t vecchio, bool a_parte) {
  const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(1);
  while (a_parte) {
    for (int i = 0; i < 256; ++i) {
      if (a.load(std::memory_order_acquire) != vecchio) return;
#if defined(__x86_64__) || defined(__i386__)
      __builtin_ia32_pause();
#endif
    }
    if (std::chrono::steady_clock::now() > limite) break;
  }
  a.wait(vecchio, std::memory_order_acquire);
}

}  // namespace

static_assert(scrittura_a_pezzi::buffer < 8, "the ring holds every buffer and the end");

scrittura_a_pezzi::scrittura_a_pezzi(size_t capienza, scrittura scrivi, bool in_parallelo)
    : capienza_(capienza), scrivi_(std::move(scrivi)) {
  if (!in_parallelo) return;
  processori_.emplace();
  if (!processori_->due()) return;
  try {
    scrittore_ = std::thread([this] { scrivi_in_ordine(); });
    a_parte_.store(processori_->dividi(scrittore_), std::memory_order_relaxed);
  } catch (const std::exception&) {
    // No thread to be had (no resources, or no memory for its state): the
    // pieces are written as they come.
  }
}

scrittura_a_pezzi::~scrittura_a_pezzi() { ferma(); }

char* scrittura_a_pezzi::prendi() {
  rilancia_se_fallito();
  if (liberi_.empty() && allocati_.size() < buffer)
    return allocati_.emplace_back(std::make_unique_for_overwrite<char[]>(capienza_)).get();
  while (liberi_.empty()) {
    // Every buffer is queued: the oldest comes back once it is written.
    const uint32_t scritti = scritti_.load(std::memory_order_acquire);
    if (scritti == recuperati_) {
      // With every buffer held by the caller, or no writer left to free
      // one, none would ever come back.
      if (!in_parallelo() || pubblicati_.load(std::memory_order_relaxed) == recuperati_)
        throw std::logic_error("scrittura_a_pezzi: every buffer taken and none on its way");
      aspetta_cambio(scritti_, scritti, a_parte_.load(std::memory_order_relaxed));
      rilancia_se_fallito();
      continue;
    }
    for (; recuperati_ != scritti; ++recuperati_)
      liberi_.push_back(coda_[recuperati_ % posti].buffer);
  }
  char* b = liberi_.back();
  liberi_.pop_back();
  return b;
}

void scrittura_a_pezzi::consegna(char* buffer, size_t n, uint64_t posizione) {
  // Until the writer's thread is running, which can take a good part of a
  // millisecond, the pieces are written here: nothing is queued meanwhile,
  // so the two threads never write at once.
  if (!scrittore_.joinable() || !partito_.load(std::memory_order_acquire)) {
    liberi_.push_back(buffer);
    if (n > 0) scrivi_(posizione, {buffer, n});
    return;
  }
  pubblica({buffer, n, posizione});
}

void scrittura_a_pezzi::pubblica(const lavoro& l) {
  const uint32_t p = pubblicati_.load(std::memory_order_relaxed);
  coda_[p % posti] = l;
  pubblicati_.store(p + 1, std::memory_order_release);
  pubblicati_.notify_one();
}

void scrittura_a_pezzi::scrivi_in_ordine() {
  partito_.store(true, std::memory_order_release);
  for (uint32_t j = 0;; ++j) {
    aspetta_cambio(pubblicati_, j, a_parte_.load(std::memory_order_relaxed));
    const lavoro l = coda_[j % posti];
    if (l.buffer == nullptr) return;
    if (!fallito_.load(std::memory_order_relaxed) && l.n > 0) {
      try {
        scrivi_(l.posizione, {l.buffer, l.n});
      } catch (...) {
        errore_ = std::current_exception();
        fallito_.store(true, std::memory_order_release);
      }
    }
    scritti_.store(j + 1, std::memory_order_release);
    scritti_.notify_one();
  }
}

void scrittura_a_pezzi::ferma() {
  if (!scrittore_.joinable()) return;
  pubblica({});
  scrittore_.join();
}

void scrittura_a_pezzi::finisci() {
  ferma();
  rilancia_se_fallito();
}

void scrittura_a_pezzi::rilancia_se_fallito() {
  if (fallito_.load(std::memory_order_acquire)) {
    ferma();
    std::rethrow_exception(errore_);
  }
}
