// The reading problems' English taken from the command line's catalogue: only the entries of the
// "reading problem" context, their text read as gettext writes it.
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { join } from "node:path";
import { test } from "node:test";

import { modelCatalogue, problemCatalogue, readModelCatalogue, readProblemCatalogue } from "../tools/problem_catalogue.mjs";
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

test("the model problems' translations: the model reader's entries, translated and not fuzzy", () => {
  const po = [
    'msgid ""',
    'msgstr ""',
    '"Language: ja\\n"',
    "",
    "#: src/cli/model_option.cpp:22",
    'msgid "{1}: a command line text"',
    'msgstr "{1}: コマンドラインの文"',
    "",
    "#: src/cli/main.cpp:3 src/model/model_error.cpp:32",
    'msgid "{1}: not a "',
    '"model"',
    'msgstr ""',
    '"{1}: モデル"',
    '"ではありません"',
    "",
    "#: src/model/model_error.cpp:34",
    "#, fuzzy",
    'msgid "{1}: too large"',
    'msgstr "{1}: 大きい"',
    "",
    "#: src/model/model_error.cpp:36",
    'msgid "{1}: version {4}"',
    'msgstr ""',
  ].join("\n");
  assert.deepEqual(modelCatalogue(po), { "{1}: not a model": "{1}: モデルではありません" });
  // Every problem of the model reader has its Japanese.
  const patterns = [...readFileSync(join(ROOT, "src/model/model_error.cpp"), "utf8").matchAll(/N_\("(.*)"\)/g)].map((m) => m[1]);
  const catalogue = readModelCatalogue(join(ROOT, "po/ja.po"));
  assert.ok(patterns.length >= 14);
  for (const pattern of patterns) assert.match(catalogue[pattern] ?? "", /\{1\}/, pattern);
});
