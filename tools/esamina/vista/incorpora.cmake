# Writes the C++ header that carries the page's files (template, style,
# script) inside esamina_scenario, as raw string literals. Run at build time
# with `cmake -P`, so that it works wherever CMake does, a cross build too:
#   cmake -DUSCITA=header -DMODELLO=vista.html -DSTILE=vista.css
#         -DPROGRAMMA=vista_dati.js,vista_profilo.js,... -P incorpora.cmake
# Each file goes in pieces of at most `pezzo` bytes cut at line ends: some
# compilers take no longer literal, and a cut at a line end never splits a
# character of a UTF-8 text.
cmake_minimum_required(VERSION 3.20)

set(pezzo 8000)
set(delimitatore "vista")

set(testo "// Made at build time by tools/esamina/vista/incorpora.cmake from the files\n")
string(APPEND testo "// of tools/esamina/vista/: edit those, not this.\n#pragma once\n\n")
string(APPEND testo "#include <string_view>\n\nnamespace vista_incorporata {\n")

foreach(nome IN ITEMS MODELLO STILE PROGRAMMA)
  # The script is some files one after the other, given with commas between.
  string(REPLACE "," ";" file_sorgenti "${${nome}}")
  set(contenuto "")
  foreach(file_sorgente IN LISTS file_sorgenti)
    if(NOT EXISTS "${file_sorgente}")
      message(FATAL_ERROR "incorpora.cmake: manca il file ${nome} (${file_sorgente})")
    endif()
    file(READ "${file_sorgente}" parte)
    string(APPEND contenuto "${parte}")
  endforeach()
  set(file_sorgente "${${nome}}")
  if(contenuto STREQUAL "")
    message(FATAL_ERROR "incorpora.cmake: il file ${file_sorgente} è vuoto")
  endif()
  string(FIND "${contenuto}" ")${delimitatore}\"" chiusura)
  if(NOT chiusura EQUAL -1)
    message(FATAL_ERROR "${file_sorgente} contiene )${delimitatore}\", che chiuderebbe il testo incorporato")
  endif()
  # Inside the page the style and the script would end at these.
  foreach(fine_elemento "</script" "</style")
    string(FIND "${contenuto}" "${fine_elemento}" trovato)
    if(NOT trovato EQUAL -1 AND NOT nome STREQUAL "MODELLO")
      message(FATAL_ERROR "${file_sorgente} contiene ${fine_elemento}: nella pagina chiuderebbe l'elemento")
    endif()
  endforeach()

  string(TOLOWER "${nome}" variabile)
  string(APPEND testo "\ninline constexpr std::string_view ${variabile}[] = {\n")
  string(LENGTH "${contenuto}" resto)
  while(resto GREATER 0)
    if(resto GREATER pezzo)
      string(SUBSTRING "${contenuto}" 0 ${pezzo} parte)
      string(FIND "${parte}" "\n" ultima_riga REVERSE)
      if(ultima_riga EQUAL -1)
        message(FATAL_ERROR "${file_sorgente}: una riga più lunga di ${pezzo} byte")
      endif()
      math(EXPR taglio "${ultima_riga} + 1")
      string(SUBSTRING "${contenuto}" 0 ${taglio} parte)
      string(SUBSTRING "${contenuto}" ${taglio} -1 contenuto)
    else()
      set(parte "${contenuto}")
      set(contenuto "")
    endif()
    string(APPEND testo "R\"${delimitatore}(${parte})${delimitatore}\",\n")
    string(LENGTH "${contenuto}" resto)
  endwhile()
  string(APPEND testo "};\n")
endforeach()
string(APPEND testo "\n}  // namespace vista_incorporata\n")

file(WRITE "${USCITA}" "${testo}")
