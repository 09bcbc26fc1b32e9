// The English texts of the reading problems from the command line's catalogue (po/ja.po), so
// that the page words them as the command line does: the msgids whose context is
// "reading problem KIND". (The Japanese comes from the core itself.)
import { readFileSync } from "node:fs";

const CONTEXT = "reading problem ";

const ESCAPES = { n: "\n", t: "\t", r: "\r" };

// A PO string's value: its quoted pieces joined, C escapes read.
function unquote(pieces) {
  return pieces.map((piece) => piece.trim().slice(1, -1).replace(/\\(.)/g, (_, c) => ESCAPES[c] ?? c)).join("");
}

// {KIND: English pattern} of the PO text `po`; a pattern's "{1}" is the line (the count for
// "omitted"), "{2}", "{3}" the problem's arguments.
export function problemCatalogue(po) {
  const catalogue = {};
  for (const block of po.split(/\n\s*\n/)) {
    const fields = {};
    let field = null;
    for (const line of block.split("\n")) {
      const start = line.match(/^(msgctxt|msgid)\s+(".*")\s*$/);
      if (start) {
        field = start[1];
        fields[field] = [start[2]];
      } else if (field && /^\s*"/.test(line)) {
        fields[field].push(line.trim());
      } else {
        field = null;
      }
    }
    const context = fields.msgctxt ? unquote(fields.msgctxt) : "";
    if (context.startsWith(CONTEXT) && fields.msgid) catalogue[context.slice(CONTEXT.length)] = unquote(fields.msgid);
  }
  return catalogue;
}

export function readProblemCatalogue(path) {
  return problemCatalogue(readFileSync(path, "utf8"));
}
