// The choice of the platform layer, among the windows of app/ and the
// console of sistema/.
#pragma once

#include <memory>

#include "sistema/piattaforma.h"

// The platform layer of a run: the windowed one when the program was built
// with it and a display can be opened, else the console one.
std::unique_ptr<piattaforma> crea_piattaforma();
