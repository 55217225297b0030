#include "compiler/scrittura_a_pezzi.h"

#include <stdexcept>
#include <utility>

scrittura_a_pezzi::scrittura_a_pezzi(size_t capienza, scrittura scrivi, bool in_parallelo)
    : capienza_(capienza), scrivi_(std::move(scrivi)) {
  // On one processor the two threads would only take turns.
  if (!in_parallelo || std::thread::hardware_concurrency() < 2) return;
  try {
    scrittore_ = std::jthread([this] { scrivi_in_ordine(); });
  } catch (const std::exception&) {
    // No thread to be had (no resources, or no memory for its state): the
    // pieces are written as they come.
  }
}

scrittura_a_pezzi::~scrittura_a_pezzi() { ferma(); }

char* scrittura_a_pezzi::prendi() {
  std::unique_lock chiave(m_);
  if (errore_) std::rethrow_exception(errore_);
  if (liberi_.empty() && allocati_.size() < buffer)
    return allocati_.emplace_back(std::make_unique_for_overwrite<char[]>(capienza_)).get();
  // With every buffer held by the caller none would ever come back.
  if (liberi_.empty() && in_volo_ == 0)
    throw std::logic_error("scrittura_a_pezzi: every buffer taken and none on its way");
  tornato_.wait(chiave, [this] { return !liberi_.empty(); });
  if (errore_) std::rethrow_exception(errore_);
  char* b = liberi_.back();
  liberi_.pop_back();
  return b;
}

void scrittura_a_pezzi::consegna(char* buffer, size_t n, uint64_t posizione) {
  if (!scrittore_.joinable()) {
    liberi_.push_back(buffer);
    if (n > 0) scrivi_(posizione, {buffer, n});
    return;
  }
  {
    const std::lock_guard chiave(m_);
    coda_.push_back({buffer, n, posizione});
    ++in_volo_;
  }
  da_scrivere_.notify_one();
}

void scrittura_a_pezzi::scrivi_in_ordine() {
  for (;;) {
    lavoro l;
    bool fallito;
    {
      std::unique_lock chiave(m_);
      da_scrivere_.wait(chiave, [this] { return !coda_.empty() || fine_; });
      if (coda_.empty()) return;
      l = coda_.front();
      coda_.pop_front();
      fallito = errore_ != nullptr;
    }
    // The lock is not held while writing: the computing side goes on
    // filling the other buffers meanwhile.
    std::exception_ptr errore;
    if (!fallito && l.n > 0) {
      try {
        scrivi_(l.posizione, {l.buffer, l.n});
      } catch (...) {
        errore = std::current_exception();
      }
    }
    {
      const std::lock_guard chiave(m_);
      if (errore) errore_ = std::move(errore);
      liberi_.push_back(l.buffer);
      --in_volo_;
    }
    tornato_.notify_one();
  }
}

void scrittura_a_pezzi::ferma() {
  if (!scrittore_.joinable()) return;
  {
    const std::lock_guard chiave(m_);
    fine_ = true;
  }
  da_scrivere_.notify_one();
  scrittore_.join();
}

void scrittura_a_pezzi::finisci() {
  ferma();
  if (errore_) std::rethrow_exception(errore_);
}
