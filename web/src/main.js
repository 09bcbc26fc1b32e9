// The page's script; the core's worker travels inside it (see tools/bundle.mjs).
import { startPage } from "./page.js";

startPage();
