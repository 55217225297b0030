// What the window tests of both desktops share: a look at the screen, a wait
// for what another process shows on it, and the wait window's check.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

// Waits until `condizione` holds, checking every few milliseconds.
template <typename F>
bool attendi_che(F condizione, std::chrono::milliseconds limite) {
  const auto scadenza = std::chrono::steady_clock::now() + limite;
  for (;;) {
    if (condizione()) return true;
    if (std::chrono::steady_clock::now() >= scadenza) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// A screenshot of a window's area as the screen shows it: one 0xRRGGBB value
// per pixel, row by row.
struct schermata {
  int larghezza = 0;
  int altezza = 0;
  std::vector<unsigned long> pixel;
  unsigned long at(int x, int y) const { return pixel[static_cast<size_t>(y) * larghezza + x]; }
};

inline bool scuro(unsigned long rgb) {
  return ((rgb >> 16) & 0xFF) < 0x80 && ((rgb >> 8) & 0xFF) < 0x80 && (rgb & 0xFF) < 0x80;
}

// The wait window as it must be on the screen: 280 x 179, the face colour
// everywhere outside the label's area (x from `sinistra` up to `destra`, y
// from `alto` up to `basso`), and in it "Attendere" in a large bold face: a
// good deal of ink, starting near the label's top left corner.
inline void verifica_attesa_sullo_schermo(const schermata& s, unsigned long sfondo, int sinistra,
                                          int alto, int destra, int basso) {
  ASSERT_EQ(s.pixel.size(), 280u * 179u);
  int inchiostro = 0, primo_x = s.larghezza, primo_y = s.altezza;
  for (int y = 0; y < s.altezza; ++y)
    for (int x = 0; x < s.larghezza; ++x) {
      if (y < alto || y >= basso || x < sinistra || x >= destra) {
        ASSERT_EQ(s.at(x, y), sfondo) << "at " << x << "," << y;
        continue;
      }
      if (!scuro(s.at(x, y))) continue;
      ++inchiostro;
      primo_x = std::min(primo_x, x);
      primo_y = std::min(primo_y, y);
    }
  EXPECT_GT(inchiostro, 800);
  EXPECT_LT(primo_x, sinistra + 6);
  EXPECT_LT(primo_y, alto + 16);
}
