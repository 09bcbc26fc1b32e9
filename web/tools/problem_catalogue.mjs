// The English texts of the reading problems from the command line's catalogue (po/ja.po), so
// that the page words them as the command line does: the msgids whose context is
// "reading problem KIND". (The Japanese comes from the core itself.) The model reader's problems
// are English in the core: their Japanese comes from the same catalogue.
import { readFileSync } from "node:fs";

const CONTEXT = "reading problem ";

const ESCAPES = { n: "\n", t: "\t", r: "\r" };

// A PO string's value: its quoted pieces joined, C escapes read.
function unquote(pieces) {
  return pieces.map((piece) => piece.trim().slice(1, -1).replace(/\\(.)/g, (_, c) => ESCAPES[c] ?? c)).join("");
}

// The entries of the PO text `po`: {context, id, str, references, fuzzy} each, strings unquoted
// (the first form of a plural).
function entries(po) {
  return po.split(/\n\s*\n/).map((block) => {
    const fields = {};
    const references = [];
    let fuzzy = false;
    let field = null;
    for (const line of block.split("\n")) {
      const start = line.match(/^(msgctxt|msgid|msgstr)\s+(".*")\s*$/);
      if (start) {
        field = start[1];
        fields[field] = [start[2]];
      } else if (field && /^\s*"/.test(line)) {
        fields[field].push(line.trim());
      } else {
        field = null;
        if (line.startsWith("#:")) references.push(...line.slice(2).trim().split(/\s+/));
        if (line.startsWith("#,") && /\bfuzzy\b/.test(line)) fuzzy = true;
      }
    }
    const text = (name) => (fields[name] ? unquote(fields[name]) : null);
    return { context: text("msgctxt") ?? "", id: text("msgid"), str: text("msgstr"), references, fuzzy };
  });
}

// {KIND: English pattern} of the PO text `po`; a pattern's "{1}" is the line (the count for
// "omitted"), "{2}", "{3}" the problem's arguments.
export function problemCatalogue(po) {
  const catalogue = {};
  for (const { context, id } of entries(po)) {
    if (context.startsWith(CONTEXT) && id !== null) catalogue[context.slice(CONTEXT.length)] = id;
  }
  return catalogue;
}

export function readProblemCatalogue(path) {
  return problemCatalogue(readFileSync(path, "utf8"));
}

// {English pattern: translation} of the model reader's problems (the entries taken from
// src/model/) in the PO text `po`; those not translated, or only roughly (fuzzy), are left out.
export function modelCatalogue(po) {
  const catalogue = {};
  for (const { id, str, references, fuzzy } of entries(po)) {
    if (id && str && !fuzzy && references.some((r) => r.startsWith("src/model/"))) catalogue[id] = str;
  }
  return catalogue;
}

export function readModelCatalogue(path) {
  return modelCatalogue(readFileSync(path, "utf8"));
}
