#include "app/processori.h"

#include <gtest/gtest.h>

#ifdef __linux__
#include <sched.h>

#include <atomic>

namespace {

cpu_set_t processori_di_questo_thread() {
  cpu_set_t s;
  CPU_ZERO(&s);
  EXPECT_EQ(sched_getaffinity(0, sizeof s, &s), 0);
  return s;
}

// Each thread of the pair on a processor of its own while the pair lasts;
// afterwards the calling thread may run anywhere it could before.
TEST(ProcessoriDivisi, DueThreadSuDueProcessoriPoiComePrima) {
  const cpu_set_t prima = processori_di_questo_thread();
  if (CPU_COUNT(&prima) < 2) GTEST_SKIP() << "one processor only";
  std::atomic<bool> via = false;
  cpu_set_t del_secondo;
  CPU_ZERO(&del_secondo);
  {
    processori_divisi p;
    ASSERT_TRUE(p.due());
    std::thread secondo([&] {
      while (!via.load()) std::this_thread::yield();
      del_secondo = processori_di_questo_thread();
    });
    const bool posti = p.dividi(secondo);
    via = true;
    secondo.join();
    ASSERT_TRUE(posti);
    const cpu_set_t del_primo = processori_di_questo_thread();
    EXPECT_EQ(CPU_COUNT(&del_primo), 1);
    EXPECT_EQ(CPU_COUNT(&del_secondo), 1);
    cpu_set_t comuni;
    CPU_AND(&comuni, &del_primo, &del_secondo);
    EXPECT_EQ(CPU_COUNT(&comuni), 0) << "the two share a processor";
    CPU_AND(&comuni, &del_secondo, &prima);
    EXPECT_EQ(CPU_COUNT(&comuni), 1) << "the second is one the process may use";
  }
  const cpu_set_t dopo = processori_di_questo_thread();
  EXPECT_TRUE(CPU_EQUAL(&dopo, &prima));
}

// The test thread's processors as they were, whatever the test's outcome.
struct ripristina_processori {
  cpu_set_t prima = processori_di_questo_thread();
  ~ripristina_processori() { sched_setaffinity(0, sizeof prima, &prima); }
};

// With one processor allowed there is nothing to divide, and nothing moves.
TEST(ProcessoriDivisi, UnProcessoreSoloNonDivideNulla) {
  const ripristina_processori ripristina;
  const int qui = sched_getcpu();
  ASSERT_GE(qui, 0);
  cpu_set_t uno;
  CPU_ZERO(&uno);
  CPU_SET(qui, &uno);
  ASSERT_EQ(sched_setaffinity(0, sizeof uno, &uno), 0);
  {
    processori_divisi p;
    EXPECT_FALSE(p.due());
    std::thread secondo([] {});
    EXPECT_FALSE(p.dividi(secondo));
    secondo.join();
  }
  const cpu_set_t dopo = processori_di_questo_thread();
  EXPECT_TRUE(CPU_EQUAL(&dopo, &uno));
}

}  // namespace

#endif
