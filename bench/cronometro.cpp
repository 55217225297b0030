// cronometro COMANDO [ARGOMENTI...]: runs the command and prints, on one line
// of standard output, its wall time in seconds, its peak resident memory in
// kB, its exit status and its processor time (user and system) in seconds.
// The command's own output goes where it would.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "uso: cronometro COMANDO [ARGOMENTI...]\n");
    return 2;
  }
  const auto inizio = std::chrono::steady_clock::now();
  const pid_t figlio = fork();
  if (figlio < 0) {
    std::perror("cronometro: fork");
    return 2;
  }
  if (figlio == 0) {
    execvp(argv[1], argv + 1);
    std::perror("cronometro: exec");
    _exit(127);
  }
  int stato = 0;
  rusage uso{};
  if (wait4(figlio, &stato, 0, &uso) < 0) {
    std::perror("cronometro: wait4");
    return 2;
  }
  const double secondi =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
  const int esito = WIFEXITED(stato) ? WEXITSTATUS(stato) : 128 + WTERMSIG(stato);
  const double processore = static_cast<double>(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) +
                            static_cast<double>(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
  std::printf("%.6f %ld %d %.6f\n", secondi, uso.ru_maxrss, esito, processore);
  return 0;
}
