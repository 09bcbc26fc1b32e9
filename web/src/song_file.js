// The song of a chart among the audio files dropped with it, found as the games find it.

// The folder of a file inside a dropped folder, "" for a file dropped or chosen by itself.
export function folderOf(file) {
  const path = file.webkitRelativePath ?? "";
  return path.includes("/") ? path.slice(0, path.lastIndexOf("/")) : "";
}

// A file's path inside what was dropped: its folder and its name.
function pathOf(file) {
  const folder = folderOf(file);
  return folder ? `${folder}/${file.name}` : file.name;
}

// `relative` (as a chart writes it: "\" or "/" between folders, "." and "..") taken from `folder`,
// in lower case; null when it climbs out of what was dropped.
function resolvePath(folder, relative) {
  const parts = folder ? folder.split("/") : [];
  for (const part of relative.split(/[\\/]/)) {
    if (part === "" || part === ".") continue;
    if (part === "..") {
      if (parts.length === 0) return null;
      parts.pop();
    } else {
      parts.push(part);
    }
  }
  return parts.join("/").toLowerCase();
}

// Which of `audio` (Files, with webkitRelativePath inside a dropped folder) is the song that a
// chart at `chartFolder` names with `tag` (#FILE or #MUSIC): the file at that path from the
// chart's folder, letter case ignored and "\" read as "/", as charts written on Windows expect;
// else a file of that name beside the chart; else the only audio file dropped with it. Null when
// none fits.
export function findSongFile(tag, chartFolder, audio) {
  const named = tag.trim();
  if (named) {
    const wanted = resolvePath(chartFolder, named);
    const atPath = audio.find((file) => pathOf(file).toLowerCase() === wanted);
    if (atPath) return atPath;
    const name = named.split(/[\\/]/).pop().toLowerCase();
    const beside = audio.find((file) => folderOf(file) === chartFolder && file.name.toLowerCase() === name);
    if (beside) return beside;
  }
  return audio.length === 1 ? audio[0] : null;
}

// The file name a chart's tag names, for telling the user what to drop.
export function songFileName(tag) {
  return tag.trim().split(/[\\/]/).pop();
}
