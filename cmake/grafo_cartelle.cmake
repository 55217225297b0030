# The graph of the project's folders as the code's own #include "..." lines
# draw it: a folder depends on another when one of its files includes one of
# the other's. Prints every edge with how many lines make it, and fails when
# the folders make a cycle, naming the folders caught in it.
#
#   cmake -DRADICE=<source tree> -P cmake/grafo_cartelle.cmake
#
# The tests and their helpers stand above everything they test, so their
# files are left out: *_test.cpp, testing/, and the fixtures prova_* that only
# the tests build.
cmake_minimum_required(VERSION 3.20)

if(NOT RADICE)
  set(RADICE "${CMAKE_CURRENT_LIST_DIR}/..")
endif()
get_filename_component(RADICE "${RADICE}" ABSOLUTE)

set(CARTELLE sistema compiler sources app tools fuzz bench)
set(FILE_CODICE)
foreach(c IN LISTS CARTELLE)
  file(GLOB_RECURSE trovati RELATIVE ${RADICE} ${RADICE}/${c}/*.cpp ${RADICE}/${c}/*.h)
  list(APPEND FILE_CODICE ${trovati})
endforeach()
list(FILTER FILE_CODICE EXCLUDE REGEX "(_test\\.cpp|/prova_[^/]*\\.(cpp|h))$")
# What a build makes (tools/esamina/vista/prove/node_modules) is not code.
list(FILTER FILE_CODICE EXCLUDE REGEX "/node_modules/")

set(NODI)
set(ARCHI)
foreach(f IN LISTS FILE_CODICE)
  get_filename_component(da ${f} DIRECTORY)
  list(APPEND NODI ${da})
  file(STRINGS ${RADICE}/${f} righe REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(r IN LISTS righe)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" incluso "${r}")
    get_filename_component(a ${incluso} DIRECTORY)
    # A header that lies beside its includer, or a generated one, is no edge.
    if(a STREQUAL "" OR a STREQUAL da OR NOT EXISTS ${RADICE}/${incluso})
      continue()
    endif()
    list(APPEND ARCHI "${da}>${a}")
  endforeach()
endforeach()
list(REMOVE_DUPLICATES NODI)
list(SORT NODI)

# Each edge once, with how many include lines make it.
set(ARCHI_UNICI ${ARCHI})
list(REMOVE_DUPLICATES ARCHI_UNICI)
list(SORT ARCHI_UNICI)
foreach(e IN LISTS ARCHI_UNICI)
  set(quante 0)
  foreach(x IN LISTS ARCHI)
    if(x STREQUAL e)
      math(EXPR quante "${quante} + 1")
    endif()
  endforeach()
  string(REPLACE ">" " -> " testo "${e}")
  message("${testo} (${quante})")
endforeach()

# Folders that include nothing left, or that nothing left includes, are
# taken away until none is: what stays lies on a cycle.
set(RIMASTI ${NODI})
set(RESTANTI_ARCHI ${ARCHI_UNICI})
while(TRUE)
  set(tolti)
  foreach(n IN LISTS RIMASTI)
    set(esce FALSE)
    set(entra FALSE)
    foreach(e IN LISTS RESTANTI_ARCHI)
      if(e MATCHES "^${n}>")
        set(esce TRUE)
      endif()
      if(e MATCHES ">${n}$")
        set(entra TRUE)
      endif()
    endforeach()
    if(NOT esce OR NOT entra)
      list(APPEND tolti ${n})
    endif()
  endforeach()
  if(NOT tolti)
    break()
  endif()
  foreach(n IN LISTS tolti)
    list(REMOVE_ITEM RIMASTI ${n})
    list(FILTER RESTANTI_ARCHI EXCLUDE REGEX "(^${n}>|>${n}$)")
  endforeach()
endwhile()

if(RIMASTI)
  string(REPLACE ";" ", " elenco "${RIMASTI}")
  message(FATAL_ERROR "Le cartelle formano un ciclo di #include: ${elenco}")
endif()
list(LENGTH NODI quanti)
message("Nessun ciclo tra le ${quanti} cartelle.")
