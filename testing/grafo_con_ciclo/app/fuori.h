// Outside the cycle: leads into it, and is not named as part of it.
#pragma once

#include "compiler/basso.h"
