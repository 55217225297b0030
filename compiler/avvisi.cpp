#include "compiler/avvisi.h"

#include <algorithm>

void elenco_avvisi::aggiungi(avviso a) {
  size_t del_file = 0;
  for (const avviso& t : tenuti_) del_file += t.file == a.file;
  if (del_file < massimo_per_file) {
    // A row that ran on is known only at its end: it goes before what its
    // file said of the lines after it.
    auto dove = tenuti_.end();
    if (a.tipo == tipo_avviso::riga_continuata)
      dove = std::find_if(tenuti_.begin(), tenuti_.end(),
                          [&a](const avviso& t) { return t.file == a.file && t.riga > a.riga; });
    tenuti_.insert(dove, std::move(a));
    return;
  }
  for (auto& [file, quanti] : oltre_)
    if (file == a.file) {
      ++quanti;
      return;
    }
  oltre_.emplace_back(std::move(a.file), 1);
}

int64_t elenco_avvisi::totale() const {
  int64_t n = static_cast<int64_t>(tenuti_.size());
  for (const auto& o : oltre_) n += o.second;
  return n;
}
