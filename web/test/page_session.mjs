// What the page's tests share: the page of build/web opened in headless Chromium (served from
// 127.0.0.1 as a static host would serve it, or straight from disk), and the steps they take on it.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { existsSync, mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { pathToFileURL } from "node:url";

import { launch } from "./browser.mjs";
import { ROOT } from "./core_loader.mjs";
import { serve } from "./static_server.mjs";

export const WEB = join(ROOT, "build/web");
export const CLI = process.env.PAVANEFLOW_CLI ?? join(ROOT, "build/src/cli/pavaneflow-cli");
export const EXAMPLE = join(ROOT, "examples/demo.dwi");
export const SIMFILE = join(ROOT, "examples/demo.ssc");
export const noCli = existsSync(CLI) ? false : `no command line at ${CLI}`;

// A browser with the page open: build/web served over HTTP, or with `folder` that folder's
// index.html opened from disk.
export class PageSession {
  // `browserArgs`: more of Chromium's switches.
  static async open({ folder = null, width = 1200, height = 720, locale = "ja-JP", browserArgs = [] } = {}) {
    const session = new PageSession();
    session.browser = await launch(browserArgs);
    session.scratch = mkdtempSync(join(tmpdir(), "pavaneflow-page-"));
    let url;
    if (folder) {
      url = pathToFileURL(join(folder, "index.html")).href;
    } else {
      session.server = await serve(WEB);
      url = session.server.url;
    }
    session.page = await session.newPage(url, { width, height, locale });
    return session;
  }

  async newPage(url, { width = 1200, height = 720, locale = "ja-JP" } = {}) {
    const page = await this.browser.newPage({ viewport: { width, height }, locale, acceptDownloads: true });
    // Software WebGL on a shared machine: each page drawing takes much of a core.
    page.setDefaultTimeout(90000);
    page.on("pageerror", (error) => console.error("page error:", error.message));
    await page.goto(url);
    return page;
  }

  async close() {
    await this.browser?.close();
    await this.server?.close();
    if (this.scratch) rmSync(this.scratch, { recursive: true, force: true });
  }

  // Waits until the page shows a dance and has nothing more under way.
  danceShown() {
    return this.page.waitForFunction(() => window.pavaneflow?.dance && !window.pavaneflow.busy);
  }

  // Waits until the page has nothing under way.
  idle() {
    return this.page.waitForFunction(() => window.pavaneflow && !window.pavaneflow.busy);
  }

  // The file the click on `selector` downloads: its name and bytes.
  async download(selector) {
    const [file] = await Promise.all([this.page.waitForEvent("download"), this.page.click(selector)]);
    return this.saved(file);
  }

  async saved(file) {
    const path = join(this.scratch, file.suggestedFilename());
    await file.saveAs(path);
    return { name: file.suggestedFilename(), bytes: readFileSync(path) };
  }

  // Files dropped as a folder's files are: with their paths inside the dropped folder.
  dropFolder(files) {
    return this.page.evaluate((list) => window.pavaneflow.takeFiles(list.map(({ path, base64 }) => {
      const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
      const file = new File([bytes], path.split("/").pop());
      return Object.defineProperty(file, "webkitRelativePath", { value: path });
    })), files.map(({ path, bytes }) => ({ path, base64: Buffer.from(bytes).toString("base64") })));
  }

  // Files chosen in the file dialog.
  choose(files) {
    return this.page.setInputFiles("#fileInput", files);
  }

  // The options of the command line that the page's controls stand for now.
  async cliOptions() {
    const page = this.page;
    const args = [];
    if (await page.isChecked("#gameTiming")) args.push("--timing", "game");
    if (await page.isChecked("#plannedFeet")) args.push("--feet", "planned");
    if (!(await page.isChecked("#twist"))) args.push("--no-twist");
    if (await page.isChecked("#naturalMotion")) {
      args.push("--motion", "natural", "--facing", (await page.isChecked("#facingScreen")) ? "screen" : "viewer");
    }
    return args;
  }

  // What `pavaneflow-cli convert ARGS... -o OUT` writes (OUT inside the scratch folder).
  convert(args, out) {
    const path = join(this.scratch, out);
    execFileSync(CLI, ["convert", ...args, "-o", path], { stdio: "ignore" });
    return path;
  }

  textOf(selector) {
    return this.page.textContent(selector);
  }
}

// The page's export is the command line's, byte for byte.
export function assertSameExport(actual, expected, what) {
  assert.ok(actual.equals(expected), `${what}: the bytes differ`);
}

// A second of silence as a WAV file.
export function silence() {
  const rate = 8000;
  const header = Buffer.alloc(44);
  header.write("RIFF", 0); header.writeUInt32LE(36 + rate, 4); header.write("WAVEfmt ", 8);
  header.writeUInt32LE(16, 16); header.writeUInt16LE(1, 20); header.writeUInt16LE(1, 22);
  header.writeUInt32LE(rate, 24); header.writeUInt32LE(rate, 28); header.writeUInt16LE(1, 32);
  header.writeUInt16LE(8, 34); header.write("data", 36); header.writeUInt32LE(rate, 40);
  return Buffer.concat([header, Buffer.alloc(rate, 128)]);
}
