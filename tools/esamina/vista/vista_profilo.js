// The page of esamina_scenario --html (see vista_dati.js): the profile
// bands, the cells and the rows of marks of the stretch in view.

// ---------------------------------------------------------------------
// Layout of the profile canvas, top to bottom.

const altezza_asse = 30, altezza_nomi = 20, spazio_bande = 12, altezza_celle = 18, altezza_riga = 22;
let altezza_profilo = 0;
let y_celle = 0;
function disponi() {
  let y = altezza_asse + altezza_nomi;
  for (const b of bande) {
    b.cima = y;
    y += b.altezza + spazio_bande;
  }
  y_celle = y;
  y += altezza_celle;
  for (const r of righe) {
    r.cima = y;
    y += altezza_riga;
  }
  altezza_profilo = y + 6;
}
disponi();
const y_banda = (b, v) =>
  b.cima + b.altezza - ((Math.min(Math.max(v, b.basso), b.alto) - b.basso) / (b.alto - b.basso)) * b.altezza;

const tela = document.getElementById("profilo");
const tela_cursore = document.getElementById("cursore");
const tela_pianta = document.getElementById("pianta");
const ctx = tela.getContext("2d");
const ctx_cursore = tela_cursore.getContext("2d");
const ctx_pianta = tela_pianta.getContext("2d");
let larghezza_pianta = 800, altezza_pianta = 230;

function ridimensiona() {
  dpr = window.devicePixelRatio || 1;
  larghezza = Math.max(tela.parentElement.clientWidth, sinistra + 200);
  for (const t of [tela, tela_cursore]) {
    t.style.height = altezza_profilo + "px";
    t.width = Math.round(larghezza * dpr);
    t.height = Math.round(altezza_profilo * dpr);
  }
  larghezza_pianta = Math.max(tela_pianta.clientWidth, 200);
  altezza_pianta = Math.max(tela_pianta.clientHeight, 100);
  tela_pianta.width = Math.round(larghezza_pianta * dpr);
  tela_pianta.height = Math.round(altezza_pianta * dpr);
  fondo_pianta = null;
}

// ---------------------------------------------------------------------
// Drawing.

let in_attesa = false;
function richiedi_disegno() {
  if (in_attesa) return;
  in_attesa = true;
  requestAnimationFrame(() => {
    in_attesa = false;
    disegna();
  });
}

// What the last drawing showed, for the reader of the page's state.
const disegnati = {};
let celle_numerate = null;
const tempi = [];
let disegni = 0;

function disegna() {
  const t0 = performance.now();
  ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
  ctx.clearRect(0, 0, larghezza, altezza_profilo);
  ctx.font = "11px " + carattere;
  disegna_asse();
  ctx.save();
  ctx.beginPath();
  ctx.rect(sinistra, 0, spazio(), altezza_profilo);
  ctx.clip();
  disegna_nomi_stazioni();
  ctx.restore();
  for (const b of bande) disegna_banda(b);
  disegna_coda();
  disegna_celle();
  for (const r of righe) disegna_riga(r);
  disegna_pianta();
  disegna_cursore();
  aggiorna_tratto();
  tempi.push(performance.now() - t0);
  if (tempi.length > 100) tempi.shift();
  ++disegni;
}

// The stretch from da to a (metres along the run) cut where the railway's
// kilometres jump from one line to the next: [{ da, a, t }], t the stretch's
// kilometre rule (null for the distance from the start).
function pezzi_km(da, a) {
  if (!km_della_linea) return [{ da, a, t: null }];
  const pezzi = [];
  for (let i = 0; i < tratti_km.length; ++i) {
    const inizio = i === 0 ? -Infinity : tratti_km[i].da_m;
    const fine = i + 1 < tratti_km.length ? tratti_km[i + 1].da_m : Infinity;
    if (fine > da && inizio < a) pezzi.push({ da: Math.max(inizio, da), a: Math.min(fine, a), t: tratti_km[i] });
  }
  return pezzi;
}

function disegna_asse() {
  const w = finestra.a - finestra.da;
  const passo = passo_tondo(w / 1000 / (spazio() / 90)) * 1000;
  const decimali = Math.min(3, Math.max(0, Math.ceil(-Math.log10(passo / 1000) - 1e-9)));
  ctx.fillStyle = "#555";
  ctx.textAlign = "right";
  ctx.fillText(km_della_linea ? "km della linea" : "km dall'inizio", sinistra - 8, altezza_asse - 10);
  ctx.strokeStyle = "#333";
  ctx.beginPath();
  ctx.moveTo(sinistra, altezza_asse - 0.5);
  ctx.lineTo(sinistra + spazio(), altezza_asse - 0.5);
  ctx.stroke();
  const griglia = new Path2D(), tacche = new Path2D(), salti = new Path2D();
  ctx.textAlign = "center";
  const pezzi = pezzi_km(Math.max(finestra.da, 0), Math.min(finestra.a, estensione));
  // Where one line's kilometres give way to the next's: a full rule and the
  // new kilometre in bold, whole (96,1 at any scale), the round values near
  // it left out.
  const x_salti = [];
  ctx.font = "bold 11px " + carattere;
  ctx.fillStyle = "#000";
  for (const p of pezzi.slice(1)) {
    const x = Math.round(x_di(p.da)) + 0.5;
    x_salti.push(x);
    salti.moveTo(x, altezza_asse - 12);
    salti.lineTo(x, altezza_profilo);
    ctx.fillText(km(km_in(p.t, p.da), 3).replace(/,?0+$/, ""), x, altezza_asse - 11);
  }
  ctx.font = "11px " + carattere;
  ctx.fillStyle = "#222";
  for (const p of pezzi) {
    const k1 = km_in(p.t, p.da), k2 = km_in(p.t, p.a);
    for (let n = Math.ceil(Math.min(k1, k2) / passo); n * passo <= Math.max(k1, k2); ++n) {
      const m = metro_in(p.t, n * passo);
      if (m < p.da || m >= p.a + (p === pezzi[pezzi.length - 1] ? 1e-6 : 0)) continue;
      const x = Math.round(x_di(m)) + 0.5;
      tacche.moveTo(x, altezza_asse - 7);
      tacche.lineTo(x, altezza_asse);
      griglia.moveTo(x, altezza_asse);
      griglia.lineTo(x, altezza_profilo);
      if (x_salti.every((s) => Math.abs(s - x) > 40)) ctx.fillText(km(n * passo, decimali), x, altezza_asse - 11);
    }
  }
  ctx.stroke(tacche);
  ctx.strokeStyle = "rgba(0,0,0,0.45)";
  ctx.stroke(salti);
  ctx.strokeStyle = "rgba(0,0,0,0.07)";
  ctx.stroke(griglia);
}

// The cells past the line's end, which the track file has but no train
// runs on: shaded and named, with no profile drawn over them.
function disegna_coda() {
  if (lunghezza >= estensione) return;
  const x1 = Math.max(x_di(lunghezza), sinistra), x2 = Math.min(x_di(estensione), sinistra + spazio());
  if (x2 <= x1) return;
  ctx.fillStyle = "rgba(90,90,90,0.16)";
  ctx.fillRect(x1, bande[0].cima, x2 - x1, altezza_profilo - bande[0].cima);
  ctx.save();
  ctx.beginPath();
  ctx.rect(x1, 0, x2 - x1, altezza_profilo);
  ctx.clip();
  ctx.fillStyle = "#444";
  ctx.textAlign = "left";
  ctx.font = "italic 11px " + carattere;
  ctx.fillText("oltre la fine della linea", x1 + 4, bande[0].cima + 12);
  ctx.restore();
}

function disegna_nomi_stazioni() {
  if (!acceso.stazioni) return;
  ctx.font = "11px " + carattere;
  ctx.textAlign = "left";
  ctx.fillStyle = "#7f1d1d";
  let libero_da = -Infinity;
  for (const i of stazioni_in_fila) {
    const x = x_di(stazioni.m[i]);
    if (x < sinistra - 200 || x > larghezza) continue;
    const w = ctx.measureText(stazioni.nome[i]).width;
    if (x - 3 < libero_da) continue;
    ctx.fillText(stazioni.nome[i], x - 3, altezza_asse + altezza_nomi - 6);
    libero_da = x + w + 8;
  }
}

function etichetta(y, testo, colore, acceso_) {
  ctx.textAlign = "right";
  ctx.fillStyle = acceso_ ? colore : "#bbb";
  ctx.fillText(testo, sinistra - 8, y);
}

function disegna_banda(b) {
  const p = profili[b.id];
  ctx.font = "bold 12px " + carattere;
  etichetta(b.cima + b.altezza / 2 - 2, b.nome, b.colore, acceso[b.id]);
  ctx.font = "11px " + carattere;
  if (b.unita) etichetta(b.cima + b.altezza / 2 + 12, b.unita, b.colore, acceso[b.id]);
  ctx.strokeStyle = "#ccc";
  ctx.strokeRect(sinistra + 0.5, b.cima + 0.5, spazio() - 1, b.altezza);
  ctx.fillStyle = "#777";
  ctx.textAlign = "left";
  // Values from the top down, each where it leaves room for the one above.
  let sopra = -Infinity;
  for (let v = b.alto; v >= b.basso - 1e-9; v -= b.passo) {
    const y = Math.min(Math.max(y_banda(b, v) + 4, b.cima + 11), b.cima + b.altezza - 2);
    if (y - sopra < 11) continue;
    ctx.fillText(String(v), sinistra + 3, y);
    sopra = y;
  }
  if (!acceso[b.id] || !p) {
    disegnati[b.id] = 0;
    return;
  }
  ctx.save();
  ctx.beginPath();
  ctx.rect(sinistra, b.cima, spazio(), b.altezza + 1);
  ctx.clip();
  const base = y_banda(b, b.base);
  const traccia = new Path2D();
  let n = 0, avviata = false, ultimo_x = sinistra;
  // Runs narrower than a pixel are drawn as one stroke per column, from
  // the lowest to the highest value in it.
  let colonna = null, alto = 0, basso = 0, ultimo_y = 0;
  const chiudi_colonna = () => {
    if (colonna === null) return;
    traccia.lineTo(colonna, alto);
    traccia.lineTo(colonna, basso);
    traccia.lineTo(colonna + 1, ultimo_y);
    ultimo_x = colonna + 1;
    colonna = null;
  };
  // Only the line: the cells past its end hold no profile.
  const fine_m = Math.min(finestra.a, lunghezza);
  for (let i = primo_da(p.ultima, Math.floor(finestra.da / metri_cella)); i < p.prima.length && p.prima[i] * metri_cella < fine_m; ++i) {
    const x1 = Math.max(x_di(p.prima[i] * metri_cella), sinistra - 2);
    const x2 = Math.min(x_di(Math.min((p.ultima[i] + 1) * metri_cella, lunghezza)), larghezza + 2);
    const y = y_banda(b, p.valore[i]);
    if (!avviata) {
      traccia.moveTo(x1, base);
      avviata = true;
    }
    ++n;
    if (x2 - x1 < 1) {
      const c = Math.floor(x1);
      if (c !== colonna) {
        chiudi_colonna();
        colonna = c;
        alto = basso = y;
      } else {
        alto = Math.min(alto, y);
        basso = Math.max(basso, y);
      }
      ultimo_y = y;
      continue;
    }
    chiudi_colonna();
    traccia.lineTo(x1, y);
    traccia.lineTo(x2, y);
    ultimo_x = x2;
  }
  chiudi_colonna();
  if (avviata) {
    traccia.lineTo(ultimo_x, base);
    traccia.closePath();
    ctx.fillStyle = b.colore + "22";
    ctx.fill(traccia);
    ctx.strokeStyle = b.colore;
    ctx.lineWidth = 1.5;
    ctx.stroke(traccia);
    ctx.lineWidth = 1;
  }
  if (b.id === "pendenza") {
    ctx.strokeStyle = "#999";
    ctx.beginPath();
    ctx.moveTo(sinistra, Math.round(base) + 0.5);
    ctx.lineTo(sinistra + spazio(), Math.round(base) + 0.5);
    ctx.stroke();
  }
  ctx.restore();
  disegnati[b.id] = n;
}

// The cells' edges once they are some pixels wide, and their numbers once
// a number fits in one.
function disegna_celle() {
  const per_cella = (metri_cella * spazio()) / (finestra.a - finestra.da);
  ctx.font = "11px " + carattere;
  etichetta(y_celle + 13, "Celle", "#333", true);
  celle_numerate = null;
  const prima = Math.max(0, Math.floor(finestra.da / metri_cella));
  const ultima = Math.min(celle - 1, Math.floor(finestra.a / metri_cella));
  ctx.save();
  ctx.beginPath();
  ctx.rect(sinistra, 0, spazio(), altezza_profilo);
  ctx.clip();
  if (per_cella < 6) {
    ctx.fillStyle = "#999";
    ctx.textAlign = "left";
    ctx.fillText("ingrandisci per vedere le celle", sinistra + 4, y_celle + 13);
    ctx.restore();
    return;
  }
  const bordi = new Path2D();
  for (let c = prima; c <= ultima + 1; ++c) {
    const x = Math.round(x_di(c * metri_cella)) + 0.5;
    bordi.moveTo(x, bande[0].cima);
    bordi.lineTo(x, y_celle + altezza_celle);
  }
  ctx.strokeStyle = "rgba(0,0,0,0.12)";
  ctx.stroke(bordi);
  if (per_cella >= 34) {
    ctx.textAlign = "center";
    ctx.fillStyle = "#333";
    for (let c = prima; c <= ultima; ++c) ctx.fillText(String(c), x_di((c + 0.5) * metri_cella), y_celle + 13);
    if (prima <= ultima) celle_numerate = [prima, ultima];
  }
  ctx.restore();
}

// Marks of a row, one per pixel column at most: at a whole line's scale
// thousands of signals share a few hundred columns.
function disegna_riga(r) {
  const cima = r.cima, centro = r.cima + altezza_riga / 2;
  if (righe.indexOf(r) % 2 === 0) {
    ctx.fillStyle = "#f4f4f4";
    ctx.fillRect(sinistra, cima, spazio(), altezza_riga);
  }
  ctx.font = "12px " + carattere;
  etichetta(centro + 4, r.nome, "#333", acceso[r.id]);
  disegnati[r.id] = 0;
  if (!acceso[r.id]) return;
  ctx.save();
  ctx.beginPath();
  ctx.rect(sinistra, cima, spazio(), altezza_riga);
  ctx.clip();
  let n = 0;
  const tracce = new Map();
  const traccia = (stile) => {
    if (!tracce.has(stile)) tracce.set(stile, new Path2D());
    return tracce.get(stile);
  };

  if (r.id === "stazioni") {
    for (const i of stazioni_in_fila) {
      const x1 = x_di(stazioni.da_m[i]), x2 = x_di(stazioni.a_m[i]);
      if (x2 < sinistra || x1 > larghezza) continue;
      traccia("area").rect(x1, centro - 3, Math.max(x2 - x1, 1), 6);
    }
    let ultimo = null;
    for (let k = primo_da(m_stazioni_in_fila, m_di(sinistra - 8)); k < n_stazioni; ++k) {
      const x = Math.round(x_di(m_stazioni_in_fila[k]));
      if (x > larghezza + 8) break;
      if (x === ultimo) continue;
      ultimo = x;
      const t = traccia("stazione");
      t.moveTo(x, centro - 8);
      t.lineTo(x - 5, centro + 3);
      t.lineTo(x + 5, centro + 3);
      t.closePath();
      ++n;
    }
  }
  if (r.id === "rallentamenti") {
    for (let k = primo_da(fine_barre, finestra.da); k < barre.length && barre[k].da <= finestra.a; ++k) {
      const x1 = x_di(barre[k].da), x2 = x_di(barre[k].a);
      traccia("barra").rect(x1, centro - 5, Math.max(x2 - x1, 2), 10);
      ++n;
    }
  }
  if (r.id === "montagne") {
    const p = profili.montagne;
    const fine_cella = Math.floor(finestra.a / metri_cella);
    for (let i = primo_da(p.ultima, Math.floor(finestra.da / metri_cella)); i < p.prima.length && p.prima[i] <= fine_cella; ++i) {
      const x1 = x_di(p.prima[i] * metri_cella), x2 = x_di((p.ultima[i] + 1) * metri_cella);
      traccia("montagna" + Math.min(Math.max(p.valore[i], 1), 3)).rect(x1, centro - 5, Math.max(x2 - x1, 1.5), 10);
      ++n;
    }
  }
  if (r.id === "ripetizione" && dati.ripetizione) {
    const x1 = x_di(dati.ripetizione.da_m), x2 = x_di(dati.ripetizione.a_m);
    if (x2 >= sinistra && x1 <= larghezza) {
      traccia("ripetizione").rect(x1, centro - 5, x2 - x1, 10);
      ++n;
    }
  }

  let ultimo = null;
  for (let k = primo_da(r.posizioni, m_di(sinistra - 8)); k < r.posizioni.length; ++k) {
    const x = Math.round(x_di(r.posizioni[k]));
    if (x > larghezza + 8) break;
    if (x === ultimo) continue;
    ultimo = x;
    const i = r.indici[k];
    segno(traccia, genere_di(i), oggetti.dato1[i], x + 0.5, centro);
    ++n;
  }

  for (const [stile, t] of tracce) applica(stile, t);
  ctx.restore();
  disegnati[r.id] = n;
}

// One mark's shape, into the path of its style.
function segno(traccia, genere, dato1, x, y) {
  switch (genere) {
    case "segnale": {
      const palo = traccia("palo");
      palo.moveTo(x, y + 7);
      palo.lineTo(x, y - 2);
      const luce = traccia("luce");
      luce.moveTo(x + 3, y - 4);
      luce.arc(x, y - 4, 3, 0, 2 * Math.PI);
      break;
    }
    case "cartello":
      traccia("cartello").rect(x - 3, y - 5, 6, 10);
      break;
    case "indicatore_v_max": {
      const t = traccia("indicatore");
      t.moveTo(x, y - 6);
      t.lineTo(x + 6, y);
      t.lineTo(x, y + 6);
      t.lineTo(x - 6, y);
      t.closePath();
      break;
    }
    case "punto_codice":
      traccia(dato1 >= 270 ? "codice_alto" : "codice").rect(x - 1.5, y - 7, 3, 14);
      break;
    case "punto_senza_codice":
      traccia("senza_codice").rect(x - 1.5, y - 7, 3, 14);
      break;
    case "avviso_rallentamento": {
      const t = traccia("avviso");
      t.moveTo(x, y - 6);
      t.lineTo(x + 6, y + 5);
      t.lineTo(x - 6, y + 5);
      t.closePath();
      break;
    }
    default: {
      // Stops, slowdown ends, marks before a notice, scenery marks: a tick.
      const t = traccia("tacca_" + genere);
      t.moveTo(x, y - 7);
      t.lineTo(x, y + 7);
    }
  }
}

const stili = {
  area: ["fill", "rgba(198,40,40,0.35)"],
  stazione: ["fill", "#c62828"],
  barra: ["fill", "#6a1b9a"],
  montagna1: ["fill", "#8d6e63"],
  montagna2: ["fill", "#5d4037"],
  montagna3: ["fill", "#3e2723"],
  ripetizione: ["fill", "rgba(21,101,192,0.3)"],
  palo: ["stroke", "#222"],
  luce: ["fill", "#d32f2f"],
  cartello: ["fill", "#00796b"],
  indicatore: ["fill", "#ef6c00"],
  codice_alto: ["fill", "#2e7d32"],
  codice: ["fill", "#f9a825"],
  senza_codice: ["fill", "#9e9e9e"],
  avviso: ["stroke", "#6a1b9a"],
};
const colori_tacche = { tacca_fermata: "#c62828", tacca_marca_montagna: "#5d4037" };
function applica(stile, t) {
  const [modo, colore] = stili[stile] || ["stroke", colori_tacche[stile] || "#6a1b9a"];
  if (modo === "fill") {
    ctx.fillStyle = colore;
    ctx.fill(t);
  } else {
    ctx.strokeStyle = colore;
    ctx.lineWidth = 1.3;
    ctx.stroke(t);
    ctx.lineWidth = 1;
  }
}

// The stretch of line in view, in the kilometres chosen; the cells past the
// line's end are not line.
function aggiorna_tratto() {
  const w = finestra.a - finestra.da;
  const decimali = w < 2000 ? 3 : w < 20000 ? 2 : 1;
  const da = Math.max(finestra.da, 0), a = Math.min(finestra.a, lunghezza);
  let testo;
  if (a <= da) {
    testo = "in vista: oltre la fine della linea";
  } else {
    const parti = pezzi_km(da, a).map((p) => "da km " + km(km_in(p.t, p.da), decimali) + " a km " + km(km_in(p.t, p.a), decimali));
    testo = "in vista: " + parti.join(", poi ") + (km_della_linea ? "" : " dall'inizio");
    if (finestra.a > lunghezza && lunghezza < estensione) testo += " e oltre la fine della linea";
  }
  document.getElementById("tratto").textContent = testo;
}
