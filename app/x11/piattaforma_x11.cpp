#include "app/x11/piattaforma_x11.h"

#include <optional>

#include "app/x11/finestra_attesa.h"
#include "app/x11/messaggio_x11.h"
#include "app/x11/schermo_x11.h"

namespace {

class piattaforma_x11 final : public piattaforma {
 public:
  piattaforma_x11(schermo_x11_ptr schermo, std::unique_ptr<piattaforma> resto)
      : schermo_(std::move(schermo)), resto_(std::move(resto)) {}

  // The windows go before the connection they live on.
  ~piattaforma_x11() override { attesa_.reset(); }

  std::filesystem::path cartella_programma() override { return resto_->cartella_programma(); }

  void mostra_attesa() override {
    if (!attesa_) attesa_.emplace(*schermo_);
  }

  void chiudi_attesa() override { attesa_.reset(); }

  void messaggio_errore(const std::string& testo) override {
    mostra_messaggio(*schermo_, testo, attesa_ ? &*attesa_ : nullptr);
  }

  void messaggio_file(const std::string& testo) override { messaggio_errore(testo); }

  void segnala(const std::string& testo) override { resto_->segnala(testo); }

 private:
  schermo_x11_ptr schermo_;
  std::unique_ptr<piattaforma> resto_;
  std::optional<finestra_attesa> attesa_;
};

}  // namespace

std::unique_ptr<piattaforma> crea_piattaforma_x11(schermo_x11_ptr schermo,
                                                  std::unique_ptr<piattaforma> resto) {
  return std::make_unique<piattaforma_x11>(std::move(schermo), std::move(resto));
}
