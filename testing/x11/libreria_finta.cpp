// Stands in for libX11 or libXft in the tests: a sound library that has
// none of their functions, and that says on standard error, under the name
// it was loaded by, that it has been loaded. Copied into a folder named by
// LD_LIBRARY_PATH it is found before the real library, so a test sees every
// attempt to load that one.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

namespace {

__attribute__((constructor)) void annuncia() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&annuncia), &info) == 0 || info.dli_fname == nullptr) return;
  const char* barra = std::strrchr(info.dli_fname, '/');
  std::fprintf(stderr, "caricata %s\n", barra != nullptr ? barra + 1 : info.dli_fname);
}

}  // namespace
