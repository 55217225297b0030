// The page of esamina_scenario --html in a real browser: the system's
// chromium, driven headless by playwright-core. The pages are made by the
// built programs from the carried scenario, a damaged copy of it, a
// generated line of 1 000 km and the model of compila_scenario --modello;
// every check reads the page itself and holds
// it against the text report of the same files.
//
//   node prova_vista.mjs ESAMINA GENERA_SCENARIO GENERA_SORGENTI COMPILA FOTO
//
// Exit status: 0 passed, 1 failed, 77 skipped (no browser or no
// playwright-core) unless SCENARIO_BROWSER_OBBLIGATORIO=1, which makes a
// skip a failure.
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";
import assert from "node:assert/strict";

const [esamina, genera_scenario, genera_sorgenti, compila, foto] = process.argv.slice(2);
if (!foto) {
  console.error("uso: node prova_vista.mjs ESAMINA GENERA_SCENARIO GENERA_SORGENTI COMPILA FOTO");
  process.exit(2);
}

function salta(motivo) {
  if (process.env.SCENARIO_BROWSER_OBBLIGATORIO === "1") {
    console.error("prove nel browser obbligatorie, ma " + motivo);
    process.exit(1);
  }
  console.log("SALTATE: " + motivo);
  process.exit(77);
}

let chromium;
try {
  ({ chromium } = createRequire(import.meta.url)("playwright-core"));
} catch {
  salta("playwright-core non è installato: eseguire npm ci in " + path.dirname(new URL(import.meta.url).pathname));
}
const browser = process.env.SCENARIO_CHROMIUM || "/usr/bin/chromium";
if (!fs.existsSync(browser)) salta(browser + " non c'è: installare chromium (apt-get install chromium)");

// ---------------------------------------------------------------------------
// The pages and the reports.

const lavoro = fs.mkdtempSync(path.join(os.tmpdir(), "prova-vista-"));
const esegui = (programma, argomenti, opzioni = {}) =>
  execFileSync(programma, argomenti, { encoding: "utf8", stdio: ["ignore", "pipe", "pipe"], ...opzioni });

// The report's stations, occupied cells and runs, read back from its lines,
// each place with its metres and its railway kilometre ("96,100").
function leggi_rapporto(testo) {
  const r = { stazioni: [], celle: [], tratti: {} };
  let sezione = null;
  for (const riga of testo.split("\n")) {
    if (/^Stazioni \(\d+\)$/.test(riga)) r.n_stazioni = Number(riga.match(/\d+/)[0]);
    if (/^  lunghezza della linea: \d+ m/.test(riga)) r.lunghezza = Number(riga.match(/\d+/)[0]);
    let m;
    if ((m = /^  (\d+)\. (.*): tipo \d+, a (-?\d+) m \(km (-?\d+,\d{3})\), /.exec(riga)))
      r.stazioni.push({ voce: Number(m[1]), nome: m[2], m: Number(m[3]), km: m[4], riga: riga.trim() });
    else if ((m = /^  cella (\d+) \((-?\d+) m, km (-?\d+,\d{3})\): (.*)$/.exec(riga)))
      r.celle.push({ cella: Number(m[1]), m: Number(m[2]), km: m[3], frase: m[4], riga: riga.trim() });
    else if (/^  \S/.test(riga) && !riga.includes(":")) sezione = riga.trim();
    else if (sezione && (m = /^    celle da (\d+) a (\d+) /.exec(riga)))
      (r.tratti[sezione] ||= []).push({ prima: Number(m[1]), ultima: Number(m[2]), riga: riga.trim() });
  }
  r.di_genere = (inizio) => r.celle.filter((c) => c.frase.startsWith(inizio));
  return r;
}

function scenario(cartella, nome, treno) {
  const pagina = path.join(cartella, nome + ".html");
  const uscita = (argomenti) => {
    try {
      return esegui(esamina, [...argomenti, cartella, nome, treno]);
    } catch (e) {
      if (e.status !== 1) throw e;
      return e.stdout;  // exit status 1: problems were found, the page is written
    }
  };
  const rapporto = leggi_rapporto(uscita(["--html", pagina]));
  const json = JSON.parse(uscita(["--json"]));
  return { nome, pagina, rapporto, json };
}

// The railway kilometre of metre m by the tool's stretches, as "96,100";
// read by the stretch that holds metre `su` (a cell's end by its start's).
function km_della_linea(s, m, su = m) {
  const tratti = s.json.generale.tratti_chilometrici;
  let i = 0;
  while (i + 1 < tratti.length && tratti[i + 1].da_m <= su) ++i;
  return ((tratti[i].km_m + tratti[i].verso * (m - tratti[i].da_m)) / 1000).toFixed(3).replace(".", ",");
}

// The carried scenario: the main program writes it beside itself.
const portato = path.join(lavoro, "portato");
fs.mkdirSync(portato);
const copia_genera = path.join(portato, path.basename(genera_scenario));
fs.copyFileSync(genera_scenario, copia_genera);
fs.chmodSync(copia_genera, 0o755);
esegui(copia_genera, [], { cwd: portato });
const ombrasca = scenario(portato, "Ombrasca1", "5817");

// The same with one cell of an unknown kind, 50 km along the run.
const danneggiato = path.join(lavoro, "danneggiato");
fs.mkdirSync(danneggiato);
for (const f of fs.readdirSync(portato).filter((f) => f.startsWith("Ombrasca1_")))
  fs.copyFileSync(path.join(portato, f), path.join(danneggiato, f));
const tracciato = fs.readFileSync(path.join(danneggiato, "Ombrasca1_5817.dat"));
tracciato[15 * 1000] = 99;
fs.writeFileSync(path.join(danneggiato, "Ombrasca1_5817.dat"), tracciato);
const rotto = scenario(danneggiato, "Ombrasca1", "5817");

// The longest line.
const lunga_cartella = path.join(lavoro, "lunga");
fs.mkdirSync(lunga_cartella);
esegui(genera_sorgenti, [lunga_cartella, "Lunga", "1", "1000"]);
esegui(compila, [lunga_cartella, "Lunga", "1"]);
const lunga = scenario(lunga_cartella, "Lunga", "1");

// The scenario an author starts from: compila_scenario --modello.
const modello_cartella = path.join(lavoro, "modello");
fs.mkdirSync(modello_cartella);
esegui(compila, ["--modello", modello_cartella, "Modello", "100"]);
esegui(compila, ["--rigoroso", modello_cartella, "Modello", "100"]);
const modello = scenario(modello_cartella, "Modello", "100");

// ---------------------------------------------------------------------------
// The browser.

const profilo_browser = fs.mkdtempSync(path.join(os.tmpdir(), "prova-vista-browser-"));
const contesto = await chromium.launchPersistentContext(profilo_browser, {
  executablePath: browser,
  headless: true,
  viewport: { width: 1400, height: 950 },
  args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync"],
});

const errori_pagina = [];
// A browser that has just started takes its time over the first page it
// draws, fonts and all; a reader's browser is open already.
{
  const prima = await contesto.newPage();
  await prima.setContent("<canvas></canvas><p>pronto</p>");
  await prima.close();
}
async function apri(s) {
  const pagina = await contesto.newPage();
  pagina.on("pageerror", (e) => errori_pagina.push(s.nome + ": " + e.message));
  pagina.on("console", (m) => m.type() === "error" && errori_pagina.push(s.nome + ": " + m.text()));
  // The page must reach nothing outside its own file.
  await pagina.route((url) => !url.href.startsWith("file:"), (r) => {
    errori_pagina.push(s.nome + ": richiesta esterna " + r.request().url());
    r.abort();
  });
  await pagina.goto("file://" + s.pagina);
  await pagina.waitForFunction(() => window.vista && window.vista.pronta_ms !== null);
  return pagina;
}

// Runs `azione` and waits for the drawing it asks for.
async function e_ridisegna(pagina, azione) {
  const prima = await pagina.evaluate(() => vista.disegni);
  await azione();
  await pagina.waitForFunction((n) => vista.disegni > n, prima);
}

const vai = (pagina, testo) =>
  e_ridisegna(pagina, async () => {
    await pagina.fill("#vai", testo);
    await pagina.press("#vai", "Enter");
  });

// To a place of the report by its railway kilometre: a kilometre that two
// lines share takes one more try to reach the second place.
async function vai_al_km(pagina, voce) {
  for (let i = 0; i < 3; ++i) {
    await vai(pagina, voce.km);
    if ((await centro(pagina)) === voce.m) return;
  }
  assert.fail("il km " + voce.km + " non porta a " + voce.m + " m");
}

const scegli_km = (pagina, quali) => e_ridisegna(pagina, () => pagina.check(`input[name=riferimento][value=${quali}]`));
async function tasto(pagina, nome) {
  await pagina.focus("#riquadro-profilo");
  await e_ridisegna(pagina, () => pagina.keyboard.press(nome));
}

// The text shown with the mouse over metre m of a row or band.
async function testo_sotto(pagina, m, riga) {
  await pagina.mouse.move(1, 1);
  const [x, y] = await pagina.evaluate(([m, riga]) => [vista.x_pagina(m), vista.y_pagina(riga)], [m, riga]);
  await pagina.mouse.move(x, y);
  await pagina.waitForFunction(() => !document.getElementById("suggerimento").hidden);
  return pagina.textContent("#suggerimento");
}

const centro = (pagina) => pagina.evaluate(() => (vista.da_m + vista.a_m) / 2);

let passate = 0, fallite = 0;
async function prova(nome, corpo) {
  try {
    await corpo();
    ++passate;
    console.log("ok      " + nome);
  } catch (e) {
    ++fallite;
    console.log("FALLITA " + nome + "\n" + (e.stack || e));
  }
}

// One page at a time in front: a page behind others gets no frames to draw in.
const pagine = new Map();
async function pagina_di(s) {
  if (!pagine.has(s)) pagine.set(s, await apri(s));
  await pagine.get(s).bringToFront();
  return pagine.get(s);
}

for (const s of [ombrasca, lunga, modello]) {
  const pagina = await pagina_di(s);
  const r = s.rapporto;

  await prova(s.nome + ": elenco delle stazioni e conteggi come nel rapporto", async () => {
    assert.ok(r.n_stazioni > 0);
    assert.equal(await pagina.textContent("#titolo-stazioni"), "Stazioni (" + r.n_stazioni + ")");
    const nomi = await pagina.$$eval("#stazioni li", (li) => li.map((e) => e.textContent));
    const attesi = [...r.stazioni].sort((a, b) => a.m - b.m).map((st) => st.nome + " · km " + st.km);
    assert.deepEqual(nomi, attesi);
    const sommario = await pagina.textContent("#sommario");
    const conta = (inizio) => r.di_genere(inizio).length;
    for (const parte of [
      r.n_stazioni + " stazioni",
      conta("segnale:") + " segnali",
      conta("cartello (voce") + " cartelli",
      conta("indicatore di velocità massima") + " indicatori di velocità",
      conta("punto codice") + conta("punto senza codice") + " punti codice",
    ])
      assert.ok(sommario.includes(parte), sommario + " non dice " + parte);
  });

  await prova(s.nome + ": segnale, cartello, indicatore e stazione mostrati con le parole del rapporto", async () => {
    const scegli = (lista) => lista[Math.floor(lista.length * 0.6)];
    const casi = [
      { riga: "segnali", voce: scegli(r.di_genere("segnale:")) },
      { riga: "cartelli", voce: scegli(r.di_genere("cartello (voce")) },
      { riga: "indicatori", voce: scegli(r.di_genere("indicatore di velocità massima")) },
      { riga: "stazioni", voce: scegli(r.stazioni) },
    ];
    for (const { riga, voce } of casi) {
      assert.ok(voce, "nessun segno nella riga " + riga);
      await vai_al_km(pagina, voce);
      assert.equal(await testo_sotto(pagina, voce.m, riga), voce.riga, riga);
    }
  });

  await prova(s.nome + ": ingrandita su una stazione, le celle intorno con i loro metri", async () => {
    const st = r.stazioni.find((st) => st.m > 5000 && st.riga.includes("fermata cella"));
    await vai(pagina, st.nome);
    assert.ok(Math.abs((await centro(pagina)) - st.m) < 1, "la vista non è centrata sulla stazione");
    for (let i = 0; i < 10 && !(await pagina.evaluate(() => vista.celle_numerate)); ++i) await tasto(pagina, "+");
    const [prima, ultima] = await pagina.evaluate(() => vista.celle_numerate);
    const c = Math.floor(st.m / 50);
    assert.ok(prima < c && c < ultima, `cella ${c} fuori da ${prima}-${ultima}`);
    const velocita = r.tratti["Velocità massima"];
    for (const k of [c - 1, c, c + 1]) {
      const testo = await testo_sotto(pagina, k * 50 + 25, "velocita");
      const righe = testo.split("\n");
      assert.equal(righe[0], `cella ${k} (da ${k * 50} m a ${(k + 1) * 50} m, km ${km_della_linea(s, k * 50)} a ${km_della_linea(s, (k + 1) * 50, k * 50)})`);
      const t = velocita.find((t) => t.prima <= k && k <= t.ultima);
      assert.ok(righe.includes("Velocità massima: " + t.riga), testo);
      for (const o of r.celle.filter((o) => o.cella === k)) assert.ok(righe.includes(o.riga), testo);
    }
  });

  await prova(s.nome + ": ridisegno entro 50 ms, pagina pronta entro 1 s", async () => {
    const pronta = await pagina.evaluate(() => vista.pronta_ms);
    assert.ok(pronta < 1000, `pronta dopo ${pronta} ms`);
    await tasto(pagina, "Home");
    const da = await pagina.evaluate(() => vista.tempi.length);
    const x = await pagina.evaluate(() => vista.x_pagina(vista.a_m * 0.4));
    const y = await pagina.evaluate(() => vista.y_pagina("pendenza"));
    await pagina.mouse.move(x, y);
    for (let i = 0; i < 6; ++i) await e_ridisegna(pagina, () => pagina.mouse.wheel(0, -400));
    for (const t of ["ArrowRight", "ArrowRight", "PageDown", "ArrowLeft", "-", "-"]) await tasto(pagina, t);
    await e_ridisegna(pagina, async () => {
      await pagina.mouse.move(x, y);
      await pagina.mouse.down();
      await pagina.mouse.move(x - 300, y, { steps: 4 });
      await pagina.mouse.up();
    });
    for (let i = 0; i < 8; ++i) await e_ridisegna(pagina, () => pagina.mouse.wheel(0, 500));
    const tempi = await pagina.evaluate((da) => vista.tempi.slice(da), da);
    console.log(`        pronta in ${pronta.toFixed(0)} ms, ${tempi.length} ridisegni, il più lento in ${Math.max(...tempi).toFixed(1)} ms`);
    assert.ok(tempi.length >= 15, "ridisegni: " + tempi.length);
    assert.ok(Math.max(...tempi) <= 50, "ridisegni in ms: " + tempi.map((t) => t.toFixed(1)).join(" "));
  });
}

await prova("Ombrasca1: la casella di salto, per km della linea, per km dall'inizio e per nome", async () => {
  const pagina = await pagina_di(ombrasca);
  await tasto(pagina, "Home");
  // The notes' "km 88.750" on the valley line, 46 400 m from the start, however written.
  for (const testo of ["88,750", "88.750", "88+750", "km 88,750"]) {
    await vai(pagina, testo);
    assert.equal(await centro(pagina), 46400, testo);
    assert.equal(await pagina.textContent("#messaggio"), "", testo);
    assert.ok((await pagina.textContent("#dettaglio")).startsWith("cella 928 (da 46400 m a 46450 m, km 88,750 a 88,700)"), testo);
  }
  // Km 12.500 stands on the mountain line and again on the last one.
  await vai(pagina, "12,5");
  assert.equal(await centro(pagina), 26550);
  assert.match(await pagina.textContent("#messaggio"), /Il km 12,500 è in 2 punti della linea/);
  await vai(pagina, "12,5");
  assert.equal(await centro(pagina), 106250);
  await pagina.fill("#vai", "200");
  await pagina.press("#vai", "Enter");
  assert.match(await pagina.textContent("#messaggio"), /Il km 200,000 non è sulla linea, che va da km 39,050 a km 0,000, /);
  assert.equal(await centro(pagina), 106250);

  await scegli_km(pagina, "inizio");
  await vai(pagina, "12,5");
  assert.equal(await centro(pagina), 12500);
  await vai(pagina, "km 30.25");
  assert.equal(await centro(pagina), 30250);
  assert.equal(await pagina.textContent("#messaggio"), "");
  assert.ok((await pagina.$$eval("#stazioni li", (li) => li.map((e) => e.textContent))).includes("Sassolmo · km 24,700"));
  await scegli_km(pagina, "linea");

  const st = ombrasca.rapporto.stazioni.find((st) => st.nome === "Sassolmo");
  await vai(pagina, "  sassol");
  assert.equal(await centro(pagina), st.m);
  assert.equal(await pagina.textContent("#dettaglio"), st.riga);
  assert.equal(await pagina.textContent("#messaggio"), "");
  await pagina.fill("#vai", "Nessunluogo");
  await pagina.press("#vai", "Enter");
  assert.match(await pagina.textContent("#messaggio"), /Nessuna stazione si chiama «Nessunluogo»/);
  assert.equal(await centro(pagina), st.m);
});

// The train sheet is the ground truth of the railway's kilometres: every
// place of it that is a station of the run reads the same in the report,
// the JSON document and the page.
await prova("Ombrasca1: i km delle stazioni come nella scheda treno", async () => {
  const pagina = await pagina_di(ombrasca);
  const scheda = fs.readFileSync(path.join(portato, "Ombrasca1_5817_scheda_treno.txt"), "latin1");
  const nella_pagina = await pagina.$$eval("#stazioni li", (li) => li.map((e) => e.textContent));
  const per_nome = new Map(ombrasca.rapporto.stazioni.map((st) => [st.nome, st]));
  const json = new Map(ombrasca.json.stazioni.map((st) => [st.nome, st]));
  let confrontate = 0;
  for (const riga of scheda.split("\r\n")) {
    const m = /^ \|[^|]*\|[^|]*\| *(\d+\.\d{3}) \|([^|]*)\|/.exec(riga.replaceAll("_", " "));
    const st = m && per_nome.get(m[2].trim());
    if (!st) continue;  // a kilometre post, points, a signal
    ++confrontate;
    const km = m[1].replace(".", ",");
    assert.equal(st.km, km, "rapporto: " + st.nome);
    assert.equal(json.get(st.nome).km_ferroviario_m, Number(m[1].replace(".", "")), "JSON: " + st.nome);
    assert.ok(nella_pagina.includes(st.nome + " · km " + km), "pagina: " + st.nome + " km " + km);
  }
  assert.equal(confrontate, ombrasca.rapporto.n_stazioni);
});

await prova("Ombrasca1: le celle oltre la fine della linea non sono linea", async () => {
  const pagina = await pagina_di(ombrasca);
  const L = ombrasca.rapporto.lunghezza;
  await tasto(pagina, "Home");
  assert.ok((await pagina.evaluate(() => vista.a_m)) > L + 5000);
  const n_linea = ombrasca.rapporto.tratti["Pendenza"].filter((t) => t.prima * 50 < L).length;
  assert.ok(n_linea < ombrasca.rapporto.tratti["Pendenza"].length);
  assert.equal(await pagina.evaluate(() => vista.disegnati.pendenza), n_linea);
  const in_vista = await pagina.textContent("#tratto");
  assert.match(in_vista, /^in vista: da km 39,\d a km 0,0, poi da km 96,1 a km 80,7, poi da km 64,3 a km -5,\d e oltre la fine della linea$/);
  const coda = await testo_sotto(pagina, L + 1000, "pendenza");
  assert.ok(coda.includes("oltre la fine della linea, che finisce a " + L + " m"), coda);
  assert.ok(!coda.includes("Pendenza:"), coda);
  await scegli_km(pagina, "inizio");
  assert.equal(await pagina.textContent("#tratto"), "in vista: da km 0,0 a km " + (L / 1000).toFixed(1).replace(".", ",") + " dall'inizio e oltre la fine della linea");
  await scegli_km(pagina, "linea");
});

await prova("Ombrasca1: spento il livello dei segnali, i segnali non si vedono più", async () => {
  const pagina = await pagina_di(ombrasca);
  await tasto(pagina, "Home");
  // Pixels of the signals' red in their row.
  const rossi = () => pagina.evaluate(() => {
    const tela = document.getElementById("profilo");
    const scala = tela.width / tela.clientWidth;
    const y = vista.y_pagina("segnali") - tela.getBoundingClientRect().top;
    const punti = tela.getContext("2d").getImageData(140 * scala, (y - 10) * scala, tela.width - 140 * scala, 20 * scala).data;
    let n = 0;
    for (let i = 0; i < punti.length; i += 4) if (punti[i] > 150 && punti[i + 1] < 90 && punti[i + 2] < 90 && punti[i + 3] > 200) ++n;
    return n;
  });
  const segnale = ombrasca.rapporto.di_genere("segnale:")[3];
  assert.ok((await rossi()) > 50);
  assert.equal(await testo_sotto(pagina, segnale.m, "segnali"), segnale.riga);
  await e_ridisegna(pagina, () => pagina.uncheck("#livello-segnali"));
  assert.equal(await rossi(), 0);
  assert.equal(await pagina.evaluate(() => vista.disegnati.segnali), 0);
  assert.notEqual(await testo_sotto(pagina, segnale.m, "segnali"), segnale.riga);
  await e_ridisegna(pagina, () => pagina.check("#livello-segnali"));
  assert.ok((await rossi()) > 50);
});

await prova("Ombrasca1 danneggiato: il problema nell'elenco porta alla sua cella", async () => {
  const pagina = await pagina_di(rotto);
  const voci = await pagina.$$eval("#problemi li", (li) => li.map((e) => e.textContent));
  assert.deepEqual(voci, ["Ombrasca1_5817.dat: byte 15000: cella 1000: tipo 99 sconosciuto"]);
  await e_ridisegna(pagina, () => pagina.click("#problemi li button"));
  assert.equal(await centro(pagina), 50000);
  const dettaglio = await pagina.textContent("#dettaglio");
  assert.ok(dettaglio.includes(rotto.rapporto.celle.find((c) => c.cella === 1000).riga), dettaglio);
});

await prova("nessun errore nelle pagine, nessuna richiesta fuori dal file", async () => {
  assert.deepEqual(errori_pagina, []);
});

// The picture of README.md: a stretch of the carried line with a signal's text.
{
  const pagina = await pagina_di(ombrasca);
  await tasto(pagina, "Home");
  await vai(pagina, "Albarena");
  for (let i = 0; i < 4; ++i) await tasto(pagina, "-");
  const segnale = ombrasca.rapporto.di_genere("segnale:").find((c) => c.m > 63000);
  await pagina.evaluate(() => document.activeElement.blur());
  await testo_sotto(pagina, segnale.m, "segnali");
  await pagina.screenshot({ path: foto });
}

await contesto.close();
fs.rmSync(lavoro, { recursive: true, force: true });
fs.rmSync(profilo_browser, { recursive: true, force: true });
console.log(`vista: ${passate} passed, ${fallite} failed`);
process.exit(fallite ? 1 : 0);
