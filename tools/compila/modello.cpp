#include "tools/compila/modello.h"

#include <span>
#include <string_view>
#include <system_error>

#include "compiler/nomi_scenario.h"
#include "sistema/file_disco.h"
#include "sistema/fine_programma.h"

namespace fs = std::filesystem;

namespace {

// A few kilometres with one of each thing an author needs. The comments
// keep to the grammar of comments: a dash first, no comma (a comma would
// start a row), and in the rows' part at most two comment lines in a row.
// Every cell holds one object: moving a row may make two meet, and the
// model's test compiles it with --rigoroso.
constexpr std::string_view righe_linea[] = {
    "- Modello di scenario: il sorgente della linea.",
    "- Le righe che cominciano con un trattino sono commenti e il compilatore le salta.",
    "- Ogni riga comincia con la sua parola chiave; seguono i valori separati da virgole.",
    "- Le posizioni sono in metri dall'inizio della corsa.",
    "- Righe e valori sono spiegati uno per uno in docs/sorgenti.md.",
    "- Per compilare: compila_scenario CARTELLA NOME TRENO",
    "[generale]",
    "- La lunghezza della linea in metri: il tracciato prosegue per altri 7000 m.",
    "lunghezza percorso,    6000",
    "- La progressiva chilometrica: a 0 m la linea \xE8 al km 10.000 e i chilometri calano.",
    "progressiva chilometrica uno,    0,    10000,    1",
    "- Gli sfondi del paesaggio.",
    "sfondo uno,    1",
    "sfondo due,    0",
    "sfondo tre,    0",
    "- La ripetizione dei segnali in cabina: 9 codici da 1000 m a 6000 m.",
    "ripetizione segnali 9 codici,    1000,    6000",
    "[curve]",
    "- Curva: s a sinistra o d a destra e la classe da 1 (larga) a 6 (stretta).",
    "- Poi l'inizio e la lunghezza in metri.",
    "curvad4,  1000,  300",
    "curvas3,  3800,  500",
    "[pendenze]",
    "- Pendenza in per mille da una posizione in poi: in salita positiva e in discesa "
    "negativa.",
    "pendenza,     0,    0",
    "pendenza,  1500,    6",
    "pendenza,  3000,    0",
    "pendenza,  3600,   -5",
    "pendenza,  5000,    0",
    "[montagne]",
    "- Montagna da 2000 m a 3000 m: tipo 2 e con 12 in luogo di 2 anche un segno ogni 200 m.",
    "montagna,  2000,  3000,  12",
    "[cartelli]",
    "- Cartello dei limiti: posizione e per il binario di sinistra le velocit\xE0 dei ranghi "
    "A B C",
    "- e le strisce; poi lo stesso per il binario di destra (qui vuoto).",
    "indicatori_vmax,   350,  80,  90,  100,  0,  ,  ,  ,  0",
    "indicatori_vmax,  3950,  60,  70,   80,  0,  ,  ,  ,  0",
    "[indicazioni]",
    "- Cartello con un testo: un gruppo fra parentesi per ogni riga del cartello.",
    "cartello_indicatore,  2500,   (GALLERIA)(DEL MODELLO)",
    "[fine]",
};

constexpr std::string_view righe_corsa[] = {
    "- Modello di scenario: il sorgente della corsa del treno.",
    "- Righe e valori sono spiegati uno per uno in docs/sorgenti.md.",
    "[generale]",
    "- Il treno: numero delle vetture e massa frenata in percento.",
    "numero vetture,    4",
    "percentuale massa frenata,    110",
    "- La sabbia a bordo e l'orologio alla partenza: ore minuti secondi.",
    "sabbia,    100",
    "orologio,    8    0    0",
    "[aderenze]",
    "- L'aderenza da una posizione in poi.",
    "aderenza,     0,    100",
    "[vel_limite]",
    "- La velocit\xE0 massima in km/h da una posizione in poi.",
    "velocita,     0,    80",
    "velocita,  4000,    60",
    "[stazioni]",
    "- Stazione: posizione e tipo e lunghezza; dieci valori per il simulatore; l'orario",
    "- (ore minuti secondi) e il nome. Tipo 12 partenza; 24 fermata; 6 arrivo di testa.",
    "stazione,      0, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,    1,   8, 0, 0, Partenza",
    "stazione,   3000, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   30,   8, 4, 0, Fermata di mezzo",
    "stazione,   5500,  6,  400,  1, 0, 0,  1,1,0,  2,1,1,    1,   8, 8, 0, Arrivo",
    "[rallentamenti]",
    "- Rallentamento: inizio e velocit\xE0 e lunghezza e tre valori per il simulatore.",
    "- Il cartello di avviso 1200 m prima e i punti di codice li aggiunge il compilatore.",
    "rallentamento,  4500,  30,  300,  0,  1,  0",
    "[segnali]",
    "- Segnale: posizione e i valori dei due lati; qui un segnale di partenza e uno di "
    "blocco;",
    "- poi un avviso e la protezione della fermata; la partenza; la protezione dell'arrivo.",
    "segnale,    600,   2, 3, 2,  0, 1,    0,  0,0,0, 0",
    "segnale,   1500,   2, 4, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   2000,   1, 5, 7,  0, 0,    0,  0,0,0, 0",
    "segnale,   2700,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
    "segnale,   3500,   2, 3, 2,  0, 1,    0,  0,0,0, 0",
    "segnale,   5000,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
    "[codici]",
    "- Punti di codice: 270 il codice di linea; AC dove il codice cessa.",
    "abbattimento,   1450,   270",
    "abbattimento,   5300,   AC",
    "[fine]",
};

std::string testo_crlf(std::span<const std::string_view> righe) {
  std::string t;
  for (std::string_view r : righe) {
    t += r;
    t += "\r\n";
  }
  return t;
}

}  // namespace

std::string sorgente_linea_modello() { return testo_crlf(righe_linea); }
std::string sorgente_corsa_modello() { return testo_crlf(righe_corsa); }

int scrivi_modello(const fs::path& cartella, const std::string& nome, const std::string& treno,
                   std::ostream& uscita, std::ostream& errori) {
  const file_scenario f = file_dello_scenario(nome, treno);
  const fs::path linea = cartella / f.sorgente_linea;
  const fs::path corsa = cartella / f.sorgente_corsa;
  // Nothing an author wrote is replaced.
  std::error_code ec;
  for (const fs::path& s : {linea, corsa}) {
    if (fs::exists(fs::symlink_status(s, ec))) {
      errori << "compila_scenario: " << s.string()
             << " esiste già: per il modello si sceglie un altro NOME o un'altra CARTELLA\n";
      return stato_uscita::errore_file;
    }
  }
  try {
    sostituisci_file(linea, sorgente_linea_modello());
    sostituisci_file(corsa, sorgente_corsa_modello());
  } catch (const errore_file& e) {
    errori << "compila_scenario: impossibile scrivere " << e.file() << ": " << e.motivo() << '\n';
    return stato_uscita::errore_file;
  }
  uscita << "compila_scenario: scritti " << linea.string() << " e " << corsa.string() << "\n";
  return stato_uscita::successo;
}
