// The WebAssembly core of build/wasm under Node, the wasm bytes handed over as a page's fetch
// would.
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";

export const ROOT = join(dirname(fileURLToPath(import.meta.url)), "..", "..");

export async function loadCore(folder = join(ROOT, "build", "wasm")) {
  const create = createRequire(import.meta.url)(join(folder, "pavaneflow_core.js"));
  return create({ wasmBinary: readFileSync(join(folder, "pavaneflow_core.wasm")) });
}
