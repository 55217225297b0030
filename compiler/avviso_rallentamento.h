// Where a slowdown's warning board goes: the compiler stores it there and
// decompila_scenario reads the slowdown's start back from it.
#pragma once

#include <cstdint>

// A slowdown that starts past inizio_con_avviso (m) has its warning board
// distanza_avviso before its start; one that starts earlier has no room for it.
inline constexpr int32_t inizio_con_avviso = 1500;
inline constexpr int32_t distanza_avviso = 1200;
