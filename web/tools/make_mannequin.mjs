// Writes the page's built-in mannequin: a PMX 2.0 model of plain boxes on the standard bone
// names that dance motions key (センター, 上半身, 首, the legs with their foot IK), so that a
// dance can be watched without a model of one's own.
//   node make_mannequin.mjs OUT.pmx [SIZE [NAME]]
// About 20 units tall, facing -z with its left side at +x, as MMD models stand. The feet's IK
// bones sit 0.9 either side of the middle over the ankles, where the motions expect them. SIZE
// scales the whole figure (one of another size, for the tests of a dance fitted to it); NAME
// names it.
import { writeFileSync } from "node:fs";

const [out, size = "1", name = "Pavaneflow マネキン"] = process.argv.slice(2);
if (!out || !(Number(size) > 0)) {
  console.error("usage: node make_mannequin.mjs OUT.pmx [SIZE [NAME]]");
  process.exit(2);
}
const SIZE = Number(size);

const ROTATE = 0x0002, MOVE = 0x0004, VISIBLE = 0x0008, CONTROL = 0x0010, IK = 0x0020;
const TAIL_BONE = 0x0001;
const LEG_X = 0.9;

// name, parent, position, tail (a bone name or an offset), flags, ik
const bones = [];
function bone(name, parent, position, tail, flags, ik = null) {
  bones.push({ name, parent, position, tail, flags: flags | ROTATE | VISIBLE | CONTROL, ik });
}
const index = (name) => bones.findIndex((b) => b.name === name);
const at = (name) => bones[index(name)].position;

bone("全ての親", null, [0, 0, 0], "センター", MOVE | TAIL_BONE);
bone("センター", "全ての親", [0, 8, 0], [0, -0.8, 0], MOVE);
bone("上半身", "センター", [0, 11.5, 0], "首", TAIL_BONE);
bone("首", "上半身", [0, 16.2, 0], "頭", TAIL_BONE);
bone("頭", "首", [0, 17.2, 0], [0, 1.8, 0], 0);
bone("下半身", "センター", [0, 11.5, 0], [0, -1.2, 0], 0);
for (const [side, x] of [["左", LEG_X], ["右", -LEG_X]]) {
  bone(`${side}足`, "下半身", [x, 10.5, 0], `${side}ひざ`, TAIL_BONE);
  // The knee a little forward, so that the IK bends it the right way from the start.
  bone(`${side}ひざ`, `${side}足`, [x, 5.8, -0.15], `${side}足首`, TAIL_BONE);
  bone(`${side}足首`, `${side}ひざ`, [x, 1.3, 0], `${side}つま先`, TAIL_BONE);
  bone(`${side}つま先`, `${side}足首`, [x, 0.15, -1.5], [0, 0, -0.6], 0);
}
for (const side of ["左", "右"]) {
  const ankle = at(`${side}足首`);
  // The knee turns about x only, backwards: -180° to -0.5°.
  bone(`${side}足ＩＫ`, "全ての親", ankle, [0, 0, 1.4], MOVE | IK, {
    target: `${side}足首`, loops: 40, limit: 2.0,
    links: [[`${side}ひざ`, [-Math.PI, 0, 0], [-0.5 * Math.PI / 180, 0, 0]], [`${side}足`]],
  });
  bone(`${side}つま先ＩＫ`, `${side}足ＩＫ`, at(`${side}つま先`), [0, -1, 0], MOVE | IK, {
    target: `${side}つま先`, loops: 3, limit: 4.0, links: [[`${side}足首`]],
  });
}
for (const [side, s] of [["左", 1], ["右", -1]]) {
  const drop = 40 * Math.PI / 180;
  const step = (from, length) => [from[0] + s * length * Math.cos(drop), from[1] - length * Math.sin(drop), 0];
  const arm = [s * 1.7, 15.3, 0];
  const elbow = step(arm, 3.0);
  const wrist = step(elbow, 2.8);
  bone(`${side}肩`, "上半身", [s * 0.45, 15.6, 0], `${side}腕`, TAIL_BONE);
  bone(`${side}腕`, `${side}肩`, arm, `${side}ひじ`, TAIL_BONE);
  bone(`${side}ひじ`, `${side}腕`, elbow, `${side}手首`, TAIL_BONE);
  bone(`${side}手首`, `${side}ひじ`, wrist, step([0, 0, 0], 0.9), 0);
}

// Colours: the body grey, the face's side marked, left limbs blue and right orange as in the
// application's top view.
const materials = [
  { name: "体", colour: [0.80, 0.81, 0.85] },
  { name: "肌", colour: [0.97, 0.85, 0.74] },
  { name: "目印", colour: [0.85, 0.12, 0.12] },
  { name: "左", colour: [0.22, 0.45, 0.95] },
  { name: "右", colour: [0.97, 0.56, 0.12] },
];
const vertices = [];  // position, normal, bone
const faces = materials.map(() => []);

const sub = (a, b) => a.map((v, i) => v - b[i]);
const add = (a, b) => a.map((v, i) => v + b[i]);
const scale = (a, k) => a.map((v) => v * k);
const cross = (a, b) => [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]];
const unit = (a) => scale(a, 1 / Math.hypot(...a));

// A box from its centre and three half-axes, weighted wholly to one bone.
function box(centre, axes, boneName, material) {
  const b = index(boneName);
  for (let axis = 0; axis < 3; ++axis) {
    for (const sign of [1, -1]) {
      const n = scale(unit(axes[axis]), sign);
      const u = axes[(axis + 1) % 3], v = axes[(axis + 2) % 3];
      const mid = add(centre, scale(axes[axis], sign));
      const base = vertices.length;
      for (const [p, q] of [[-1, -1], [1, -1], [1, 1], [-1, 1]]) {
        vertices.push({ position: add(mid, add(scale(u, p), scale(v, q))), normal: n, bone: b });
      }
      // Wound so that the face looks outwards in MMD's left-handed space.
      faces[material].push(sign > 0 ? [base, base + 2, base + 1] : [base, base + 1, base + 2],
        sign > 0 ? [base, base + 3, base + 2] : [base, base + 2, base + 3]);
    }
  }
}
const block = (low, high, boneName, material) => box(scale(add(low, high), 0.5),
  [[(high[0] - low[0]) / 2, 0, 0], [0, (high[1] - low[1]) / 2, 0], [0, 0, (high[2] - low[2]) / 2]],
  boneName, material);
// A limb from joint to joint, `width` thick.
function limb(from, to, width, boneName, material) {
  const along = scale(sub(to, from), 0.5);
  const side = unit(cross(along, Math.abs(along[1]) > Math.abs(along[0]) ? [0, 0, 1] : [0, 1, 0]));
  const depth = unit(cross(side, along));
  box(add(from, along), [add(along, scale(unit(along), width * 0.15)), scale(side, width / 2),
    scale(depth, width / 2)], boneName, material);
}

block([-1.45, 9.7, -0.85], [1.45, 11.5, 0.85], "下半身", 0);
block([-1.35, 11.5, -0.8], [1.35, 14.2, 0.8], "上半身", 0);
block([-1.7, 14.2, -0.85], [1.7, 15.9, 0.85], "上半身", 0);
block([-1.0, 13.0, -1.05], [1.0, 14.0, -0.8], "上半身", 2);
block([-0.45, 15.9, -0.45], [0.45, 17.3, 0.45], "首", 0);
block([-1.1, 17.0, -1.1], [1.1, 19.9, 1.1], "頭", 1);
block([-0.25, 17.9, -1.45], [0.25, 18.4, -1.1], "頭", 2);
for (const [side, material] of [["左", 3], ["右", 4]]) {
  limb(at(`${side}足`), at(`${side}ひざ`), 1.4, `${side}足`, material);
  limb(at(`${side}ひざ`), at(`${side}足首`), 1.05, `${side}ひざ`, material);
  const x = at(`${side}足首`)[0];
  block([x - 0.5, 0, -2.1], [x + 0.5, 1.1, 0.45], `${side}足首`, material);
  limb(at(`${side}腕`), at(`${side}ひじ`), 0.85, `${side}腕`, material);
  limb(at(`${side}ひじ`), at(`${side}手首`), 0.75, `${side}ひじ`, material);
  const wrist = at(`${side}手首`);
  limb(wrist, add(wrist, bones[index(`${side}手首`)].tail), 0.6, `${side}手首`, 1);
}

class Writer {
  constructor() { this.parts = []; }
  bytes(array) { this.parts.push(Buffer.from(array)); }
  u8(v) { this.bytes([v & 0xFF]); }
  i16(v) { const b = Buffer.alloc(2); b.writeInt16LE(v); this.parts.push(b); }
  u16(v) { const b = Buffer.alloc(2); b.writeUInt16LE(v); this.parts.push(b); }
  i32(v) { const b = Buffer.alloc(4); b.writeInt32LE(v); this.parts.push(b); }
  f32(...values) { for (const v of values) { const b = Buffer.alloc(4); b.writeFloatLE(v); this.parts.push(b); } }
  text(s) { const b = Buffer.from(s, "utf16le"); this.i32(b.length); this.parts.push(b); }
  result() { return Buffer.concat(this.parts); }
}

const w = new Writer();
w.bytes(Buffer.from("PMX ", "ascii"));
w.f32(2.0);
// 8 globals: UTF-16LE text, no extra UVs, index sizes (vertex 2, texture 1, material 1, bone 2,
// morph 1, rigid body 1).
w.u8(8); w.bytes([0, 0, 2, 1, 1, 2, 1, 1]);
w.text(name); w.text("Pavaneflow mannequin");
w.text("ダンスのプレビュー用の箱の人形"); w.text("A figure of boxes for previewing dances");
w.i32(vertices.length);
for (const v of vertices) {
  w.f32(...scale(v.position, SIZE), ...v.normal, 0, 0);
  w.u8(0); w.i16(v.bone);  // BDEF1
  w.f32(1.0);              // edge scale
}
const triangles = faces.flat();
w.i32(triangles.length * 3);
for (const t of triangles) for (const i of t) w.u16(i);
w.i32(0);  // textures
w.i32(materials.length);
materials.forEach((m, i) => {
  w.text(m.name); w.text(m.name);
  w.f32(...m.colour, 1.0);                   // diffuse
  w.f32(0.1, 0.1, 0.1, 5.0);                 // specular and its power
  w.f32(...scale(m.colour, 0.45));           // ambient
  w.u8(0x01 | 0x02 | 0x04 | 0x08);           // both sides, shadows
  w.f32(0, 0, 0, 1, 0.6);                    // edge colour and size
  w.u8(0xFF); w.u8(0xFF); w.u8(0);           // no texture, no sphere
  w.u8(1); w.u8(0);                          // shared toon 01
  w.text("");
  w.i32(faces[i].length * 3);
});
w.i32(bones.length);
for (const b of bones) {
  w.text(b.name); w.text(b.name);
  w.f32(...scale(b.position, SIZE));
  w.i16(b.parent === null ? -1 : index(b.parent));
  w.i32(0);
  w.u16(b.flags);
  if (b.flags & TAIL_BONE) w.i16(index(b.tail)); else w.f32(...scale(b.tail, SIZE));
  if (b.ik) {
    w.i16(index(b.ik.target)); w.i32(b.ik.loops); w.f32(b.ik.limit);
    w.i32(b.ik.links.length);
    for (const [name, low, high] of b.ik.links) {
      w.i16(index(name));
      if (low) { w.u8(1); w.f32(...low, ...high); } else { w.u8(0); }
    }
  }
}
w.i32(0);  // morphs
const frames = [["Root", 1, ["全ての親"]], ["表情", 1, []], ["センター", 0, ["センター"]],
  ["体", 0, ["上半身", "首", "頭", "下半身"]],
  ["足", 0, bones.filter((b) => /足|ひざ|つま先/.test(b.name) && b.name !== "全ての親").map((b) => b.name)],
  ["腕", 0, bones.filter((b) => /肩|腕|ひじ|手首/.test(b.name)).map((b) => b.name)]];
w.i32(frames.length);
for (const [name, special, items] of frames) {
  w.text(name); w.text(name); w.u8(special); w.i32(items.length);
  for (const item of items) { w.u8(0); w.i16(index(item)); }
}
w.i32(0);  // rigid bodies
w.i32(0);  // joints

writeFileSync(out, w.result());
