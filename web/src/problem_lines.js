// The lines of a song's reading problems in the page's language: in Japanese as the core words
// them, in English as the command line words them (its catalogue's texts, carried by the script).
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
