// The page of esamina_scenario --html (see vista_dati.js): the plan of the
// line, and the cursor over the profile.

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
  const i1 = Math.max(0, Math.floor(Math.max(finestra.da, 0) / piano.passo_m));
  const i2 = Math.min(px.length - 1, Math.ceil(Math.min(finestra.a, estensione) / piano.passo_m));
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
      if (m < finestra.da || m > finestra.a || !acceso.stazioni) continue;
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
