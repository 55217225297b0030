// The two source writers (dati_linea, dati_treno): each writes its own file in
// the program's folder, every line closed by CR LF, bytes as carried.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "testing/prova_piattaforma.h"

namespace {

TEST(ScrittoriSorgenti, ScrivonoIlLoroFileRigaPerRiga) {
  const struct {
    std::function<void(Form1&)> scrivi;
    std::string nome;
    size_t righe;
    std::string_view contiene;
  } scrittori[] = {
      {[](Form1& f) { f.dati_linea(); }, "Ombrasca1_linea.txt", 214, "\r\nlunghezza percorso,"},
      {[](Form1& f) { f.dati_treno(); }, "Ombrasca1_5817-.txt", 139, "\r\norologio,"},
  };
  for (const auto& s : scrittori) {
    form_in_prova p;
    s.scrivi(p.form);
    EXPECT_EQ(p.cartella.elenco(), std::vector<std::string>{s.nome});
    const std::string testo = leggi_testo(p.cartella / s.nome);

    EXPECT_TRUE(testo.starts_with("[generale]\r\n")) << s.nome;
    EXPECT_TRUE(testo.ends_with("\r\n[fine]\r\n")) << s.nome;
    EXPECT_NE(testo.find(s.contiene), std::string::npos) << s.nome;
    EXPECT_EQ(testo.find("riferimento fine del file"), std::string::npos) << s.nome;

    // Line ends: every LF has its CR and no CR stands alone.
    size_t lf = 0;
    for (size_t i = 0; i < testo.size(); ++i) {
      if (testo[i] == '\n') {
        ++lf;
        EXPECT_TRUE(i > 0 && testo[i - 1] == '\r') << s.nome << " byte " << i;
      } else if (testo[i] == '\r') {
        EXPECT_TRUE(i + 1 < testo.size() && testo[i + 1] == '\n') << s.nome << " byte " << i;
      }
    }
    EXPECT_EQ(lf, s.righe) << s.nome;

    // The degree sign is one byte, not a multi-byte sequence.
    EXPECT_NE(testo.find('\xB0'), std::string::npos) << s.nome;
    EXPECT_EQ(testo.find('\xC2'), std::string::npos) << s.nome;
  }
}

}  // namespace
