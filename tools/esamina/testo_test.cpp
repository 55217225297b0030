#include "tools/esamina/testo.h"

#include <gtest/gtest.h>

namespace {

TEST(Testo, CodiciEOre) {
  EXPECT_EQ(da_1252("S.ROCCO\xB0 \xE0\xE8\xF2\xF9 \x80"), "S.ROCCO° àèòù €");
  EXPECT_EQ(da_1252(std::string("a\x01\x81", 3)), "a\uFFFD\uFFFD");
  EXPECT_EQ(ora(22980), "06:23:00");
  EXPECT_EQ(ora(90061), "25:01:01");
  EXPECT_EQ(ora(-61), "-00:01:01");
  EXPECT_EQ(chilometri(118850), "118,850");
  EXPECT_EQ(chilometri(-250), "-0,250");
}

}  // namespace
