// The item reader shared by both source readers. A source file is a stream of
// items separated by commas and line ends:
//  - blanks before an item are skipped;
//  - a text item runs to the next comma or line end, which is consumed with it;
//    one that begins with a double quote runs to the closing quote instead;
//  - a number item also ends at a blank; the blanks after it are skipped and a
//    comma or line end that follows is consumed; an empty or non-numeric item
//    reads as 0;
//  - reading an item at the end of the file is a read failure.
// The whole file is held in memory and items are views into it, so reading
// allocates nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "compiler/errore_lettura.h"

class lettore_voci {
 public:
  explicit lettore_voci(std::string dati) : dati_(std::move(dati)) {}

  // True when the read position has reached the end of the file.
  bool fine() const { return pos_ >= dati_.size(); }

  // A text item, without surrounding blanks or quotes. Valid until the reader
  // is destroyed.
  std::string_view testo();

  // A number item as a real value (0 when empty or not a number).
  double numero();

  // Number items stored into fields of a given width: a value that does not
  // fit the field, once rounded, is a read failure.
  int32_t i32();
  int16_t i16();
  uint8_t u8();

  // Line and column (both from 1, the column in bytes) at which the last item
  // read began; a read at the end of the file leaves them on the item before.
  int32_t riga_voce() const { return riga_voce_; }
  int32_t colonna_voce() const { return colonna_voce_; }
  // Whether the last item read was the first one on its line.
  bool a_inizio_riga() const { return a_inizio_riga_; }

  // A row: its lead item and the values read after it, which may run on
  // past the lead's line end, since a line end separates items as a comma
  // does. inizia_riga marks the last item read as a row's lead item.
  struct riga_letta {
    std::string_view capo;  // the lead item
    int32_t riga = 0;       // its line and column
    int32_t colonna = 0;
    int32_t valori = 0;        // the items read after it
    int32_t sulla_riga = 0;    // how many of them on the lead's own line
    int32_t riga_seguito = 0;  // the line the first other one came from, or 0
    std::string_view seguito;  // that line, from that item to its end
    size_t inizio_linea = 0;   // where the lead's line begins in the file
  };
  void inizia_riga(std::string_view capo);
  const riga_letta& riga_corrente() const { return riga_corrente_; }
  // The lead's line of a row, whole: looked for only when a warning needs it.
  std::string_view linea(const riga_letta& r) const;

  // Called with a number item that read as 0 although it was empty or not a
  // number (its text, empty when it was empty), while riga_voce and
  // colonna_voce point at it. The readers warn authors of these.
  std::function<void(std::string_view)> letto_come_zero;

 private:
  void salta_spazi();
  void consuma_fine_riga();  // a CR LF, a lone LF or a lone CR
  void inizia_voce();        // read failure at the end of the file

  std::string dati_;
  size_t pos_ = 0;
  size_t inizio_riga_ = 0;  // where the line being read begins
  int32_t riga_ = 1;
  bool riga_nuova_ = true;  // no item read yet on the current line
  int32_t riga_voce_ = 1;
  size_t inizio_riga_voce_ = 0;  // where the line of the last item begins
  int32_t colonna_voce_ = 1;
  bool a_inizio_riga_ = true;
  riga_letta riga_corrente_;
};

// Substring tests on a lead item: exact, or ignoring the case of letters.
bool contiene(std::string_view voce, std::string_view parola);
bool contiene_ic(std::string_view voce, std::string_view parola);
