// The page of esamina_scenario --html (see vista_dati.js): what lies under
// the mouse in the report's words, moving along the line, the lists beside
// the view, and the start.

// ---------------------------------------------------------------------
// What lies under the mouse, in the report's words.

function testo_cella(c) {
  const da = c * metri_cella, a = (c + 1) * metri_cella;
  let testa = "cella " + c + " (da " + da + " m a " + a + " m";
  if (km_della_linea) {
    const t = tratti_km[tratto_km_di(da)];
    testa += ", km " + km(km_in(t, da), 3) + " a " + km(km_in(t, a), 3);
  }
  const righe_testo = [testa + ")"];
  if (da >= lunghezza) {
    righe_testo.push("oltre la fine della linea, che finisce a " + lunghezza + " m" +
      (km_della_linea ? " (km " + km(km_linea(lunghezza), 3) + ")" : ""));
  }
  for (const p of da >= lunghezza ? [] : dati.profili) {
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
  trascinamento = { x: e.clientX, da: finestra.da, a: finestra.a, mosso: false };
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
  if (migliore >= 0 && distanza < 20) centra(metro_del_punto(migliore), finestra.a - finestra.da);
});

document.addEventListener("keydown", (e) => {
  // In the jump box and the choice of kilometres the keys are their own.
  if (e.target.id === "vai" || e.target.name === "riferimento" || e.ctrlKey || e.metaKey || e.altKey) return;
  const w = finestra.a - finestra.da, centro = (finestra.a + finestra.da) / 2;
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
document.getElementById("piu").addEventListener("click", () => ingrandisci(1.5, (finestra.a + finestra.da) / 2));
document.getElementById("meno").addEventListener("click", () => ingrandisci(1 / 1.5, (finestra.a + finestra.da) / 2));
document.getElementById("tutta").addEventListener("click", () => imposta_vista(0, estensione));

const semplice = (t) => t.normalize("NFD").replace(/[\u0300-\u036f]/g, "").toLowerCase().trim();
const messaggio = document.getElementById("messaggio");

function vai_stazione(k) {
  centra(stazioni.m[k], Math.min(finestra.a - finestra.da, 2000));
  scegli({ testo: stazioni.frase[k], m: stazioni.m[k] });
}

// A kilometre as written on the line ("88,750", "88.750", "88+750", "km 12,5"),
// in metres, or null.
function leggi_km(t) {
  const piu = /^(?:km\s*)?(-?\d+)\s*\+\s*(\d{1,3})$/i.exec(t);
  if (piu) return Number(piu[1]) * 1000 + (piu[1].startsWith("-") ? -1 : 1) * Number(piu[2]);
  const numero = /^(?:km\s*)?(-?\d+(?:[.,]\d*)?)\s*(?:km)?$/i.exec(t);
  return numero ? Math.round(parseFloat(numero[1].replace(",", ".")) * 1000) : null;
}

// The places of the line (0 to its length) that read kilometre k, in order.
function metri_del_km(k) {
  if (!km_della_linea) return k >= 0 && k <= lunghezza ? [k] : [];
  const r = [];
  for (const p of pezzi_km(0, lunghezza)) {
    const m = metro_in(p.t, k);
    if (m >= p.da && (m < p.a || (m === p.a && p.a === lunghezza))) r.push(m);
  }
  return r;
}

// The kilometres that the line covers, for a message: "da km 39,050 a km 0,050, ...".
const kilometri_della_linea = () =>
  pezzi_km(0, lunghezza).map((p) => "da km " + km(km_in(p.t, p.da), 3) + " a km " + km(km_in(p.t, p.a), 3)).join(", ");

// A kilometre or a station's name, whole or its start. A kilometre that
// several lines of the run share takes the view to the next such place at
// each try.
let ultimo_salto = null;
function vai(testo) {
  messaggio.textContent = "";
  const t = testo.trim();
  if (!t) return;
  const k = leggi_km(t);
  if (k !== null) {
    const posti = metri_del_km(k);
    if (!posti.length) {
      messaggio.textContent = "Il km " + km(k, 3) + " non è sulla linea, che va " + kilometri_della_linea() + (km_della_linea ? "" : " dall'inizio") + ".";
      return;
    }
    const chiave = k + (km_della_linea ? " linea" : " inizio");
    const n = ultimo_salto && ultimo_salto.chiave === chiave ? (ultimo_salto.n + 1) % posti.length : 0;
    ultimo_salto = { chiave, n };
    const m = posti[n];
    if (posti.length > 1)
      messaggio.textContent = "Il km " + km(k, 3) + " è in " + posti.length + " punti della linea: questo è il " + (n + 1) + "°; premi di nuovo Vai per il prossimo.";
    centra(m, Math.min(finestra.a - finestra.da, 5000));
    scegli({ testo: testo_cella(Math.min(Math.floor(m / metri_cella), Math.max(celle - 1, 0))), m });
    return;
  }
  ultimo_salto = null;
  const cercato = semplice(t);
  const nomi = stazioni.nome.map(semplice);
  let s = nomi.indexOf(cercato);
  if (s < 0) s = nomi.findIndex((n) => n.startsWith(cercato));
  if (s < 0) s = nomi.findIndex((n) => n.includes(cercato));
  if (s < 0) {
    messaggio.textContent = "Nessuna stazione si chiama «" + t + "»: scrivi il nome di una stazione dell'elenco o un chilometro, per esempio 88,750 o 88+750.";
    return;
  }
  vai_stazione(s);
}
document.getElementById("salto").addEventListener("submit", (e) => {
  e.preventDefault();
  vai(document.getElementById("vai").value);
});

// ---------------------------------------------------------------------
// The lists beside the view.

// The texts that name kilometres, written again when the kind changes.
const bottoni_stazioni = [], bottoni_problemi = [];
function scrivi_chilometri() {
  for (const [b, k] of bottoni_stazioni) b.textContent = stazioni.nome[k] + " · km " + km(km_mostrato(stazioni.m[k]), 3);
  for (const [b, m] of bottoni_problemi) b.title = "Vai a km " + km(km_mostrato(m), 3);
  document.getElementById("vai").placeholder = km_della_linea ? "stazione o km (88,750 o 88+750)" : "stazione o km dall'inizio (12,5)";
}

function riempi_elenchi() {
  document.getElementById("sommario").textContent = dati.sommario;
  const elenco = document.getElementById("stazioni");
  const nomi = document.getElementById("nomi-stazioni");
  document.getElementById("titolo-stazioni").textContent = "Stazioni (" + n_stazioni + ")";
  for (const k of stazioni_in_fila) {
    const li = document.createElement("li");
    const b = document.createElement("button");
    b.type = "button";
    bottoni_stazioni.push([b, k]);
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
      bottoni_problemi.push([b, p.m]);
      b.addEventListener("click", () => {
        centra(p.m, Math.min(finestra.a - finestra.da, 2000));
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

  // The kind of kilometres: the railway's, or the distance from the start.
  for (const scelta of document.querySelectorAll("input[name=riferimento]")) {
    scelta.checked = (scelta.value === "linea") === km_della_linea;
    scelta.disabled = tratti_km === null;
    scelta.addEventListener("change", () => {
      km_della_linea = scelta.value === "linea";
      ultimo_salto = null;
      scrivi_chilometri();
      richiedi_disegno();
    });
  }
  scrivi_chilometri();
}

// ---------------------------------------------------------------------
// The page's state for whoever drives it from outside (the browser tests).

const centro_di = (id) => {
  const l = [...bande, ...righe].find((l) => l.id === id);
  if (id === "celle") return y_celle + altezza_celle / 2;
  return l.cima + (l.altezza || altezza_riga) / 2;
};
window.vista = {
  get da_m() { return finestra.da; },
  get a_m() { return finestra.a; },
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
