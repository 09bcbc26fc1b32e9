// The lines of a song's reading problems in the page's language: in Japanese as the core words
// them, in English as the command line words them (its catalogue's texts, carried by the script).
// A model's problem the other way round: the core words it in English, the catalogue in Japanese.
import modelTexts from "pavaneflow-model-texts";
import catalogue from "pavaneflow-problem-texts";

// `pattern` with "{1}", "{2}", ... replaced by `values` in that order.
function fill(pattern, values) {
  return pattern.replace(/\{(\d+)\}/g, (whole, n) => values[Number(n) - 1] ?? whole);
}

// `song.problems` ({kind, line, arguments, text} each) and `song.omitted` (null, or {count,
// text} for those past the reader's limit), as lines for a page in language `lang`.
export function problemLines(song, lang) {
  const say = (kind, values, text) => {
    const pattern = lang === "ja" ? null : catalogue[kind];
    return pattern ? fill(pattern, values) : text;
  };
  const lines = song.problems.map((p) => say(p.kind, [String(p.line), ...p.arguments], p.text));
  if (song.omitted) lines.push(say("omitted", [String(song.omitted.count)], song.omitted.text));
  return lines;
}

// Why a model file cannot be danced (the core's answer {pattern, values, text}), in language
// `lang` as the command line says it.
export function modelProblem(answer, lang) {
  const pattern = lang === "ja" ? modelTexts[answer.pattern] : null;
  return pattern ? fill(pattern, answer.values) : answer.text;
}
