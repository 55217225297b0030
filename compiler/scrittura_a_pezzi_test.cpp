#include "compiler/scrittura_a_pezzi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/fine_programma.h"

namespace {

using namespace std::chrono_literals;

bool due_processori() { return std::thread::hardware_concurrency() > 1; }

// Pieces of every length from 0 to the whole buffer, each of bytes of its
// own, handed over two at a time in reverse order (as the line encoder holds
// one per coordinate), to land one after the other.
struct prova {
  size_t capienza;
  int pezzi;
  std::chrono::microseconds lentezza;  // how long each write takes
};

TEST(ScritturaAPezzi, OgniPezzoAlSuoPostoUnaVoltaSola) {
  const prova prove[] = {
      {64, 300, 0us},
      {1, 50, 0us},
      {4096, 40, 0us},
      // A writer slower than the computing side: the buffers run out and
      // come back one by one; one filled again too early would show.
      {64, 60, 200us},
  };
  for (const prova& p : prove) {
    const auto lunghezza = [&p](int i) { return static_cast<size_t>(i * 7) % (p.capienza + 1); };
    const auto byte_di = [](int i, size_t k) { return static_cast<char>('a' + (i * 5 + k) % 26); };
    std::string atteso;
    size_t non_vuoti = 0;
    for (int i = 0; i < p.pezzi; ++i) {
      for (size_t k = 0; k < lunghezza(i); ++k) atteso += byte_di(i, k);
      non_vuoti += lunghezza(i) > 0;
    }
    for (const bool in_parallelo : {false, true}) {
      const std::string caso = "capienza " + std::to_string(p.capienza) +
                               (in_parallelo ? ", with the writer's thread" : ", in order");
      std::string file(atteso.size(), '?');
      size_t scritture = 0;
      scrittura_a_pezzi s(
          p.capienza,
          [&](uint64_t posizione, std::string_view pezzo) {
            std::this_thread::sleep_for(p.lentezza);
            file.replace(posizione, pezzo.size(), pezzo);
            ++scritture;
          },
          in_parallelo);
      EXPECT_EQ(s.in_parallelo(), in_parallelo && due_processori()) << caso;
      uint64_t posizione = 0;
      struct tenuto {
        char* b;
        size_t n;
        uint64_t posizione;
      } t{};
      for (int i = 0; i < p.pezzi; ++i) {
        char* b = s.prendi();
        const size_t n = lunghezza(i);
        for (size_t k = 0; k < n; ++k) b[k] = byte_di(i, k);
        if (i % 2 == 0) {
          t = {b, n, posizione};
        } else {
          s.consegna(b, n, posizione);
          s.consegna(t.b, t.n, t.posizione);
          t.b = nullptr;
        }
        posizione += n;
      }
      if (t.b != nullptr) s.consegna(t.b, t.n, t.posizione);
      s.finisci();
      EXPECT_TRUE(file == atteso) << caso;
      EXPECT_EQ(scritture, non_vuoti) << caso << ": an empty piece is no write";
    }
  }
}

// A write that fails stops the writing: the failure reaches the computing
// side as it is, from prendi() while it goes on or from finisci() when it
// was the last piece, and no piece after it is written.
TEST(ScritturaAPezzi, UnaScritturaFallitaArrivaAChiCalcola) {
  struct caso {
    int pezzi;
    int guasto_al;  // the write that fails, from 0
  };
  for (const caso c : {caso{1000000, 5}, caso{3, 2}, caso{1, 0}}) {
    for (const bool in_parallelo : {false, true}) {
      const std::string nome = std::to_string(c.pezzi) + " pieces, failing at " +
                               std::to_string(c.guasto_al) + (in_parallelo ? ", thread" : "");
      int scritti = 0;
      int dopo_il_guasto = 0;
      bool guasto = false;
      scrittura_a_pezzi s(
          16,
          [&](uint64_t, std::string_view) {
            if (guasto) ++dopo_il_guasto;
            if (scritti == c.guasto_al) {
              guasto = true;
              throw errore_file("linea.dat", "File too large");
            }
            ++scritti;
          },
          in_parallelo);
      bool arrivato = false;
      try {
        for (int i = 0; i < c.pezzi; ++i) {
          char* b = s.prendi();
          std::memset(b, 'x', 16);
          s.consegna(b, 16, static_cast<uint64_t>(i) * 16);
        }
        s.finisci();
      } catch (const errore_file& e) {
        arrivato = true;
        EXPECT_EQ(e.file(), "linea.dat") << nome;
        EXPECT_EQ(e.motivo(), "File too large") << nome;
      }
      EXPECT_TRUE(arrivato) << nome;
      EXPECT_EQ(scritti, c.guasto_al) << nome;
      EXPECT_EQ(dopo_il_guasto, 0) << nome;
    }
  }
}

// Left on the way with every buffer queued (the computing side failed), the
// writer writes what it was given and stops with it.
TEST(ScritturaAPezzi, AbbandonataSenzaFinireSiFermaPulita) {
  std::atomic<size_t> scritti = 0;
  {
    scrittura_a_pezzi s(
        8,
        [&](uint64_t, std::string_view) {
          std::this_thread::sleep_for(2ms);
          ++scritti;
        },
        true);
    for (size_t i = 0; i < scrittura_a_pezzi::buffer; ++i) s.consegna(s.prendi(), 8, i * 8);
  }
  EXPECT_EQ(scritti.load(), scrittura_a_pezzi::buffer);
}

// A caller that takes every buffer and hands none back, or asks for one
// once the writing is over, would wait forever.
TEST(ScritturaAPezzi, UnBufferCheNonPuoTornareEUnErrore) {
  for (const bool in_parallelo : {false, true}) {
    scrittura_a_pezzi s(
        8, [](uint64_t, std::string_view) {}, in_parallelo);
    std::vector<char*> tenuti;
    for (size_t i = 0; i < scrittura_a_pezzi::buffer; ++i) tenuti.push_back(s.prendi());
    EXPECT_THROW(s.prendi(), std::logic_error) << in_parallelo;
    s.consegna(tenuti.back(), 8, 0);
    s.finisci();
    EXPECT_NO_THROW(s.prendi()) << in_parallelo << ": the one handed over came back";
    EXPECT_THROW(s.prendi(), std::logic_error) << in_parallelo;
  }
}

}  // namespace
