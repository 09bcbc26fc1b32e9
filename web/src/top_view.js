// The dance seen from above, as the application's top view shows it: the panels, both feet as
// lettered footprints (left blue, right orange), the centre with an arrow for the body's facing.
const FOOT_COLOURS = { L: "#3a72f2", R: "#f28f1f" };
const PANEL_COLOURS = ["#bf4dd9", "#3399f2", "#4dcc66", "#f2cc33"];
const PANEL_SIZE = 3.4;

export function drawTopView(canvas, panels, pose) {
  const g = canvas.getContext("2d");
  const { width, height } = canvas;
  g.fillStyle = "#f0f1f5";
  g.fillRect(0, 0, width, height);
  const xs = panels.map((p) => p.x);
  const span = Math.max(12, Math.max(...xs, 0) - Math.min(...xs, 0) + 8);
  const scale = Math.min(width, height) / (span + 4);
  const midX = xs.length ? (Math.max(...xs) + Math.min(...xs)) / 2 : 0;
  // +z (the screen, where the up arrow lies) at the top.
  const at = (x, z) => [width / 2 + (x - midX) * scale, height / 2 - z * scale];
  for (const panel of panels) {
    const size = PANEL_SIZE * panel.scale;
    const [px, py] = at(panel.x - size / 2, panel.z + size / 2);
    g.fillStyle = PANEL_COLOURS[(panel.arrow & 0x0F) % 4];
    g.globalAlpha = 0.55;
    g.fillRect(px, py, size * scale, size * scale);
    g.globalAlpha = 1;
  }
  if (!pose) return;
  for (const [letter, foot] of [["L", pose.left], ["R", pose.right]]) {
    if (!foot) continue;
    const [fx, fy] = at(foot.x, foot.z);
    g.fillStyle = FOOT_COLOURS[letter];
    g.beginPath();
    g.ellipse(fx, fy, 0.6 * scale, 1.1 * scale, 0, 0, 2 * Math.PI);
    g.fill();
    g.fillStyle = "#fff";
    g.font = `bold ${Math.round(scale)}px sans-serif`;
    g.textAlign = "center";
    g.textBaseline = "middle";
    g.fillText(letter, fx, fy);
  }
  if (pose.centre) {
    const [cx, cy] = at(pose.centre.x, pose.centre.z);
    // The body faces its local -z: the facing is that axis of the centre's matrix.
    const m = pose.centre.m;
    const fx = -m[8], fz = -m[10];
    const length = Math.hypot(fx, fz) || 1;
    g.strokeStyle = "#333";
    g.lineWidth = 2;
    g.beginPath();
    g.arc(cx, cy, 0.5 * scale, 0, 2 * Math.PI);
    g.moveTo(cx, cy);
    g.lineTo(cx + (fx / length) * 2 * scale, cy - (fz / length) * 2 * scale);
    g.stroke();
  }
}
