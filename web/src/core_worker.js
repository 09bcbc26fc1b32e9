// The worker side: runs the WebAssembly core, so that a long chart or a bad file never holds up
// the page. Messages: {id, type: "open", bytes, name, timing}, {id, type: "model", bytes, name},
// {id, type: "convert", index, options} and {id, type: "exportFile", index, options, format};
// answers {id, result} or {id, error}, and {id, progress} while converting.
import createPavaneflowCore from "pavaneflow-core";
import wasmBinary from "pavaneflow-core-wasm";

let corePromise = null;

function core() {
  // The bytes come with the script: a worker started from a blob has no folder to fetch from.
  corePromise ??= createPavaneflowCore({ wasmBinary });
  return corePromise;
}

export function serveCore() {
  self.onmessage = async ({ data }) => {
    const { id, type } = data;
    try {
      const module = await core();
      if (type === "open") {
        self.postMessage({ id, result: module.open(data.bytes, data.name, data.timing) });
      } else if (type === "model") {
        self.postMessage({ id, result: module.loadModel(data.bytes, data.name) });
      } else if (type === "convert") {
        const result = module.convert(data.index, data.options,
          (share) => self.postMessage({ id, progress: share }));
        self.postMessage({ id, result }, [result.vmd.buffer]);
      } else if (type === "exportFile") {
        const result = module.exportFile(data.index, data.options, data.format);
        self.postMessage({ id, result }, [result.buffer]);
      }
    } catch (error) {
      self.postMessage({ id, error: String(error && error.message || error) });
    }
  };
}
