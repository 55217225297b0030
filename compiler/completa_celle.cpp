// The track post-pass: cab-signal code points around slowdowns and the
// signals near them, added once every source row has been stored. The walk
// itself is in completa_celle.h; here is what it does to the compiler's cells.
#include "compiler/completa_celle.h"

#include <algorithm>
#include <vector>

#include "compiler/codici_errore.h"
#include "compiler/compilatore.h"
#include "compiler/numeri.h"

namespace {

// The cells as the post-pass sees them. Slowdowns near the end of the track
// make the walks and searches reach past the last cell; such a cell counts as
// taken, is never written and never read. A problem is recorded and the walk
// carries on; the last one found wins.
class tracciato {
 public:
  explicit tracciato(compilatore& form)
      : form_(form),
        celle_(form.celle),
        ultima_(std::min<int64_t>(form.ultima_cella, static_cast<int64_t>(celle_.size()) - 1)) {}

  int64_t ultima() const { return ultima_; }
  bool di_tipo(int64_t c, uint8_t tipo) const { return esiste(c) && celle_[c].tipo == tipo; }
  const cella& operator[](int64_t c) const { return celle_[c]; }

  bool metti_punto(int64_t c) {
    if (!esiste(c) || !libera(celle_[c])) return false;
    celle_[c].tipo = tipo_cella::punto_codice;
    celle_[c].dato1 = codice_rallentamento;
    return true;
  }

  // An existing code point keeps its code only when it is already the lower one.
  bool abbassa_codice(int64_t c) {
    if (!di_tipo(c, tipo_cella::punto_codice)) return false;
    celle_[c].dato1 = basso16(compilatore::minimo(codice_rallentamento, celle_[c].dato1));
    return true;
  }

  void errore(errore_compilazione codice, int64_t cella_errore) {
    form_.problema.codice = numero_errore(codice);
    form_.problema.posizione = static_cast<int32_t>(posizione_cella(cella_errore, 0));
    // The problem no longer belongs to a source row.
    form_.problema.file.clear();
    form_.problema.riga = 0;
    form_.problema.colonna = 0;
    form_.problema.motivo.clear();
  }

 private:
  bool esiste(int64_t c) const { return c >= 0 && c <= ultima_; }

  compilatore& form_;
  std::vector<cella>& celle_;
  int64_t ultima_;
};

}  // namespace

int32_t compilatore::minimo(int32_t x, int32_t y) { return x > y ? y : x; }

void compilatore::completa_celle() {
  tracciato t(*this);
  percorri_completamento(t);
}
