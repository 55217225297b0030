// The windowed platform layer on a Windows desktop: the wait window and the
// error box are real windows; the program's folder and the diagnostic lines
// are left to the layer it wraps (the console one in the program).
#pragma once

#include <memory>

#include "sistema/piattaforma.h"

// Whether this process sits on a desktop a person can see: false for a
// service or a scheduled task without a session, where a box would wait for
// an OK nobody can give.
bool desktop_visibile();

// The windowed layer, for a process on a visible desktop; `resto` answers
// everything that is not a window. With box_per_i_file, a file that cannot
// be written is told in a box too: for a program that has no console to say
// it in (started by a double click).
std::unique_ptr<piattaforma> crea_piattaforma_win32(std::unique_ptr<piattaforma> resto,
                                                    bool box_per_i_file = true);

// The program is linked as a windowed one, so that a double-click opens no
// console. Started from a console with standard output and error left to it,
// its help and diagnostic lines go to that console all the same; a stream
// the caller redirected is kept as it is. True when standard error reaches
// someone: redirected, or a console.
bool collega_alla_console();
