// Bundles the page into one script that carries everything it loads: the core's worker (with the
// WebAssembly inside it), the mannequin and the example chart. A page opened straight from disk
// (file://) may not fetch its neighbours nor start a worker from a file, but it may start one
// from a blob of its own text.
// The reading problems' English and the model problems' Japanese come from the command line's
// catalogue.
//   node bundle.mjs WASM_DIR MANNEQUIN.pmx EXAMPLE.dwi CATALOGUE.po OUT.js
import { resolve } from "node:path";

import { build } from "esbuild";

import { readModelCatalogue, readProblemCatalogue } from "./problem_catalogue.mjs";

const [wasmDir, mannequin, example, po, out] = process.argv.slice(2);
if (!out) {
  console.error("usage: node bundle.mjs WASM_DIR MANNEQUIN.pmx EXAMPLE.dwi CATALOGUE.po OUT.js");
  process.exit(2);
}

const common = {
  bundle: true,
  format: "iife",
  minify: true,
  target: "es2020",
  logLevel: "warning",
  // The emscripten glue names Node's modules for its Node branch, never taken in a browser.
  external: ["fs", "path", "crypto"],
  write: false,
};

// Names the sources import, bound to the files built beside them.
function files(named) {
  return {
    name: "built-files",
    setup(context) {
      const filter = new RegExp(`^(${Object.keys(named).join("|")})$`);
      context.onResolve({ filter }, ({ path }) => ({ path: resolve(named[path]) }));
    },
  };
}

// The worker: the core's glue and its WebAssembly bytes.
const worker = await build({
  ...common,
  entryPoints: [new URL("../src/worker_main.js", import.meta.url).pathname],
  plugins: [files({
    "pavaneflow-core": `${wasmDir}/pavaneflow_core.js`,
    "pavaneflow-core-wasm": `${wasmDir}/pavaneflow_core.wasm`,
  })],
  loader: { ".wasm": "binary" },
});

// Modules made here: `named` maps an import's name to its contents and loader.
function made(named) {
  return {
    name: "made-modules",
    setup(context) {
      const filter = new RegExp(`^(${Object.keys(named).join("|")})$`);
      context.onResolve({ filter }, ({ path }) => ({ path, namespace: "made" }));
      context.onLoad({ filter: /.*/, namespace: "made" }, ({ path }) => named[path]);
    },
  };
}

await build({
  ...common,
  entryPoints: [new URL("../src/main.js", import.meta.url).pathname],
  loader: { ".pmx": "binary", ".dwi": "binary" },
  plugins: [made({
    // The worker's text, which the page starts from a blob.
    "pavaneflow-worker": { contents: worker.outputFiles[0].text, loader: "text" },
    "pavaneflow-problem-texts": { contents: JSON.stringify(readProblemCatalogue(po)), loader: "json" },
    "pavaneflow-model-texts": { contents: JSON.stringify(readModelCatalogue(po)), loader: "json" },
  }), files({ "pavaneflow-mannequin": mannequin, "pavaneflow-example": example })],
  write: true,
  outfile: out,
});
