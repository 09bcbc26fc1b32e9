// The page: a chart file in, its song and charts shown with every option of the command line,
// the dance previewed in 3D and from above, the VMD (or a zip of them) downloaded.
import { zipSync } from "fflate";

import { CoreClient } from "./core_client.js";
import { FPS, Preview } from "./preview.js";
import { pickTexts } from "./texts.js";
import { drawTopView } from "./top_view.js";

const MAX_CHART_MB = 8;
const COUPLE = 2;
const AUDIO = /\.(mp3|ogg|oga|wav|m4a|aac|flac|opus)$/i;
const TEXTURE = /\.(png|jpe?g|bmp|tga|spa|sph|dds|gif)$/i;
const CHART = /\.(ssc|sm|dwi)$/i;
// The counts of the morph, camera, light and self-shadow sections: babylon-mmd wants them.
const EMPTY_SECTIONS = new Uint8Array(16);

const $ = (id) => document.getElementById(id);

class Page {
  constructor(script) {
    this.t = pickTexts(navigator.languages ?? [navigator.language]);
    this.core = new CoreClient(script);
    this.song = null;      // what the core read: title, charts, problems...
    this.bytes = null;     // the open chart file
    this.name = "";
    this.dance = null;     // {key, vmd, frames, panels} of the chart and options shown
    this.songFiles = [];   // audio files dropped with the chart
    this.previewReady = null;
    this.working = 0;      // reads and conversions under way
  }

  get busy() { return this.working > 0; }

  // Runs `job`, counted as work under way.
  async work(job) {
    ++this.working;
    try {
      return await job();
    } finally {
      --this.working;
    }
  }

  start() {
    document.documentElement.lang = this.t.lang;
    for (const element of document.querySelectorAll("[data-text]")) {
      element.textContent = this.t[element.dataset.text];
    }
    for (const element of document.querySelectorAll("[data-hint]")) {
      element.title = this.t[element.dataset.hint];
    }
    this.preview = new Preview($("scene"));
    this.previewReady = this.preview.loadModel(new URL("mannequin.pmx", location.href).href)
      .then(() => { $("modelName").textContent = this.t.mannequin; });

    const dropZone = document.body;
    dropZone.addEventListener("dragover", (e) => { e.preventDefault(); });
    dropZone.addEventListener("drop", (e) => { e.preventDefault(); this.dropped(e.dataTransfer); });
    $("fileInput").addEventListener("change", (e) => this.takeFiles([...e.target.files]));
    $("chooseButton").addEventListener("click", () => $("fileInput").click());
    $("exampleButton").addEventListener("click", () => this.openExample());
    $("chartList").addEventListener("change", () => this.optionsChanged());
    for (const id of ["player1", "player2", "twist", "plannedFeet", "naturalMotion", "facingViewer", "facingScreen"]) {
      $(id).addEventListener("change", () => this.optionsChanged());
    }
    $("gameTiming").addEventListener("change", () => this.reopen());
    $("generateButton").addEventListener("click", () => this.generate());
    $("allButton").addEventListener("click", () => this.generateAll());
    $("playButton").addEventListener("click", () => this.togglePlay());
    $("speed").addEventListener("change", (e) => { this.preview.speed = Number(e.target.value); });
    $("position").addEventListener("input", (e) => this.preview.seek(Number(e.target.value)));
    for (const tab of document.querySelectorAll("[role=tab]")) {
      tab.addEventListener("click", () => this.showTab(tab.id));
    }
    this.preview.scene.onAfterRenderObservable.add(() => this.frameShown());
    this.refill();
    window.pavaneflow = this;  // for the tests and the benchmark
  }

  message(text) {
    $("message").textContent = text;
    $("message").hidden = !text;
  }

  async openExample() {
    const response = await fetch("demo.dwi");
    await this.openChart(new Uint8Array(await response.arrayBuffer()), "demo.dwi");
  }

  // Files dropped, or a folder: every file inside it.
  async dropped(transfer) {
    const entries = [...transfer.items].map((item) => item.webkitGetAsEntry?.()).filter(Boolean);
    if (entries.length === 0) return this.takeFiles([...transfer.files]);
    const files = [];
    const walk = async (entry) => {
      if (entry.isFile) {
        const file = await new Promise((ok, fail) => entry.file(ok, fail));
        // The path inside the dropped folder, as a folder chosen in a file dialog gives it: the
        // model's loader finds its textures by it.
        files.push(Object.defineProperty(file, "webkitRelativePath",
          { value: entry.fullPath.replace(/^\//, ""), configurable: true }));
      } else if (entry.isDirectory) {
        const reader = entry.createReader();
        for (;;) {
          const batch = await new Promise((ok, fail) => reader.readEntries(ok, fail));
          if (batch.length === 0) break;
          for (const child of batch) await walk(child);
        }
      }
    };
    for (const entry of entries) await walk(entry);
    return this.takeFiles(files);
  }

  async takeFiles(files) {
    this.message("");
    const model = files.find((f) => /\.pmx$/i.test(f.name));
    if (model) await this.openModel(model, files.filter((f) => f !== model));
    const audio = files.filter((f) => AUDIO.test(f.name));
    if (audio.length) {
      this.songFiles = audio;
      await this.chooseSong();
    }
    // The charts are the chart files; without one, a single other file is tried, so that a
    // wrong file gets its message.
    const others = files.filter((f) => f !== model && !AUDIO.test(f.name) && !TEXTURE.test(f.name));
    const found = chartFiles(others);
    const charts = found.length ? found : others.length === 1 ? others : [];
    if (charts.length === 1) {
      const [chart] = charts;
      // Too large to read at all: refused before its bytes are read into memory.
      if (chart.size > MAX_CHART_MB * 1024 * 1024) {
        this.message(this.t.tooLarge(chart.name, MAX_CHART_MB));
        return;
      }
      await this.openChart(new Uint8Array(await chart.arrayBuffer()), chart.name);
    } else if (charts.length > 1) {
      await this.zipCharts(charts.filter((f) => f.size <= MAX_CHART_MB * 1024 * 1024));
    }
  }

  async openModel(file, others) {
    try {
      await this.previewReady;
      await this.preview.loadModel(file, others);
      $("modelName").textContent = file.name;
    } catch {
      this.message(this.t.notModel(file.name));
    }
  }

  // Why `bytes` cannot be a chart, or "".
  refusal(bytes, name) {
    if (bytes.length > MAX_CHART_MB * 1024 * 1024) return this.t.tooLarge(name, MAX_CHART_MB);
    // Text has no zero bytes; a picture, a song or a program does.
    if (bytes.subarray(0, 65536).includes(0)) return this.t.notChart(name);
    return "";
  }

  openChart(bytes, name) {
    return this.work(() => this.openChartNow(bytes, name));
  }

  async openChartNow(bytes, name) {
    const refusal = this.refusal(bytes, name);
    if (refusal) {
      this.message(refusal);
      return;
    }
    this.bytes = bytes;
    this.name = name;
    await this.read();
    $("twist").checked = true;
    this.refill();
    await this.chooseSong();
    await this.optionsChanged();
  }

  timing() { return $("gameTiming").checked ? "game" : "classic"; }

  async read() {
    const song = await this.core.open(this.bytes, this.name, this.timing());
    if (!song.ok) {
      this.message(song.error);
      this.song = null;
      return;
    }
    this.song = song;
    this.dance = null;
    const problems = song.problems ? song.problems.split("\r\n") : [];
    $("problems").hidden = problems.length === 0;
    $("problemList").textContent = problems.join("\n");
  }

  reopen() {
    return this.work(() => this.reopenNow());
  }

  async reopenNow() {
    if (!this.bytes) return;
    await this.read();
    // The chart chosen meanwhile, if any, stays chosen.
    this.refill(Math.max($("chartList").selectedIndex, 0));
    await this.optionsChanged();
  }

  // The fields and the chart list from the song, the first chart (or `selected`) chosen.
  refill(selected = 0) {
    const song = this.song;
    $("title").value = song?.title ?? "";
    $("artist").value = song?.artist ?? "";
    $("bpm").value = (song?.bpm ?? 0).toFixed(3);
    const list = $("chartList");
    // As the application lists them: the meter tells charts of one name apart.
    list.replaceChildren(...(song?.charts ?? []).map((chart) => new Option(`${chart.name} (${chart.meter})`)));
    if (list.options.length) list.selectedIndex = Math.min(selected, list.options.length - 1);
    this.updateEnabling();
  }

  chart() {
    const index = $("chartList").selectedIndex;
    return index >= 0 && this.song ? this.song.charts[index] : null;
  }

  // As in the application: a COUPLE chart needs its player chosen before it can be made.
  updateEnabling() {
    const chart = this.chart();
    const couple = chart?.mode === COUPLE;
    $("player1").disabled = !couple;
    $("player2").disabled = !couple;
    const ready = chart !== null && (!couple || $("player1").checked || $("player2").checked);
    $("generateButton").disabled = !ready;
    $("allButton").disabled = !this.song?.charts.length;
    $("facingChoice").hidden = !$("naturalMotion").checked;
    return ready;
  }

  options() {
    const couple = this.chart()?.mode === COUPLE;
    return {
      player: couple && $("player2").checked ? 1 : 0,
      twist: $("twist").checked,
      feet: $("plannedFeet").checked ? "planned" : "classic",
      motion: $("naturalMotion").checked ? "natural" : "classic",
      facing: $("facingScreen").checked ? "screen" : "viewer",
      compat: false,
    };
  }

  async convert(index, options) {
    $("progress").hidden = false;
    $("progress").value = 0;
    try {
      return await this.core.convert(index, options, (share) => { $("progress").value = share; });
    } finally {
      $("progress").hidden = true;
    }
  }

  // The dance of the chosen chart and options, made once and shown in the preview.
  async currentDance() {
    const index = $("chartList").selectedIndex;
    const options = this.options();
    const key = JSON.stringify([this.name, this.timing(), index, options]);
    if (this.dance?.key !== key) {
      const dance = await this.convert(index, options);
      this.dance = { key, ...dance };
      await this.show(this.dance);
    }
    return this.dance;
  }

  optionsChanged() {
    return this.work(async () => {
      if (!this.updateEnabling()) return;
      try {
        await this.currentDance();
      } catch (error) {
        this.message(this.t.failed(error.message));
      }
    });
  }

  async show(dance) {
    await this.previewReady;
    const forViewer = new Uint8Array(dance.vmd.length + EMPTY_SECTIONS.length);
    forViewer.set(dance.vmd);
    this.preview.drawPad(dance.panels);
    await this.preview.setMotion(forViewer);
    $("position").max = String(this.preview.frames);
    $("position").value = "0";
    this.updatePlayButton();
  }

  async generate() {
    if (!this.updateEnabling()) return;
    try {
      const dance = await this.currentDance();
      const name = this.name.replace(/\.[^.]*$/, "") + ".vmd";
      this.download(new Blob([dance.vmd]), name);
      this.message(this.t.written(name, dance.frames));
    } catch (error) {
      this.message(this.t.failed(error.message));
    }
  }

  // Every chart of the open song, both players of a COUPLE chart, as `convert --all` names them.
  async generateAll() {
    if (!this.song) return;
    const files = {};
    await this.addAllCharts(this.song, files);
    const name = this.name.replace(/\.[^.]*$/, "") + ".zip";
    this.download(new Blob([zipSync(files, { level: 6 })]), name);
  }

  async addAllCharts(song, files, folder = "") {
    for (const [index, chart] of song.charts.entries()) {
      for (const [player, name] of chart.fileNames.entries()) {
        const { vmd } = await this.convert(index, { ...this.options(), player });
        const fileName = folder ? `${folder}/${name}` : name;
        let unique = fileName;
        for (let n = 2; unique in files; ++n) unique = fileName.replace(/\.vmd$/, `-${n}.vmd`);
        files[unique] = vmd;
      }
    }
  }

  // Several charts dropped at once: all their charts in one zip, those of a song folder under
  // its path, as `convert --all -o` puts them.
  async zipCharts(charts) {
    const files = {};
    for (const file of charts) {
      const bytes = new Uint8Array(await file.arrayBuffer());
      if (this.refusal(bytes, file.name)) continue;
      const song = await this.core.open(bytes, file.name, this.timing());
      if (song.ok) await this.addAllCharts(song, files, outputFolderOf(file));
    }
    if (Object.keys(files).length === 0) {
      this.message(this.t.noChart);
      return;
    }
    this.download(new Blob([zipSync(files, { level: 6 })]), "pavaneflow.zip");
    // The worker's open song is the last of them now: read the shown one again.
    if (this.bytes) {
      await this.read();
      await this.optionsChanged();
    }
  }

  download(blob, name) {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(blob);
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  }

  // The song the chart names, among the dropped audio files (or the only one dropped).
  async chooseSong() {
    const wanted = (this.song?.file ?? "").split(/[\\/]/).pop().toLowerCase();
    const song = this.songFiles.find((f) => f.name.toLowerCase() === wanted) ??
      (this.songFiles.length === 1 ? this.songFiles[0] : null);
    if (song) {
      await this.preview.setSong(URL.createObjectURL(song));
      $("songName").textContent = this.t.songPlaying(song.name);
    } else {
      $("songName").textContent = wanted ? this.t.songWanted(wanted) : "";
    }
  }

  async togglePlay() {
    if (this.preview.playing) this.preview.pause();
    else await this.preview.play();
    this.updatePlayButton();
  }

  updatePlayButton() {
    $("playButton").textContent = this.preview.playing ? this.t.pause : this.t.play;
  }

  showTab(id) {
    for (const tab of document.querySelectorAll("[role=tab]")) {
      const selected = tab.id === id;
      tab.setAttribute("aria-selected", String(selected));
      $(tab.getAttribute("aria-controls")).hidden = !selected;
    }
    this.preview.engine.resize();
  }

  pose() {
    return {
      left: this.preview.bonePosition("左足ＩＫ"),
      right: this.preview.bonePosition("右足ＩＫ"),
      centre: this.preview.bonePosition("センター"),
    };
  }

  frameShown() {
    const frame = this.preview.frame;
    if (document.activeElement !== $("position")) $("position").value = String(frame);
    const seconds = frame / FPS;
    const minutes = Math.floor(seconds / 60);
    $("time").textContent = `${minutes}:${(seconds - minutes * 60).toFixed(2).padStart(5, "0")}  ${this.t.frame} ${Math.floor(frame)}`;
    if (!$("topPanel").hidden) drawTopView($("top"), this.dance?.panels ?? [], this.pose());
  }
}

// The folder of a file inside a dropped folder, "" for a file dropped or chosen by itself.
function folderOf(file) {
  const path = file.webkitRelativePath ?? "";
  return path.includes("/") ? path.slice(0, path.lastIndexOf("/")) : "";
}

// Where `convert --all -o` puts the motions of a file in a dropped folder, as if given that
// folder: under the song folder's path inside it, or the folder's own name when it is the song.
function outputFolderOf(file) {
  const parts = folderOf(file).split("/");
  return parts.length > 1 ? parts.slice(1).join("/") : parts[0];
}

// How the games rank a song folder's chart files: .ssc before .sm before .dwi.
const rank = (file) => ["ssc", "sm", "dwi"].indexOf(file.name.match(CHART)[1].toLowerCase());

// The charts among `files`: every one dropped by itself, and in each song folder the one the
// games choose (the first name of the best kind).
export function chartFiles(files) {
  const chosen = new Map();
  const loose = [];
  for (const file of files.filter((f) => CHART.test(f.name))) {
    const folder = folderOf(file);
    if (!folder) {
      loose.push(file);
      continue;
    }
    const best = chosen.get(folder);
    if (!best || rank(file) < rank(best) || (rank(file) === rank(best) && file.name < best.name)) {
      chosen.set(folder, file);
    }
  }
  const songs = [...chosen.keys()].sort().map((folder) => chosen.get(folder));
  return [...loose, ...songs];
}

export function startPage(script) {
  new Page(script).start();
}
