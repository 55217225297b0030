// The page of esamina_scenario --html. It draws the scenario from the data
// the tool put in the page, and only the stretch in view, so that a move or
// a zoom costs the same on a line of 1 000 km as on one of 10. Each text it
// shows for a cell or a mark is built from the sentences of the text report.
"use strict";

(function () {
  const dati = JSON.parse(document.getElementById("dati-scenario").textContent);
  const metri_cella = 50;
  const carattere = '"DejaVu Sans", Verdana, Arial, sans-serif';

  // ---------------------------------------------------------------------
  // The data, decoded once.

  const celle = dati.celle;
  const lunghezza = dati.lunghezza_m > 0 ? dati.lunghezza_m : celle * metri_cella;
  // The view runs over the cells; without any, over the stated length.
  const estensione = celle > 0 ? celle * metri_cella : Math.min(Math.max(lunghezza, 1000), 2e6);
  const larghezza_minima = 2 * metri_cella;

  const oggetti = dati.oggetti;
  const n_oggetti = oggetti.cella.length;
  const genere_di = (i) => dati.generi[oggetti.genere[i]];
  const riga_oggetto = (i) =>
    "cella " + oggetti.cella[i] + " (" + oggetti.m[i] + " m): " + dati.frasi[oggetti.frase[i]];

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
  // The view: the stretch from vista.da to vista.a metres along the run.

  const vista = { da: 0, a: estensione };
  const sinistra = 140;  // left edge of the drawing; the names stand to its left
  const margine_destro = 14;
  let larghezza = 800;   // of the profile, CSS pixels
  let dpr = 1;
  const spazio = () => larghezza - sinistra - margine_destro;
  const x_di = (m) => sinistra + ((m - vista.da) / (vista.a - vista.da)) * spazio();
  const m_di = (x) => vista.da + ((x - sinistra) / spazio()) * (vista.a - vista.da);

  function imposta_vista(da, a) {
    const massimo = estensione * 1.1;
    let w = Math.min(Math.max(a - da, larghezza_minima), massimo);
    let centro = (da + a) / 2;
    const bordo = w * 0.05;
    centro = Math.min(Math.max(centro, w / 2 - bordo), estensione - w / 2 + bordo);
    if (w >= estensione) centro = estensione / 2;
    vista.da = centro - w / 2;
    vista.a = centro + w / 2;
    richiedi_disegno();
  }
  const centra = (m, w) => imposta_vista(m - w / 2, m + w / 2);
  function ingrandisci(fattore, m_fermo) {
    const w = vista.a - vista.da;
    const nuova = Math.min(Math.max(w / fattore, larghezza_minima), estensione * 1.1);
    const quota = (m_fermo - vista.da) / w;
    imposta_vista(m_fermo - quota * nuova, m_fermo - quota * nuova + nuova);
  }
  const sposta = (metri) => imposta_vista(vista.da + metri, vista.a + metri);

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
    disegna_celle();
    for (const r of righe) disegna_riga(r);
    disegna_pianta();
    disegna_cursore();
    aggiorna_tratto();
    tempi.push(performance.now() - t0);
    if (tempi.length > 100) tempi.shift();
    ++disegni;
  }

  // Kilometres as the report writes them: a decimal comma.
  const km = (m, decimali) => (m / 1000).toFixed(decimali).replace(".", ",");

  function disegna_asse() {
    const w = vista.a - vista.da;
    const passo = passo_tondo(w / 1000 / (spazio() / 90)) * 1000;
    const decimali = Math.min(3, Math.max(0, Math.ceil(-Math.log10(passo / 1000) - 1e-9)));
    ctx.fillStyle = "#555";
    ctx.textAlign = "right";
    ctx.fillText("km dall'inizio", sinistra - 8, altezza_asse - 10);
    ctx.strokeStyle = "#333";
    ctx.beginPath();
    ctx.moveTo(sinistra, altezza_asse - 0.5);
    ctx.lineTo(sinistra + spazio(), altezza_asse - 0.5);
    ctx.stroke();
    const griglia = new Path2D(), tacche = new Path2D();
    ctx.textAlign = "center";
    ctx.fillStyle = "#222";
    for (let m = Math.ceil(vista.da / passo) * passo; m <= vista.a; m += passo) {
      if (m < 0 || m > estensione) continue;
      const x = Math.round(x_di(m)) + 0.5;
      tacche.moveTo(x, altezza_asse - 7);
      tacche.lineTo(x, altezza_asse);
      griglia.moveTo(x, altezza_asse);
      griglia.lineTo(x, altezza_profilo);
      ctx.fillText(km(m, decimali), x, altezza_asse - 11);
    }
    ctx.stroke(tacche);
    ctx.strokeStyle = "rgba(0,0,0,0.07)";
    ctx.stroke(griglia);
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
    for (let v = b.basso; v <= b.alto + 1e-9; v += b.passo) {
      const y = Math.min(Math.max(y_banda(b, v) + 4, b.cima + 11), b.cima + b.altezza - 2);
      ctx.fillText(String(v), sinistra + 3, y);
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
    const fine_cella = Math.floor(vista.a / metri_cella);
    for (let i = primo_da(p.ultima, Math.floor(vista.da / metri_cella)); i < p.prima.length && p.prima[i] <= fine_cella; ++i) {
      const x1 = Math.max(x_di(p.prima[i] * metri_cella), sinistra - 2);
      const x2 = Math.min(x_di((p.ultima[i] + 1) * metri_cella), larghezza + 2);
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
    const per_cella = (metri_cella * spazio()) / (vista.a - vista.da);
    ctx.font = "11px " + carattere;
    etichetta(y_celle + 13, "Celle", "#333", true);
    celle_numerate = null;
    const prima = Math.max(0, Math.floor(vista.da / metri_cella));
    const ultima = Math.min(celle - 1, Math.floor(vista.a / metri_cella));
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
      for (let k = primo_da(fine_barre, vista.da); k < barre.length && barre[k].da <= vista.a; ++k) {
        const x1 = x_di(barre[k].da), x2 = x_di(barre[k].a);
        traccia("barra").rect(x1, centro - 5, Math.max(x2 - x1, 2), 10);
        ++n;
      }
    }
    if (r.id === "montagne") {
      const p = profili.montagne;
      const fine_cella = Math.floor(vista.a / metri_cella);
      for (let i = primo_da(p.ultima, Math.floor(vista.da / metri_cella)); i < p.prima.length && p.prima[i] <= fine_cella; ++i) {
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

  function aggiorna_tratto() {
    const w = vista.a - vista.da;
    const decimali = w < 2000 ? 3 : w < 20000 ? 2 : 1;
    document.getElementById("tratto").textContent =
      "in vista: da km " + km(Math.max(vista.da, 0), decimali) + " a km " + km(Math.min(vista.a, estensione), decimali);
  }

  // --- The plan: the whole line on the left with the stretch in view, the
  // stretch itself on the right, both north up.

  let fondo_pianta = null;  // the whole line, drawn once per size
  let quadro_intero = null, quadro_tratto = null;

  // The transform that fits a box of metres into a frame of pixels.
  function adatta(lim, x, y, w, h) {
    const bordo = 16;
    const dx = lim.x2 - lim.x1, dy = lim.y2 - lim.y1;
    let s = Math.min(dx > 0 ? (w - 2 * bordo) / dx : Infinity, dy > 0 ? (h - 2 * bordo) / dy : Infinity);
    if (!isFinite(s)) s = 1;
    const cx = (lim.x1 + lim.x2) / 2, cy = (lim.y1 + lim.y2) / 2;
    return {
      s, x, y, w, h,
      sx: (v) => x + w / 2 + (v - cx) * s,
      sy: (v) => y + h / 2 - (v - cy) * s,
      mx: (v) => cx + (v - x - w / 2) / s,
      my: (v) => cy - (v - y - h / 2) / s,
    };
  }

  // The polyline of points i1..i2 into path t, broken where a point is
  // missing. Points closer than a pixel to the last one drawn are passed
  // over: at a whole line's scale most of them are.
  function linea_piano(t, q, i1, i2) {
    let dentro = false, ux = 0, uy = 0;
    const ultimo = Math.min(i2, px.length - 1);
    for (let i = Math.max(i1, 0); i <= ultimo; ++i) {
      if (Number.isNaN(px[i])) {
        dentro = false;
        continue;
      }
      const x = q.sx(px[i]), y = q.sy(py[i]);
      if (!dentro) {
        t.moveTo(x, y);
        dentro = true;
      } else if (Math.abs(x - ux) >= 1 || Math.abs(y - uy) >= 1 || i === ultimo) {
        t.lineTo(x, y);
      } else {
        continue;
      }
      ux = x;
      uy = y;
    }
  }

  function disegna_pianta() {
    const c = ctx_pianta;
    c.setTransform(dpr, 0, 0, dpr, 0, 0);
    c.clearRect(0, 0, larghezza_pianta, altezza_pianta);
    c.font = "bold 13px " + carattere;
    c.fillStyle = "#222";
    c.textAlign = "left";
    if (!piano || !(limiti_piano.x1 <= limiti_piano.x2)) {
      c.fillText("Pianta della linea", 10, 20);
      c.font = "13px " + carattere;
      c.fillStyle = "#888";
      c.textAlign = "center";
      c.fillText("pianta non disponibile: manca il file della linea o è danneggiato", larghezza_pianta / 2, altezza_pianta / 2);
      return;
    }
    const meta = Math.floor(larghezza_pianta * 0.42);
    if (!fondo_pianta) {
      fondo_pianta = document.createElement("canvas");
      fondo_pianta.width = Math.round(meta * dpr);
      fondo_pianta.height = Math.round(altezza_pianta * dpr);
      const f = fondo_pianta.getContext("2d");
      f.setTransform(dpr, 0, 0, dpr, 0, 0);
      quadro_intero = adatta(limiti_piano, 0, 22, meta, altezza_pianta - 22);
      const fine_linea = punto_del_metro(Math.min(lunghezza, piano.ultimo_m));
      const dentro = new Path2D(), oltre = new Path2D();
      linea_piano(dentro, quadro_intero, 0, fine_linea);
      linea_piano(oltre, quadro_intero, fine_linea, px.length - 1);
      f.lineJoin = "round";
      f.strokeStyle = "#bbb";
      f.setLineDash([4, 3]);
      f.stroke(oltre);
      f.setLineDash([]);
      f.strokeStyle = "#555";
      f.lineWidth = 1.5;
      f.stroke(dentro);
      f.fillStyle = "#c62828";
      for (let i = 0; i < n_stazioni; ++i) {
        const k = punto_del_metro(stazioni.m[i]);
        if (k < 0 || k >= px.length || Number.isNaN(px[k])) continue;
        f.beginPath();
        f.arc(quadro_intero.sx(px[k]), quadro_intero.sy(py[k]), 2.5, 0, 2 * Math.PI);
        f.fill();
      }
    }
    c.drawImage(fondo_pianta, 0, 0, meta, altezza_pianta);
    c.font = "bold 13px " + carattere;
    c.fillStyle = "#222";
    c.fillText("Intera linea", 10, 18);
    c.fillText("Tratto in vista", meta + 10, 18);
    c.strokeStyle = "#ccc";
    c.beginPath();
    c.moveTo(meta + 0.5, 0);
    c.lineTo(meta + 0.5, altezza_pianta);
    c.stroke();

    // Where the stretch in view lies on the whole line.
    const i1 = Math.max(0, Math.floor(Math.max(vista.da, 0) / piano.passo_m));
    const i2 = Math.min(px.length - 1, Math.ceil(Math.min(vista.a, estensione) / piano.passo_m));
    const in_vista = new Path2D();
    linea_piano(in_vista, quadro_intero, i1, i2);
    c.lineWidth = 5;
    c.lineCap = "round";
    c.strokeStyle = "rgba(239,108,0,0.75)";
    c.stroke(in_vista);
    c.lineWidth = 1;
    c.lineCap = "butt";

    // The stretch itself, fitted to its own frame.
    const lim = { x1: Infinity, y1: Infinity, x2: -Infinity, y2: -Infinity };
    for (let i = i1; i <= i2; ++i) {
      if (Number.isNaN(px[i])) continue;
      lim.x1 = Math.min(lim.x1, px[i]);
      lim.x2 = Math.max(lim.x2, px[i]);
      lim.y1 = Math.min(lim.y1, py[i]);
      lim.y2 = Math.max(lim.y2, py[i]);
    }
    const w2 = larghezza_pianta - meta;
    quadro_tratto = null;
    if (lim.x1 <= lim.x2) {
      // Never closer than 100 m across the frame, so a short stretch stays readable.
      const centro_x = (lim.x1 + lim.x2) / 2, centro_y = (lim.y1 + lim.y2) / 2;
      const mezzo = Math.max(lim.x2 - lim.x1, lim.y2 - lim.y1, 100) / 2;
      const q = adatta(
        { x1: Math.min(lim.x1, centro_x - mezzo), x2: Math.max(lim.x2, centro_x + mezzo), y1: Math.min(lim.y1, centro_y - mezzo), y2: Math.max(lim.y2, centro_y + mezzo) },
        meta, 22, w2, altezza_pianta - 22);
      quadro_tratto = q;
      c.save();
      c.beginPath();
      c.rect(meta + 1, 0, w2, altezza_pianta);
      c.clip();
      const vicino = new Path2D();
      linea_piano(vicino, q, i1 - 40, i1);
      linea_piano(vicino, q, i2, i2 + 40);
      c.strokeStyle = "#bbb";
      c.stroke(vicino);
      const t = new Path2D();
      linea_piano(t, q, i1, i2);
      c.lineJoin = "round";
      c.strokeStyle = "#333";
      c.lineWidth = 2;
      c.stroke(t);
      c.lineWidth = 1;
      c.font = "12px " + carattere;
      c.textAlign = "left";
      // A name goes where it covers no name before it.
      const posti = [];
      for (let k = 0; k < n_stazioni; ++k) {
        const m = stazioni.m[k];
        if (m < vista.da || m > vista.a || !acceso.stazioni) continue;
        const j = punto_del_metro(m);
        if (j < 0 || j >= px.length || Number.isNaN(px[j])) continue;
        c.fillStyle = "#c62828";
        c.beginPath();
        c.arc(q.sx(px[j]), q.sy(py[j]), 4, 0, 2 * Math.PI);
        c.fill();
        const x = q.sx(px[j]) + 7, y = q.sy(py[j]) - 5, w = c.measureText(stazioni.nome[k]).width;
        if (posti.some((p) => x < p.x + p.w && p.x < x + w && Math.abs(y - p.y) < 13)) continue;
        posti.push({ x, y, w });
        c.fillStyle = "#7f1d1d";
        c.fillText(stazioni.nome[k], x, y);
      }
      // A scale bar.
      const barra = passo_tondo(w2 / 5 / q.s);
      c.fillStyle = "#333";
      c.fillRect(meta + 12, altezza_pianta - 14, barra * q.s, 3);
      c.fillText(barra >= 1000 ? barra / 1000 + " km" : barra + " m", meta + 18 + barra * q.s, altezza_pianta - 9);
      c.restore();
    }
    // North.
    const nx = larghezza_pianta - 20, ny = 12;
    c.fillStyle = "#333";
    c.beginPath();
    c.moveTo(nx, ny);
    c.lineTo(nx - 5, ny + 15);
    c.lineTo(nx, ny + 11);
    c.lineTo(nx + 5, ny + 15);
    c.closePath();
    c.fill();
    c.textAlign = "center";
    c.font = "bold 11px " + carattere;
    c.fillText("N", nx, ny + 27);
    if (selezione && selezione.m !== null) punto_scelto(selezione.m);
  }

  // The chosen place as a ring on both halves of the plan.
  function punto_scelto(m) {
    const j = punto_del_metro(m);
    if (j < 0 || j >= px.length || Number.isNaN(px[j])) return;
    ctx_pianta.strokeStyle = "#1565c0";
    ctx_pianta.lineWidth = 2;
    for (const q of [quadro_intero, quadro_tratto]) {
      if (!q) continue;
      ctx_pianta.beginPath();
      ctx_pianta.arc(q.sx(px[j]), q.sy(py[j]), 6, 0, 2 * Math.PI);
      ctx_pianta.stroke();
    }
    ctx_pianta.lineWidth = 1;
  }

  // The cursor and the chosen place, on a canvas of their own over the
  // profile, so that following the mouse redraws nothing else.
  let x_cursore = null;
  function disegna_cursore() {
    const c = ctx_cursore;
    c.setTransform(dpr, 0, 0, dpr, 0, 0);
    c.clearRect(0, 0, larghezza, altezza_profilo);
    const linea = (x, colore) => {
      if (x < sinistra || x > sinistra + spazio()) return;
      c.strokeStyle = colore;
      c.beginPath();
      c.moveTo(Math.round(x) + 0.5, altezza_asse);
      c.lineTo(Math.round(x) + 0.5, altezza_profilo);
      c.stroke();
    };
    if (selezione && selezione.m !== null) linea(x_di(selezione.m), "rgba(21,101,192,0.8)");
    if (x_cursore !== null) linea(x_cursore, "rgba(0,0,0,0.35)");
  }

  // ---------------------------------------------------------------------
  // What lies under the mouse, in the report's words.

  function testo_cella(c) {
    const righe_testo = ["cella " + c + " (da " + c * metri_cella + " m a " + (c + 1) * metri_cella + " m)"];
    for (const p of dati.profili) {
      const i = tratto_in(p, c);
      if (i >= 0) righe_testo.push(p.titolo + ": " + riga_tratto(p, i));
    }
    for (let i = primo_da(oggetti.cella, c); i < n_oggetti && oggetti.cella[i] === c; ++i) righe_testo.push(riga_oggetto(i));
    for (let k = 0; k < n_stazioni; ++k)
      if (Math.floor(stazioni.m[k] / metri_cella) === c) righe_testo.push("stazione " + stazioni.frase[k]);
    return righe_testo.join("\n");
  }

  // The mark of a row nearest to x, within a few pixels: its object's index.
  function segno_vicino(r, x) {
    let migliore = -1, distanza = 7;
    for (let k = primo_da(r.posizioni, m_di(x - 7)); k < r.posizioni.length; ++k) {
      const d = Math.abs(x_di(r.posizioni[k]) - x);
      if (x_di(r.posizioni[k]) > x + 7) break;
      if (d < distanza) {
        distanza = d;
        migliore = r.indici[k];
      }
    }
    return migliore;
  }

  function cosa_sotto(x, y) {
    if (x < sinistra || x > sinistra + spazio() || y < altezza_asse) return null;
    const m = m_di(x);
    const cella = Math.floor(m / metri_cella);
    const di_cella = () => (cella >= 0 && cella < celle ? { testo: testo_cella(cella), m: (cella + 0.5) * metri_cella } : null);
    const r = righe.find((r) => y >= r.cima && y < r.cima + altezza_riga);
    if (!r || !acceso[r.id]) return di_cella();
    if (r.id === "stazioni") {
      let migliore = -1, distanza = 7;
      for (let k = 0; k < n_stazioni; ++k) {
        const d = Math.abs(x_di(stazioni.m[k]) - x);
        if (d < distanza) {
          distanza = d;
          migliore = k;
        }
      }
      if (migliore >= 0) return { testo: stazioni.frase[migliore], m: stazioni.m[migliore] };
    }
    const i = segno_vicino(r, x);
    if (i >= 0) {
      let testo = riga_oggetto(i);
      const barra = barre.find((b) => b.inizio === i || b.fine === i);
      if (barra && barra.inizio >= 0 && barra.inizio !== i) testo = riga_oggetto(barra.inizio) + "\n" + testo;
      if (barra && barra.inizio === i) testo += "\n" + riga_oggetto(barra.fine);
      return { testo, m: oggetti.m[i] };
    }
    if (r.id === "stazioni") {
      for (let k = 0; k < n_stazioni; ++k)
        if (m >= stazioni.da_m[k] && m <= stazioni.a_m[k]) return { testo: "area della stazione " + stazioni.frase[k], m };
    }
    if (r.id === "rallentamenti") {
      const k = primo_da(fine_barre, m);
      if (k < barre.length && barre[k].da <= m && barre[k].inizio >= 0)
        return { testo: riga_oggetto(barre[k].inizio) + "\n" + riga_oggetto(barre[k].fine), m };
    }
    if (r.id === "montagne") {
      const p = profili.montagne;
      const k = tratto_in(p, cella);
      if (k >= 0) return { testo: p.titolo + ": " + riga_tratto(p, k), m };
    }
    if (r.id === "ripetizione" && dati.ripetizione && m >= dati.ripetizione.da_m && m <= dati.ripetizione.a_m)
      return { testo: dati.ripetizione.frase, m };
    return di_cella();
  }

  const suggerimento = document.getElementById("suggerimento");
  const dettaglio = document.getElementById("dettaglio");
  let selezione = null;

  function mostra_suggerimento(cosa, cx, cy) {
    if (!cosa) {
      suggerimento.hidden = true;
      return;
    }
    suggerimento.textContent = cosa.testo;
    suggerimento.hidden = false;
    const w = suggerimento.offsetWidth, h = suggerimento.offsetHeight;
    const x = cx + 14 + w > window.innerWidth ? cx - 14 - w : cx + 14;
    const y = cy + 16 + h > window.innerHeight ? cy - 12 - h : cy + 16;
    suggerimento.style.left = Math.max(0, x) + "px";
    suggerimento.style.top = Math.max(0, y) + "px";
  }

  function scegli(cosa) {
    selezione = cosa;
    dettaglio.textContent = cosa ? cosa.testo : "Passa sopra una cella o un segno.";
    richiedi_disegno();
  }

  // ---------------------------------------------------------------------
  // Moving: the wheel, dragging, the keys, the buttons and the jump box.

  const riquadro = document.getElementById("riquadro-profilo");
  const punto_in_tela = (e) => {
    const r = tela.getBoundingClientRect();
    return [e.clientX - r.left, e.clientY - r.top];
  };

  tela.addEventListener("wheel", (e) => {
    e.preventDefault();
    const [x] = punto_in_tela(e);
    const passi = e.deltaMode === 1 ? e.deltaY / 3 : e.deltaY / 100;
    ingrandisci(Math.pow(1.25, -passi), m_di(Math.min(Math.max(x, sinistra), sinistra + spazio())));
  }, { passive: false });

  let trascinamento = null;
  tela.addEventListener("pointerdown", (e) => {
    if (e.button !== 0) return;
    riquadro.focus({ preventScroll: true });
    trascinamento = { x: e.clientX, da: vista.da, a: vista.a, mosso: false };
    tela.setPointerCapture(e.pointerId);
  });
  tela.addEventListener("pointermove", (e) => {
    const [x, y] = punto_in_tela(e);
    if (trascinamento) {
      const dx = e.clientX - trascinamento.x;
      if (Math.abs(dx) > 3) trascinamento.mosso = true;
      if (trascinamento.mosso) {
        tela.classList.add("trascina");
        const metri = (dx / spazio()) * (trascinamento.a - trascinamento.da);
        imposta_vista(trascinamento.da - metri, trascinamento.a - metri);
        suggerimento.hidden = true;
        return;
      }
    }
    x_cursore = x >= sinistra ? x : null;
    disegna_cursore();
    mostra_suggerimento(cosa_sotto(x, y), e.clientX, e.clientY);
  });
  tela.addEventListener("pointerup", (e) => {
    if (!trascinamento) return;
    const mosso = trascinamento.mosso;
    trascinamento = null;
    tela.classList.remove("trascina");
    if (!mosso) {
      const [x, y] = punto_in_tela(e);
      scegli(cosa_sotto(x, y));
    }
  });
  tela.addEventListener("pointerleave", () => {
    x_cursore = null;
    disegna_cursore();
    suggerimento.hidden = true;
  });

  // A click on the plan brings its nearest point into view.
  tela_pianta.addEventListener("click", (e) => {
    const r = tela_pianta.getBoundingClientRect();
    const x = e.clientX - r.left, y = e.clientY - r.top;
    const q = quadro_tratto && x > quadro_tratto.x ? quadro_tratto : quadro_intero;
    if (!q) return;
    let migliore = -1, distanza = Infinity;
    for (let i = 0; i < px.length; ++i) {
      if (Number.isNaN(px[i])) continue;
      const d = Math.hypot(q.sx(px[i]) - x, q.sy(py[i]) - y);
      if (d < distanza) {
        distanza = d;
        migliore = i;
      }
    }
    if (migliore >= 0 && distanza < 20) centra(metro_del_punto(migliore), vista.a - vista.da);
  });

  document.addEventListener("keydown", (e) => {
    if (e.target instanceof HTMLInputElement || e.ctrlKey || e.metaKey || e.altKey) return;
    const w = vista.a - vista.da, centro = (vista.a + vista.da) / 2;
    switch (e.key) {
      case "+": case "=": ingrandisci(1.5, centro); break;
      case "-": case "_": ingrandisci(1 / 1.5, centro); break;
      case "ArrowLeft": sposta(-w / (e.shiftKey ? 1 : 8)); break;
      case "ArrowRight": sposta(w / (e.shiftKey ? 1 : 8)); break;
      case "PageUp": sposta(-w); break;
      case "PageDown": sposta(w); break;
      case "Home": imposta_vista(0, estensione); break;
      case "End": imposta_vista(estensione - w, estensione); break;
      default: return;
    }
    e.preventDefault();
  });
  document.getElementById("piu").addEventListener("click", () => ingrandisci(1.5, (vista.a + vista.da) / 2));
  document.getElementById("meno").addEventListener("click", () => ingrandisci(1 / 1.5, (vista.a + vista.da) / 2));
  document.getElementById("tutta").addEventListener("click", () => imposta_vista(0, estensione));

  const semplice = (t) => t.normalize("NFD").replace(/[\u0300-\u036f]/g, "").toLowerCase().trim();
  const messaggio = document.getElementById("messaggio");

  function vai_stazione(k) {
    centra(stazioni.m[k], Math.min(vista.a - vista.da, 2000));
    scegli({ testo: stazioni.frase[k], m: stazioni.m[k] });
  }

  // A kilometre ("12,5", "km 12.5") or a station's name, whole or its start.
  function vai(testo) {
    messaggio.textContent = "";
    const t = testo.trim();
    if (!t) return;
    const numero = /^(?:km\s*)?(-?\d+(?:[.,]\d*)?)\s*(?:km)?$/i.exec(t);
    if (numero) {
      const m = parseFloat(numero[1].replace(",", ".")) * 1000;
      const dentro = Math.min(Math.max(m, 0), estensione);
      if (dentro !== m) messaggio.textContent = "La linea va da km 0 a km " + km(estensione, 3) + ".";
      centra(dentro, Math.min(vista.a - vista.da, 5000));
      scegli({ testo: testo_cella(Math.min(Math.floor(dentro / metri_cella), Math.max(celle - 1, 0))), m: dentro });
      return;
    }
    const cercato = semplice(t);
    const nomi = stazioni.nome.map(semplice);
    let k = nomi.indexOf(cercato);
    if (k < 0) k = nomi.findIndex((n) => n.startsWith(cercato));
    if (k < 0) k = nomi.findIndex((n) => n.includes(cercato));
    if (k < 0) {
      messaggio.textContent = "Nessuna stazione si chiama «" + t + "»: scrivi il nome di una stazione dell'elenco o un chilometro, per esempio 12,5.";
      return;
    }
    vai_stazione(k);
  }
  document.getElementById("salto").addEventListener("submit", (e) => {
    e.preventDefault();
    vai(document.getElementById("vai").value);
  });

  // ---------------------------------------------------------------------
  // The lists beside the view.

  function riempi_elenchi() {
    document.getElementById("sommario").textContent = dati.sommario;
    const elenco = document.getElementById("stazioni");
    const nomi = document.getElementById("nomi-stazioni");
    document.getElementById("titolo-stazioni").textContent = "Stazioni (" + n_stazioni + ")";
    for (const k of stazioni_in_fila) {
      const li = document.createElement("li");
      const b = document.createElement("button");
      b.type = "button";
      b.textContent = stazioni.nome[k] + " · km " + km(stazioni.m[k], 3);
      b.addEventListener("click", () => vai_stazione(k));
      li.appendChild(b);
      elenco.appendChild(li);
      const o = document.createElement("option");
      o.value = stazioni.nome[k];
      nomi.appendChild(o);
    }

    const problemi = document.getElementById("problemi");
    document.getElementById("titolo-problemi").textContent =
      dati.problemi.length ? "Problemi (" + dati.problemi.length + ")" : "Problemi: nessuno";
    for (const p of dati.problemi) {
      const li = document.createElement("li");
      if (p.m === null) {
        li.textContent = p.riga;
      } else {
        const b = document.createElement("button");
        b.type = "button";
        b.textContent = p.riga;
        b.title = "Vai a km " + km(p.m, 3);
        b.addEventListener("click", () => {
          centra(p.m, Math.min(vista.a - vista.da, 2000));
          const c = Math.min(Math.floor(p.m / metri_cella), celle - 1);
          scegli({ testo: p.riga + (c >= 0 ? "\n\n" + testo_cella(c) : ""), m: p.m });
        });
        li.appendChild(b);
      }
      problemi.appendChild(li);
    }

    const livelli = document.getElementById("livelli");
    for (const l of [...bande, ...righe]) {
      const voce = document.createElement("label");
      const casella = document.createElement("input");
      casella.type = "checkbox";
      casella.checked = true;
      casella.id = "livello-" + l.id;
      casella.addEventListener("change", () => {
        acceso[l.id] = casella.checked;
        fondo_pianta = null;
        richiedi_disegno();
      });
      const campione = document.createElement("span");
      campione.className = "campione";
      campione.style.background = l.colore;
      voce.append(casella, campione, l.nome);
      livelli.appendChild(voce);
    }
  }

  // ---------------------------------------------------------------------
  // The page's state for whoever drives it from outside (the browser tests).

  const centro_di = (id) => {
    const l = [...bande, ...righe].find((l) => l.id === id);
    if (id === "celle") return y_celle + altezza_celle / 2;
    return l.cima + (l.altezza || altezza_riga) / 2;
  };
  window.vista = {
    get da_m() { return vista.da; },
    get a_m() { return vista.a; },
    // Page coordinates of a place along the run and of a row or band.
    x_pagina: (m) => tela.getBoundingClientRect().left + x_di(m),
    y_pagina: (id) => tela.getBoundingClientRect().top + centro_di(id),
    disegnati,
    get celle_numerate() { return celle_numerate; },
    tempi,
    get disegni() { return disegni; },
    pronta_ms: null,
  };

  riempi_elenchi();
  ridimensiona();
  disegna();
  window.vista.pronta_ms = performance.now();
  window.addEventListener("resize", () => {
    ridimensiona();
    richiedi_disegno();
  });
})();
