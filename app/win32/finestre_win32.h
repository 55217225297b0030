// What the two windows look like: the wait window and the error box.
#pragma once

namespace attesa {
inline constexpr int larghezza = 280;  // client area, pixels at 96 dots per inch
inline constexpr int altezza = 179;
inline constexpr int etichetta_x = 64;  // the label's box
inline constexpr int etichetta_y = 64;
inline constexpr int etichetta_larghezza = 177;
inline constexpr int etichetta_altezza = 53;
inline constexpr int punti_carattere = 24;  // bold, in the desktop's dialog face
inline constexpr const wchar_t* testo = L"Attendere";
inline constexpr const wchar_t* titolo = L"Generazione scenario";
}  // namespace attesa

namespace messaggio {
inline constexpr const wchar_t* titolo = L"genera_scenario";
}
