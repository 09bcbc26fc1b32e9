// The page in headless Chromium, served as a static host would serve build/web: the example in,
// options changed, the downloads compared with the command line's files, the preview drawn and
// dancing, and a screenshot for the README.
import assert from "node:assert/strict";
import { mkdirSync, readdirSync, readFileSync, writeFileSync } from "node:fs";
import { dirname, join } from "node:path";
import { after, before, test } from "node:test";
import { unzipSync } from "fflate";

import { ROOT } from "./core_loader.mjs";
import { assertSameExport, EXAMPLE, noCli as skip, PageSession, SIMFILE, silence } from "./page_session.mjs";

let session, page;
before(async () => {
  session = await PageSession.open();
  page = session.page;
});
after(() => session?.close());

test("the example's charts are listed as the application lists them", { skip }, async () => {
  await page.click("#exampleButton");
  await session.danceShown();
  assert.equal(await page.inputValue("#title"), "Morning Pavane");
  assert.equal(await page.inputValue("#bpm"), "128.000");
  const charts = await page.$$eval("#chartList option", (options) => options.map((o) => o.textContent));
  assert.deepEqual(charts, ["SINGLE BASIC (3)", "SINGLE ANOTHER (6)", "DOUBLE BASIC (5)", "COUPLE BASIC (4)"]);
  assert.equal(await page.isDisabled("#player1"), true);
  assert.equal(await page.isEnabled("#generateButton"), true);
});

test("the natural motion facing the viewer is shown first, the classic one a click away", { skip }, async () => {
  assert.equal(await page.isChecked("#naturalMotion"), true);
  assert.equal(await page.isChecked("#facingViewer"), true);
  const natural = await page.evaluate(() => window.pavaneflow.dance.vmd.length);
  await page.click("#naturalMotion");
  await session.danceShown();
  assert.equal(await page.isVisible("#facingChoice"), false);
  const classic = await page.evaluate(() => window.pavaneflow.dance.vmd.length);
  assert.notEqual(classic, natural);
  await page.click("#naturalMotion");
  await session.danceShown();
});

test("a download is the command line's file for the same chart and options, named as convert --all names it", { skip }, async () => {
  const cases = [
    { chart: 1, player: null, twist: true, planned: false, game: false, name: "demo_SINGLE_BASIC.vmd", args: [] },
    { chart: 4, player: 2, twist: false, planned: true, game: false, name: "demo_COUPLE_BASIC_2P.vmd", args: ["--chart", "4", "--player", "2", "--no-twist", "--feet", "planned"] },
    { chart: 3, player: null, twist: true, planned: false, game: true, name: "demo_DOUBLE_BASIC.vmd", args: ["--chart", "3", "--timing", "game"] },
    { chart: 2, player: null, twist: true, planned: false, game: false, facing: "Viewer", name: "demo_SINGLE_ANOTHER.vmd", args: ["--chart", "2", "--motion", "natural"] },
    { chart: 4, player: 1, twist: true, planned: true, game: true, facing: "Screen", name: "demo_COUPLE_BASIC_1P.vmd", args: ["--chart", "4", "--feet", "planned", "--timing", "game", "--motion", "natural", "--facing", "screen"] },
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
    await session.danceShown();
    const { name, bytes } = await session.download("#generateButton");
    assert.equal(name, c.name);
    const expected = session.convert([...c.args, EXAMPLE], `expected-${c.chart}.vmd`);
    assert.ok(bytes.equals(readFileSync(expected)), `chart ${c.chart}: the bytes differ`);
    // Work done is told as such, not as a problem.
    assert.equal(await page.getAttribute("#message", "data-kind"), "done");
    assert.match(await session.textOf("#message"), new RegExp(`^${c.name} を作りました`));
  }
});

test("all charts come as one zip of the files convert --all writes", { skip }, async () => {
  await page.setChecked("#gameTiming", false);
  await session.danceShown();
  const { name, bytes } = await session.download("#allButton");
  assert.equal(name, "demo.zip");
  const files = unzipSync(bytes);
  const folder = session.convert(["--all", ...(await session.cliOptions()), EXAMPLE], "all");
  assert.deepEqual(Object.keys(files).sort(), readdirSync(folder).sort());
  for (const [file, content] of Object.entries(files)) {
    assert.ok(Buffer.from(content).equals(readFileSync(join(folder, file))), `${file} differs`);
  }
});

test("the download and the zip come in the format chosen, as convert --format writes them", { skip }, async () => {
  await page.selectOption("#chartList", { index: 1 });
  await session.danceShown();
  const formats = await page.$$eval("#format option", (options) => options.map((o) => o.textContent));
  assert.deepEqual(formats, ["VMD", "VRM アニメーション", "BVH"]);
  try {
    for (const format of ["vrma", "bvh"]) {
      await page.selectOption("#format", format);
      const { name, bytes } = await session.download("#generateButton");
      assert.equal(name, `demo_SINGLE_ANOTHER.${format}`);
      const expected = session.convert(["--chart", "2", ...(await session.cliOptions()), EXAMPLE], `expected.${format}`);
      assertSameExport(bytes, readFileSync(expected), format);
    }
    const { bytes } = await session.download("#allButton");
    const files = unzipSync(bytes);
    const folder = session.convert(["--all", "--format", "bvh", ...(await session.cliOptions()), EXAMPLE], "all-bvh");
    assert.deepEqual(Object.keys(files).sort(), readdirSync(folder).sort());
    for (const [file, content] of Object.entries(files)) {
      assertSameExport(Buffer.from(content), readFileSync(join(folder, file)), file);
    }
  } finally {
    await page.selectOption("#format", "vmd");
  }
});

test("several charts dropped at once come as one zip of all their charts", { skip }, async () => {
  const demo = readFileSync(EXAMPLE);
  const [file] = await Promise.all([
    page.waitForEvent("download"),
    session.choose([
      { name: "demo.dwi", mimeType: "text/plain", buffer: demo },
      { name: "again.dwi", mimeType: "text/plain", buffer: demo },
    ]),
  ]);
  assert.equal(file.suggestedFilename(), "pavaneflow.zip");
  const names = Object.keys(unzipSync((await session.saved(file)).bytes)).sort();
  assert.equal(names.length, 10);
  assert.ok(names.includes("again_COUPLE_BASIC_2P.vmd") && names.includes("demo_SINGLE_BASIC.vmd"));
  await session.danceShown();
});

test("the mannequin is drawn and its feet move while the dance plays", { skip }, async () => {
  await page.selectOption("#chartList", { index: 0 });
  await session.danceShown();
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

test("a dropped song folder opens the chart file the games choose, with the song it names", { skip }, async () => {
  await session.dropFolder([
    { path: "Song/demo.dwi", bytes: readFileSync(EXAMPLE) },
    { path: "Song/demo.ssc", bytes: readFileSync(SIMFILE) },
    { path: "Song/demo.ogg", bytes: silence() },
  ]);
  await session.danceShown();
  const charts = await page.$$eval("#chartList option", (options) => options.map((o) => o.textContent));
  assert.deepEqual(charts, ["SINGLE EASY (3)", "SINGLE CHALLENGE (8)", "DOUBLE MEDIUM (5)"]);
  assert.equal(await session.textOf("#songName"), "曲: demo.ogg");
  await page.selectOption("#chartList", { index: 1 });
  await session.danceShown();
  const { name, bytes } = await session.download("#generateButton");
  assert.equal(name, "demo_SINGLE_CHALLENGE.vmd");
  const expected = session.convert(["--chart", "2", ...(await session.cliOptions()), SIMFILE], "simfile.vmd");
  assert.ok(bytes.equals(readFileSync(expected)), "the simfile's bytes differ");
});

test("a dropped folder of songs comes as one zip laid out as convert --all writes it", { skip }, async () => {
  const songs = [
    { path: "Pack/One/demo.ssc", bytes: readFileSync(SIMFILE) },
    { path: "Pack/One/demo.dwi", bytes: readFileSync(EXAMPLE) },
    { path: "Pack/Two/demo.dwi", bytes: readFileSync(EXAMPLE) },
  ];
  for (const { path, bytes } of songs) {
    mkdirSync(dirname(join(session.scratch, path)), { recursive: true });
    writeFileSync(join(session.scratch, path), bytes);
  }
  const [file] = await Promise.all([page.waitForEvent("download"), session.dropFolder(songs)]);
  const files = unzipSync((await session.saved(file)).bytes);
  const folder = session.convert(["--all", ...(await session.cliOptions()), join(session.scratch, "Pack")], "pack");
  const expected = readdirSync(folder, { recursive: true }).filter((f) => f.endsWith(".vmd"));
  assert.deepEqual(Object.keys(files).sort(), expected.sort());
  for (const [name, content] of Object.entries(files)) {
    assert.ok(Buffer.from(content).equals(readFileSync(join(folder, name))), `${name} differs`);
  }
  await session.danceShown();
});

test("a screenshot of the example for the README", { skip }, async () => {
  await page.click("#exampleButton");
  await session.danceShown();
  // As the page starts, whatever the tests before chose.
  await page.setChecked("#gameTiming", false);
  await page.setChecked("#plannedFeet", false);
  await page.setChecked("#naturalMotion", true);
  await page.check("#facingViewer");
  await session.danceShown();
  await page.selectOption("#chartList", { index: 1 });
  await session.danceShown();
  await page.evaluate(() => window.pavaneflow.preview.seek(300));
  await page.waitForTimeout(500);
  await page.screenshot({ path: join(ROOT, "docs/web.png") });
});
