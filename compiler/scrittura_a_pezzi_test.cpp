#include "compiler/scrittura_a_pezzi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/fine_programma.h"

namespace {

// Pieces of every length from 0 to the whole buffer, each filled with bytes
// of its own, handed over two at a time (as the line encoder holds one per
// coordinate) to land one after the other in a file of `pezzi` pieces.
struct prova {
  size_t capienza = 64;
  int pezzi = 300;
  std::chrono::microseconds lentezza{0};  // how long each write takes
};

size_t lunghezza(const prova& p, int i) { return static_cast<size_t>(i * 7) % (p.capienza + 1); }
char byte_di(int i, size_t k) {
  return static_cast<char>('a' + (i * 5 + static_cast<int>(k)) % 26);
}

struct esito_prova {
  std::string file;
  std::vector<size_t> lunghezze_scritte;
  bool in_parallelo = false;
};

esito_prova scrivi_tutto(const prova& p, bool in_parallelo) {
  esito_prova e;
  uint64_t totale = 0;
  for (int i = 0; i < p.pezzi; ++i) totale += lunghezza(p, i);
  e.file.assign(totale, '?');
  scrittura_a_pezzi s(
      p.capienza,
      [&](uint64_t posizione, std::string_view pezzo) {
        if (p.lentezza.count() > 0) std::this_thread::sleep_for(p.lentezza);
        e.file.replace(posizione, pezzo.size(), pezzo);
        e.lunghezze_scritte.push_back(pezzo.size());
      },
      in_parallelo);
  e.in_parallelo = s.in_parallelo();
  uint64_t posizione = 0;
  char* tenuto = nullptr;  // the other coordinate's buffer, handed over later
  uint64_t posizione_tenuto = 0;
  size_t n_tenuto = 0;
  for (int i = 0; i < p.pezzi; ++i) {
    char* b = s.prendi();
    const size_t n = lunghezza(p, i);
    for (size_t k = 0; k < n; ++k) b[k] = byte_di(i, k);
    if (i % 2 == 0) {
      tenuto = b;
      posizione_tenuto = posizione;
      n_tenuto = n;
    } else {
      s.consegna(b, n, posizione);
      s.consegna(tenuto, n_tenuto, posizione_tenuto);
      tenuto = nullptr;
    }
    posizione += n;
  }
  if (tenuto != nullptr) s.consegna(tenuto, n_tenuto, posizione_tenuto);
  s.finisci();
  return e;
}

TEST(ScritturaAPezzi, OgniPezzoAlSuoPostoUnaVoltaSola) {
  const prova prove[] = {
      {64, 300, {}},
      {1, 50, {}},
      {4096, 40, {}},
      // A writer slower than the computing side: the buffers run out and
      // come back one by one; one filled again too early would show.
      {64, 60, std::chrono::microseconds(200)},
  };
  for (const prova& p : prove) {
    std::string atteso;
    size_t non_vuoti = 0;
    for (int i = 0; i < p.pezzi; ++i) {
      for (size_t k = 0; k < lunghezza(p, i); ++k) atteso += byte_di(i, k);
      non_vuoti += lunghezza(p, i) > 0;
    }
    for (const bool in_parallelo : {false, true}) {
      const esito_prova e = scrivi_tutto(p, in_parallelo);
      const std::string caso = "capienza " + std::to_string(p.capienza) +
                               (e.in_parallelo ? ", with the writer's thread" : ", in order");
      EXPECT_TRUE(e.file == atteso) << caso;
      EXPECT_EQ(e.lunghezze_scritte.size(), non_vuoti) << caso << ": an empty piece is no write";
    }
  }
}

TEST(ScritturaAPezzi, ConDueProcessoriScriveDalSuoThread) {
  if (!processori_divisi().due()) GTEST_SKIP() << "one processor only";
  scrittura_a_pezzi s(
      8, [](uint64_t, std::string_view) {}, true);
  EXPECT_TRUE(s.in_parallelo());
  EXPECT_FALSE(scrittura_a_pezzi(
                   8, [](uint64_t, std::string_view) {}, false)
                   .in_parallelo());
}

// A write that fails stops the writing: the failure reaches the computing
// side, as it is, and no piece after it is written. With the writer's thread
// the failure comes from that thread (the first pieces may be written before
// it runs, by the computing side itself).
TEST(ScritturaAPezzi, UnaScritturaFallitaArrivaAChiCalcola) {
  const std::thread::id chi_calcola = std::this_thread::get_id();
  for (const bool in_parallelo : {false, true}) {
    int contati = 0;
    int dopo_il_guasto = 0;
    bool guasto = false;
    scrittura_a_pezzi s(
        16,
        [&](uint64_t, std::string_view) {
          if (guasto) ++dopo_il_guasto;
          if (in_parallelo && std::this_thread::get_id() == chi_calcola) return;
          if (contati == 5) {
            guasto = true;
            throw errore_file("linea.dat", "File too large");
          }
          ++contati;
        },
        in_parallelo);
    if (in_parallelo && !s.in_parallelo()) GTEST_SKIP() << "one processor only";
    bool arrivato = false;
    try {
      for (int i = 0; i < 1000000; ++i) {
        char* b = s.prendi();
        std::memset(b, 'x', 16);
        s.consegna(b, 16, static_cast<uint64_t>(i) * 16);
      }
      s.finisci();
    } catch (const errore_file& e) {
      arrivato = true;
      EXPECT_EQ(e.file(), "linea.dat");
      EXPECT_EQ(e.motivo(), "File too large");
    }
    EXPECT_TRUE(arrivato) << in_parallelo;
    EXPECT_TRUE(guasto) << in_parallelo;
    EXPECT_EQ(dopo_il_guasto, 0) << in_parallelo;
  }
}

// Left on the way with every buffer queued (the computing side failed), the
// writer writes what it was given and stops with it.
TEST(ScritturaAPezzi, AbbandonataSenzaFinireSiFermaPulita) {
  const std::thread::id chi_calcola = std::this_thread::get_id();
  std::atomic<int> scritti = 0;
  std::atomic<int> dal_thread = 0;
  uint64_t consegnati = 0;
  {
    scrittura_a_pezzi s(
        8,
        [&](uint64_t, std::string_view) {
          if (std::this_thread::get_id() != chi_calcola) {
            ++dal_thread;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
          }
          ++scritti;
        },
        true);
    if (!s.in_parallelo()) GTEST_SKIP() << "one processor only";
    // Until the writer's thread takes over, then as many pieces as buffers.
    while (dal_thread.load() == 0 && consegnati < 100000)
      s.consegna(s.prendi(), 8, consegnati++ * 8);
    ASSERT_GT(dal_thread.load(), 0);
    for (size_t i = 0; i < scrittura_a_pezzi::buffer; ++i)
      s.consegna(s.prendi(), 8, consegnati++ * 8);
  }
  EXPECT_EQ(static_cast<uint64_t>(scritti.load()), consegnati)
      << "the pieces already handed over are written";
}

// A caller that takes every buffer and hands none back, or asks for one
// once the writing is over, would wait forever.
TEST(ScritturaAPezzi, UnBufferCheNonPuoTornareEUnErrore) {
  for (const bool in_parallelo : {false, true}) {
    scrittura_a_pezzi s(
        8, [](uint64_t, std::string_view) {}, in_parallelo);
    for (size_t i = 0; i < scrittura_a_pezzi::buffer; ++i) s.prendi();
    EXPECT_THROW(s.prendi(), std::logic_error) << in_parallelo;
  }
  for (const bool in_parallelo : {false, true}) {
    scrittura_a_pezzi s(
        8, [](uint64_t, std::string_view) {}, in_parallelo);
    std::vector<char*> tenuti;
    for (size_t i = 0; i < scrittura_a_pezzi::buffer; ++i) tenuti.push_back(s.prendi());
    s.consegna(tenuti.back(), 8, 0);
    s.finisci();
    EXPECT_NO_THROW(s.prendi()) << in_parallelo << ": the one handed over came back";
    EXPECT_THROW(s.prendi(), std::logic_error) << in_parallelo;
  }
}

}  // namespace
