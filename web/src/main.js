// One script for the page and for its worker: a worker runs the core, the page everything else
// (loaded only there, so that the worker does not start the 3D engine).
import { serveCore } from "./core_worker.js";

if (typeof document === "undefined") {
  serveCore();
} else {
  const script = document.currentScript.src;
  import("./page.js").then(({ startPage }) => startPage(script));
}
