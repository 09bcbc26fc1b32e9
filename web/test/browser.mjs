// Debian's Chromium, headless, with software WebGL; no browser is downloaded.
import { chromium } from "playwright-core";

export function launch() {
  return chromium.launch({
    executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
      "--ignore-gpu-blocklist"],
  });
}
