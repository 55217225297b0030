// Text helpers shared by the report, the JSON document and the picture.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The names and board texts are Windows-1252 bytes; every output is UTF-8.
// Control characters and the five unassigned bytes, which no source text
// holds, come out as U+FFFD so that no output can be broken by them.
std::string da_1252(std::string_view byte);

// Seconds after midnight as hh:mm:ss; hours past 23 are kept as they are.
std::string ora(int64_t secondi);

// Metres as kilometres with three decimals and a decimal comma: "118,650".
std::string chilometri(int64_t metri);
