#include "app/x11/funzioni_x11.h"

#include <dlfcn.h>

namespace {

funzioni_x11 tabella;

template <typename P>
bool trova(void* libreria, const char* nome, P& puntatore) {
  void* simbolo = dlsym(libreria, nome);
  puntatore = reinterpret_cast<P>(simbolo);
  return simbolo != nullptr;
}

bool carica() {
  // The sonames: the versions whose interface the headers describe.
  void* libx11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
  if (libx11 == nullptr) return false;
  void* libxft = dlopen("libXft.so.2", RTLD_NOW | RTLD_LOCAL);
  if (libxft == nullptr) {
    dlclose(libx11);
    return false;
  }
  funzioni_x11 t;
  bool trovate = true;
#define FUNZIONI_X11_CERCA_X11(nome) trovate = trova(libx11, #nome, t.nome) && trovate;
#define FUNZIONI_X11_CERCA_XFT(nome) trovate = trova(libxft, #nome, t.nome) && trovate;
  FUNZIONI_X11(FUNZIONI_X11_CERCA_X11)
  FUNZIONI_XFT(FUNZIONI_X11_CERCA_XFT)
#undef FUNZIONI_X11_CERCA_X11
#undef FUNZIONI_X11_CERCA_XFT
  if (!trovate) {
    dlclose(libxft);
    dlclose(libx11);
    return false;
  }
  // Once in use the libraries stay until the process ends: the display and
  // the fonts live that long, and the font library keeps state of its own
  // that it does not expect to see unloaded.
  tabella = t;
  return true;
}

}  // namespace

bool carica_funzioni_x11() {
  static const bool caricate = carica();
  return caricate;
}

const funzioni_x11& x11() { return tabella; }
