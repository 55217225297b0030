// A fixture of the folder-graph check: sistema/ includes compiler/, which
// includes it back.
#pragma once

#include "compiler/basso.h"
