// The user's own model dropped on the page: the dance fitted to it as `convert --model` fits it,
// the note saying to whom and at what scale, and a model that cannot be danced refused as the
// command line refuses it, the dance then made for the standard body. (A file the preview cannot
// show either gets the preview's message and changes nothing: page_files.test.mjs.)
import assert from "node:assert/strict";
import { execFileSync, spawnSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { after, before, test } from "node:test";

import { ROOT } from "./core_loader.mjs";
import { assertSameExport, CLI, EXAMPLE, noCli as skip, PageSession } from "./page_session.mjs";

// Figures of the mannequin at other sizes, made in the scratch folder.
const figures = [
  { file: "tall.pmx", size: 1.25, name: "大きなマネキン" },
  { file: "small.pmx", size: 0.75, name: "小さなマネキン" },
];

let session, page;
before(async () => {
  session = await PageSession.open();
  page = session.page;
  for (const figure of figures) {
    execFileSync(process.execPath, [join(ROOT, "web/tools/make_mannequin.mjs"), join(session.scratch, figure.file), String(figure.size), figure.name]);
  }
  // A figure the preview shows but whose legs are too short to dance (the reference body's / 25).
  execFileSync(process.execPath, [join(ROOT, "web/tools/make_mannequin.mjs"), join(session.scratch, "tiny.pmx"), "0.04"]);
});
after(() => session?.close());

// What the command line says and writes for `args` in the language of `locale`, run in the
// scratch folder, so that it names a model file there as the page names a dropped one.
function cli(args, locale) {
  const env = { ...process.env, LC_ALL: locale, LANGUAGE: "" };
  return spawnSync(resolve(CLI), args, { env, encoding: "utf8", cwd: session.scratch });
}

// Drops the model file at `path` on page `target` and waits for the dance made again.
async function dropModel(target, path) {
  const before = await target.evaluate(() => window.pavaneflow.models);
  await target.setInputFiles("#fileInput", { name: path.split("/").pop(), mimeType: "application/octet-stream", buffer: readFileSync(path) });
  await target.waitForFunction((count) => window.pavaneflow.models > count && window.pavaneflow.dance && !window.pavaneflow.busy, before);
}

// The download of the chosen chart and the command line's file for the same options.
async function downloadAndConvert(args, out) {
  await session.danceShown();
  const { bytes } = await session.download("#generateButton");
  return { bytes, expected: readFileSync(session.convert([...(await session.cliOptions()), ...args, EXAMPLE], out)) };
}

for (const figure of figures) {
  test(`a dropped model fits the natural dance as convert --model does, and says to whom: ${figure.file}`, { skip }, async () => {
    const path = join(session.scratch, figure.file);
    await page.click("#exampleButton");
    await page.setChecked("#naturalMotion", true);
    await session.danceShown();
    await dropModel(page, path);
    const scale = figure.size.toFixed(3);
    const said = cli(["convert", EXAMPLE, "--motion", "natural", "--model", figure.file, "-o", "said.vmd"], "C");
    assert.match(said.stdout, new RegExp(`fitted to ${figure.name} \\(scale ${scale}\\)`));
    assert.equal(await session.textOf("#modelFit"), `踊りは ${figure.name} の体型に合わせています (${scale} 倍)`);
    assert.equal(await session.textOf("#modelName"), figure.file);
    const cases = [
      { label: "facing the viewer", chart: 1, planned: false, game: false, facing: "Viewer", reach: 4 },
      { label: "the second chart, planned feet, game timing, facing the screen", chart: 2, planned: true, game: true, facing: "Screen", reach: 4 },
      { label: "DOUBLE", chart: 3, planned: false, game: false, facing: "Viewer", reach: 10 },
    ];
    for (const c of cases) {
      if ((await page.isChecked("#gameTiming")) !== c.game) await page.click("#gameTiming");
      await page.selectOption("#chartList", { index: c.chart - 1 });
      await page.setChecked("#plannedFeet", c.planned);
      await page.check(`#facing${c.facing}`);
      const { bytes, expected } = await downloadAndConvert(["--chart", String(c.chart), "--model", path], `fitted-${c.chart}.vmd`);
      assert.equal(await page.isVisible("#modelFit"), true, c.label);
      // The pad drawn is the one the fitted dance steps on.
      const panels = await page.evaluate(() => window.pavaneflow.dance.panels);
      const widest = Math.max(...panels.map((p) => Math.abs(p.x)));
      assert.ok(Math.abs(widest - c.reach * figure.size) < 1e-5, `${c.label}: the pad reaches ${widest}`);
      assert.ok(panels.every((p) => Math.abs(p.scale - figure.size) < 1e-6), c.label);
      assert.ok(bytes.equals(expected), `${c.label}: the bytes differ from convert --model's`);
    }
    // The export is for the model's own skeleton, as convert --model --format writes it.
    try {
      for (const format of ["vrma", "bvh"]) {
        await page.selectOption("#format", format);
        const { bytes, expected } = await downloadAndConvert(["--chart", "3", "--model", path, "--format", format], `fitted.${format}`);
        assertSameExport(bytes, expected, format);
      }
    } finally {
      await page.selectOption("#format", "vmd");
    }
    // The classic motion is the same for every body, and the note is gone while it is chosen.
    await page.setChecked("#gameTiming", false);
    await page.setChecked("#naturalMotion", false);
    const { bytes, expected } = await downloadAndConvert(["--chart", "3"], "classic.vmd");
    assert.ok(bytes.equals(expected), "the classic motion differs from convert's without a model");
    assert.equal(await page.isVisible("#modelFit"), false);
    assert.equal(await page.evaluate(() => window.pavaneflow.dance.panels[0].scale), 1);
    await page.setChecked("#naturalMotion", true);
    await session.danceShown();
  });
}

test("a model that cannot be danced is refused as the command line refuses it, and the dance is the standard body's", { skip }, async () => {
  await page.setChecked("#plannedFeet", false);
  await page.selectOption("#chartList", { index: 0 });
  await dropModel(page, join(session.scratch, "tiny.pmx"));
  const refused = cli(["convert", EXAMPLE, "--motion", "natural", "--model", "tiny.pmx", "-o", "never.vmd"], "ja_JP.UTF-8");
  assert.equal(refused.status, 1);
  const problem = refused.stderr.trim();
  assert.match(problem, /^tiny\.pmx: 脚の形が踊れるものではありません \(hip /);
  assert.equal(await session.textOf("#modelName"), "tiny.pmx");
  assert.equal(await session.textOf("#message"), `${problem}。踊りは標準の体型で作ります。`);
  assert.equal(await page.isVisible("#modelFit"), false);
  const { bytes, expected } = await downloadAndConvert([], "standard.vmd");
  assert.ok(bytes.equals(expected), "the dance after a refused model differs from convert's without a model");
});

test("an English page words the note and the refusal as the command line does in English", { skip }, async () => {
  const english = await session.newPage(session.server.url, { locale: "en-US" });
  await english.click("#exampleButton");
  await english.waitForFunction(() => window.pavaneflow.dance && !window.pavaneflow.busy);
  await dropModel(english, join(session.scratch, "small.pmx"));
  assert.equal(await english.textContent("#modelFit"), "The dance is fitted to 小さなマネキン (scale 0.750)");
  await dropModel(english, join(session.scratch, "tiny.pmx"));
  const refused = cli(["convert", EXAMPLE, "--motion", "natural", "--model", "tiny.pmx", "-o", "never.vmd"], "C");
  assert.equal(await english.textContent("#message"), `${refused.stderr.trim()}. The dance is made for the standard body.`);
  await english.close();
});
