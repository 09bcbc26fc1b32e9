// The page in headless Chromium, served from 127.0.0.1 as a static host would serve build/web:
// the example in, options changed, the download compared with the command line's file, the
// preview drawn and dancing, a bad file refused, and a screenshot for the README.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { existsSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { dirname, join } from "node:path";
import { after, before, test } from "node:test";
import { unzipSync } from "fflate";

import { launch } from "./browser.mjs";
import { ROOT } from "./core_loader.mjs";
import { serve } from "./static_server.mjs";

const CLI = process.env.PAVANEFLOW_CLI ?? join(ROOT, "build/src/cli/pavaneflow-cli");
const EXAMPLE = join(ROOT, "examples/demo.dwi");
const SIMFILE = join(ROOT, "examples/demo.ssc");
const skip = existsSync(CLI) ? false : `no command line at ${CLI}`;

let server, browser, page, scratch;
before(async () => {
  server = await serve(join(ROOT, "build/web"));
  browser = await launch();
  page = await browser.newPage({ viewport: { width: 1200, height: 720 }, locale: "ja-JP", acceptDownloads: true });
  page.on("pageerror", (error) => console.error("page error:", error.message));
  await page.goto(server.url);
  scratch = mkdtempSync(join(tmpdir(), "pavaneflow-page-"));
});
after(async () => {
  await browser?.close();
  await server?.close();
  if (scratch) rmSync(scratch, { recursive: true, force: true });
});

function cli(...args) {
  execFileSync(CLI, args, { stdio: "ignore" });
}

async function danceShown() {
  await page.waitForFunction(() => window.pavaneflow?.dance && !window.pavaneflow.busy);
}

async function download(selector) {
  const [file] = await Promise.all([page.waitForEvent("download"), page.click(selector)]);
  const path = join(scratch, file.suggestedFilename());
  await file.saveAs(path);
  return { name: file.suggestedFilename(), bytes: readFileSync(path) };
}

test("the example's charts are listed as the application lists them", { skip }, async () => {
  await page.click("#exampleButton");
  await danceShown();
  assert.equal(await page.inputValue("#title"), "Morning Pavane");
  assert.equal(await page.inputValue("#bpm"), "128.000");
  const charts = await page.$$eval("#chartList option", (options) => options.map((o) => o.textContent));
  assert.deepEqual(charts, ["SINGLE BASIC (3)", "SINGLE ANOTHER (6)", "DOUBLE BASIC (5)", "COUPLE BASIC (4)"]);
  assert.equal(await page.isDisabled("#player1"), true);
  assert.equal(await page.isEnabled("#generateButton"), true);
});

test("a download is the command line's file for the same chart and options", { skip }, async () => {
  const cases = [
    { chart: 1, player: null, twist: true, planned: false, game: false, args: [] },
    { chart: 4, player: 2, twist: false, planned: true, game: false, args: ["--chart", "4", "--player", "2", "--no-twist", "--feet", "planned"] },
    { chart: 3, player: null, twist: true, planned: false, game: true, args: ["--chart", "3", "--timing", "game"] },
    { chart: 2, player: null, twist: true, planned: false, game: false, facing: "Viewer", args: ["--chart", "2", "--motion", "natural"] },
    { chart: 4, player: 1, twist: true, planned: true, game: true, facing: "Screen", args: ["--chart", "4", "--feet", "planned", "--timing", "game", "--motion", "natural", "--facing", "screen"] },
  ];
  for (const c of cases) {
    if ((await page.isChecked("#gameTiming")) !== c.game) await page.click("#gameTiming");
    await page.selectOption("#chartList", { index: c.chart - 1 });
    if (c.player) await page.check(`#player${c.player}`);
    await page.setChecked("#twist", c.twist);
    await page.setChecked("#plannedFeet", c.planned);
    await page.setChecked("#naturalMotion", Boolean(c.facing));
    // The facing is a choice of the natural motion only.
    assert.equal(await page.isVisible("#facingChoice"), Boolean(c.facing));
    if (c.facing) await page.check(`#facing${c.facing}`);
    await danceShown();
    const { name, bytes } = await download("#generateButton");
    assert.equal(name, "demo.vmd");
    const expected = join(scratch, `expected-${c.chart}.vmd`);
    cli("convert", ...c.args, EXAMPLE, "-o", expected);
    assert.ok(bytes.equals(readFileSync(expected)), `chart ${c.chart}: the bytes differ`);
  }
});

test("all charts come as one zip of the files convert --all writes", { skip }, async () => {
  await page.setChecked("#gameTiming", false);
  await page.setChecked("#naturalMotion", false);
  await danceShown();
  const { name, bytes } = await download("#allButton");
  assert.equal(name, "demo.zip");
  const files = unzipSync(bytes);
  const folder = join(scratch, "all");
  cli("convert", "--all", "--feet", (await page.isChecked("#plannedFeet")) ? "planned" : "classic",
    ...((await page.isChecked("#twist")) ? [] : ["--no-twist"]), EXAMPLE, "-o", folder);
  assert.deepEqual(Object.keys(files).sort(), readdirSync(folder).sort());
  for (const [file, content] of Object.entries(files)) {
    assert.ok(Buffer.from(content).equals(readFileSync(join(folder, file))), `${file} differs`);
  }
});

test("several charts dropped at once come as one zip of all their charts", { skip }, async () => {
  const demo = readFileSync(EXAMPLE);
  const [file] = await Promise.all([
    page.waitForEvent("download"),
    page.setInputFiles("#fileInput", [
      { name: "demo.dwi", mimeType: "text/plain", buffer: demo },
      { name: "again.dwi", mimeType: "text/plain", buffer: demo },
    ]),
  ]);
  assert.equal(file.suggestedFilename(), "pavaneflow.zip");
  const path = join(scratch, "several.zip");
  await file.saveAs(path);
  const names = Object.keys(unzipSync(readFileSync(path))).sort();
  assert.equal(names.length, 10);
  assert.ok(names.includes("again_COUPLE_BASIC_2P.vmd") && names.includes("demo_SINGLE_BASIC.vmd"));
  await danceShown();
});

test("the mannequin is drawn and its feet move while the dance plays", { skip }, async () => {
  await page.selectOption("#chartList", { index: 0 });
  await danceShown();
  // Pixels of the 3D view: a blank canvas has one colour.
  const colours = await page.evaluate(() => {
    const canvas = document.getElementById("scene");
    const copy = document.createElement("canvas");
    copy.width = canvas.width;
    copy.height = canvas.height;
    const g = copy.getContext("2d");
    g.drawImage(canvas, 0, 0);
    const data = g.getImageData(0, 0, copy.width, copy.height).data;
    const seen = new Set();
    for (let i = 0; i < data.length; i += 4 * 97) seen.add((data[i] << 16) | (data[i + 1] << 8) | data[i + 2]);
    return seen.size;
  });
  assert.ok(colours > 20, `only ${colours} colours drawn`);
  const feet = () => page.evaluate(() => {
    const pose = window.pavaneflow.pose();
    return [pose.left.x, pose.left.z, pose.right.x, pose.right.z];
  });
  const before = await feet();
  await page.click("#playButton");
  const moved = [];
  for (let i = 0; i < 20 && moved.length === 0; ++i) {
    await page.waitForTimeout(250);
    const now = await feet();
    if (now.some((v, k) => Math.abs(v - before[k]) > 0.5)) moved.push(now);
  }
  await page.click("#playButton");
  assert.ok(moved.length > 0, "the feet stayed where they were");
  assert.equal(await page.textContent("#playButton"), "再生");
});

// Files dropped as a folder's files are: with their paths inside the dropped folder.
function dropFolder(files) {
  return page.evaluate((list) => window.pavaneflow.takeFiles(list.map(({ path, base64 }) => {
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const file = new File([bytes], path.split("/").pop());
    return Object.defineProperty(file, "webkitRelativePath", { value: path });
  })), files.map(({ path, bytes }) => ({ path, base64: bytes.toString("base64") })));
}

test("a dropped song folder opens the chart file the games choose, with the song it names", { skip }, async () => {
  await dropFolder([
    { path: "Song/demo.dwi", bytes: readFileSync(EXAMPLE) },
    { path: "Song/demo.ssc", bytes: readFileSync(SIMFILE) },
    { path: "Song/demo.ogg", bytes: silence() },
  ]);
  await danceShown();
  const charts = await page.$$eval("#chartList option", (options) => options.map((o) => o.textContent));
  assert.deepEqual(charts, ["SINGLE EASY (3)", "SINGLE CHALLENGE (8)", "DOUBLE MEDIUM (5)"]);
  assert.equal(await page.textContent("#songName"), "曲: demo.ogg");
  await page.selectOption("#chartList", { index: 1 });
  await danceShown();
  const { name, bytes } = await download("#generateButton");
  assert.equal(name, "demo.vmd");
  const expected = join(scratch, "simfile.vmd");
  cli("convert", "--chart", "2", ...((await page.isChecked("#plannedFeet")) ? ["--feet", "planned"] : []),
    ...((await page.isChecked("#twist")) ? [] : ["--no-twist"]), SIMFILE, "-o", expected);
  assert.ok(bytes.equals(readFileSync(expected)), "the simfile's bytes differ");
});

test("a dropped folder of songs comes as one zip laid out as convert --all writes it", { skip }, async () => {
  const songs = [
    { path: "Pack/One/demo.ssc", bytes: readFileSync(SIMFILE) },
    { path: "Pack/One/demo.dwi", bytes: readFileSync(EXAMPLE) },
    { path: "Pack/Two/demo.dwi", bytes: readFileSync(EXAMPLE) },
  ];
  for (const { path, bytes } of songs) {
    mkdirSync(dirname(join(scratch, path)), { recursive: true });
    writeFileSync(join(scratch, path), bytes);
  }
  const [file] = await Promise.all([page.waitForEvent("download"), dropFolder(songs)]);
  const path = join(scratch, "pack.zip");
  await file.saveAs(path);
  const files = unzipSync(readFileSync(path));
  const folder = join(scratch, "pack");
  cli("convert", "--all", ...((await page.isChecked("#plannedFeet")) ? ["--feet", "planned"] : []),
    ...((await page.isChecked("#twist")) ? [] : ["--no-twist"]), join(scratch, "Pack"), "-o", folder);
  const expected = readdirSync(folder, { recursive: true }).filter((f) => f.endsWith(".vmd"));
  assert.deepEqual(Object.keys(files).sort(), expected.sort());
  for (const [name, content] of Object.entries(files)) {
    assert.ok(Buffer.from(content).equals(readFileSync(join(folder, name))), `${name} differs`);
  }
  await danceShown();
});

// A second of silence as a WAV file.
function silence() {
  const rate = 8000;
  const header = Buffer.alloc(44);
  header.write("RIFF", 0); header.writeUInt32LE(36 + rate, 4); header.write("WAVEfmt ", 8);
  header.writeUInt32LE(16, 16); header.writeUInt16LE(1, 20); header.writeUInt16LE(1, 22);
  header.writeUInt32LE(rate, 24); header.writeUInt32LE(rate, 28); header.writeUInt16LE(1, 32);
  header.writeUInt16LE(8, 34); header.write("data", 36); header.writeUInt32LE(rate, 40);
  return Buffer.concat([header, Buffer.alloc(rate, 128)]);
}

test("a dropped song is played with the dance", { skip }, async () => {
  await page.setInputFiles("#fileInput", { name: "song.wav", mimeType: "audio/wav", buffer: silence() });
  await page.waitForFunction(() => document.getElementById("songName").textContent === "曲: song.wav");
  assert.match(await page.evaluate(() => window.pavaneflow.preview.audio.source), /^blob:/);
});

test("a file that is no chart is refused with a message", { skip }, async () => {
  const cases = [
    { name: "song.dwi", buffer: Buffer.from([0x49, 0x44, 0x33, 0, 0, 0, 1, 2, 3]), message: "song.dwi は譜面ファイルではありません。" },
    { name: "huge.dwi", buffer: Buffer.alloc(9 * 1024 * 1024, 0x23), message: "huge.dwi は大きすぎます (8 MB 以下にしてください)。" },
    { name: "model.pmx", buffer: Buffer.from("not a model at all"), message: "model.pmx は PMX モデルとして読めませんでした。" },
  ];
  for (const c of cases) {
    await page.setInputFiles("#fileInput", { name: c.name, mimeType: "application/octet-stream", buffer: c.buffer });
    await page.waitForFunction((text) => document.getElementById("message").textContent === text, c.message);
  }
  // The song shown before is still there.
  assert.equal(await page.inputValue("#title"), "Morning Pavane");
});

test("reading problems are listed line by line", { skip }, async () => {
  const chart = "#TITLE:Broken;\n#BPM:120;\n#CHANGEBPM:48=150;\n#SINGLE:BASIC:1:2468;\n";
  await page.setInputFiles("#fileInput", { name: "broken.dwi", mimeType: "text/plain", buffer: Buffer.from(chart) });
  await page.waitForFunction(() => !document.getElementById("problems").hidden);
  const lines = (await page.textContent("#problemList")).split("\n");
  assert.match(lines[0], /^3行目:/);
});

test("the page speaks English where the browser is not Japanese", async () => {
  const english = await browser.newPage({ locale: "en-US" });
  await english.goto(server.url);
  assert.equal(await english.textContent("#generateButton"), "Generate...");
  await english.close();
});

test("a screenshot of the example for the README", { skip }, async () => {
  await page.click("#exampleButton");
  await danceShown();
  await page.selectOption("#chartList", { index: 1 });
  await danceShown();
  await page.evaluate(() => window.pavaneflow.preview.seek(300));
  await page.waitForTimeout(500);
  await page.screenshot({ path: join(ROOT, "docs/web.png") });
});
