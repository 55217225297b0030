#include "app/processori.h"

#ifdef __linux__
#include <pthread.h>
#include <sched.h>

struct processori_divisi::stato {
  cpu_set_t prima;  // the calling thread's processors before it was placed
  int primo = -1;
  int secondo = -1;
  bool posto = false;
};

namespace {
cpu_set_t solo(int processore) {
  cpu_set_t uno;
  CPU_ZERO(&uno);
  CPU_SET(processore, &uno);
  return uno;
}
}  // namespace

processori_divisi::processori_divisi() : s_(std::make_unique<stato>()) {
  if (sched_getaffinity(0, sizeof s_->prima, &s_->prima) != 0) return;
  const int qui = sched_getcpu();
  if (qui < 0 || qui >= CPU_SETSIZE || !CPU_ISSET(qui, &s_->prima)) return;
  for (int c = 0; c < CPU_SETSIZE && s_->secondo < 0; ++c)
    if (c != qui && CPU_ISSET(c, &s_->prima)) s_->secondo = c;
  if (s_->secondo >= 0) s_->primo = qui;
}

processori_divisi::~processori_divisi() {
  if (s_->posto) (void)sched_setaffinity(0, sizeof s_->prima, &s_->prima);
}

bool processori_divisi::due() const { return s_->secondo >= 0; }

bool processori_divisi::dividi(std::thread& secondo) {
  if (s_->secondo < 0) return false;
  // The new thread first, while it may still be waiting for its first turn
  // on this processor.
  const cpu_set_t altro = solo(s_->secondo);
  if (pthread_setaffinity_np(secondo.native_handle(), sizeof altro, &altro) != 0) return false;
  const cpu_set_t qui = solo(s_->primo);
  s_->posto = sched_setaffinity(0, sizeof qui, &qui) == 0;
  return s_->posto;
}

#else

struct processori_divisi::stato {};

processori_divisi::processori_divisi() : s_(std::make_unique<stato>()) {}
processori_divisi::~processori_divisi() = default;
bool processori_divisi::due() const { return std::thread::hardware_concurrency() > 1; }
bool processori_divisi::dividi(std::thread&) { return false; }

#endif
