#include "tools/esamina/comando.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "compiler/nomi_scenario.h"
#include "sistema/argomenti.h"
#include "sistema/file_disco.h"
#include "sistema/fine_programma.h"
#include "tools/esamina/descrizione.h"
#include "tools/esamina/html.h"
#include "tools/esamina/json.h"
#include "tools/esamina/rapporto.h"
#include "tools/esamina/svg.h"
#include "tools/esamina/validazione.h"

namespace {

constexpr int problemi_trovati = stato_uscita::errori_compilazione;

// Every message names the tool, except the problem lines, which name a file.
constexpr const char* nome_comando = "esamina_scenario: ";

constexpr const char* uso =
    "uso: esamina_scenario [--json] [--svg FILE] [--html FILE] [--silenzioso]\n"
    "                      CARTELLA NOME TRENO\n"
    "     esamina_scenario --help\n";

constexpr const char* aiuto =
    "esamina_scenario legge i tre file compilati dello scenario NOME per il treno\n"
    "TRENO nella CARTELLA (NOME_linea.dat, NOME_TRENO.sim, NOME_TRENO.dat), li\n"
    "verifica e ne stampa il contenuto.\n"
    "  --json            stampa il contenuto come un unico documento JSON\n"
    "  --svg FILE        disegna la pianta e il profilo della linea nel file FILE\n"
    "  --html FILE       scrive nel file FILE una pagina da aprire nel browser,\n"
    "                    per muoversi lungo la linea e vedere che cosa tiene ogni\n"
    "                    cella\n"
    "  -q, --silenzioso  non stampa il rapporto: scrive solo il JSON, il disegno\n"
    "                    o la pagina chiesti, e i problemi sull'errore standard\n"
    "\n"
    "Un problema nei file compilati dà l'esito 1; se nella CARTELLA non c'è\n"
    "nessuno dei tre file, l'esito è 5.\n";

struct opzioni {
  bool json = false;
  bool silenzioso = false;
  std::optional<std::string> svg;
  std::optional<std::string> html;
  std::vector<std::string> posizionali;
};

}  // namespace

int esegui_esamina(const std::vector<std::string>& argomenti, std::ostream& uscita,
                   std::ostream& errori) {
  // --aiuto is the name the option had first.
  if (chiede_aiuto(argomenti) ||
      std::find(argomenti.begin(), argomenti.end(), "--aiuto") != argomenti.end()) {
    uscita << uso << '\n' << aiuto << '\n' << esito_programmi;
    return stato_uscita::successo;
  }
  opzioni o;
  if (!leggi_argomenti(argomenti,
                       {{"--json", &o.json},
                        {"--silenzioso", &o.silenzioso},
                        {"-q", &o.silenzioso},
                        {"--svg", nullptr, &o.svg, "il nome del file"},
                        {"--html", nullptr, &o.html, "il nome del file"}},
                       o.posizionali, nome_comando, errori))
    return argomenti_sbagliati(uso, nome_comando, errori);
  const std::filesystem::path cartella = o.posizionali[0];
  const std::string& nome = o.posizionali[1];
  const std::string& treno = o.posizionali[2];
  std::error_code ec;
  if (!std::filesystem::is_directory(cartella, ec)) {
    errori << nome_comando << cartella.string() << " non è una cartella\n";
    return stato_uscita::uso;
  }
  if (!insieme_completato(cartella, nome_comando, errori)) return stato_uscita::errore_file;
  if (nessun_file_da_leggere(cartella, nome, treno, false)) {
    const file_scenario f = file_dello_scenario(nome, treno);
    errori << nome_comando << "in " << cartella.string() << " non c'è nessuno dei file compilati "
           << f.linea << ", " << f.tabella << ", " << f.tracciato
           << ": controllare la CARTELLA, il NOME e il TRENO\n";
    return stato_uscita::niente_da_leggere;
  }

  // The line file is walked where it lies, a piece at a time; the other two
  // are small and read whole.
  const file_letti letti = leggi_file_scenario(cartella, nome, treno);
  std::string disegno, pagina;
  bool problemi = false;
  try {
    const scenario_letto s = esamina(letti.viste(), nome, treno);
    const descrizione d = descrivi(s);
    for (const problema& p : s.problemi) errori << riga_problema(p) << "\n";
    // Quiet, only what was asked for: the document, if that was.
    if (o.json)
      uscita << documento_json(s, d);
    else if (!o.silenzioso)
      uscita << rapporto(s, d);
    if (o.svg) disegno = disegno_svg(s, d);
    if (o.html) pagina = pagina_html(s, d);
    problemi = !s.problemi.empty();
  } catch (const errore_file& e) {
    // The line file failed while it was being walked.
    errori << riga_problema({e.file(), std::nullopt, "illeggibile: " + e.motivo()}) << "\n";
    return problemi_trovati;
  }
  if (o.svg) {
    try {
      sostituisci_file(*o.svg, disegno);
    } catch (const errore_file& e) {
      errori << nome_comando << "impossibile scrivere il disegno " << e.file() << ": " << e.motivo()
             << "\n";
      return stato_uscita::errore_file;
    }
  }
  if (o.html) {
    try {
      sostituisci_file(*o.html, pagina);
    } catch (const errore_file& e) {
      errori << nome_comando << "impossibile scrivere la pagina " << e.file() << ": " << e.motivo()
             << "\n";
      return stato_uscita::errore_file;
    }
  }
  return problemi ? problemi_trovati : stato_uscita::successo;
}
