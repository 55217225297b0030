// Which platform layer a run gets: windows where the program was built with
// them and a display answers, the console everywhere else.
#include "app/scegli_piattaforma.h"

#ifdef GENERA_SCENARIO_X11
#include "app/x11/piattaforma_x11.h"
#endif
#ifdef GENERA_SCENARIO_WIN32
#include "app/win32/piattaforma_win32.h"
#endif

std::unique_ptr<piattaforma> crea_piattaforma() {
#ifdef GENERA_SCENARIO_X11
  if (auto schermo = apri_schermo_x11())
    return crea_piattaforma_x11(std::move(schermo), crea_piattaforma_console());
#endif
#ifdef GENERA_SCENARIO_WIN32
  // Started from a console, a file that cannot be written is said there, as
  // everything else; with none (a double click), in a box.
  const bool console = collega_alla_console();
  if (desktop_visibile()) return crea_piattaforma_win32(crea_piattaforma_console(), !console);
#endif
  return crea_piattaforma_console();
}
