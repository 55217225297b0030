// What the file layer (sistema/file_disco.cpp) asks of the system it runs on:
// one file per system, file_disco_posix.cpp and file_disco_win32.cpp, as the
// locks are. Only the file layer includes this.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace file_disco_sistema {

// A new file open for writing, created only where no file has the name
// (errno EEXIST otherwise); nullptr with errno set when it cannot be made.
std::FILE* crea_esclusivo(const std::filesystem::path& percorso);

// A regular file opened for reading, and its size; errore_file when it is
// not there, cannot be opened or is no regular file.
std::FILE* apri_in_lettura(const std::filesystem::path& percorso, uint64_t& dimensione);

// Moves to byte `posizione` of the file, 64-bit positions included; false
// with errno set when it cannot.
bool vai_a(std::FILE* f, uint64_t posizione);

// Where the next write goes, or -1.
int64_t posizione_di(std::FILE* f);

// Puts `da` in the place of `a` in one step, over a file that may bear the
// name: the old file stays whole until the new one has its name.
void rinomina_sopra(const std::filesystem::path& da, const std::filesystem::path& a,
                    std::error_code& ec);

// Sets aside room for `byte` bytes where the system can; never a failure.
void riserva_spazio(std::FILE* f, uint64_t byte);

// The errno value of a failure that the file system library may give in the
// system's own codes.
int numero_errno(const std::error_code& ec);

// Shared by both sides, in file_disco.cpp: the reason told for an errno
// value, and what is said of a name that holds a pipe, a device or a socket.
std::string motivo(int numero);
extern const char* const non_normale;

}  // namespace file_disco_sistema
