#include "app/aiuto.h"

#include "sistema/fine_programma.h"

namespace {

const char* const uso =
    "uso: genera_scenario\n"
    "     genera_scenario --help\n";

const char* const aiuto =
    "genera_scenario scrive lo scenario Ombrasca1, la linea e la corsa del treno\n"
    "5817, nella cartella che contiene il programma, e finisce. Non prende\n"
    "argomenti: avviato senza, fa tutto il lavoro; con un argomento non fa nulla.\n"
    "  Ombrasca1_5817_note.txt             le note dell'autore\n"
    "  Ombrasca1_5817_rallentamenti.txt    il modulo dei rallentamenti\n"
    "  Ombrasca1_5817_scheda_treno.txt     la scheda del treno\n"
    "  Ombrasca1_linea.dat, Ombrasca1_5817.sim, Ombrasca1_5817.dat\n"
    "                                      i file che il simulatore carica\n"
    "Un sorgente Ombrasca1_linea.txt o Ombrasca1_5817-.txt diverso dal suo,\n"
    "lasciato accanto al programma, è conservato come FILE.bak prima di essere\n"
    "riscritto.\n"
    "\n"
    "Per scrivere uno scenario proprio, in una cartella propria e non in quella\n"
    "del programma: compila_scenario, esamina_scenario e decompila_scenario\n"
    "(--help per ciascuno).\n"
    "\n"
    "Un errore che il compilatore trova nei sorgenti dà l'esito 1, con i file\n"
    "compilati scritti lo stesso; l'arresto per errore (Errore n. 1250 o 1251)\n"
    "dà l'esito 3, senza toccarli.\n";

}  // namespace

int rispondi_agli_argomenti(const std::vector<std::string>& argomenti, std::ostream& uscita,
                            std::ostream& errori) {
  // The program takes no name: "--help" is the only argument it knows.
  if (argomenti.size() == 1 && chiede_aiuto(argomenti)) {
    uscita << uso << '\n' << aiuto << '\n' << esito_programmi;
    return stato_uscita::successo;
  }
  errori << "genera_scenario: non prende argomenti (" << (argomenti.empty() ? "" : argomenti[0])
         << "): avviarlo senza argomenti per scrivere lo scenario\n"
         << uso << "genera_scenario: --help per l'aiuto completo\n";
  return stato_uscita::uso;
}
