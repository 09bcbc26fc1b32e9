// The core's worker, bundled apart and carried inside the page's script (see tools/bundle.mjs).
import { serveCore } from "./core_worker.js";

serveCore();
