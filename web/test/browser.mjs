// Debian's Chromium, headless, with software WebGL; no browser is downloaded.
import { chromium } from "playwright-core";

// `args`: more of Chromium's switches.
export function launch(args = []) {
  return chromium.launch({
    executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
      "--ignore-gpu-blocklist", ...args],
  });
}
