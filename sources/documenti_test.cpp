// The three driver documents as files: each writer writes its own file in the
// program's folder, every line closed by CR LF, single-byte text; and a whole
// run leaves them beside the compiled files.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "sources/scenario_portato.h"
#include "testing/prova_piattaforma.h"

namespace {

TEST(DocumentiGuida, OgniScrittoreScriveIlSuoFileRigaPerRiga) {
  const struct {
    std::function<void(Form1&)> scrivi;
    std::string nome;
    std::span<const std::string_view> righe;
    size_t numero_righe;
  } documenti[] = {
      {[](Form1& f) { f.dati_note(); }, "Ombrasca1_5817_note.txt", righe_note(), 78},
      {[](Form1& f) { f.dati_rallentamenti(); }, "Ombrasca1_5817_rallentamenti.txt",
       righe_rallentamenti(), 46},
      {[](Form1& f) { f.dati_scheda(); }, "Ombrasca1_5817_scheda_treno.txt", righe_scheda(), 54},
  };
  const std::string fuori_ascii_ammessi = "\xB0\xE0\xE8\xF2\xF9";
  for (const auto& d : documenti) {
    ASSERT_EQ(d.righe.size(), d.numero_righe) << d.nome;
    form_in_prova p;
    d.scrivi(p.form);
    EXPECT_EQ(p.cartella.elenco(), std::vector<std::string>{d.nome});
    const std::string testo = leggi_testo(p.cartella / d.nome);

    // Line by line, each closed by CR LF, empty lines kept, no end marker.
    std::string atteso;
    for (std::string_view r : d.righe) atteso.append(r).append("\r\n");
    EXPECT_EQ(testo, atteso) << d.nome;
    EXPECT_EQ(testo.find("riferimento fine del file"), std::string::npos) << d.nome;

    for (std::string_view r : d.righe) {
      for (char c : r) {
        unsigned char b = static_cast<unsigned char>(c);
        bool ammesso = (b >= 0x20 && b < 0x7F) || fuori_ascii_ammessi.find(c) != std::string::npos;
        EXPECT_TRUE(ammesso) << d.nome << ": " << r;
      }
    }
  }
}

TEST(DocumentiGuida, LaCorsaInteraLasciaIDocumentiAccantoAiCompilati) {
  form_in_prova p;
  EXPECT_EQ(p.form.avvia(), stato_uscita::successo);
  EXPECT_EQ(p.cartella.elenco(),
            (std::vector<std::string>{"Ombrasca1_5817.dat", "Ombrasca1_5817.sim",
                                      "Ombrasca1_5817_note.txt", "Ombrasca1_5817_rallentamenti.txt",
                                      "Ombrasca1_5817_scheda_treno.txt", "Ombrasca1_linea.dat"}));
}

}  // namespace
