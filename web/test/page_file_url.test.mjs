// The page unpacked from build/pavaneflow-web.zip and opened straight from disk (file://, no
// server), as a user who double-clicks index.html opens it: it speaks, opens the example in its
// worker, dances on the mannequin and downloads the command line's file.
import assert from "node:assert/strict";
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { dirname, join } from "node:path";
import { after, before, test } from "node:test";
import { unzipSync } from "fflate";

import { ROOT } from "./core_loader.mjs";
import { EXAMPLE, noCli as skip, PageSession } from "./page_session.mjs";

let session, page, unpacked;
before(async () => {
  // Unpacked into a folder of its own, away from the build.
  const files = unzipSync(readFileSync(join(ROOT, "build/pavaneflow-web.zip")));
  unpacked = mkdtempSync(join(tmpdir(), "pavaneflow-unzipped-"));
  for (const [name, bytes] of Object.entries(files)) {
    mkdirSync(dirname(join(unpacked, name)), { recursive: true });
    writeFileSync(join(unpacked, name), bytes);
  }
  session = await PageSession.open({ folder: join(unpacked, "pavaneflow") });
  page = session.page;
});
after(async () => {
  await session?.close();
  if (unpacked) rmSync(unpacked, { recursive: true, force: true });
});

test("the zip holds the page and its one script in a folder", () => {
  const names = Object.keys(unzipSync(readFileSync(join(ROOT, "build/pavaneflow-web.zip")))).sort();
  assert.deepEqual(names, ["pavaneflow/app.js", "pavaneflow/index.html"]);
});

test("opened from disk, the page speaks, reads in its worker, dances and downloads", { skip }, async () => {
  assert.match(page.url(), /^file:\/\//);
  assert.equal(await session.textOf("#exampleButton"), "例を開く");
  await page.click("#exampleButton");
  await session.danceShown();
  assert.equal(await page.inputValue("#title"), "Morning Pavane");
  assert.ok(await page.evaluate(() => window.pavaneflow.preview.model !== null), "no mannequin");
  const { name, bytes } = await session.download("#generateButton");
  assert.equal(name, "demo_SINGLE_BASIC.vmd");
  const expected = session.convert([...(await session.cliOptions()), EXAMPLE], "expected.vmd");
  assert.ok(bytes.equals(readFileSync(expected)), "the bytes differ");
  // The core works in a worker, not on the page's thread.
  assert.equal(await page.evaluate(() => window.pavaneflow.core.worker instanceof Worker), true);
});
