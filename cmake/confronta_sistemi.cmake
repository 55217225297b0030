# The Linux and the Windows build give the same bytes: every file of the main
# job; the compiled files of a generated 1 000 km line and what
# compila_scenario says; esamina_scenario's report, its JSON and its drawing;
# the sources decompila_scenario gives back. Run by ctest in the Windows
# build (CMakeLists.txt), once both builds are there:
#   cmake -DBUILD_LINUX=build -DBUILD_WINDOWS=build-windows -DEMULATORE=wine
#         -DLAVORO=build-windows/confronto -P cmake/confronta_sistemi.cmake
# Skipped (the word SALTATO) when the Linux build has not been made.

foreach(programma genera_scenario compila_scenario esamina_scenario decompila_scenario)
  if(NOT EXISTS "${BUILD_LINUX}/${programma}")
    message("SALTATO: ${BUILD_LINUX}/${programma} non c'e': costruire prima la versione Linux")
    return()
  endif()
endforeach()

set(sistemi linux windows)
set(prefisso_linux "")
set(prefisso_windows ${EMULATORE})
set(cartella_linux "${BUILD_LINUX}")
set(cartella_windows "${BUILD_WINDOWS}")
set(estensione_linux "")
set(estensione_windows ".exe")

file(REMOVE_RECURSE "${LAVORO}")

# Runs the program of system `s` found in `cartella` (by default the build's)
# from ${LAVORO}/${s}, where its arguments are relative, so that the names it
# prints are the same on both systems; keeps its exit status, standard output
# and standard error as files.
function(esegui s nome programma)
  cmake_parse_arguments(PARSE_ARGV 3 opz "" "CARTELLA" "")
  if(NOT opz_CARTELLA)
    set(opz_CARTELLA "${cartella_${s}}")
  endif()
  execute_process(
    COMMAND ${prefisso_${s}} "${opz_CARTELLA}/${programma}${estensione_${s}}"
      ${opz_UNPARSED_ARGUMENTS}
    WORKING_DIRECTORY "${LAVORO}/${s}"
    RESULT_VARIABLE stato
    OUTPUT_FILE "${LAVORO}/${s}/uscite/${nome}.stdout"
    ERROR_FILE "${LAVORO}/${s}/uscite/${nome}.stderr")
  file(WRITE "${LAVORO}/${s}/uscite/${nome}.stato" "${stato}\n")
  if(NOT stato EQUAL 0)
    message(SEND_ERROR "${s}: ${programma} ${opz_UNPARSED_ARGUMENTS}: stato ${stato}")
  endif()
endfunction()

# The sources of the line, generated once and given to both compilers.
file(MAKE_DIRECTORY "${LAVORO}/sorgenti")
execute_process(
  COMMAND ${EMULATORE} "${BUILD_WINDOWS}/genera_sorgenti.exe" sorgenti Prova 5817 1000
  WORKING_DIRECTORY "${LAVORO}" RESULT_VARIABLE stato)
if(NOT stato EQUAL 0)
  message(FATAL_ERROR "genera_sorgenti: stato ${stato}")
endif()

foreach(s IN LISTS sistemi)
  file(MAKE_DIRECTORY "${LAVORO}/${s}/uscite" "${LAVORO}/${s}/decompilati")
  # The main job writes beside its program, in a folder of its own.
  file(COPY "${cartella_${s}}/genera_scenario${estensione_${s}}"
       DESTINATION "${LAVORO}/${s}/principale")
  esegui(${s} principale genera_scenario CARTELLA "${LAVORO}/${s}/principale")
  file(REMOVE "${LAVORO}/${s}/principale/genera_scenario${estensione_${s}}")
  # Its messages are the platform layer's (a window on a desktop, lines on
  # standard error in a console), not files of the job: only its status counts.
  file(REMOVE "${LAVORO}/${s}/uscite/principale.stdout" "${LAVORO}/${s}/uscite/principale.stderr")

  file(COPY "${LAVORO}/sorgenti/" DESTINATION "${LAVORO}/${s}/linea")
  esegui(${s} compila compila_scenario linea Prova 5817)
  esegui(${s} esamina esamina_scenario --svg uscite/pianta.svg linea Prova 5817)
  esegui(${s} esamina_json esamina_scenario --json linea Prova 5817)
  esegui(${s} decompila decompila_scenario --in decompilati linea Prova 5817)
  # The one text with a path the program joined itself: in the system's own
  # separator, the only byte allowed to differ.
  file(READ "${LAVORO}/${s}/uscite/decompila.stdout" testo)
  string(REPLACE "\\" "/" testo "${testo}")
  file(WRITE "${LAVORO}/${s}/uscite/decompila.stdout" "${testo}")
endforeach()

# Every file of each folder, by name, on both sides.
set(confrontati 0)
foreach(dove principale linea uscite decompilati)
  file(GLOB_RECURSE nomi_linux RELATIVE "${LAVORO}/linux/${dove}" "${LAVORO}/linux/${dove}/*")
  file(GLOB_RECURSE nomi_windows RELATIVE "${LAVORO}/windows/${dove}" "${LAVORO}/windows/${dove}/*")
  list(SORT nomi_linux)
  list(SORT nomi_windows)
  if(NOT nomi_linux STREQUAL nomi_windows)
    message(SEND_ERROR "${dove}: file diversi\n  linux: ${nomi_linux}\n  windows: ${nomi_windows}")
    continue()
  endif()
  if(nomi_linux STREQUAL "")
    message(SEND_ERROR "${dove}: nessun file")
  endif()
  foreach(nome IN LISTS nomi_linux)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
                    "${LAVORO}/linux/${dove}/${nome}" "${LAVORO}/windows/${dove}/${nome}"
                    RESULT_VARIABLE diversi)
    if(diversi)
      message(SEND_ERROR "${dove}/${nome}: i byte differono tra Linux e Windows")
    endif()
    math(EXPR confrontati "${confrontati} + 1")
  endforeach()
endforeach()
message("confrontati ${confrontati} file tra Linux e Windows")
