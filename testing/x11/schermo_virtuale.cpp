#include "testing/x11/schermo_virtuale.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace fs = std::filesystem;
using namespace std::chrono;

std::optional<fs::path> trova_programma(const std::string& nome) {
  const char* path = std::getenv("PATH");
  std::string resto = path != nullptr ? path : "/usr/bin:/bin";
  size_t inizio = 0;
  for (;;) {
    const size_t fine = resto.find(':', inizio);
    const fs::path candidato = fs::path(resto.substr(inizio, fine - inizio)) / nome;
    if (!candidato.parent_path().empty() && access(candidato.c_str(), X_OK) == 0) return candidato;
    if (fine == std::string::npos) return std::nullopt;
    inizio = fine + 1;
  }
}

namespace {

std::vector<char*> argv_di(const std::vector<std::string>& argomenti) {
  std::vector<char*> v;
  for (const std::string& a : argomenti) v.push_back(const_cast<char*>(a.c_str()));
  v.push_back(nullptr);
  return v;
}

// Whether a descriptor has something to read within the limit.
bool leggibile(int fd, milliseconds limite) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, static_cast<int>(limite.count())) > 0;
}

int stato_da(int stato) {
  if (WIFEXITED(stato)) return WEXITSTATUS(stato);
  if (WIFSIGNALED(stato)) return 128 + WTERMSIG(stato);
  return -1;
}

}  // namespace

processo::processo(const std::vector<std::string>& argomenti, const std::string& display) {
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe");
  std::vector<char*> argv = argv_di(argomenti);
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork");
  if (pid_ == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    setenv("DISPLAY", display.c_str(), 1);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  ingresso_ = in[1];
  uscita_ = out[0];
  errore_ = err[0];
}

processo::~processo() {
  if (!stato_ && pid_ > 0) {
    kill(pid_, SIGKILL);
    int s;
    waitpid(pid_, &s, 0);
  }
  for (int fd : {ingresso_, uscita_, errore_})
    if (fd >= 0) close(fd);
}

std::optional<std::string> processo::leggi_riga(milliseconds limite) {
  const auto scadenza = steady_clock::now() + limite;
  for (;;) {
    const size_t a_capo = letto_.find('\n');
    if (a_capo != std::string::npos) {
      std::string riga = letto_.substr(0, a_capo);
      letto_.erase(0, a_capo + 1);
      return riga;
    }
    const auto resta = duration_cast<milliseconds>(scadenza - steady_clock::now());
    if (resta.count() <= 0 || !leggibile(uscita_, resta)) return std::nullopt;
    char buf[256];
    const ssize_t n = read(uscita_, buf, sizeof buf);
    if (n <= 0) return std::nullopt;
    letto_.append(buf, static_cast<size_t>(n));
  }
}

void processo::chiudi_ingresso() {
  if (ingresso_ >= 0) close(ingresso_);
  ingresso_ = -1;
}

std::optional<int> processo::attendi(milliseconds limite) {
  if (stato_) return stato_;
  const auto scadenza = steady_clock::now() + limite;
  for (;;) {
    int s;
    if (waitpid(pid_, &s, WNOHANG) == pid_) {
      stato_ = stato_da(s);
      return stato_;
    }
    if (steady_clock::now() >= scadenza) return std::nullopt;
    std::this_thread::sleep_for(milliseconds(10));
  }
}

std::string processo::errori() {
  std::string tutto;
  char buf[256];
  while (leggibile(errore_, milliseconds(0))) {
    const ssize_t n = read(errore_, buf, sizeof buf);
    if (n <= 0) break;
    tutto.append(buf, static_cast<size_t>(n));
  }
  return tutto;
}

int esegui(const std::vector<std::string>& argomenti, const std::string& display) {
  processo p(argomenti, display);
  p.chiudi_ingresso();
  const std::optional<int> stato = p.attendi(seconds(20));
  return stato.value_or(-1);
}

schermo_virtuale::schermo_virtuale() {
  const std::optional<fs::path> xvfb = trova_programma("Xvfb");
  if (!xvfb) return;
  // The server picks a free display number itself and writes it to this
  // pipe once it accepts connections: no clash with other servers.
  int numero[2];
  if (pipe(numero) != 0) return;
  const std::string fd = std::to_string(numero[1]);
  const std::vector<std::string> argomenti{xvfb->string(), "-displayfd", fd, "-screen", "0",
                                           "1024x768x24", "-nolisten", "tcp"};
  std::vector<char*> argv = argv_di(argomenti);
  pid_ = fork();
  if (pid_ == 0) {
    close(numero[0]);
    const int nulla = open("/dev/null", O_RDWR);
    dup2(nulla, 0);
    dup2(nulla, 1);
    dup2(nulla, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(numero[1]);
  std::string letto;
  while (pid_ > 0 && leggibile(numero[0], seconds(20))) {
    char c;
    if (read(numero[0], &c, 1) != 1 || c == '\n') break;
    letto += c;
  }
  close(numero[0]);
  if (!letto.empty()) nome_ = ":" + letto;
}

schermo_virtuale::~schermo_virtuale() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int s;
  waitpid(pid_, &s, 0);
}

namespace {

std::optional<Window> cerca_in(Display* d, Window w, const std::string& titolo) {
  char* nome = nullptr;
  if (XFetchName(d, w, &nome) && nome != nullptr) {
    const bool uguale = titolo == nome;
    XFree(nome);
    if (uguale) return w;
  }
  Window radice, genitore, *figli = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(d, w, &radice, &genitore, &figli, &n)) return std::nullopt;
  std::optional<Window> trovata;
  for (unsigned int i = 0; i < n && !trovata; ++i) trovata = cerca_in(d, figli[i], titolo);
  if (figli != nullptr) XFree(figli);
  return trovata;
}

}  // namespace

std::optional<Window> cerca_finestra(Display* d, const std::string& titolo, milliseconds limite) {
  std::optional<Window> trovata;
  attendi_che([&] { return (trovata = cerca_in(d, DefaultRootWindow(d), titolo)).has_value(); },
              limite);
  return trovata;
}

schermata fotografa(Display* d, Window finestra) {
  XWindowAttributes a;
  XGetWindowAttributes(d, finestra, &a);
  int x = 0, y = 0;
  Window figlio;
  XTranslateCoordinates(d, finestra, a.root, 0, 0, &x, &y, &figlio);
  // From the root window: what the screen shows there, not what the window
  // thinks it holds.
  XImage* img = XGetImage(d, a.root, x, y, a.width, a.height, AllPlanes, ZPixmap);
  schermata s;
  if (img == nullptr) return s;
  s.larghezza = a.width;
  s.altezza = a.height;
  s.pixel.reserve(static_cast<size_t>(a.width) * a.height);
  for (int r = 0; r < a.height; ++r)
    for (int c = 0; c < a.width; ++c) s.pixel.push_back(XGetPixel(img, c, r) & 0xFFFFFF);
  XDestroyImage(img);
  return s;
}
