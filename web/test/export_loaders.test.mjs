// The command line's VRM Animation and BVH files played by loaders that know no IK, as a VRM
// avatar app and a three.js page play them: @pixiv/three-vrm-animation on a VRM 1.0 figure and
// three's BVHLoader, in Node. Every frame the two loaders agree on the legs, and a foot on the
// floor stays where it stands, on the reference figure and on a figure of its own proportions
// given with --model.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { after, test } from "node:test";

import { VRMLoaderPlugin } from "@pixiv/three-vrm";
import { createVRMAnimationClip, VRMAnimationLoaderPlugin } from "@pixiv/three-vrm-animation";
import * as THREE from "three";
import { BVHLoader } from "three/examples/jsm/loaders/BVHLoader.js";
import { GLTFLoader } from "three/examples/jsm/loaders/GLTFLoader.js";

import { CLI, EXAMPLE, noCli as skip } from "./page_session.mjs";

const scratch = mkdtempSync(join(tmpdir(), "pavaneflow-export-"));
after(() => rmSync(scratch, { recursive: true, force: true }));

// The legs the tests look at, by VRM name and by the BVH's names.
const LEGS = [
  ["hips", "Hips"],
  ["leftLowerLeg", "LeftLeg"], ["rightLowerLeg", "RightLeg"],
  ["leftFoot", "LeftFoot"], ["rightFoot", "RightFoot"],
  ["leftToes", "LeftToeBase"], ["rightToes", "RightToeBase"],
];

// A VRM 1.0 figure of joints only, in the T-pose, facing +z, in metres: the reference body's
// (hips 0.90 m, hip joints 0.84 m, knees 0.464 m, ankles 0.104 m), its legs above the ankles
// scaled by `legScale` and the upper body lowered with them.
function figureBytes(legScale) {
  const drop = (1 - legScale) * 0.736;
  const joints = { hips: [0, 0.90 - drop, 0] };
  const parents = { hips: null };
  const add = (name, parent, x, y, z = 0) => { joints[name] = [x, y, z]; parents[name] = parent; };
  add("spine", "hips", 0, 0.92 - drop);
  add("chest", "spine", 0, 1.08 - drop);
  add("neck", "chest", 0, 1.296 - drop);
  add("head", "neck", 0, 1.376 - drop);
  for (const [side, s] of [["left", 1], ["right", -1]]) {
    add(`${side}Shoulder`, "chest", s * 0.036, 1.248 - drop);
    add(`${side}UpperArm`, `${side}Shoulder`, s * 0.136, 1.224 - drop);
    add(`${side}LowerArm`, `${side}UpperArm`, s * 0.376, 1.224 - drop);
    add(`${side}Hand`, `${side}LowerArm`, s * 0.6, 1.224 - drop);
    add(`${side}UpperLeg`, "hips", s * 0.072, 0.104 + 0.736 * legScale);
    add(`${side}LowerLeg`, `${side}UpperLeg`, s * 0.072, 0.104 + 0.36 * legScale);
    add(`${side}Foot`, `${side}LowerLeg`, s * 0.072, 0.104);
    add(`${side}Toes`, `${side}Foot`, s * 0.072, 0.012, 0.12);
  }
  const names = Object.keys(joints);
  const nodes = names.map((name) => {
    const parent = joints[parents[name]] ?? [0, 0, 0];
    const node = { name, translation: joints[name].map((v, i) => v - parent[i]) };
    const children = names.filter((child) => parents[child] === name).map((child) => names.indexOf(child));
    if (children.length) node.children = children;
    return node;
  });
  const json = {
    asset: { version: "2.0" }, scene: 0, scenes: [{ nodes: [0] }], nodes,
    extensionsUsed: ["VRMC_vrm"],
    extensions: {
      VRMC_vrm: {
        specVersion: "1.0",
        meta: { name: `legs ${legScale}`, authors: ["test"], licenseUrl: "https://vrm.dev/licenses/1.0/" },
        humanoid: { humanBones: Object.fromEntries(names.map((name, node) => [name, { node }])) },
      },
    },
  };
  let text = JSON.stringify(json);
  while (text.length % 4) text += " ";
  const chunk = Buffer.from(text);
  const header = Buffer.alloc(20);
  header.write("glTF", 0);
  header.writeUInt32LE(2, 4);
  header.writeUInt32LE(20 + chunk.length, 8);
  header.writeUInt32LE(chunk.length, 12);
  header.write("JSON", 16);
  return Buffer.concat([header, chunk]);
}

// Played to the clip's end and held there: a looping action shows the first frame at the end.
function playOnce(action) {
  action.setLoop(THREE.LoopOnce, 1);
  action.clampWhenFinished = true;
  action.play();
}

async function parseGltf(bytes, plugin) {
  const loader = new GLTFLoader();
  loader.register((parser) => new plugin(parser));
  return loader.parseAsync(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.length), "");
}

// Where each leg joint stands on every frame, metres: the .vrma played on the figure.
async function playVrma(figure, file) {
  const { userData: { vrm } } = await parseGltf(figure, VRMLoaderPlugin);
  const { userData: { vrmAnimations: [animation] } } = await parseGltf(readFileSync(file), VRMAnimationLoaderPlugin);
  const clip = createVRMAnimationClip(animation, vrm);
  const mixer = new THREE.AnimationMixer(vrm.scene);
  playOnce(mixer.clipAction(clip));
  const bones = LEGS.map(([name]) => vrm.humanoid.getRawBoneNode(name));
  const frames = [];
  for (let frame = 0; frame <= Math.round(clip.duration * 30); ++frame) {
    mixer.setTime(frame / 30);
    vrm.update(0);
    vrm.scene.updateMatrixWorld(true);
    frames.push(bones.map((bone) => bone.getWorldPosition(new THREE.Vector3())));
  }
  return frames;
}

// The same from the .bvh in three's BVHLoader, centimetres read as metres.
function playBvh(file) {
  const text = readFileSync(file, "latin1");
  const { skeleton, clip } = new BVHLoader().parse(text);
  const root = new THREE.Group();
  root.add(skeleton.bones[0]);
  root.scale.setScalar(0.01);
  const mixer = new THREE.AnimationMixer(root);
  playOnce(mixer.clipAction(clip));
  const frameTime = Number(/Frame Time:\s*(\S+)/.exec(text)[1]);
  const count = Number(/Frames:\s*(\d+)/.exec(text)[1]);
  const bones = LEGS.map(([, name]) => skeleton.getBoneByName(name));
  const frames = [];
  for (let frame = 0; frame < count; ++frame) {
    mixer.setTime(frame * frameTime);
    root.updateMatrixWorld(true);
    frames.push(bones.map((bone) => bone.getWorldPosition(new THREE.Vector3())));
  }
  return frames;
}

// The foot figures over both ankles: a foot is planted while its ankle is within 2 mm of its
// standing height (the dance sets a foot down 4 mm above the floor on the frame it lands, and
// its quickest steps take a single frame: those are steps, not slides); slide is its move along
// the floor from one such frame to the next, sink how far it is below that height.
function feet(frames, ankleHeight) {
  const slides = [];
  const sinks = [];
  const planted = (point) => point.y <= ankleHeight + 0.002;
  for (const joint of [3, 4]) {
    for (let f = 1; f < frames.length; ++f) {
      const [before, now] = [frames[f - 1][joint], frames[f][joint]];
      if (!planted(now)) continue;
      sinks.push(Math.max(0, ankleHeight - now.y));
      if (planted(before)) slides.push(Math.hypot(now.x - before.x, now.z - before.z));
    }
  }
  const p95 = (values) => [...values].sort((a, b) => a - b)[Math.ceil(0.95 * values.length) - 1];
  return { planted: slides.length, slideP95: p95(slides), slideMax: Math.max(...slides), sinkP95: p95(sinks) };
}

function convert(args, name) {
  const path = join(scratch, name);
  execFileSync(CLI, ["convert", "--chart", "2", "--motion", "natural", ...args, EXAMPLE, "-o", path], { stdio: "ignore" });
  return path;
}

for (const { what, legScale, model } of [
  { what: "the reference figure", legScale: 1, model: false },
  { what: "a short-legged figure given with --model", legScale: 0.75, model: true },
]) {
  test(`on ${what}, three-vrm-animation and BVHLoader agree and the planted feet stay put`, { skip }, async () => {
    const figure = figureBytes(legScale);
    const args = [];
    if (model) {
      writeFileSync(join(scratch, "short.vrm"), figure);
      args.push("--model", join(scratch, "short.vrm"));
    }
    const vrma = await playVrma(figure, convert(args, `dance-${legScale}.vrma`));
    const bvh = playBvh(convert(args, `dance-${legScale}.bvh`));
    assert.equal(vrma.length, bvh.length);
    let apart = 0;
    for (const [f, joints] of vrma.entries()) {
      for (const [j, joint] of joints.entries()) apart = Math.max(apart, joint.distanceTo(bvh[f][j]));
    }
    assert.ok(apart <= 0.001, `the loaders are ${apart} m apart`);

    const figures = feet(vrma, 0.104);
    assert.ok(figures.planted > vrma.length / 2, `planted on only ${figures.planted} frames`);
    assert.ok(figures.slideP95 <= 0.002 && figures.slideMax <= 0.005, `slides ${JSON.stringify(figures)}`);
    assert.ok(figures.sinkP95 <= 0.005, `sinks ${JSON.stringify(figures)}`);
  });
}
