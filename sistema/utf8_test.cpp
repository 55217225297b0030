#include "sistema/utf8.h"

#include <gtest/gtest.h>

namespace {

// A letter cut by the end of the buffer waits; anything else goes now, even
// bytes that are no UTF-8 (a name in the system's code page).
TEST(LettereIntere, UnaLetteraTagliataAspettaIlResto) {
  const struct {
    std::string_view byte;
    size_t intere;
  } casi[] = {
      {"", 0},
      {"abc", 3},
      {"perch\xC3", 5},
      {"perch\xC3\xA8", 7},
      {"\xE2\x82", 0},
      {"x\xE2\x82\xAC", 4},
      {"\xF0\x9F\x98", 0},
      {"\xF0\x9F\x98\x80", 4},
      {"citt\xE0", 4},  // Windows-1252 'à': a lead byte of 3 with nothing after
      {"\x80\x80\x80\x80", 4},
  };
  for (const auto& c : casi) EXPECT_EQ(lettere_intere(c.byte), c.intere) << c.byte;
}

}  // namespace
