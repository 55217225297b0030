#include "app/aiuto.h"

#include "sistema/fine_programma.h"

namespace {

const char* const aiuto =
    "uso: genera_scenario\n"
    "     genera_scenario --help\n"
    "\n"
    "genera_scenario scrive lo scenario Ombrasca1, la linea e la corsa del treno\n"
    "5817, nella cartella che contiene il programma, e finisce. Non prende\n"
    "argomenti: avviato senza, fa tutto il lavoro; con un argomento non fa nulla.\n"
    "  Ombrasca1_5817_note.txt             le note dell'autore\n"
    "  Ombrasca1_5817_rallentamenti.txt    il modulo dei rallentamenti\n"
    "  Ombrasca1_5817_scheda_treno.txt     la scheda del treno\n"
    "  Ombrasca1_linea.dat, Ombrasca1_5817.sim, Ombrasca1_5817.dat\n"
    "                                      i file che il simulatore carica\n"
    "Un sorgente Ombrasca1_linea.txt o Ombrasca1_5817-.txt diverso dal suo,\n"
    "lasciato accanto al programma, e' conservato come FILE.bak prima di essere\n"
    "riscritto.\n"
    "\n"
    "Esito: 0 riuscito; 1 compilato, ma il compilatore ha trovato un errore;\n"
    "2 argomenti sbagliati; 3 fermato prima di toccare i file compilati; 4 un\n"
    "file non si legge o non si scrive.\n"
    "\n"
    "Per scrivere uno scenario proprio, in una cartella propria e non in quella\n"
    "del programma: compila_scenario, esamina_scenario e decompila_scenario\n"
    "(--help per ciascuno).\n";

}  // namespace

int rispondi_agli_argomenti(const std::vector<std::string>& argomenti, std::ostream& uscita,
                            std::ostream& errori) {
  if (argomenti.size() == 1 && (argomenti[0] == "--help" || argomenti[0] == "-h")) {
    uscita << aiuto;
    return stato_uscita::successo;
  }
  errori << "genera_scenario: non prende argomenti (" << (argomenti.empty() ? "" : argomenti[0])
         << "): avvialo senza argomenti per scrivere lo scenario, o con --help\n";
  return stato_uscita::uso;
}
