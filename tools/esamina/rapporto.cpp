#include "tools/esamina/rapporto.h"

#include <algorithm>
#include <map>
#include <sstream>

#include "tools/esamina/testo.h"

namespace {

int64_t valore(const oggetto& o, std::string_view nome) {
  for (const campo& c : o.valori)
    if (c.nome == nome) return c.valore;
  return 0;
}

std::string n(int64_t v) { return std::to_string(v); }

std::string lato_indicatore(const oggetto& o, const char* lato) {
  const std::string l(lato);
  const int64_t a = valore(o, "va" + l), b = valore(o, "vb" + l), c = valore(o, "vc" + l);
  const int64_t strisce = valore(o, "strisce" + l);
  std::string r = "lato " + l + " ";
  if (a == 0 && b == 0 && c == 0) return r + "vuoto, strisce " + n(strisce);
  return r + n(a) + "/" + n(b) + "/" + n(c) + " km/h, strisce " + n(strisce);
}

std::string metri(int64_t m) { return n(m) + " m"; }

void scrivi_tratti(std::ostream& out, const char* titolo, const std::vector<tratto>& tratti,
                   const std::string& unita) {
  out << "  " << titolo << "\n";
  if (tratti.empty()) out << "    nessuno\n";
  for (const tratto& t : tratti) out << "    " << riga_tratto(t, unita) << "\n";
}

}  // namespace

// Built piece by piece: a chain of + starting from a number's text makes
// GCC 12 warn of an overlap that cannot happen.
std::string frase_stazione(const stazione& st) {
  const voce_corsa& v = st.dati;
  std::string r = n(st.voce);
  r += ". ";
  r += st.nome;
  r += ": tipo " + n(v.tipo);
  r += ", a " + metri(v.progressiva);
  if (st.km) r += " (km " + chilometri(*st.km) + ")";
  r += ", area da " + metri(v.inizio);
  r += " a " + metri(v.fine);
  r += ", fermata ";
  if (st.celle_fermata.empty()) {
    r += "nessuna";
  } else {
    r += "cella";
    for (size_t c : st.celle_fermata) {
      r += ' ';
      r += n(static_cast<int64_t>(c));
    }
  }
  r += ", orario ";
  r += ora(v.orario);
  return r;
}

std::string posto_oggetto(const oggetto& o) {
  std::string r = "cella " + n(static_cast<int64_t>(o.indice));
  r += " (" + metri(o.posizione);
  if (o.km) r += ", km " + chilometri(*o.km);
  return r + ")";
}

std::string frase_segmento(const chilometri_linea& k, const segmento_chilometrico& s) {
  std::string r = "voce " + n(s.voce);
  if (s.vuoto() && !s.in_uso) return r + ": vuota, non usata";
  r += ": da " + metri(s.inizio);
  r += ", progressiva km " + chilometri(s.valore);
  r += ", codice " + n(s.codice);
  r += s.verso() < 0 ? " (km decrescenti)" : " (km crescenti)";
  if (s.memorizzato != s.valore)
    r += "; memorizzata " + n(s.memorizzato) + ", " + metri(s.memorizzato - s.valore) +
         " in più per il codice " + n(s.codice);
  if (!s.in_uso) return r + "; non usata: un'altra voce ha lo stesso inizio";
  const auto& tratti = k.tratti();
  const auto t = std::find_if(tratti.begin(), tratti.end(),
                              [&](const tratto_chilometrico& t) { return t.voce == s.voce; });
  if (t == tratti.begin())
    r += "; all'inizio della corsa km " + chilometri(k.chilometro(0));
  else
    r += "; in vigore da " + metri(t->da_m) + ", km " + chilometri(t->km_m);
  return r;
}

std::string riga_tratto(const tratto& t, const std::string& unita) {
  std::string r = "celle da " + n(static_cast<int64_t>(t.prima));
  r += " a " + n(static_cast<int64_t>(t.ultima));
  r += " (da " + metri(t.da_m());
  r += " a " + metri(t.a_m());
  r += "): " + n(t.valore);
  r += unita;
  return r;
}

std::string frase_ripetizione(const valori_generali& g) {
  if (g.ripetizione_fine == 0 && g.ripetizione_codici == 0) return "nessuna";
  std::string r = "da " + metri(g.ripetizione_inizio);
  r += " a " + metri(g.ripetizione_fine);
  r += ", " + n(g.ripetizione_codici);
  r += " codici";
  return r;
}

std::string frase_oggetto(const oggetto& o, const std::string& stazione_nome) {
  const cella& c = o.dati;
  std::string r;
  switch (c.tipo) {
    case tipo_cella::libera:
      r = "libera";
      break;
    case tipo_cella::segnale:
      r = "segnale: sx " + n(valore(o, "sx")) + ", aspetti " + n(valore(o, "s1")) + " " +
          n(valore(o, "s2")) + " " + n(valore(o, "s3")) + "; dx " + n(valore(o, "dx")) +
          ", aspetti " + n(valore(o, "d1")) + " " + n(valore(o, "d2")) + " " + n(valore(o, "d3")) +
          "; rapp " + n(valore(o, "rapp")) + "; tempo " + n(valore(o, "tempo"));
      break;
    case tipo_cella::inizio_rallentamento:
    case tipo_cella::fine_rallentamento:
      r = std::string(c.tipo == tipo_cella::inizio_rallentamento ? "inizio" : "fine") +
          " rallentamento: " + n(valore(o, "v")) + " km/h, d_v " + n(valore(o, "d_v")) + ", f_tt " +
          n(valore(o, "f_tt"));
      break;
    case tipo_cella::avviso_rallentamento:
      r = "avviso di rallentamento: " + n(valore(o, "v")) + " km/h, d_v " + n(valore(o, "d_v"));
      break;
    case tipo_cella::segno_avviso:
      r = "segno prima dell'avviso n. " + n(valore(o, "numero"));
      break;
    case tipo_cella::indicatore_v_max:
      r = "indicatore di velocità massima: " + lato_indicatore(o, "s") + "; " +
          lato_indicatore(o, "d");
      break;
    case tipo_cella::fermata:
      r = "fermata della stazione " + n(valore(o, "stazione"));
      if (!stazione_nome.empty()) r += " (" + stazione_nome + ")";
      break;
    case tipo_cella::marca_montagna:
      r = "marca di montagna";
      break;
    case tipo_cella::punto_codice:
      r = "punto codice " + n(valore(o, "codice"));
      break;
    case tipo_cella::punto_senza_codice:
      r = "punto senza codice";
      break;
    case tipo_cella::cartello:
      r = "cartello (voce " + n(valore(o, "voce")) + "): " + o.testo;
      break;
    default:
      r = "tipo " + n(c.tipo) + " sconosciuto:";
      for (const campo& v : o.valori) r += " " + v.nome + " " + n(v.valore);
  }
  if (c.dato6 != 0) r += "; marca di avvicinamento " + n(c.dato6);
  return r;
}

std::string rapporto(const scenario_letto& s, const descrizione& d) {
  std::ostringstream out;
  out << "Scenario " << da_1252(s.nome_scenario) << ", treno " << da_1252(s.numero_treno) << "\n";
  out << "File: " << s.file.linea << " (" << s.byte_linea << " byte), " << s.file.tabella << " ("
      << s.byte_tabella << " byte), " << s.file.tracciato << " (" << s.byte_tracciato
      << " byte)\n\n";

  out << "Valori generali\n";
  if (!d.generale) {
    out << "  non disponibili: la tabella non arriva alla voce " << voce_tabella::treno << "\n";
  } else {
    const valori_generali& g = *d.generale;
    out << "  lunghezza della linea: " << metri(g.lunghezza) << " (" << g.celle << " celle)\n";
    out << "  progressive chilometriche, come scritte nel sorgente della linea:\n";
    for (const segmento_chilometrico& p : d.chilometri->segmenti())
      out << "    " << frase_segmento(*d.chilometri, p) << "\n";
    out << "  sfondi: uno " << g.sfondi[0] << ", due " << g.sfondi[1] << ", tre " << g.sfondi[2]
        << "\n";
    out << "  ripetizione segnali: " << frase_ripetizione(g) << "\n";
    out << "  vetture: " << g.vetture << "\n";
    out << "  massa frenata: " << g.massa_frenata << " %\n";
    out << "  sabbia: " << g.sabbia << "\n";
    out << "  orologio di partenza: "
        << ora(int64_t{g.orologio[0]} * 3600 + g.orologio[1] * 60 + g.orologio[2]) << "\n";
    out << "  nome dello scenario: " << g.nome_scenario << "; numero del treno: " << g.numero_treno
        << "\n";
  }

  out << "\nIntestazione\n";
  const auto opz = [](const auto& v) { return v ? std::to_string(*v) : std::string("assente"); };
  out << "  cella 1: codice di formato " << opz(d.testata.formato_tracciato)
      << ", codice dello scenario " << opz(d.testata.codice_tracciato) << "\n";
  out << "  voce " << voce_tabella::scenario << ": codice di formato "
      << opz(d.testata.formato_tabella) << ", codice dello scenario "
      << opz(d.testata.codice_tabella) << "\n";

  std::map<int64_t, std::string> nomi_stazioni;
  out << "\nStazioni (" << d.stazioni.size() << ")\n";
  for (const stazione& st : d.stazioni) {
    nomi_stazioni[st.voce] = st.nome;
    out << "  " << frase_stazione(st) << "\n";
  }

  out << "\nTesti dei cartelli (" << d.cartelli.size() << ")\n";
  for (const testo_cartello& t : d.cartelli) {
    out << "  voce " << t.voce << ", cella";
    for (size_t c : t.celle) out << " " << c;
    out << ": " << t.testo << "\n";
  }

  out << "\nCelle occupate (" << d.oggetti.size() << ")\n";
  for (const oggetto& o : d.oggetti) {
    std::string nome;
    if (o.dati.tipo == tipo_cella::fermata)
      if (auto i = nomi_stazioni.find(o.dati.dato1); i != nomi_stazioni.end()) nome = i->second;
    out << "  " << posto_oggetto(o) << ": " << frase_oggetto(o, nome) << "\n";
  }

  out << "\nProfili\n";
  scrivi_tratti(out, "Velocità massima", d.profilo.velocita, " km/h");
  scrivi_tratti(out, "Pendenza", d.profilo.pendenza, " per mille");
  scrivi_tratti(out, "Aderenza", d.profilo.aderenza, "");
  scrivi_tratti(out, "Montagne", d.profilo.montagna, "");

  out << "\nPiano della linea: ";
  if (d.piano.punti == 0) {
    out << "non disponibile\n";
  } else {
    out << d.piano.punti << " punti";
    if (d.piano.x_min)
      out << ", x da " << *d.piano.x_min << " a " << *d.piano.x_max << " m, y da " << *d.piano.y_min
          << " a " << *d.piano.y_max << " m";
    out << "\n";
  }

  out << "\nVerifica: ";
  if (s.problemi.empty())
    out << "nessun problema\n";
  else
    out << s.problemi.size() << (s.problemi.size() == 1 ? " problema" : " problemi")
        << " (elencati sull'errore standard)\n";
  return out.str();
}
