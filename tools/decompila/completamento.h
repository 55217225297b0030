// Which code points of a track the post-pass put around slowdowns, and which
// a row of the source wrote: the first come back by themselves when the
// source is compiled again, so only the second are written.
#pragma once

#include <vector>

#include "compiler/record.h"

// True for each code point held to be the post-pass's own: the split with
// the fewest rows among those tried that, run through the compiler's
// post-pass, gives the cells back. Where none does, the closest one found;
// compiling the sources again then tells where they differ.
std::vector<bool> punti_del_completamento(const std::vector<cella>& celle);
