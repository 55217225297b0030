#pragma once

#include "sistema/alto.h"
