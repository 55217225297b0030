#include "tools/decompila/comando.h"

#include <memory>
#include <sstream>
#include <system_error>

#include "compiler/compilatore.h"
#include "compiler/formato.h"
#include "compiler/nomi_scenario.h"
#include "sistema/argomenti.h"
#include "sistema/file_disco.h"
#include "sistema/fine_programma.h"

namespace fs = std::filesystem;

namespace {

constexpr int problemi_trovati = stato_uscita::errori_compilazione;

// Every message names the tool, except the problem lines, which name a file.
constexpr const char* nome_comando = "decompila_scenario: ";

const char* const uso =
    "uso: decompila_scenario [--senza-linea] [--in USCITA] [--sovrascrivi] CARTELLA NOME TRENO\n"
    "     decompila_scenario --help\n";

const char* const aiuto =
    "decompila_scenario legge i file compilati dello scenario NOME per il treno\n"
    "TRENO nella CARTELLA (NOME_linea.dat, NOME_TRENO.sim, NOME_TRENO.dat) e ne\n"
    "ricava i due sorgenti\n"
    "NOME_linea.txt e NOME_TRENO-.txt, che compila_scenario ricompila negli\n"
    "stessi byte. Li scrive nella cartella USCITA, creata se non c'è (senza\n"
    "--in, nella CARTELLA).\n"
    "  --senza-linea  non legge NOME_linea.dat: il sorgente della linea non ha curve\n"
    "  --sovrascrivi  sostituisce i sorgenti che ci sono già\n"
    "\n"
    "Una parte che non torna (i sorgenti sono scritti lo stesso) dà l'esito 1,\n"
    "detta una riga per parte sull'errore standard; un sorgente che c'è già (senza\n"
    "--sovrascrivi) dà l'esito 4; se nella CARTELLA non c'è nessuno dei tre file\n"
    "compilati, l'esito è 5.\n";

struct opzioni {
  bool senza_linea = false;
  bool sovrascrivi = false;
  std::optional<std::string> uscita;
  std::vector<std::string> posizionali;
};

// Two files compared a piece at a time, without holding either whole.
std::vector<problema> confronta_file(const std::string& nome, const fs::path& atteso,
                                     const fs::path& ottenuto) {
  std::error_code ec;
  if (!fs::exists(ottenuto, ec))
    return {{nome, std::nullopt, "le sorgenti ricavate non lo ridanno"}};
  file_in_lettura a(atteso), b(ottenuto);
  // Pieces small enough to stay in the cache, in memory that is neither
  // cleared nor fresh for each file.
  constexpr size_t pezzo = 64 * 1024;
  const auto pa = std::make_unique_for_overwrite<char[]>(pezzo);
  const auto pb = std::make_unique_for_overwrite<char[]>(pezzo);
  for (uint64_t da = 0;; da += pezzo) {
    const size_t na = a.leggi_a(da, pa.get(), pezzo);
    const size_t nb = b.leggi_a(da, pb.get(), pezzo);
    if (na == 0 && nb == 0) return {};
    if (std::string_view(pa.get(), na) != std::string_view(pb.get(), nb)) {
      std::vector<problema> p =
          confronta_compilati(nome, std::string_view(pa.get(), na), std::string_view(pb.get(), nb));
      for (problema& x : p) {
        if (x.byte) *x.byte += da;
        if (na == nb) continue;
        x.testo = "ricompilando le sorgenti ricavate il file ha " + std::to_string(b.dimensione()) +
                  " byte invece di " + std::to_string(a.dimensione());
      }
      return p;
    }
  }
}

// The compiled files read back for their sources. A line file of the very
// size that the compiler gives the table's length is not walked beforehand,
// as esamina_scenario walks it: the curves are read from it metre by metre
// with the type of every value checked there, and the file compiled again is
// compared with it byte for byte, so a fault in it is said all the same. Any
// other line file is walked and its faults named first.
scenario_letto leggi_per_ricavare(contenuti c, const std::string& nome, const std::string& treno) {
  std::optional<byte_linea> linea = std::move(c.linea);
  c.linea.reset();
  scenario_letto s = leggi_scenario(c, nome, treno);
  const std::optional<int32_t> L = s.lunghezza();
  const bool come_compilato = linea && L && *L <= lunghezza_massima &&
                              piano_letto::senza_scarti(*L + coda_percorso) &&
                              linea->size() == byte_file_linea(*L);
  if (!come_compilato) {
    c.linea = std::move(linea);
    return leggi_scenario(c, nome, treno);
  }
  // Read without it, the line file was found missing.
  std::erase_if(s.problemi, [&s](const problema& p) { return p.file == s.file.linea; });
  s.linea_presente = true;
  s.byte_linea = linea->size();
  s.punti = piano_letto(*linea, *L + coda_percorso, {});
  return s;
}

}  // namespace

std::vector<problema> ricompila_e_confronta(const sorgenti_ricavate& sorgenti,
                                            const compilati& originali, const std::string& nome,
                                            const std::string& treno, bool con_linea,
                                            const fs::path& dove) {
  const file_scenario f = file_dello_scenario(nome, treno);
  // A folder of the run's own, which a later run removes if this one is
  // killed. The compilation locks the folder it works in, and this one's
  // mark is already a lock on it: it works in a folder inside.
  const cartella_privata privata(dove, programma_cartella::decompila_scenario);
  const fs::path verifica = privata.percorso() / "verifica";
  std::error_code ec;
  if (!fs::create_directory(verifica, ec))
    throw errore_file(verifica.string(),
                      motivo_errore(ec ? ec : std::make_error_code(std::errc::file_exists)));
  sostituisci_file(verifica / f.sorgente_linea, sorgenti.linea);
  sostituisci_file(verifica / f.sorgente_corsa, sorgenti.corsa);
  // Whatever the compiler finds, its files are compared byte for byte.
  compilatore c;
  c.nome_scenario = nome;
  c.numero_treno = treno;
  c.cartella = verifica;
  c.quando_sostituire = compilatore::sostituzione::sempre;
  std::ostringstream errori;
  const int stato = compila_e_riferisci(c, con_linea ? 1 : 0, errori);
  std::vector<problema> problemi;
  if (stato != stato_uscita::successo) {
    std::string messaggio = errori.str();
    if (const size_t a_capo = messaggio.find('\n'); a_capo != std::string::npos)
      messaggio.resize(a_capo);
    problemi.push_back({f.sorgente_corsa, std::nullopt,
                        "le sorgenti ricavate non si compilano senza errori (" + messaggio + ")"});
  }
  if (con_linea && originali.file_linea) {
    for (problema& p : confronta_file(f.linea, *originali.file_linea, verifica / f.linea))
      problemi.push_back(std::move(p));
  }
  const auto confronta = [&](const std::string& nome_file,
                             const std::optional<std::string>& atteso) {
    if (!atteso) return;
    const std::optional<std::string> ottenuto = leggi_se_leggibile(verifica / nome_file);
    if (!ottenuto) {
      problemi.push_back({nome_file, std::nullopt, "le sorgenti ricavate non lo ridanno"});
      return;
    }
    for (problema& p : confronta_compilati(nome_file, *atteso, *ottenuto))
      problemi.push_back(std::move(p));
  };
  if (con_linea) confronta(f.linea, originali.linea);
  confronta(f.tabella, originali.tabella);
  confronta(f.tracciato, originali.tracciato);
  return problemi;
}

int decompila_scenario(const std::vector<std::string>& argomenti, std::ostream& uscita,
                       std::ostream& errori) {
  if (chiede_aiuto(argomenti)) {
    uscita << uso << '\n' << aiuto << '\n' << esito_programmi;
    return stato_uscita::successo;
  }
  opzioni o;
  if (!leggi_argomenti(argomenti,
                       {{"--senza-linea", &o.senza_linea},
                        {"--sovrascrivi", &o.sovrascrivi},
                        {"--in", nullptr, &o.uscita, "la cartella"}},
                       o.posizionali, nome_comando, errori))
    return argomenti_sbagliati(uso, nome_comando, errori);
  const fs::path cartella = o.posizionali[0];
  const std::string& nome = o.posizionali[1];
  const std::string& treno = o.posizionali[2];
  const fs::path destinazione = o.uscita ? fs::path(*o.uscita) : cartella;
  std::error_code ec;
  // The folder of the sources to write is made where it is missing.
  if (o.uscita && !cartella_di_uscita(destinazione, nome_comando, errori))
    return stato_uscita::errore_file;
  for (const fs::path& c : {cartella, destinazione}) {
    if (!fs::is_directory(c, ec)) {
      errori << nome_comando << c.string() << " non è una cartella\n";
      return stato_uscita::uso;
    }
  }
  const file_scenario f = file_dello_scenario(nome, treno);
  // Nothing an author wrote is replaced unasked.
  if (!o.sovrascrivi) {
    for (const std::string& s : {f.sorgente_linea, f.sorgente_corsa}) {
      if (fs::exists(fs::symlink_status(destinazione / s, ec))) {
        errori << nome_comando << (destinazione / s).string()
               << " esiste già: per sostituirlo si usa --sovrascrivi\n";
        return stato_uscita::errore_file;
      }
    }
  }

  if (!insieme_completato(cartella, nome_comando, errori)) return stato_uscita::errore_file;
  if (nessun_file_da_leggere(cartella, nome, treno, false)) {
    errori << nome_comando << "in " << cartella.string() << " non c'è nessuno dei file compilati "
           << f.linea << ", " << f.tabella << ", " << f.tracciato
           << ": controllare la CARTELLA, il NOME e il TRENO\n";
    return stato_uscita::niente_da_leggere;
  }
  const bool con_linea = !o.senza_linea;
  // The line file is walked where it lies, a piece at a time.
  file_letti aperti = leggi_file_scenario(cartella, nome, treno, con_linea);
  compilati originali;
  originali.tabella = std::move(aperti.tabella);
  originali.tracciato = std::move(aperti.tracciato);
  contenuti c{std::nullopt, vista(originali.tabella), vista(originali.tracciato),
              std::move(aperti.rifiuti)};
  if (aperti.linea) {
    c.linea.emplace(aperti.linea);
    originali.file_linea = cartella / f.linea;
  }

  try {
    const scenario_letto s = leggi_per_ricavare(std::move(c), nome, treno);
    sorgenti_ricavate sorgenti = ricava_sorgenti(s, con_linea);
    std::vector<problema> problemi = std::move(sorgenti.problemi);
    if (!sorgenti.corsa.empty()) {
      // Only what the compiler gives back counts: every part that does not
      // come back is said, whatever the decoding thought of it.
      const bool letti =
          originali.tabella && originali.tracciato && (originali.file_linea || !con_linea);
      if (letti) {
        for (problema& p :
             ricompila_e_confronta(sorgenti, originali, nome, treno, con_linea, destinazione))
          problemi.push_back(std::move(p));
      }
      sostituisci_file(destinazione / f.sorgente_linea, sorgenti.linea);
      sostituisci_file(destinazione / f.sorgente_corsa, sorgenti.corsa);
      uscita << nome_comando << "scritti " << (destinazione / f.sorgente_linea).string() << " e "
             << (destinazione / f.sorgente_corsa).string() << "\n";
    }
    for (const problema& p : problemi) errori << riga_problema(p) << "\n";
    return problemi.empty() ? stato_uscita::successo : problemi_trovati;
  } catch (const errore_file& e) {
    errori << nome_comando << "impossibile scrivere o leggere " << e.file() << ": " << e.motivo()
           << "\n";
    return stato_uscita::errore_file;
  }
}
