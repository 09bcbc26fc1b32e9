// The page side of the core's worker: one request at a time, answered by promises.
import workerText from "pavaneflow-worker";

export class CoreClient {
  constructor() {
    // Started from a blob of the script the page carries: a page opened from disk may not start
    // a worker from a file, and a blob starts the same way on any host.
    const url = URL.createObjectURL(new Blob([workerText], { type: "text/javascript" }));
    this.worker = new Worker(url);
    this.next = 1;
    this.waiting = new Map();
    this.worker.onmessage = ({ data }) => {
      const entry = this.waiting.get(data.id);
      if (!entry) return;
      if ("progress" in data) {
        entry.onProgress?.(data.progress);
        return;
      }
      this.waiting.delete(data.id);
      if ("error" in data) entry.reject(new Error(data.error));
      else entry.resolve(data.result);
    };
  }

  request(message, onProgress) {
    const id = this.next++;
    return new Promise((resolve, reject) => {
      this.waiting.set(id, { resolve, reject, onProgress });
      this.worker.postMessage({ id, ...message });
    });
  }

  // The song as the core read it (see web_core.cpp): title, artist, bpm, charts, problems...
  open(bytes, name, timing) {
    return this.request({ type: "open", bytes, name, timing });
  }

  // Fits every later dance to the PMX or VRM model file `bytes` named `name`: {ok, name, scale},
  // or {ok: false, pattern, values, text} when it is no model to dance (see web_core.cpp).
  model(bytes, name) {
    return this.request({ type: "model", bytes, name });
  }

  // {vmd, frames, panels} of chart `index` of the open song.
  convert(index, options, onProgress) {
    return this.request({ type: "convert", index, options }, onProgress);
  }

  // The bytes of the file `convert --format` writes for chart `index`: format "vrma" or "bvh".
  exportFile(index, options, format) {
    return this.request({ type: "exportFile", index, options, format });
  }
}
