// Test helpers: what the examination made of the compiled files, compared
// field by field with the records a compiler held in memory when it wrote them.
// Each records its mismatches as test failures.
#pragma once

#include <filesystem>
#include <string>

#include "compiler/compilatore.h"
#include "compiler/lettura_compilati.h"

void confronta_letto(const compilatore& f, const scenario_letto& s);
void confronta_json(const compilatore& f, const std::string& json);
void confronta_rapporto(const compilatore& f, const std::string& rapporto);
void confronta_svg(const compilatore& f, const std::string& svg);

// Runs the command on the folder's files (report, JSON, picture) and compares
// everything with the compiler that wrote them.
void confronta_cartella(const compilatore& f, const std::filesystem::path& cartella);

// The tags of an SVG or XML text open and close in order.
bool tag_bilanciati(const std::string& xml);
