#include <gtest/gtest.h>

#include "testing/prova_piattaforma.h"

namespace {

TEST(ScritturaRighe, OgniRigaChiusaDaCrLfByteComeStanno) {
  form_in_prova p;
  const std::string_view righe[] = {"[generale]", "", "gradi \xB0 e \xE0 ", "[fine]"};
  p.form.scrivi_righe("prova.txt", righe);
  EXPECT_EQ(leggi_testo(p.cartella / "prova.txt"),
            "[generale]\r\n\r\ngradi \xB0 e \xE0 \r\n[fine]\r\n");
}

TEST(ScritturaRighe, SiFermaAlMarcatoreDiFine) {
  form_in_prova p;
  const std::string_view righe[] = {"uno", "riferimento fine del file", "mai scritta"};
  p.form.scrivi_righe("prova.txt", righe);
  EXPECT_EQ(leggi_testo(p.cartella / "prova.txt"), "uno\r\n");
}

TEST(ScritturaRighe, SostituisceUnFilePiuLungo) {
  form_in_prova p;
  scrivi_testo(p.cartella / "prova.txt", std::string(5000, 'z'));
  const std::string_view righe[] = {"a"};
  p.form.scrivi_righe("prova.txt", righe);
  EXPECT_EQ(leggi_testo(p.cartella / "prova.txt"), "a\r\n");
  EXPECT_EQ(p.cartella.elenco(), std::vector<std::string>{"prova.txt"});
}

TEST(ScritturaRighe, LaTabellaHaMilleUnaVoci) {
  form_in_prova p;
  std::vector<std::string_view> mille(1000, "r");
  p.form.scrivi_righe("mille.txt", mille);
  EXPECT_EQ(leggi_testo(p.cartella / "mille.txt").size(), 3000u);
  mille.push_back("r");
  EXPECT_THROW(p.form.scrivi_righe("troppe.txt", mille), std::length_error);
  EXPECT_FALSE(std::filesystem::exists(p.cartella / "troppe.txt"));
}

}  // namespace
