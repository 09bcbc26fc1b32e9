// What the page makes of the files a user gives it: a file that is no chart, the song's audio,
// reading problems and the hint to read a DWI file in game timing.
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { after, before, test } from "node:test";

import { EXAMPLE, noCli as skip, PageSession, silence } from "./page_session.mjs";

let session, page;
before(async () => {
  session = await PageSession.open();
  page = session.page;
});
after(() => session?.close());

// The song and dance the page shows.
function shown() {
  return page.evaluate(() => {
    const p = window.pavaneflow;
    return {
      title: document.getElementById("title").value,
      charts: document.getElementById("chartList").options.length,
      dancing: p.preview.playing,
      motion: p.preview.motion !== null,
      generate: !document.getElementById("generateButton").disabled,
      song: p.preview.audio?.source ?? null,
    };
  });
}

async function openExampleWithSong() {
  await session.dropFolder([
    { path: "Song/demo.dwi", bytes: readFileSync(EXAMPLE) },
    { path: "Song/demo.wav", bytes: silence() },
  ]);
  await session.danceShown();
  assert.equal(await session.textOf("#songName"), "曲: demo.wav");
}

test("a file that is no chart gets a message, and the song shown before is gone and stops dancing", { skip }, async () => {
  const cases = [
    { name: "empty.dwi", buffer: Buffer.alloc(0), message: "empty.dwi には譜面がありません (DWI、.sm、.ssc ファイルですか?)。" },
    { name: "notes.txt", buffer: Buffer.from("Shopping: milk, eggs; #bread\n"), message: "notes.txt には譜面がありません (DWI、.sm、.ssc ファイルですか?)。" },
    { name: "song.dwi", buffer: Buffer.from([0x49, 0x44, 0x33, 0, 0, 0, 1, 2, 3]), message: "song.dwi は譜面ファイルではありません。" },
    { name: "huge.dwi", buffer: Buffer.alloc(9 * 1024 * 1024, 0x23), message: "huge.dwi は大きすぎます (8 MB 以下にしてください)。" },
  ];
  for (const c of cases) {
    await openExampleWithSong();
    await page.click("#playButton");
    await session.choose({ name: c.name, mimeType: "application/octet-stream", buffer: c.buffer });
    await session.idle();
    assert.equal(await session.textOf("#message"), c.message, c.name);
    assert.equal(await page.getAttribute("#message", "data-kind"), "error");
    assert.deepEqual(await shown(), { title: "", charts: 0, dancing: false, motion: false, generate: false, song: null }, c.name);
    assert.equal(await session.textOf("#songName"), "", c.name);
    assert.equal(await session.textOf("#playButton"), "再生", c.name);
  }
});

test("a model that cannot be read gets a message and leaves the song as it was", { skip }, async () => {
  await openExampleWithSong();
  await session.choose({ name: "model.pmx", mimeType: "application/octet-stream", buffer: Buffer.from("not a model at all") });
  await page.waitForFunction(() => document.getElementById("message").textContent === "model.pmx は PMX モデルとして読めませんでした。");
  assert.equal(await page.inputValue("#title"), "Morning Pavane");
});

test("the song's audio belongs to its chart: another chart opened drops it", { skip }, async () => {
  const named = "#TITLE:Other;\n#BPM:120;\n#FILE:other.mp3;\n#SINGLE:BASIC:1:2468;\n";
  const cases = [
    { label: "a chart naming its own song", files: [{ name: "other.dwi", mimeType: "text/plain", buffer: Buffer.from(named) }], songName: "曲 other.mp3 をドロップすると一緒に再生します" },
    { label: "the example", click: "#exampleButton", songName: "" },
    { label: "a chart with a song of its own", files: [{ name: "other.dwi", mimeType: "text/plain", buffer: Buffer.from(named) }, { name: "other.mp3", mimeType: "audio/mpeg", buffer: silence() }], songName: "曲: other.mp3" },
  ];
  for (const c of cases) {
    await openExampleWithSong();
    if (c.click) await page.click(c.click);
    else await session.choose(c.files);
    await session.danceShown();
    assert.equal(await session.textOf("#songName"), c.songName, c.label);
    const { song } = await shown();
    assert.equal(song !== null, c.songName.startsWith("曲: "), c.label);
  }
});

test("a song dropped by itself plays with the chart open, and is refused without one", { skip }, async () => {
  await page.click("#exampleButton");
  await session.danceShown();
  await session.choose({ name: "song.wav", mimeType: "audio/wav", buffer: silence() });
  await page.waitForFunction(() => document.getElementById("songName").textContent === "曲: song.wav");
  assert.match(await page.evaluate(() => window.pavaneflow.preview.audio.source), /^blob:/);

  await session.choose({ name: "empty.dwi", mimeType: "text/plain", buffer: Buffer.alloc(0) });
  await session.idle();
  await session.choose({ name: "song.wav", mimeType: "audio/wav", buffer: silence() });
  await page.waitForFunction(() => document.getElementById("message").textContent.startsWith("曲の音声は"));
  assert.equal((await shown()).song, null);
});

test("the song a chart names is found as the games find it", { skip }, async () => {
  const chart = (tag) => Buffer.from(`#TITLE:Found;\n#BPM:120;\n#FILE:${tag};\n#SINGLE:BASIC:1:2468;\n`);
  const cases = [
    { label: "a Windows path in another case", tag: ".\\Music\\Default\\SONG.WAV", files: ["Song/music/default/song.wav", "Song/song.wav"], found: "Song/music/default/song.wav" },
    { label: "a path not there, by its name beside the chart", tag: ".\\music\\default\\song.wav", files: ["Song/Song.WAV", "Other/song.wav"], found: "Song/Song.WAV" },
    { label: "a name in another case beside the chart", tag: "SONG.wav", files: ["Song/other.wav", "Song/song.WAV"], found: "Song/song.WAV" },
    { label: "a folder up from the chart", tag: "..\\shared.wav", files: ["shared.wav"], found: "shared.wav" },
    { label: "nothing of that name, but one song dropped with it", tag: "missing.mp3", files: ["Song/any.ogg"], found: "Song/any.ogg" },
    { label: "nothing of that name among several", tag: "missing.mp3", files: ["Song/a.ogg", "Song/b.ogg"], found: null },
  ];
  for (const c of cases) {
    await session.dropFolder([{ path: "Song/found.dwi", bytes: chart(c.tag) },
      ...c.files.map((path) => ({ path, bytes: silence() }))]);
    await session.danceShown();
    const playing = await page.evaluate(() => window.pavaneflow.songFile?.webkitRelativePath ?? null);
    assert.equal(playing, c.found, c.label);
  }
});

test("reading problems are listed line by line, with the hint to read the file in game timing", { skip }, async () => {
  const chart = "#TITLE:Broken;\n#BPM:120;\n#CHANGEBPM:48=150;\n#SINGLE:BASIC:1:24{68}24;\n";
  await page.setChecked("#gameTiming", false);
  await session.choose({ name: "broken.dwi", mimeType: "text/plain", buffer: Buffer.from(chart) });
  await session.danceShown();
  const lines = (await session.textOf("#problemList")).split("\n");
  assert.match(lines[0], /^3行目:/);
  assert.equal(await page.isVisible("#timingHint"), true);
  assert.equal(await session.textOf("#timingHintText"), `「ゲームと同じタイミング」で読むと、このうち ${lines.length} 件は問題なく読めます。`);
  await page.click("#timingHintButton");
  await session.danceShown();
  assert.equal(await page.isChecked("#gameTiming"), true);
  // Game timing reads every one of them.
  assert.equal(await page.isVisible("#problems"), false);
  await page.setChecked("#gameTiming", false);
  await session.danceShown();
});

test("the page speaks English where the browser is not Japanese", async () => {
  const english = await session.newPage(session.server.url, { locale: "en-US" });
  assert.equal(await english.textContent("#generateButton"), "Generate...");
  await english.setInputFiles("#fileInput", { name: "notes.txt", mimeType: "text/plain", buffer: Buffer.from("hello") });
  await english.waitForFunction(() => !document.getElementById("message").hidden);
  assert.equal(await english.textContent("#message"), "No step chart found in notes.txt (is it a DWI, .sm or .ssc file?).");
  // The reading problems as the command line words them in English, past the reader's limit too.
  const chart = `#TITLE:Broken;\n#BPM:120;\n#CHANGEBPM:48=150;\n#SINGLE:BASIC:1:2468${"x".repeat(10004)};\n`;
  await english.setInputFiles("#fileInput", { name: "broken.dwi", mimeType: "text/plain", buffer: Buffer.from(chart) });
  await english.waitForFunction(() => window.pavaneflow.dance && !window.pavaneflow.busy);
  const lines = (await english.textContent("#problemList")).split("\n");
  assert.deepEqual([lines[0], lines[1], lines.at(-1)], [
    'line 3: "CHANGEBPM" is not supported.',
    "line 4: 'x' is not supported.",
    "further problems left out: 5.",
  ]);
  await english.close();
});
