// Every problem the compiler can record, once: the number stored in
// problema.codice (the one an author sees after "Errore n."), the name the code
// uses for it and a short sentence that says what went wrong. The numbers are
// what the compiler has always stored; they never change meaning.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// X(nome, numero, testo): one row for each problem.
#define ERRORI_DI_COMPILAZIONE(X)                                                                  \
  X(linea_troppo_lunga, 1, "la linea è più lunga di 1000000 m")                                    \
  X(progressiva_fuori_passo, 2,                                                                    \
    "un tratto di progressiva chilometrica ha inizio o valore non multiplo di 50 m")               \
  X(inizio_ripetizione_fuori_passo, 3,                                                             \
    "l'inizio della ripetizione segnali non è un multiplo di 50 m")                                \
  X(fine_ripetizione_fuori_passo, 4,                                                               \
    "la fine della ripetizione segnali non è un multiplo di 50 m")                                 \
  X(ripetizione_senza_codici, 5, "la ripetizione segnali non dice se i codici sono 4 o 9")         \
  X(cartello_su_cella_occupata, 6, "il cartello cade su una cella già occupata")                   \
  X(codice_su_cella_occupata, 7, "il punto di codice cade su una cella già occupata")              \
  X(stazione_fuori_passo, 8, "la posizione della stazione non è un multiplo di 50 m")              \
  X(lunghezza_stazione_fuori_passo, 9, "la lunghezza della stazione non è un multiplo di 100 m")   \
  X(troppe_stazioni, 10, "troppe stazioni: arrivano alle voci dei testi dei cartelli")             \
  X(segnale_senza_punto_codice, 11,                                                                \
    "un segnale prima di un avviso di rallentamento non ha posto per il punto di codice")          \
  X(manca_punto_prima_del_rallentamento, 12,                                                       \
    "prima di un rallentamento non c'è una cella libera per un punto di codice")                   \
  X(manca_punto_nel_rallentamento, 13,                                                             \
    "dentro o subito dopo un rallentamento non c'è una cella libera per un punto di codice")       \
  X(fuori_percorso, 15, "la posizione cade fuori dal percorso")                                    \
  X(segnale_su_cella_occupata, 16, "il segnale cade su una cella già occupata")                    \
  X(avviso_su_cella_occupata, 17, "l'avviso del rallentamento cade su una cella già occupata")     \
  X(inizio_rallentamento_su_cella_occupata, 18,                                                    \
    "l'inizio del rallentamento cade su una cella già occupata")                                   \
  X(fine_rallentamento_su_cella_occupata, 19,                                                      \
    "la fine del rallentamento cade su una cella già occupata")                                    \
  X(segni_avviso_su_celle_occupate, 20,                                                            \
    "i segni prima dell'avviso di rallentamento cadono su celle già occupate")                     \
  X(indicatore_su_cella_occupata, 21,                                                              \
    "l'indicatore di velocità massima cade su una cella già occupata")                             \
  X(stazioni_troppo_vicine, 22, "la stazione inizia a meno di 350 m dalla fine della precedente")  \
  X(fermata_su_cella_occupata, 23, "la fermata della stazione cade su una cella già occupata")     \
  X(fermata_troppo_presto, 24,                                                                     \
    "la fermata della stazione cade nelle prime due celle del tracciato")                          \
  X(lettura_fallita, 25,                                                                           \
    "il file sorgente non si legge: manca la lunghezza del percorso, una riga è incompleta "      \
    "o un valore è fuori dai limiti")                                                              \
  X(manca_sorgente_linea, 101, "manca il file sorgente della linea")                               \
  X(manca_sezione_generale, 102, "nel file sorgente della linea manca la sezione [generale]")      \
  X(curva_non_valida, 103, "una curva non ha la classe da 1 a 6, o il tracciato supera 1000000 m") \
  X(formato_occupato, 1250,                                                                        \
    "un oggetto nella cella 1, all'inizio della linea, occupa il posto del codice di formato")     \
  X(codice_scenario_occupato, 1251,                                                                \
    "un oggetto nella cella 1, all'inizio della linea, occupa il posto del codice dello scenario")

enum class errore_compilazione : int32_t {
#define ERRORE_NUMERO(nome, numero, testo) nome = numero,
  ERRORI_DI_COMPILAZIONE(ERRORE_NUMERO)
#undef ERRORE_NUMERO
};

// The number as problema.codice holds it.
constexpr int32_t numero_errore(errore_compilazione e) { return static_cast<int32_t>(e); }

struct voce_errore {
  errore_compilazione codice;
  std::string_view testo;
};

inline constexpr std::array elenco_errori = {
#define ERRORE_VOCE(nome, numero, testo) voce_errore{errore_compilazione::nome, testo},
    ERRORI_DI_COMPILAZIONE(ERRORE_VOCE)
#undef ERRORE_VOCE
};

// What went wrong, for a number problema.codice may hold; empty for any other.
std::string_view testo_errore(int32_t codice);
