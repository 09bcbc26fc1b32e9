// Every corpus chart, both players, twist on and off, both timings and both footings, and the
// simfiles (which have one timing of their own) with both footings and twist on and off; natural
// motion, facing either way, on a sample of them: the WebAssembly core writes the bytes that the
// native command line writes.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { existsSync, mkdtempSync, readdirSync, readFileSync, rmSync, statSync } from "node:fs";
import { tmpdir } from "node:os";
import { basename, join } from "node:path";
import { after, before, test } from "node:test";

import { loadCore, ROOT } from "./core_loader.mjs";

const CLI = process.env.PAVANEFLOW_CLI ?? join(ROOT, "build/src/cli/pavaneflow-cli");
const CORPUS = process.env.PAVANEFLOW_CORPUS ?? join(ROOT, "../shared/corpus/dwi");
const SIMFILES = process.env.PAVANEFLOW_SIMFILES ?? join(ROOT, "../shared/corpus/sm");

// The chart files beneath `folder`, in a fixed order.
function chartsIn(folder, pattern) {
  if (!existsSync(folder)) return [];
  return readdirSync(folder, { recursive: true }).filter((f) => pattern.test(f)).sort()
    .map((f) => join(folder, f)).filter((f) => statSync(f).isFile());
}
const dwi = chartsIn(CORPUS, /\.dwi$/);
const simfiles = chartsIn(SIMFILES, /\.(sm|ssc)$/i);
// Every fifth file of each: natural motion takes longer to make.
const sample = [...dwi, ...simfiles].filter((_, i) => i % 5 === 0);
const noCli = !existsSync(CLI) && `no command line at ${CLI}`;
const skipIfNone = (files, folder) => noCli || (files.length === 0 && `no corpus at ${folder}`);

let core;
let scratch;
before(async () => {
  core = await loadCore();
  // In memory where there is such a folder: the command line syncs every file it writes.
  scratch = mkdtempSync(join(existsSync("/dev/shm") ? "/dev/shm" : tmpdir(), "pavaneflow-web-"));
});
after(() => scratch && rmSync(scratch, { recursive: true, force: true }));

// The files `convert --all` writes into one folder, named as it names them.
function wasmFiles(charts, timing, options) {
  const files = new Map();
  for (const path of charts) {
    const song = core.open(readFileSync(path), basename(path), timing);
    assert.ok(song.ok, `${path}: ${song.error}`);
    song.charts.forEach((chart, index) => {
      chart.fileNames.forEach((name, player) => {
        let unique = name;
        for (let n = 2; files.has(unique); ++n) unique = name.replace(/\.vmd$/, `-${n}.vmd`);
        files.set(unique, core.convert(index, { ...options, player }, null).vmd);
      });
    });
  }
  return files;
}

const classic = { motion: "classic", facing: "viewer" };
const cases = [];
for (const feet of ["classic", "planned"]) {
  for (const twist of [true, false]) {
    for (const timing of ["classic", "game"]) {
      cases.push({ label: "DWI corpus", charts: dwi, skip: skipIfNone(dwi, CORPUS), timing, feet, twist, ...classic });
    }
    cases.push({ label: "simfile corpus", charts: simfiles, skip: skipIfNone(simfiles, SIMFILES), timing: "classic", feet, twist, ...classic });
  }
}
for (const facing of ["viewer", "screen"]) {
  for (const feet of ["classic", "planned"]) {
    cases.push({ label: "corpus sample", charts: sample, skip: skipIfNone(sample, CORPUS), timing: "game", feet, twist: true, motion: "natural", facing });
  }
}

for (const { label, charts, skip, timing, feet, twist, motion, facing } of cases) {
  const natural = motion === "natural" ? `, natural motion facing the ${facing}` : "";
  test(`${label}: timing ${timing}, feet ${feet}, twist ${twist ? "on" : "off"}${natural}`, { skip }, () => {
    const folder = join(scratch, [label, timing, feet, twist, motion, facing].join("-"));
    const args = ["convert", "--all", "--timing", timing, "--feet", feet, "-o", folder];
    if (!twist) args.push("--no-twist");
    if (motion === "natural") args.push("--motion", "natural", "--facing", facing);
    try {
      execFileSync(CLI, [...args, ...charts], { stdio: "ignore" });
    } catch {
      // Reading problems make the command fail for some files; only the written bytes count.
    }
    const expected = new Set(readdirSync(folder));
    const actual = wasmFiles(charts, timing, { twist, feet, motion, facing, compat: false });
    assert.deepEqual([...actual.keys()].sort(), [...expected].sort());
    for (const [name, bytes] of actual) {
      assert.ok(Buffer.from(bytes).equals(readFileSync(join(folder, name))), `${name} differs`);
    }
  });
}

test("compat files end with the four empty section counts", async () => {
  core.open(readFileSync(join(ROOT, "examples/demo.dwi")), "demo.dwi", "classic");
  const plain = core.convert(0, { player: 0, twist: true, feet: "classic", compat: false }, null).vmd;
  const compat = core.convert(0, { player: 0, twist: true, feet: "classic", compat: true }, null).vmd;
  assert.equal(compat.length, plain.length + 16);
  assert.deepEqual(compat.subarray(0, plain.length), plain);
  assert.ok(compat.subarray(plain.length).every((b) => b === 0));
});

test("what cannot be read is answered, not thrown", () => {
  const cases = [
    { label: "empty file", bytes: new Uint8Array(0), charts: 0 },
    { label: "binary bytes", bytes: Uint8Array.from({ length: 4096 }, (_, i) => (i * 7919) & 0xFF), charts: 0 },
    { label: "a cut-off chart", bytes: new TextEncoder().encode("#TITLE:x;\n#BPM:120;\n#SINGLE:BASIC:3:0246"), charts: 1 },
  ];
  for (const c of cases) {
    const song = core.open(c.bytes, "bad.dwi", "classic");
    assert.ok(song.ok, c.label);
    assert.equal(song.charts.length, c.charts, c.label);
    for (let i = 0; i < c.charts; ++i) {
      assert.ok(core.convert(i, { player: 0, twist: true, feet: "planned", compat: false }, null).vmd.length >= 54, c.label);
    }
  }
  assert.equal(core.convert(99, { player: 0, twist: true, feet: "classic", compat: false }, null).vmd.length, 0);
});
