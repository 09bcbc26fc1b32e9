// The reading problems' English taken from the command line's catalogue: only the entries of the
// "reading problem" context, their text read as gettext writes it.
import assert from "node:assert/strict";
import { join } from "node:path";
import { test } from "node:test";

import { problemCatalogue, readProblemCatalogue } from "../tools/problem_catalogue.mjs";
import { loadCore, ROOT } from "./core_loader.mjs";

test("the entries of the reading problem context, and only those", () => {
  const po = [
    'msgid ""',
    'msgstr ""',
    '"Language: ja\\n"',
    "",
    "#: src/cli/main.cpp:1",
    'msgid "unsupported tag"',
    'msgstr "ほかの文"',
    "",
    "#: src/chart/problem_text.cpp:3",
    'msgctxt "reading problem unsupported-tag"',
    'msgid "line {1}: \\"{2}\\" is not supported."',
    'msgstr "{1}行目:\\"{2}\\" には対応していません。"',
    "",
    'msgctxt "reading problem omitted"',
    'msgid ""',
    '"{1} more problems "',
    '"left out\\\\."',
    'msgstr "ほか {1} 件"',
    "",
    "#, fuzzy",
    'msgctxt "reading problem no-tempo"',
    'msgid "line {1}: no tempo."',
    'msgstr ""',
    "",
    'msgctxt "reading problem plural"',
    'msgid "one"',
    'msgid_plural "many"',
    'msgstr[0] "一つ"',
    "",
  ].join("\n");
  assert.deepEqual(problemCatalogue(po), {
    "unsupported-tag": 'line {1}: "{2}" is not supported.',
    "omitted": "{1} more problems left out\\.",
    "no-tempo": "line {1}: no tempo.",
    "plural": "one",
  });
});

test("the command line's catalogue has the English of every kind of problem the core knows", async () => {
  const core = await loadCore();
  const catalogue = readProblemCatalogue(join(ROOT, "po/ja.po"));
  for (const kind of [...core.problemKinds(), "omitted"]) {
    assert.match(catalogue[kind] ?? "", /\{1\}/, kind);
  }
});
