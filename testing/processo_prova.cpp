#include "testing/processo_prova.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace fs = std::filesystem;

esito_processo esegui_processo(const fs::path& eseguibile, const std::vector<std::string>& argomenti,
                               std::optional<long> limite_file) {
  // Everything the child needs is prepared before fork: between fork and exec
  // only async-signal-safe calls are made.
  std::vector<std::string> parole{eseguibile.string()};
  parole.insert(parole.end(), argomenti.begin(), argomenti.end());
  std::vector<char*> argv;
  for (std::string& p : parole) argv.push_back(p.data());
  argv.push_back(nullptr);

  int tubo[2];
  if (::pipe(tubo) != 0) throw std::runtime_error("pipe");
  const pid_t figlio = ::fork();
  if (figlio < 0) throw std::runtime_error("fork");
  if (figlio == 0) {
    ::close(tubo[0]);
    ::dup2(tubo[1], STDERR_FILENO);
    ::close(tubo[1]);
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
  esito_processo e;
  char blocco[4096];
  for (;;) {
    const ssize_t n = ::read(tubo[0], blocco, sizeof blocco);
    if (n > 0) {
      e.errori.append(blocco, static_cast<size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  ::close(tubo[0]);
  int stato = 0;
  while (::waitpid(figlio, &stato, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(stato)) {
    e.uscito = true;
    e.stato = WEXITSTATUS(stato);
  } else if (WIFSIGNALED(stato)) {
    e.segnale = WTERMSIG(stato);
  }
  return e;
}

std::vector<std::string> temporanei_rimasti(const fs::path& cartella) {
  std::vector<std::string> r;
  for (const auto& voce : fs::directory_iterator(cartella)) {
    const std::string nome = voce.path().filename().string();
    if (nome.find(".tmp") != std::string::npos || nome.starts_with(".compila_scenario"))
      r.push_back(nome);
  }
  return r;
}
