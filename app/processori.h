// Two threads meant to run at the same time on two processors. Some kernels
// keep a thread that has just started on the processor of the thread that
// started it, until the load is balanced some milliseconds later: for a job
// that lasts a few milliseconds the two threads would only take turns. So the
// pair is placed by hand, each on a processor of its own, for as long as the
// pair lasts.
#pragma once

#include <memory>
#include <thread>

class processori_divisi {
 public:
  // Picks the processor the calling thread runs on and another one the
  // process may use. Where there is no other, or no way to place threads,
  // nothing is placed.
  processori_divisi();
  // Gives the calling thread back every processor it was allowed before.
  ~processori_divisi();
  processori_divisi(const processori_divisi&) = delete;
  processori_divisi& operator=(const processori_divisi&) = delete;

  // Whether a second processor was found.
  bool due() const;
  // Keeps the calling thread on its processor and moves `secondo`, just
  // started, onto the other one. Whether both were placed: a refusal leaves
  // a thread where the system put it, which is slower, not wrong.
  bool dividi(std::thread& secondo);

 private:
  struct stato;
  std::unique_ptr<stato> s_;
};
