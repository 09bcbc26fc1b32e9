// The page's view as a user handles it: the layout on a phone, Space to play and pause, a model
// dropped while paused, the camera put back.
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { join } from "node:path";
import { after, before, test } from "node:test";

import { ROOT } from "./core_loader.mjs";
import { EXAMPLE, noCli as skip, PageSession } from "./page_session.mjs";

let session, page;
before(async () => {
  session = await PageSession.open();
  page = session.page;
  await page.click("#exampleButton");
  await session.danceShown();
});
after(() => session?.close());

const playing = () => page.evaluate(() => window.pavaneflow.preview.playing);

test("Space plays and pauses, but for the controls that take Space themselves", { skip }, async () => {
  const cases = [
    { focus: null, toggles: true },
    { focus: "#position", toggles: true },
    // The button takes Space as a click: once, not twice.
    { focus: "#playButton", toggles: true },
    { focus: "#twist", toggles: false },
    { focus: "#chartList", toggles: false },
  ];
  for (const c of cases) {
    await page.evaluate((selector) => {
      if (selector) document.querySelector(selector).focus();
      else document.activeElement?.blur();
    }, c.focus);
    const before = await playing();
    await page.keyboard.press("Space");
    assert.equal(await playing(), c.toggles ? !before : before, c.focus);
    assert.equal(await session.textOf("#playButton"), (await playing()) ? "一時停止" : "再生", c.focus);
    if (await playing()) await page.click("#playButton");
    // Space on the checkbox checks it; the dance follows the change.
    await page.setChecked("#twist", true);
    await session.danceShown();
  }
});

// A few frames drawn: the bones are placed as the page draws a frame, not as it seeks.
function framesDrawn() {
  return page.evaluate(() => new Promise((done) => {
    let frames = 0;
    const scene = window.pavaneflow.preview.scene;
    const observer = scene.onAfterRenderObservable.add(() => {
      if (++frames === 3) {
        scene.onAfterRenderObservable.remove(observer);
        done();
      }
    });
  }));
}

test("a model dropped while paused takes the pose of the frame shown", { skip }, async () => {
  await page.evaluate(() => window.pavaneflow.preview.seek(300));
  await framesDrawn();
  const pose = () => page.evaluate(() => {
    const { left, right, centre } = window.pavaneflow.pose();
    return [left.x, left.y, left.z, right.x, right.y, right.z, centre.x, centre.y, centre.z];
  });
  const shown = await pose();
  // The mannequin again, as a model of the user's own: the same bones, so the same pose.
  const model = readFileSync(join(ROOT, "build/wasm/mannequin.pmx"));
  await session.choose({ name: "mine.pmx", mimeType: "application/octet-stream", buffer: model });
  await page.waitForFunction(() => document.getElementById("modelName").textContent === "mine.pmx");
  await framesDrawn();
  const after = await pose();
  // The dance is made again fitted to the model, whose legs are the reference body's to a few
  // hundredths (4.7024 and 4.5025 for 4.70 and 4.50): the feet land where they did, the centre
  // stands a little higher.
  for (const [i, value] of shown.entries()) {
    assert.ok(Math.abs(after[i] - value) < (i < 6 ? 1e-3 : 0.02), `coordinate ${i}: ${after[i]} != ${value}`);
  }
  // Not the rest pose, where both feet stand level beside the middle.
  const rest = [0.9, -0.9];
  assert.ok(Math.abs(after[0] - rest[0]) > 0.1 || Math.abs(after[3] - rest[1]) > 0.1 || Math.abs(after[2]) > 0.1);
  assert.equal(await playing(), false);
});

test("the view's button puts the camera back where it started", { skip }, async () => {
  const camera = () => page.evaluate(() => {
    const c = window.pavaneflow.preview.camera;
    return [c.alpha, c.beta, c.radius, c.target.x, c.target.y, c.target.z];
  });
  const start = await camera();
  await page.evaluate(() => {
    const c = window.pavaneflow.preview.camera;
    c.alpha += 1.3;
    c.beta -= 0.4;
    c.radius = 90;
    c.target.x += 7;
  });
  assert.notDeepEqual(await camera(), start);
  await page.click("#resetViewButton");
  assert.deepEqual(await camera(), start);
});

test("on a phone held upright the form stands above the view, nothing wider than the screen", { skip }, async () => {
  // One page drawing at a time: software WebGL takes a core for each.
  await page.evaluate(() => window.pavaneflow.preview.engine.stopRenderLoop());
  for (const locale of ["ja-JP", "en-US"]) {
    const phone = await session.newPage(session.server.url, { width: 390, height: 844, locale });
    await phone.click("#exampleButton");
    await phone.waitForFunction(() => window.pavaneflow?.dance && !window.pavaneflow.busy);
    const box = (id) => phone.$eval(id, (e) => e.getBoundingClientRect().toJSON());
    const form = await box("#form");
    const viewer = await box("#viewer");
    const canvas = await box("#scene");
    assert.ok(form.bottom <= viewer.top + 1, `${locale}: the form ends at ${form.bottom}, the view starts at ${viewer.top}`);
    assert.ok(canvas.width >= 380 && canvas.height >= 300, `${locale}: the view is ${canvas.width}×${canvas.height}`);
    assert.equal(await phone.evaluate(() => document.documentElement.scrollWidth), 390, locale);
    for (const id of ["#playButton", "#position", "#resetViewButton", "#generateButton", "#allButton"]) {
      const { right, width } = await box(id);
      assert.ok(width > 0 && right <= 390, `${locale}: ${id} ends at ${right}`);
    }
    await phone.close();
  }
  await page.evaluate(() => {
    const preview = window.pavaneflow.preview;
    preview.engine.runRenderLoop(() => preview.scene.render());
  });
});

test("without WebGL the page says so and still converts and downloads", { skip }, async () => {
  const bare = await PageSession.open({ browserArgs: ["--disable-3d-apis"] });
  try {
    const page = bare.page;
    await page.waitForFunction(() => window.pavaneflow);
    assert.equal(await bare.textOf("#message"), "このブラウザーでは 3D 表示が使えません (WebGL)。譜面の変換とダウンロードはできます。");
    await page.click("#exampleButton");
    await bare.danceShown();
    const { name, bytes } = await bare.download("#generateButton");
    assert.equal(name, "demo_SINGLE_BASIC.vmd");
    assert.ok(bytes.equals(readFileSync(bare.convert([...(await bare.cliOptions()), EXAMPLE], "expected.vmd"))));
  } finally {
    await bare.close();
  }
});
