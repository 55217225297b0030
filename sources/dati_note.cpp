// The author's notes on the carried scenario, line by line as they are written:
// the banner, the lines the run crosses, the run told for the driver, the
// signature. Prose is wrapped by hand at 100 characters; a word split over two
// lines ends the first with "-" and starts the second with "-".
#include <array>

#include "app/form1.h"
#include "sources/scenario_portato.h"

namespace {

// clang-format off
constexpr std::array<std::string_view, 78> righe = {
    "************************************************************************************************",
    "                              |  LINEA OMBRASCA - ORSA - LENA|",
    "                              |         DIRETTO 5817         |",
    "************************************************************************************************",
    "",
    "LINEA :",
    "",
    "Lo scenario riunisce tre linee: la linea di montagna del Brunaldo, da Ombrasca a",
    "Lucignasco-Valdorsa, a binario unico e con il valico a met\xE0 strada; la linea della Valdorsa, che da",
    "Lucignasco scende lungo il fiume Orsa fino al Bivio Corvella; la linea della Lena, dal bivio a",
    "Marzolena Centrale. Continua il mio scenario precedente, che si fermava a Lucignasco: quel tratto \xE8",
    "stato ripreso e corretto nelle pendenze, il resto \xE8 nuovo. La geometria segue quella vera con",
    "qualche libert\xE0: le curve del valico sono raggruppate, la galleria di Montesorbo \xE8 pi\xF9 corta del",
    "vero, la piana tra Selvanera e Lagostretto \xE8 accorciata di circa due chilometri e il Bivio Corvella",
    "\xE8 ridotto a una curva a S; le progressive sono invece quelle della linea. Chi conosce questi binari",
    "e ha fotografie dei segnali o notizie sulle velocit\xE0 mi scriva agli indirizzi in fondo.",
    "",
    "TRATTO OMBRASCA-BRUNALDO-LUCIGNASCO",
    "Binario unico, esercizio con dirigente centrale a Ombrasca, stazioni intermedie impresenziate e",
    "blocco conta-assi tra un posto e l'altro. Non c'\xE8 ripetizione dei segnali in macchina: i segnali si",
    "osservano a vista e i cartelli dei limiti di velocit\xE0 sono l'unico aiuto. Da Ombrasca al Valico",
    "Brunaldo la salita arriva al 29 per mille prima di Coldimora; dal valico a Lucignasco-Valdorsa la",
    "linea scende senza respiro, con tratti al 35 per mille. In discesa il macchinista segue le velocit\xE0",
    "della scheda treno e non quelle pi\xF9 alte dei cartelli a tre valori, che valgono per i mezzi leggeri:",
    "sulla scheda, da Ombrasca a Coldimora, vale il rango A, poi il rango B.",
    "",
    "TRATTO LUCIGNASCO-MARZOLENA VIA VALDORSA",
    "Da Lucignasco-Valdorsa la Valdorsa \xE8 a binario unico fino al km 88.750, poi a doppio binario fino al",
    "bivio; la linea della Lena \xE8 a doppio binario banalizzato. Dirigenza centrale e blocco automatico",
    "con ripetizione segnali a 9 codici dal km 88.750 della Valdorsa al km 6.250 della Lena: in linea si",
    "riceve il codice 270, il 180 avvisa di un segnale a via impedita, e sugli scambi del bivio il codice",
    "cade per qualche centinaio di metri. La curva a S del Bivio Corvella sta al posto delle",
    "comunicazioni del bivio, che nella realt\xE0 si percorrono a 100 km/h.",
    "",
    "TRENO SIMULATO: DIRETTO 5817 OMBRASCA-MARZOLENA",
    "",
    "Il treno \xE8 un diretto di cinque carrozze trainato da una locomotiva E484, con sigla di composizione",
    "V160 B e massa frenata al 120 per cento. Con una frenatura normale da 95 km/h in piano si ferma in",
    "circa 600 metri; sul 35 per mille in discesa lo spazio quasi raddoppia, e i limiti bassi della sche-",
    "-da tengono conto di questo. La sabbiera \xE8 carica. L'orologio parte alle 6.11.30 e la partenza da",
    "Ombrasca \xE8 alle 6.12: il mezzo minuto serve a sbloccare i freni e a dare un'occhiata alla scheda.",
    "Subito fuori stazione il limite sale da 65 a 95 al km 37, ma al km 32.300 (P.M. Roccavarzi) torna a",
    "70: le curve sono strette e la salita cresce. A Coldimora fermata di mezzo minuto; all'uscita il",
    "cartello DEV. U. annuncia lo scambio d'uscita e da quel punto vale 80. Dopo Coldimora la salita",
    "riprende al 25 per mille. Il Valico Brunaldo si attraversa senza fermata alle 6.28 e subito dopo",
    "comincia la discesa; fino a Sassolmo l'aderenza \xE8 scarsa: meglio usare la sabbia prima che le ruote",
    "slittino, non dopo. Dopo la galleria di Montesorbo si passa dal P.M. Montesorbo a 70 e dal P.B.",
    "Ripalunga a 65; il freno va usato con anticipo, dato che sul 35 per mille il treno prende velocit\xE0",
    "in fretta e una frenatura tardiva porta oltre il limite prima che le ceppaie facciano presa.",
    "Sassolmo e Campelice sono in transito; a Fontebrina si ferma mezzo minuto, poi lo scambio al km",
    "5.200 si prende a 90. A Lucignasco-Valdorsa, dopo mezzo minuto di fermata, il treno lascia la linea",
    "di montagna e prosegue sulla Valdorsa: la progressiva salta dal km 0 al km 96.100 e da qui i cippi",
    "contano all'indietro da 96. Ortessa \xE8 fermata a richiesta: nel simulatore il treno non vi ferma e",
    "l'orario non comprende il perditempo. Dal km 88.750 arrivano i codici in cabina: il primo \xE8 un 180,",
    "poi per lo pi\xF9 si riceve il 270. A Castelmerlo fermata di mezzo minuto, poi lo scambio del Dev. I.",
    "al km 82.200 si prende a 95. Poco prima del Bivio Corvella il limite sale a 160 e si entra sulla",
    "linea della Lena; nella realt\xE0 le comunicazioni del bivio si fanno a 100 km/h, e chi vuole guidare",
    "come sul treno vero rallenti anche qui. Sulla Lena il tracciato \xE8 veloce e le curve sono larghe: a",
    "160 il treno arriva in fretta, e i segnali vanno letti con la stessa fretta. Albarena e Lagostretto",
    "sono fermate di mezzo minuto, Selvanera si passa alle 7.12 e mezza. Il P.C. Miraselva 2\xB0 non ha",
    "orario. Dal Bivio Vallenzia si scende a 105, poi a Terranesca San Fioravo la fermata dura un minuto",
    "intero; al P.C. Ferraglia il limite passa a 100. Al km 6.250 finiscono i codici, al km 3.250 lo",
    "scambio porta il limite a 80 e al km 1.700, al segnale di protezione, a 30: si entra in Marzolena",
    "C.le sul binario deviato e ci si ferma in fondo al marciapiede. L'arrivo \xE8 previsto alle 7.46.",
    "Rispetto al servizio vero, nel simulatore mancano gli incroci con altri treni, i segnali di partenza",
    "delle stazioni impresenziate sono sempre a via libera e i cambi di aderenza sono approssimati:",
    "servono a ricordare i tratti dove d'inverno la rotaia \xE8 umida, non a riprodurli metro per metro. Le",
    "velocit\xE0 segnate sulla scheda valgono dal punto indicato; dove un limite aumenta tra due righe, la",
    "scheda lo riporta alla riga successiva, a favore della sicurezza, mentre ogni riduzione sta alla",
    "riga del suo punto esatto. Buon viaggio.",
    "",
    "ERMANNO VALDISERRA",
    "ermanno.valdiserra@example.org",
    "e.valdiserra.treni@example.net",
    "",
    "Le modifiche successive dello scenario, con l'elenco delle correzioni, stanno nella stessa pagina da",
    "cui lo avete scaricato. In questa versione ho aggiunto i cartelli dei passaggi a livello (P.L.A.)",
    "con la loro progressiva, quasi tutti preceduti di 50 metri dal cartello di avviso.",
};
// clang-format on

}  // namespace

std::span<const std::string_view> righe_note() { return righe; }

void Form1::dati_note() {
  scrivi_righe(nome_scenario + "_" + numero_treno + "_" + "note.txt", righe_note());
}
