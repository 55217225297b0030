// The page of esamina_scenario --html: its script is this file and
// vista_profilo.js, vista_pianta.js, vista_comandi.js, in this order, made one
// script inside the page (incorpora.cmake); they share its top-level names.
// It draws the scenario from the data the tool put in the page, and only the
// stretch in view, so that a move or a zoom costs the same on a line of
// 1 000 km as on one of 10. Each text it shows for a cell or a mark is built
// from the sentences of the text report.
//
// This file: the data decoded once, the layers, and the stretch in view.
"use strict";

const dati = JSON.parse(document.getElementById("dati-scenario").textContent);
// The cell length, as the tool that wrote the data knows it.
const metri_cella = dati.metri_cella;
const carattere = '"DejaVu Sans", Verdana, Arial, sans-serif';

// ---------------------------------------------------------------------
// The data, decoded once.

const celle = dati.celle;
const lunghezza = dati.lunghezza_m > 0 ? dati.lunghezza_m : celle * metri_cella;
// The view runs over the cells; without any, over the stated length.
const estensione = celle > 0 ? celle * metri_cella : Math.min(Math.max(lunghezza, 1000), 2e6);
const larghezza_minima = 2 * metri_cella;

// The railway's kilometres, read from the stretches that the tool worked out
// (each from da_m on, its kilometre km_m there moving by verso per metre);
// without them the page knows only the distance from the start.
const tratti_km = dati.tratti_chilometrici;
function tratto_km_di(m) {
  let i = 0;
  while (i + 1 < tratti_km.length && tratti_km[i + 1].da_m <= m) ++i;
  return i;
}
// The kilometre of metre m read by one stretch's rule, and the metre that
// reads kilometre k by it; with no rule, the distance from the start.
const km_in = (t, m) => (t ? t.km_m + t.verso * (m - t.da_m) : m);
const metro_in = (t, k) => (t ? t.da_m + t.verso * (k - t.km_m) : k);
const km_linea = (m) => km_in(tratti_km[tratto_km_di(m)], m);
// Which kilometres the axis, the jump box and the texts speak of: the
// railway's (the default) or the distance from the start.
let km_della_linea = tratti_km !== null;
const km_mostrato = (m) => (km_della_linea ? km_linea(m) : m);
// Kilometres as the report writes them: a decimal comma.
const km = (m, decimali) => (m / 1000).toFixed(decimali).replace(".", ",");

const oggetti = dati.oggetti;
const n_oggetti = oggetti.cella.length;
const genere_di = (i) => dati.generi[oggetti.genere[i]];
// "cella 782 (39050 m, km 96,100): ...", as the report writes it.
const riga_oggetto = (i) =>
  "cella " + oggetti.cella[i] + " (" + oggetti.m[i] + " m" +
  (tratti_km ? ", km " + km(km_linea(oggetti.m[i]), 3) : "") + "): " + dati.frasi[oggetti.frase[i]];

const profili = {};
for (const p of dati.profili) profili[p.nome] = p;
// "celle da 41 a 120 (da 2050 m a 6050 m): 95 km/h", as the report writes it.
const riga_tratto = (p, i) =>
  "celle da " + p.prima[i] + " a " + p.ultima[i] + " (da " + p.prima[i] * metri_cella +
  " m a " + (p.ultima[i] + 1) * metri_cella + " m): " + p.valore[i] + p.unita;

const stazioni = dati.stazioni;
const n_stazioni = stazioni.nome.length;
// Stations in the order they stand along the run.
const stazioni_in_fila = [...Array(n_stazioni).keys()].sort((a, b) => stazioni.m[a] - stazioni.m[b]);
const m_stazioni_in_fila = stazioni_in_fila.map((i) => stazioni.m[i]);

// First index of the sorted `v` whose value is at least x.
function primo_da(v, x) {
  let lo = 0, hi = v.length;
  while (lo < hi) {
    const mezzo = (lo + hi) >> 1;
    if (v[mezzo] < x) lo = mezzo + 1;
    else hi = mezzo;
  }
  return lo;
}

// The run of profile p that holds cell c, or -1.
function tratto_in(p, c) {
  const i = primo_da(p.ultima, c);
  return i < p.prima.length && p.prima[i] <= c ? i : -1;
}

// ---------------------------------------------------------------------
// Layers: the profile bands and the rows of marks.

const bande = [
  { id: "velocita", nome: "Velocità max", unita: "km/h", colore: "#1f5fbf", altezza: 100 },
  { id: "pendenza", nome: "Pendenza", unita: "per mille", colore: "#9c4f1c", altezza: 100 },
  { id: "aderenza", nome: "Aderenza", unita: "", colore: "#2e8b57", altezza: 60 },
];
const righe = [
  { id: "stazioni", nome: "Stazioni", colore: "#c62828", generi: ["fermata"] },
  { id: "segnali", nome: "Segnali", colore: "#d32f2f", generi: ["segnale"] },
  { id: "cartelli", nome: "Cartelli", colore: "#00796b", generi: ["cartello"] },
  { id: "indicatori", nome: "Indicatori v. max", colore: "#ef6c00", generi: ["indicatore_v_max"] },
  { id: "codici", nome: "Punti codice", colore: "#f9a825", generi: ["punto_codice", "punto_senza_codice"] },
  {
    id: "rallentamenti", nome: "Rallentamenti", colore: "#6a1b9a",
    generi: ["inizio_rallentamento", "fine_rallentamento", "avviso_rallentamento", "segno_avviso"],
  },
  { id: "montagne", nome: "Montagne", colore: "#8d6e63", generi: ["marca_montagna"] },
  { id: "ripetizione", nome: "Ripetizione segnali", colore: "#1565c0", generi: [] },
];
const acceso = {};
for (const l of [...bande, ...righe]) acceso[l.id] = true;

// Each row's objects in order of position, for a search by position.
const riga_del_genere = {};
for (const r of righe) for (const g of r.generi) riga_del_genere[g] = r;
for (const r of righe) r.indici = [];
for (let i = 0; i < n_oggetti; ++i) {
  const r = riga_del_genere[genere_di(i)];
  if (r) r.indici.push(i);
}
for (const r of righe) {
  r.indici.sort((a, b) => oggetti.m[a] - oggetti.m[b]);
  r.posizioni = Float64Array.from(r.indici, (i) => oggetti.m[i]);
}

// Each slowdown start with the end that follows it, as the picture pairs them.
const barre = [];
{
  let inizio = -1;
  for (let i = 0; i < n_oggetti; ++i) {
    const g = genere_di(i);
    if (g === "inizio_rallentamento") inizio = i;
    if (g === "fine_rallentamento") {
      barre.push({ da: inizio >= 0 ? oggetti.m[inizio] : oggetti.m[i], a: oggetti.m[i], inizio, fine: i });
      inizio = -1;
    }
  }
  barre.sort((p, q) => p.a - q.a);
}
const fine_barre = barre.map((b) => b.a);

// Lowest and highest value over the runs within the line: the cells past
// its end, left at zero, would flatten the rest.
function estremi(p) {
  let lo = Infinity, hi = -Infinity;
  for (let i = 0; i < p.prima.length && p.prima[i] * metri_cella < lunghezza; ++i) {
    lo = Math.min(lo, p.valore[i]);
    hi = Math.max(hi, p.valore[i]);
  }
  return lo <= hi ? [lo, hi] : [0, 0];
}
// A round step: the smallest of 1, 2, 5 times a power of ten at least `minimo`.
function passo_tondo(minimo) {
  if (!(minimo > 0)) return 1;
  const dieci = Math.pow(10, Math.floor(Math.log10(minimo)));
  for (const k of [1, 2, 5, 10]) if (k * dieci >= minimo - 1e-12) return k * dieci;
  return 10 * dieci;
}
{
  const [, hi] = estremi(profili.velocita);
  const passo = passo_tondo(Math.max(hi, 20) / 4);
  Object.assign(bande[0], { basso: 0, alto: Math.ceil((hi + 1) / passo) * passo, passo, base: 0 });
}
{
  const [lo, hi] = estremi(profili.pendenza);
  const ampiezza = Math.max(Math.abs(lo), Math.abs(hi), 4);
  const passo = passo_tondo(ampiezza / 2);
  const massimo = Math.ceil((ampiezza + 1) / passo) * passo;
  Object.assign(bande[1], { basso: -massimo, alto: massimo, passo, base: 0 });
}
{
  const [lo, hi] = estremi(profili.aderenza);
  const passo = passo_tondo(Math.max(hi - lo, 10) / 2);
  const basso = Math.floor((lo - 1) / passo) * passo;
  Object.assign(bande[2], { basso, alto: Math.ceil((hi + 1) / passo) * passo, passo, base: basso });
}

// The plan: whole metres every `passo_m`, each given as the step from the
// point before; NaN where the file has no point.
const piano = dati.piano;
let px = new Float64Array(0), py = new Float64Array(0);
const limiti_piano = { x1: Infinity, y1: Infinity, x2: -Infinity, y2: -Infinity };
if (piano) {
  px = new Float64Array(piano.x.length);
  py = new Float64Array(piano.y.length);
  let x = 0, y = 0;
  for (let i = 0; i < px.length; ++i) {
    if (piano.x[i] === null) {
      px[i] = py[i] = NaN;
      continue;
    }
    x += piano.x[i];
    y += piano.y[i];
    px[i] = x;
    py[i] = y;
    limiti_piano.x1 = Math.min(limiti_piano.x1, x);
    limiti_piano.x2 = Math.max(limiti_piano.x2, x);
    limiti_piano.y1 = Math.min(limiti_piano.y1, y);
    limiti_piano.y2 = Math.max(limiti_piano.y2, y);
  }
}
const metro_del_punto = (i) => Math.min(i * (piano ? piano.passo_m : 1), piano ? piano.ultimo_m : 0);
const punto_del_metro = (m) => Math.round(m / piano.passo_m);

// ---------------------------------------------------------------------
// The view: the stretch from finestra.da to finestra.a metres along the run.

const finestra = { da: 0, a: estensione };
const sinistra = 140;  // left edge of the drawing; the names stand to its left
const margine_destro = 14;
let larghezza = 800;   // of the profile, CSS pixels
let dpr = 1;
const spazio = () => larghezza - sinistra - margine_destro;
const x_di = (m) => sinistra + ((m - finestra.da) / (finestra.a - finestra.da)) * spazio();
const m_di = (x) => finestra.da + ((x - sinistra) / spazio()) * (finestra.a - finestra.da);

function imposta_vista(da, a) {
  const massimo = estensione * 1.1;
  const w = Math.min(Math.max(a - da, larghezza_minima), massimo);
  let centro = (da + a) / 2;
  const bordo = w * 0.05;
  centro = Math.min(Math.max(centro, w / 2 - bordo), estensione - w / 2 + bordo);
  if (w >= estensione) centro = estensione / 2;
  finestra.da = centro - w / 2;
  finestra.a = centro + w / 2;
  richiedi_disegno();
}
const centra = (m, w) => imposta_vista(m - w / 2, m + w / 2);
function ingrandisci(fattore, m_fermo) {
  const w = finestra.a - finestra.da;
  const nuova = Math.min(Math.max(w / fattore, larghezza_minima), estensione * 1.1);
  const quota = (m_fermo - finestra.da) / w;
  imposta_vista(m_fermo - quota * nuova, m_fermo - quota * nuova + nuova);
}
const sposta = (metri) => imposta_vista(finestra.da + metri, finestra.a + metri);
