// The programs as real processes on a POSIX system: fork and exec, the file
// size limit as RLIMIT_FSIZE.
#include "testing/processo_prova.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace fs = std::filesystem;

processo_avviato::processo_avviato(const fs::path& eseguibile,
                                   const std::vector<std::string>& argomenti,
                                   std::optional<long> limite_file) {
  // Everything the child needs is prepared before fork: between fork and exec
  // only async-signal-safe calls are made.
  std::vector<std::string> parole{eseguibile.string()};
  parole.insert(parole.end(), argomenti.begin(), argomenti.end());
  std::vector<char*> argv;
  for (std::string& p : parole) argv.push_back(p.data());
  argv.push_back(nullptr);

  int tubo[2];
  if (::pipe2(tubo, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork");
  if (pid_ == 0) {
    ::dup2(tubo[1], STDERR_FILENO);
    const int nulla = ::open("/dev/null", O_RDWR);
    if (nulla >= 0) {
      ::dup2(nulla, STDIN_FILENO);
      ::dup2(nulla, STDOUT_FILENO);
    }
    if (limite_file) {
      ::signal(SIGXFSZ, SIG_IGN);  // an ignored signal stays ignored across exec
      const rlimit r{static_cast<rlim_t>(*limite_file), static_cast<rlim_t>(*limite_file)};
      if (::setrlimit(RLIMIT_FSIZE, &r) != 0) ::_exit(126);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(tubo[1]);
  tubo_ = tubo[0];
}

processo_avviato::~processo_avviato() {
  if (pid_ <= 0) return;
  uccidi();
  attendi();
}

void processo_avviato::uccidi() {
  if (pid_ > 0) ::kill(pid_, SIGKILL);
}

void processo_avviato::ferma() {
  if (pid_ <= 0 || ::kill(pid_, SIGSTOP) != 0) return;
  // The signal only starts the stop: its report says that the child is still.
  // WNOWAIT leaves the report, and an end, for attendi.
  siginfo_t informazioni{};
  while (::waitid(P_PID, static_cast<id_t>(pid_), &informazioni, WSTOPPED | WEXITED | WNOWAIT) <
             0 &&
         errno == EINTR) {
  }
}

bool processo_avviato::finito() {
  if (pid_ <= 0) return true;
  siginfo_t informazioni{};
  return ::waitid(P_PID, static_cast<id_t>(pid_), &informazioni, WEXITED | WNOHANG | WNOWAIT) ==
             0 &&
         informazioni.si_pid == pid_;
}

void processo_avviato::riprendi() {
  if (pid_ > 0) ::kill(pid_, SIGCONT);
}

namespace {
// One read from the pipe onto `testo`; false at its end.
bool leggi_ancora(int tubo, std::string& testo) {
  char blocco[4096];
  for (;;) {
    const ssize_t n = ::read(tubo, blocco, sizeof blocco);
    if (n > 0) {
      testo.append(blocco, static_cast<size_t>(n));
      return true;
    }
    if (n == 0 || errno != EINTR) return false;
  }
}
}  // namespace

std::string processo_avviato::prima_riga() {
  while (pid_ > 0 && letti_.find('\n') == std::string::npos && leggi_ancora(tubo_, letti_)) {
  }
  return letti_.substr(0, letti_.find('\n') + 1);
}

esito_processo processo_avviato::attendi_entro(std::chrono::milliseconds limite) {
  using orologio = std::chrono::steady_clock;
  const orologio::time_point scadenza = orologio::now() + limite;
  bool scaduto = false;
  // Its standard error reaches its end when the process ends.
  for (bool aperto = pid_ > 0; aperto;) {
    const auto resta = std::chrono::ceil<std::chrono::milliseconds>(scadenza - orologio::now());
    if (resta.count() <= 0) {
      uccidi();
      scaduto = true;
      break;
    }
    pollfd p{tubo_, POLLIN, 0};
    const int pronti = ::poll(&p, 1, static_cast<int>(resta.count()));
    if (pronti > 0)
      aperto = leggi_ancora(tubo_, letti_);
    else if (pronti < 0 && errno != EINTR)
      break;
  }
  esito_processo e = attendi();
  e.scaduto = scaduto;
  return e;
}

esito_processo processo_avviato::attendi() {
  esito_processo e;
  if (pid_ <= 0) return e;
  e.errori = std::move(letti_);
  while (leggi_ancora(tubo_, e.errori)) {
  }
  ::close(tubo_);
  int stato = 0;
  while (::waitpid(pid_, &stato, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  if (WIFEXITED(stato)) {
    e.uscito = true;
    e.stato = WEXITSTATUS(stato);
  } else if (WIFSIGNALED(stato)) {
    e.segnale = WTERMSIG(stato);
  }
  return e;
}
