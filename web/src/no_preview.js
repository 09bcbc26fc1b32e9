// What the page has in place of the 3D preview where the browser cannot draw it (no WebGL): the
// same calls, nothing shown, so that charts are still read, converted and downloaded.
export class NoPreview {
  constructor() {
    this.scene = { onAfterRenderObservable: { add() {} } };
    this.engine = { resize() {} };
    this.audio = null;
    this.motion = null;
    this.model = null;
    this.speed = 1;
  }

  get playing() { return false; }
  get frames() { return 1; }
  get frame() { return 0; }

  async loadModel() {}
  drawPad() {}
  async setMotion() {}
  async clearMotion() {}
  async setSong() {}
  resetCamera() {}
  async play() {}
  pause() {}
  async seek() {}
  bonePosition() { return null; }
}
