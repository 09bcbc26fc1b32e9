// The 3D preview: the dance on the mannequin or the user's model in babylon-mmd, standing on the
// pad drawn on the floor, with the song played in time when there is one.
import "@babylonjs/core/Loading/loadingScreen";
import "@babylonjs/core/Materials/standardMaterial";
import "babylon-mmd/esm/Loader/pmxLoader";
import "babylon-mmd/esm/Runtime/Animation/mmdRuntimeModelAnimation";

import { ArcRotateCamera } from "@babylonjs/core/Cameras/arcRotateCamera";
import { Engine } from "@babylonjs/core/Engines/engine";
import { DirectionalLight } from "@babylonjs/core/Lights/directionalLight";
import { HemisphericLight } from "@babylonjs/core/Lights/hemisphericLight";
import { LoadAssetContainerAsync } from "@babylonjs/core/Loading/sceneLoader";
import { StandardMaterial } from "@babylonjs/core/Materials/standardMaterial";
import { Color3, Color4 } from "@babylonjs/core/Maths/math.color";
import { Vector3 } from "@babylonjs/core/Maths/math.vector";
import { CreateGround } from "@babylonjs/core/Meshes/Builders/groundBuilder";
import { Scene } from "@babylonjs/core/scene";
import { MmdStandardMaterialBuilder } from "babylon-mmd/esm/Loader/mmdStandardMaterialBuilder";
import { VmdLoader } from "babylon-mmd/esm/Loader/vmdLoader";
import { StreamAudioPlayer } from "babylon-mmd/esm/Runtime/Audio/streamAudioPlayer";
import { MmdRuntime } from "babylon-mmd/esm/Runtime/mmdRuntime";

const PANEL_SIZE = 3.4;
// Panel colours by arrow: left, down, up, right.
const ARROW_COLOURS = [[0.75, 0.3, 0.85], [0.2, 0.6, 0.95], [0.3, 0.8, 0.4], [0.95, 0.8, 0.2]];
export const FPS = 30;

function flat(scene, name, rgb) {
  const material = new StandardMaterial(name, scene);
  material.diffuseColor = new Color3(...rgb);
  material.emissiveColor = new Color3(...rgb.map((c) => c * 0.15));
  material.specularColor = new Color3(0, 0, 0);
  return material;
}

export class Preview {
  constructor(canvas) {
    this.engine = new Engine(canvas, true, { preserveDrawingBuffer: true, stencil: true });
    this.scene = new Scene(this.engine);
    this.scene.clearColor = new Color4(0.93, 0.94, 0.97, 1);
    this.scene.ambientColor = new Color3(0.5, 0.5, 0.5);
    // MMD's viewer stands at -z, the dancer faces it at rest.
    this.camera = new ArcRotateCamera("camera", -Math.PI / 2 - 0.5, 1.2, 45, new Vector3(0, 9, 0), this.scene);
    this.camera.attachControl(canvas, true);
    this.camera.minZ = 0.5;
    this.camera.lowerRadiusLimit = 10;
    this.camera.upperRadiusLimit = 150;
    // Where "reset view" takes the camera back to.
    this.camera.storeState();
    new HemisphericLight("sky", new Vector3(0, 1, 0), this.scene).intensity = 0.45;
    new DirectionalLight("sun", new Vector3(0.3, -1, 0.45), this.scene).intensity = 0.5;
    CreateGround("floor", { width: 80, height: 80 }, this.scene).material =
      flat(this.scene, "floor", [0.45, 0.47, 0.45]);
    this.padMeshes = [];
    this.runtime = new MmdRuntime(this.scene);
    this.runtime.register(this.scene);
    this.audio = null;
    this.model = null;
    this.modelMeshes = [];
    this.motion = null;
    this.engine.runRenderLoop(() => this.scene.render());
    addEventListener("resize", () => this.engine.resize());
  }

  // The panels of the chart, as the core lays them out and sizes them for the dancer's body.
  drawPad(panels) {
    for (const mesh of this.padMeshes) mesh.dispose(false, true);
    this.padMeshes = [];
    panels.forEach((panel, i) => {
      const colour = ARROW_COLOURS[(panel.arrow & 0x0F) % 4];
      const size = PANEL_SIZE * panel.scale;
      const tile = CreateGround(`panel${i}`, { width: size, height: size }, this.scene);
      tile.position.set(panel.x, 0.03, panel.z);
      tile.material = flat(this.scene, `panel${i}`, colour);
      this.padMeshes.push(tile);
    });
  }

  // Replaces the model by the PMX at `source` (a URL or a File), with `textures` the other files
  // of its folder. Throws when it is no model.
  async loadModel(source, textures = []) {
    // Taken before the old model goes: without a model the runtime's dance is empty, at frame 0.
    const frame = this.frame;
    const container = await LoadAssetContainerAsync(source, this.scene, {
      pluginExtension: ".pmx",
      pluginOptions: { mmdmodel: { materialBuilder: new MmdStandardMaterialBuilder(), referenceFiles: textures } },
    });
    if (this.model) {
      this.runtime.destroyMmdModel(this.model);
      for (const mesh of this.modelMeshes) mesh.dispose(false, true);
    }
    container.addAllToScene();
    this.modelMeshes = container.meshes;
    this.model = this.runtime.createMmdModel(container.meshes[0], { buildPhysics: false });
    this.bones = this.model.runtimeBones;
    if (this.motion) {
      this.attachMotion();
      // Paused, the new model takes the pose of the frame shown, not its rest pose.
      await this.seek(frame);
    }
  }

  // Plays the VMD `bytes` (one that ends with the section counts) from the start, paused.
  async setMotion(bytes) {
    this.runtime.pauseAnimation();
    this.motion = await new VmdLoader(this.scene).loadFromBufferAsync("dance", bytes.buffer);
    this.attachMotion();
    await this.runtime.seekAnimation(0, true);
  }

  attachMotion() {
    if (!this.model) return;
    const handle = this.model.createRuntimeAnimation(this.motion);
    this.model.setRuntimeAnimation(handle);
  }

  // No dance: stopped, the model at rest on an empty floor.
  async clearMotion() {
    this.runtime.pauseAnimation();
    this.motion = null;
    // Back to the rest pose.
    this.model?.setRuntimeAnimation(null);
    this.drawPad([]);
    await this.runtime.seekAnimation(0, true);
  }

  // Plays the song at `url` with the dance; null plays none.
  async setSong(url) {
    if (!url) {
      if (this.audio) {
        await this.runtime.setAudioPlayer(null);
        this.audio.dispose();
        this.audio = null;
      }
      return;
    }
    if (!this.audio) {
      this.audio = new StreamAudioPlayer(this.scene);
      await this.runtime.setAudioPlayer(this.audio);
    }
    this.audio.source = url;
  }

  resetCamera() {
    this.camera.restoreState();
  }

  get playing() { return this.runtime.isAnimationPlaying; }
  get frames() { return Math.max(this.runtime.animationFrameTimeDuration, 1); }
  get frame() { return this.runtime.currentFrameTime; }
  set speed(value) { this.runtime.timeScale = value; }

  play() { return this.runtime.playAnimation(); }
  pause() { this.runtime.pauseAnimation(); }
  seek(frame) { return this.runtime.seekAnimation(frame, true); }

  // World positions of a bone, for the top view and the tests; null without such a bone.
  bonePosition(name) {
    const bone = this.bones?.find((b) => b.name === name);
    if (!bone) return null;
    const m = bone.worldMatrix;
    return { x: m[12], y: m[13], z: m[14], m };
  }

  // The page's own work for one frame (the motion sampled, append transforms and IK solved),
  // without drawing it.
  evaluate(frame) {
    this.model.currentAnimation.animate(frame);
    this.runtime.beforePhysics(0);
    this.runtime.afterPhysics();
  }
}
