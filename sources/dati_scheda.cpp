// The train sheet of the carried run (train 5817), line by line as it is written:
// the header boxes, then the timetable as a ruled table, one row per place.
//
// The rows follow the run source: its 16 stations with their times and kinds
// (a stop shows arrival and departure, a station passed without stopping its
// passing time), and its speed limits. The sheet has more rows than stations
// (junctions and block posts, kilometre posts, points, the protection signal),
// but not one per limit change: a cut always stands on a row at its own point,
// while a rise that falls between two places is shown at the next row, so the
// driver is never told of a higher limit too early.
//
// The progressive column reads each place on the line it stands on. At
// Lucignasco-Valdorsa the mountain line ends at km 0.000 and the valley line
// passes at km 96.100, so the column jumps between two rows at the same point.
// sources/dati_scheda_test.cpp reads the rows back against the run source.
#include <array>

#include "app/form1.h"
#include "sources/scenario_portato.h"

namespace {

// clang-format off
constexpr std::array<std::string_view, 54> righe = {
    "",
    "                                          SCHEDA TRENO",
    "  ___________________ ________________                        ______________________",
    " |  Fascicolo Linee  |     Treno      |    scheda n\xB0 1/1     | Sigla di composizione|",
    " |     118 - 124     |      5817      |                      |         V160 B       |",
    " |___________________|________________|    da: Ombrasca      |          120%        |",
    "                     | Termine scheda |    a:  Marzolena C.le|______________________|",
    "  ___________________|_Marzolena C.le_|                       ______________________",
    " |  CLASSIFICAZIONE  | Massa Bloccata |                      |             |        |",
    " |       Dir         |      300T      |                      |    E484     |  RS9C  |",
    " |___________________|________________|                      |_____________|________|        ",
    "",
    "  _______________________________________________________________________________________",
    " |_Binari DX_| Progr Km    Localit\xE0              |     Orario     | Bin. DX | SRS   SRS |",
    " | Vel.| Vel.|                                   |                | V. Max. | SX     DX |",
    " |_lim.|_Mar.|___________________________________|________________|_________|___________|",
    " |  65 |     |   39.050 |Ombrasca                |           6.12 |         |           |",
    " |  95 |     |   37.000 |cippo Km 37+000         |       -        |         |           |",
    " |  70 |     |   32.300 |P.M. Roccavarzi         |       -        |         |           |",
    " |     |     |   26.650 |Coldimora               | 6.22+     6.23 |         |           |",
    " |  80 |     |   26.000 |cippo Km 26+000         |       -        |         |           |",
    " |  85 |     |   22.000 |cippo Km 22+000         |       -        |         |           |",
    " |     |     |   20.750 |Valico Brunaldo         |      6.28      |         |           |",
    " |  70 |     |   17.550 |P.M. Montesorbo         |       -        |         |           |",
    " |     |     |   14.350 |Sassolmo                |      6.33+     |         |           |",
    " |  65 |     |   12.050 |P.B. Ripalunga          |       -        |         |           |",
    " |     |     |    7.250 |Campelice               |      6.40      |         |           |",
    " |     |     |    5.450 |Fontebrina              | 6.42      6.42+|         |           |",
    " |  90 |     |    5.200 |Dev. U.                 |       -        |         |           |",
    " |     |     |    0.000 |cippo Km 0+000          |       -        |         |           |",
    " |     |     |   96.100 |Lucignasco-Valdorsa     | 6.47+     6.48 |         |           |",
    " | 100 |     |   94.000 |cippo Km 94+000         |       -        |         |           |",
    " |     |     |   92.150 |Ortessa                 |      6.51+(XXX)|         |           |",
    " | 105 |     |   88.000 |cippo Km 88+000         |       -        |   105   | COD   COD |",
    " |     |     |   83.150 |Castelmerlo             | 6.59+     7.00 |    /    |  :     :  |",
    " |  95 |     |   82.200 |Dev. I.                 |       -        |   95    |  :     :  |",
    " | 160 |     |   64.100 |BIVIO CORVELLA          |       -        |   160   |NOCOD NOCOD|",
    " |     |     |   56.250 |Albarena                | 7.07      7.07+|    /    | COD   COD |",
    " |     |     |   47.250 |Selvanera               |      7.12+     |    /    |  :     :  |",
    " |     |     |   38.250 |Lagostretto             | 7.16+     7.17 |    /    |  :     :  |",
    " |     |     |   26.750 |P.C. Miraselva 2\xB0       |       -        |    /    |  :     :  |",
    " | 105 |     |   21.250 |Bivio Vallenzia         |       -        |   105   |  :     :  |",
    " |     |     |   15.250 |Terranesca San Fioravo  | 7.29+     7.30+|    /    |  :     :  |",
    " | 100 |     |   12.250 |P.C. Ferraglia          |       -        |   100   |  :     :  |",
    " |  80 |     |    3.250 |Dev. U.                 |       -        |         |NOCOD NOCOD|",
    " |  30 |     |    1.700 |Dev. U.                 |       -        |         |           |",
    " |     |     |    1.700 |segn. prot. INTERNO     |                |         |           |",
    " |_____|_____|____0.100_|Marzolena_C.le__________|___________7.46_|_________|___________|  ",
    "  NOTE:",
    "  (XXX) Fermata a richiesta (perditempo non compreso in orario 1.5 min.)",
    "  il + nella casella orario indica 1/2 minuto",
    "  Da Ombrasca ad Coldimora rispettare il rango A.",
    "",
    "",
};
// clang-format on

}  // namespace

std::span<const std::string_view> righe_scheda() { return righe; }

void Form1::dati_scheda() {
  scrivi_righe(nome_scenario + "_" + numero_treno + "_" + "scheda_treno.txt", righe_scheda());
}
