// The page: a chart file in, its song and charts shown with every option of the command line,
// the dance previewed in 3D and from above, the VMD (or a zip of them) downloaded.
import { zipSync } from "fflate";
import example from "pavaneflow-example";
import mannequin from "pavaneflow-mannequin";

import { CoreClient } from "./core_client.js";
import { NoPreview } from "./no_preview.js";
import { FPS, Preview } from "./preview.js";
import { modelProblem, problemLines } from "./problem_lines.js";
import { findSongFile, folderOf, songFileName } from "./song_file.js";
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
  constructor() {
    this.t = pickTexts(navigator.languages ?? [navigator.language]);
    this.core = new CoreClient();
    this.song = null;      // what the core read: title, charts, problems...
    this.bytes = null;     // the open chart file
    this.name = "";
    this.folder = "";      // the chart's folder inside a dropped folder
    this.dance = null;     // {key, vmd, frames, panels} of the chart and options shown
    this.audio = [];       // the audio files dropped with the open chart
    this.songFile = null;  // the song playing with the dance, and its URL
    this.songUrl = null;
    this.previewReady = null;
    this.working = 0;      // reads and conversions under way
    this.models = 0;       // models dropped: each fits the dances anew
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
    try {
      this.preview = new Preview($("scene"));
    } catch {
      this.preview = new NoPreview();
      this.message(this.t.noPreview, "note");
    }
    this.previewReady = this.preview.loadModel(new File([mannequin], "mannequin.pmx"))
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
    $("resetViewButton").addEventListener("click", () => this.preview.resetCamera());
    document.addEventListener("keydown", (e) => this.keyPressed(e));
    $("timingHintButton").addEventListener("click", () => {
      $("gameTiming").checked = true;
      this.reopen();
    });
    $("speed").addEventListener("change", (e) => { this.preview.speed = Number(e.target.value); });
    $("position").addEventListener("input", (e) => this.preview.seek(Number(e.target.value)));
    for (const tab of document.querySelectorAll("[role=tab]")) {
      tab.addEventListener("click", () => this.showTab(tab.id));
    }
    this.preview.scene.onAfterRenderObservable.add(() => this.frameShown());
    this.refill();
    window.pavaneflow = this;  // for the tests and the benchmark
  }

  // Shows `text` above the form: a problem ("error"), work done ("done") or a note.
  message(text, kind = "error") {
    $("message").textContent = text;
    $("message").dataset.kind = kind;
    $("message").hidden = !text;
  }

  openExample() {
    return this.openChart(example, "demo.dwi");
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

  // Counted as work from the start: reading a file's bytes comes before its chart is opened.
  takeFiles(files) {
    return this.work(() => this.takeFilesNow(files));
  }

  async takeFilesNow(files) {
    this.message("");
    const model = files.find((f) => /\.pmx$/i.test(f.name));
    if (model) await this.openModel(model, files.filter((f) => f !== model));
    const audio = files.filter((f) => AUDIO.test(f.name));
    // The charts are the chart files; without one, a single other file is tried, so that a
    // wrong file gets its message.
    const others = files.filter((f) => f !== model && !AUDIO.test(f.name) && !TEXTURE.test(f.name));
    const found = chartFiles(others);
    const charts = found.length ? found : others.length === 1 ? others : [];
    if (charts.length === 1) {
      await this.openChartFile(charts[0], audio);
    } else if (charts.length > 1) {
      await this.zipCharts(charts.filter((f) => f.size <= MAX_CHART_MB * 1024 * 1024));
    } else if (audio.length) {
      // A song dropped by itself goes with the chart open now.
      if (this.song) {
        this.audio = audio;
        await this.chooseSong();
      } else {
        this.message(this.t.songNeedsChart);
      }
    }
    // The open chart danced again by the model dropped without a chart, from the frame shown.
    if (model && this.song && charts.length === 0) {
      const frame = this.preview.frame;
      await this.optionsChanged();
      await this.preview.seek(frame);
    }
  }

  // Opens a dropped or chosen chart file with the audio files dropped with it.
  async openChartFile(file, audio) {
    // Too large to read at all: refused before its bytes are read into memory.
    if (file.size > MAX_CHART_MB * 1024 * 1024) {
      await this.work(() => this.refuse(this.t.tooLarge(file.name, MAX_CHART_MB)));
      return;
    }
    await this.openChart(new Uint8Array(await file.arrayBuffer()), file.name, folderOf(file), audio);
  }

  // Shows the model in the preview and fits the dances to it as `convert --model` does, or says
  // why they cannot be: they are made for the standard body then. A model the preview cannot show
  // changes nothing.
  openModel(file, others) {
    return this.work(async () => {
      try {
        await this.previewReady;
        await this.preview.loadModel(file, others);
      } catch {
        this.message(this.t.notModel(file.name));
        return;
      }
      $("modelName").textContent = file.name;
      const fit = await this.core.model(new Uint8Array(await file.arrayBuffer()), file.name);
      ++this.models;
      $("modelFit").textContent = fit.ok ? this.t.fitted(fit.name, fit.scale) : "";
      this.updateEnabling();
      if (!fit.ok) this.message(this.t.notFitted(modelProblem(fit, this.t.lang)));
    });
  }

  // Why `bytes` cannot be a chart, or "".
  refusal(bytes, name) {
    if (bytes.length > MAX_CHART_MB * 1024 * 1024) return this.t.tooLarge(name, MAX_CHART_MB);
    // Text has no zero bytes; a picture, a song or a program does.
    if (bytes.subarray(0, 65536).includes(0)) return this.t.notChart(name);
    return "";
  }

  // Opens the chart file `bytes` named `name`, from `folder` inside a dropped folder, with the
  // audio files dropped with it.
  openChart(bytes, name, folder = "", audio = []) {
    return this.work(() => this.openChartNow(bytes, name, folder, audio));
  }

  async openChartNow(bytes, name, folder, audio) {
    const refusal = this.refusal(bytes, name);
    if (refusal) {
      await this.refuse(refusal);
      return;
    }
    this.bytes = bytes;
    this.name = name;
    this.folder = folder;
    if (!(await this.read())) return;
    $("twist").checked = true;
    this.refill();
    // The song belongs to its chart: the last chart's song goes with it.
    this.audio = audio;
    await this.chooseSong();
    await this.optionsChanged();
  }

  timing() { return $("gameTiming").checked ? "game" : "classic"; }

  // Reads the open chart file; false, with the song cleared and a message, when it holds no chart.
  async read() {
    const song = await this.core.open(this.bytes, this.name, this.timing());
    this.showProblems(song.ok ? song : null);
    if (!song.ok) {
      await this.refuse(song.error);
      return false;
    }
    if (song.charts.length === 0) {
      await this.refuse(this.t.noChartIn(this.name), { keepProblems: true });
      return false;
    }
    this.song = song;
    this.dance = null;
    return true;
  }

  // The reading problems of `song` (none for null), and the hint to read it in game timing when
  // that would read some of them.
  showProblems(song) {
    const problems = song ? problemLines(song, this.t.lang) : [];
    $("problems").hidden = problems.length === 0;
    $("problemList").textContent = problems.join("\n");
    const readable = song?.gameReadable ?? 0;
    $("timingHint").hidden = readable === 0;
    $("timingHintText").textContent = readable ? this.t.gameTimingReads(readable) : "";
  }

  // Tells why a file could not be opened, and shows no song: what was shown before is gone, so
  // that nothing suggests it is the file just dropped.
  async refuse(text, { keepProblems = false } = {}) {
    this.message(text);
    this.song = null;
    this.bytes = null;
    this.name = "";
    this.dance = null;
    if (!keepProblems) this.showProblems(null);
    this.refill();
    this.audio = [];
    await this.chooseSong();
    await this.previewReady;
    await this.preview.clearMotion();
    $("position").max = "1";
    this.updatePlayButton();
  }

  reopen() {
    return this.work(() => this.reopenNow());
  }

  async reopenNow() {
    if (!this.bytes) return;
    if (!(await this.read())) return;
    // The chart chosen meanwhile, if any, stays chosen.
    this.refill(Math.max($("chartList").selectedIndex, 0));
    await this.optionsChanged();
  }

  // The fields and the chart list from the song, the first chart (or `selected`) chosen.
  refill(selected = 0) {
    const song = this.song;
    $("title").value = song?.title ?? "";
    $("artist").value = song?.artist ?? "";
    $("bpm").value = song ? song.bpm.toFixed(3) : "";
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
    // The classic motion is the same for every body.
    $("modelFit").hidden = !$("naturalMotion").checked || !$("modelFit").textContent;
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

  // The file of chart `index` in `format` ("vrma" or "bvh"), the legs baked on every frame.
  async exportFile(index, options, format) {
    $("progress").hidden = false;
    $("progress").removeAttribute("value");
    try {
      return await this.core.exportFile(index, options, format);
    } finally {
      $("progress").hidden = true;
    }
  }

  // The dance of the chosen chart and options, made once and shown in the preview.
  async currentDance() {
    const index = $("chartList").selectedIndex;
    const options = this.options();
    const key = JSON.stringify([this.name, this.timing(), index, options, this.models]);
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
      const format = $("format").value;
      // As `convert --all --format` and the application's save dialog name it.
      const name = withExtension(this.chart().fileNames[this.options().player], format);
      const bytes = format === "vmd"
        ? dance.vmd
        : await this.exportFile($("chartList").selectedIndex, this.options(), format);
      this.download(new Blob([bytes]), name);
      this.message(this.t.written(name, dance.frames), "done");
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
    const format = $("format").value;
    for (const [index, chart] of song.charts.entries()) {
      for (const [player, vmdName] of chart.fileNames.entries()) {
        const options = { ...this.options(), player };
        const bytes = format === "vmd"
          ? (await this.convert(index, options)).vmd
          : await this.exportFile(index, options, format);
        const name = withExtension(vmdName, format);
        const fileName = folder ? `${folder}/${name}` : name;
        let unique = fileName;
        for (let n = 2; unique in files; ++n) unique = withExtension(fileName, format, `-${n}`);
        files[unique] = bytes;
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
    if (this.bytes && (await this.read())) await this.optionsChanged();
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

  // Plays the song the open chart names, among the audio files dropped with it; none without.
  async chooseSong() {
    const tag = this.song?.file ?? "";
    const song = this.song ? findSongFile(tag, this.folder, this.audio) : null;
    if (this.songUrl) URL.revokeObjectURL(this.songUrl);
    this.songFile = song;
    this.songUrl = song ? URL.createObjectURL(song) : null;
    await this.previewReady;
    await this.preview.setSong(this.songUrl);
    if (song) {
      $("songName").textContent = this.t.songPlaying(song.name);
    } else {
      $("songName").textContent = songFileName(tag) ? this.t.songWanted(songFileName(tag)) : "";
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

  // Space plays and pauses, wherever the focus is but on a control that takes Space itself.
  keyPressed(event) {
    if (event.code !== "Space" || event.ctrlKey || event.altKey || event.metaKey) return;
    const target = event.target;
    if (target.closest?.("button, select, textarea, input:not([type=range])")) return;
    event.preventDefault();
    if (this.dance) this.togglePlay();
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

// A motion file's name `name` (ending in .vmd, as the core names them) with `format`'s extension,
// `suffix` before it.
function withExtension(name, format, suffix = "") {
  return name.replace(/\.[^.]*$/, `${suffix}.${format}`);
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

export function startPage() {
  new Page().start();
}
