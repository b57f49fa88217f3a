// Wallpapers drawn by us, one SVG per picture, 1920 x 1080. Each category has its own kind
// of picture; a seeded generator makes every picture differ while builds stay repeatable.
// Categories whose names ask for people (美女, 明星) get flowers and starry skies instead:
// the catalogue carries no pictures of real people.
'use strict';

const W = 1920;
const H = 1080;

function rng(seed) {
  let s = seed >>> 0;
  return () => {
    s = (s + 0x6d2b79f5) >>> 0;
    let t = s;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

const hsl = (h, s, l, a = 1) =>
  a === 1 ? `hsl(${h.toFixed(0)},${s.toFixed(0)}%,${l.toFixed(0)}%)` : `hsla(${h.toFixed(0)},${s.toFixed(0)}%,${l.toFixed(0)}%,${a.toFixed(2)})`;
const f = (n) => n.toFixed(1);
const svg = (body, defs = '') =>
  `<svg xmlns="http://www.w3.org/2000/svg" width="${W}" height="${H}" viewBox="0 0 ${W} ${H}"><defs>${defs}</defs>${body}</svg>\n`;
const linear = (id, stops, vertical = true) =>
  `<linearGradient id="${id}" x1="0" y1="0" x2="${vertical ? 0 : 1}" y2="${vertical ? 1 : 0}">` +
  stops.map(([o, c]) => `<stop offset="${o}" stop-color="${c}"/>`).join('') + '</linearGradient>';
const blur = (id, sd) => `<filter id="${id}" x="-50%" y="-50%" width="200%" height="200%"><feGaussianBlur stdDeviation="${sd}"/></filter>`;

// A mountain ridge by midpoint displacement, closed down to the bottom edge.
function ridge(r, base, rough) {
  let pts = [[0, base + (r() - 0.5) * rough], [W, base + (r() - 0.5) * rough]];
  let amp = rough;
  for (let level = 0; level < 7; level++) {
    const next = [];
    for (let i = 0; i < pts.length - 1; i++) {
      const [x1, y1] = pts[i];
      const [x2, y2] = pts[i + 1];
      next.push(pts[i], [(x1 + x2) / 2, (y1 + y2) / 2 + (r() - 0.5) * amp]);
    }
    next.push(pts[pts.length - 1]);
    pts = next;
    amp *= 0.55;
  }
  return `M0,${H} ` + pts.map(([x, y]) => `L${f(x)},${f(y)}`).join(' ') + ` L${W},${H} Z`;
}

function landscape(r) {
  const mood = Math.floor(r() * 4); // dawn, day, dusk, night
  const skies = [
    ['#f6d3a8', '#f29e7c', '#7d6b9e'], ['#9fd3f5', '#5aa9e6', '#2e6fb7'],
    ['#ffcf8a', '#f27a54', '#5b2a6e'], ['#1b2a49', '#283e6b', '#0b1222'],
  ][mood];
  const hue = [20, 140, 280, 225][mood] + (r() - 0.5) * 30;
  let body = `<rect width="${W}" height="${H}" fill="url(#sky)"/>`;
  const sx = 300 + r() * 1300;
  const sy = 180 + r() * 260;
  body += `<circle cx="${f(sx)}" cy="${f(sy)}" r="${mood === 3 ? 60 : 90}" fill="${mood === 3 ? '#f4f1de' : '#fff4d6'}" opacity="0.9" filter="url(#glow)"/>`;
  body += `<circle cx="${f(sx)}" cy="${f(sy)}" r="${mood === 3 ? 45 : 70}" fill="${mood === 3 ? '#fbfaf2' : '#fffaf0'}"/>`;
  const layers = 4 + Math.floor(r() * 2);
  for (let i = 0; i < layers; i++) {
    const t = i / (layers - 1);
    const light = mood === 3 ? 30 - t * 22 : 72 - t * 55;
    body += `<path d="${ridge(r, 480 + t * 420, 420 - t * 220)}" fill="${hsl(hue, 25 + t * 20, light)}"/>`;
  }
  if (r() < 0.5) {
    body += `<rect y="${H - 150}" width="${W}" height="150" fill="${hsl(hue + 10, 40, mood === 3 ? 15 : 45, 0.55)}"/>`;
  }
  return svg(body, linear('sky', [[0, skies[2]], [0.6, skies[1]], [1, skies[0]]]) + blur('glow', 40));
}

function flowers(r) {
  const baseHue = r() * 360;
  let body = `<rect width="${W}" height="${H}" fill="url(#bg)"/>`;
  const n = 7 + Math.floor(r() * 6);
  for (let i = 0; i < n; i++) {
    const cx = r() * W;
    const cy = r() * H;
    const size = 90 + r() * 170;
    const petals = 5 + Math.floor(r() * 4);
    const hue = (baseHue + (r() - 0.5) * 70 + 360) % 360;
    const rot = r() * 360;
    let flower = '';
    for (let p = 0; p < petals; p++) {
      const a = rot + (360 / petals) * p;
      flower += `<ellipse cx="0" cy="${f(-size * 0.55)}" rx="${f(size * 0.32)}" ry="${f(size * 0.58)}" transform="rotate(${f(a)})" fill="${hsl(hue, 70, 70 + r() * 12, 0.9)}" stroke="${hsl(hue, 60, 55, 0.5)}" stroke-width="3"/>`;
    }
    flower += `<circle r="${f(size * 0.22)}" fill="${hsl((hue + 50) % 360, 85, 55)}"/>`;
    body += `<path d="M${f(cx)},${f(cy)} q${f((r() - 0.5) * 200)},${f(size * 1.5)} ${f((r() - 0.5) * 100)},${f(size * 3)}" stroke="${hsl(120, 40, 35, 0.6)}" stroke-width="10" fill="none"/>`;
    body += `<g transform="translate(${f(cx)},${f(cy)})">${flower}</g>`;
  }
  return svg(body, linear('bg', [[0, hsl(baseHue, 40, 92)], [1, hsl((baseHue + 40) % 360, 45, 80)]], false));
}

function starryNight(r) {
  let body = `<rect width="${W}" height="${H}" fill="url(#sky)"/>`;
  const bandY = 200 + r() * 500;
  body += `<ellipse cx="${W / 2}" cy="${f(bandY)}" rx="1300" ry="140" transform="rotate(${f((r() - 0.5) * 50)} ${W / 2} ${f(bandY)})" fill="${hsl(250 + r() * 60, 50, 70, 0.25)}" filter="url(#soft)"/>`;
  for (let i = 0; i < 700; i++) {
    body += `<circle cx="${f(r() * W)}" cy="${f(r() * H * 0.85)}" r="${f(0.6 + r() * r() * 2.6)}" fill="#fff" opacity="${(0.3 + r() * 0.7).toFixed(2)}"/>`;
  }
  const stars = [];
  for (let i = 0; i < 7; i++) stars.push([200 + r() * 1500, 100 + r() * 550]);
  body += `<polyline points="${stars.map(([x, y]) => `${f(x)},${f(y)}`).join(' ')}" fill="none" stroke="#cfe3ff" stroke-opacity="0.35" stroke-width="2"/>`;
  for (const [x, y] of stars) {
    body += `<circle cx="${f(x)}" cy="${f(y)}" r="16" fill="#dfe9ff" opacity="0.6" filter="url(#glow)"/><circle cx="${f(x)}" cy="${f(y)}" r="5" fill="#fff"/>`;
  }
  body += `<path d="${ridge(r, 960, 160)}" fill="#070b14"/>`;
  return svg(body, linear('sky', [[0, '#050816'], [0.7, hsl(230 + r() * 30, 50, 18)], [1, hsl(260 + r() * 40, 40, 28)]]) +
    blur('soft', 60) + blur('glow', 8));
}

function fresh(r) {
  const hue = 80 + r() * 120;
  let body = `<rect width="${W}" height="${H}" fill="url(#bg)"/>`;
  for (let i = 0; i < 30; i++) {
    body += `<circle cx="${f(r() * W)}" cy="${f(r() * H)}" r="${f(30 + r() * 140)}" fill="${hsl(hue + (r() - 0.5) * 80, 60, 85 + r() * 10, 0.35 + r() * 0.3)}" filter="url(#soft)"/>`;
  }
  for (let i = 0; i < 3; i++) {
    const y = 650 + i * 140 + r() * 60;
    body += `<path d="M0,${f(y)} C${f(W * 0.3)},${f(y - 120 - r() * 80)} ${f(W * 0.6)},${f(y + 100)} ${W},${f(y - 60)} L${W},${H} L0,${H} Z" fill="${hsl(hue + i * 15, 45, 75 - i * 12, 0.7)}"/>`;
  }
  for (let i = 0; i < 8; i++) {
    const x = r() * W;
    const y = r() * 600;
    const a = r() * 360;
    body += `<path d="M0,0 C30,-40 90,-40 120,0 C90,40 30,40 0,0 Z" transform="translate(${f(x)},${f(y)}) rotate(${f(a)}) scale(${(0.8 + r()).toFixed(2)})" fill="${hsl(hue, 55, 55, 0.75)}"/>`;
  }
  return svg(body, linear('bg', [[0, hsl(hue, 60, 95)], [1, hsl(hue + 40, 50, 85)]]) + blur('soft', 12));
}

function pet(r) {
  const bgHue = r() * 360;
  const cat = r() < 0.5;
  const fur = [['#f4a460', '#ffe4c4'], ['#8b8b8b', '#e8e8e8'], ['#3b3b3b', '#f5f5f5'], ['#d2b48c', '#fff8ee'], ['#ffffff', '#fde2e4']][Math.floor(r() * 5)];
  let body = `<rect width="${W}" height="${H}" fill="${hsl(bgHue, 55, 88)}"/>`;
  for (let i = 0; i < 40; i++) {
    const x = r() * W;
    const y = r() * H;
    const c = hsl(bgHue, 45, 78);
    body += `<g transform="translate(${f(x)},${f(y)}) rotate(${f(r() * 360)})" fill="${c}"><ellipse rx="22" ry="18" cy="18"/><circle cx="-22" cy="-10" r="9"/><circle cx="-7" cy="-20" r="9"/><circle cx="9" cy="-20" r="9"/><circle cx="24" cy="-10" r="9"/></g>`;
  }
  const cx = 760 + r() * 400;
  const cy = 560;
  let face = '';
  if (cat) {
    face += `<path d="M-230,-120 L-190,-330 L-60,-200 Z" fill="${fur[0]}"/><path d="M230,-120 L190,-330 L60,-200 Z" fill="${fur[0]}"/>`;
    face += `<path d="M-200,-160 L-185,-285 L-100,-200 Z" fill="#f7b7c3"/><path d="M200,-160 L185,-285 L100,-200 Z" fill="#f7b7c3"/>`;
  } else {
    face += `<ellipse cx="-240" cy="-40" rx="80" ry="170" transform="rotate(20 -240 -40)" fill="${fur[0]}" filter="url(#shade)"/><ellipse cx="240" cy="-40" rx="80" ry="170" transform="rotate(-20 240 -40)" fill="${fur[0]}" filter="url(#shade)"/>`;
  }
  face += `<ellipse rx="270" ry="240" fill="${fur[0]}"/><ellipse cy="80" rx="170" ry="130" fill="${fur[1]}"/>`;
  const eye = hsl(r() * 360, 60, 30);
  face += `<ellipse cx="-95" cy="-40" rx="42" ry="52" fill="${eye}"/><ellipse cx="95" cy="-40" rx="42" ry="52" fill="${eye}"/>`;
  face += `<circle cx="-80" cy="-58" r="14" fill="#fff"/><circle cx="110" cy="-58" r="14" fill="#fff"/>`;
  face += `<path d="M-28,40 L28,40 L0,72 Z" fill="#e07a8a"/><path d="M0,72 Q-30,110 -60,90 M0,72 Q30,110 60,90" stroke="#5a3d3d" stroke-width="7" fill="none" stroke-linecap="round"/>`;
  face += `<ellipse cx="-150" cy="70" rx="38" ry="22" fill="#f7a1b0" opacity="0.7"/><ellipse cx="150" cy="70" rx="38" ry="22" fill="#f7a1b0" opacity="0.7"/>`;
  if (cat) {
    for (const s of [-1, 1]) {
      for (const dy of [-10, 20]) face += `<line x1="${s * 60}" y1="${60 + dy}" x2="${s * 280}" y2="${40 + dy * 2}" stroke="#5a3d3d" stroke-width="5" stroke-linecap="round"/>`;
    }
  }
  body += `<g transform="translate(${f(cx)},${cy}) rotate(${f((r() - 0.5) * 16)})">${face}</g>`;
  return svg(body, blur('shade', 2));
}

function anime(r) {
  const hue = 190 + r() * 30;
  let body = `<rect width="${W}" height="${H}" fill="url(#sky)"/>`;
  const sx = r() * W;
  for (let i = 0; i < 12; i++) {
    const a = (i / 12) * Math.PI * 2 + r() * 0.2;
    body += `<path d="M${f(sx)},${f(150)} L${f(sx + Math.cos(a) * 2400)},${f(150 + Math.sin(a) * 2400)} L${f(sx + Math.cos(a + 0.12) * 2400)},${f(150 + Math.sin(a + 0.12) * 2400)} Z" fill="#fff" opacity="0.08"/>`;
  }
  for (let c = 0; c < 5; c++) {
    const x = r() * W;
    const y = 150 + r() * 400;
    const s = 0.6 + r() * 0.9;
    let cloud = '';
    for (let k = 0; k < 7; k++) cloud += `<circle cx="${f((k - 3) * 70 + (r() - 0.5) * 30)}" cy="${f(-Math.sin((k / 6) * Math.PI) * 80 + (r() - 0.5) * 20)}" r="${f(70 + r() * 50)}"/>`;
    body += `<g transform="translate(${f(x)},${f(y)}) scale(${s.toFixed(2)})" fill="#fff"><ellipse cx="0" cy="40" rx="300" ry="60"/>${cloud}</g>`;
  }
  body += `<path d="M0,${f(820 + r() * 60)} Q${f(W * 0.3)},${f(650 + r() * 80)} ${f(W * 0.6)},${f(800)} T${W},${f(760 + r() * 60)} L${W},${H} L0,${H} Z" fill="#7cc46b"/>`;
  body += `<path d="M0,${f(930)} Q${f(W * 0.5)},${f(820 + r() * 60)} ${W},${f(950)} L${W},${H} L0,${H} Z" fill="#5aa653"/>`;
  const tx = 300 + r() * 1300;
  body += `<rect x="${f(tx - 18)}" y="700" width="36" height="170" fill="#7a5232"/><circle cx="${f(tx)}" cy="660" r="110" fill="#3f8f4a"/><circle cx="${f(tx - 70)}" cy="700" r="80" fill="#4a9e55"/><circle cx="${f(tx + 70)}" cy="700" r="80" fill="#4a9e55"/>`;
  const hx = (tx + 500 + r() * 300) % (W - 300) + 100;
  body += `<rect x="${f(hx)}" y="760" width="220" height="150" fill="#fdf0d5"/><path d="M${f(hx - 30)},770 L${f(hx + 110)},660 L${f(hx + 250)},770 Z" fill="#d1495b"/><rect x="${f(hx + 85)}" y="830" width="50" height="80" fill="#8d5a3b"/><rect x="${f(hx + 20)}" y="800" width="45" height="40" fill="#9ed3f0"/><rect x="${f(hx + 155)}" y="800" width="45" height="40" fill="#9ed3f0"/>`;
  return svg(body, linear('sky', [[0, hsl(hue, 80, 55)], [1, hsl(hue - 10, 85, 85)]]));
}

function car(r) {
  const hue = 10 + r() * 40;
  let body = `<rect width="${W}" height="${H}" fill="url(#sky)"/>`;
  body += `<circle cx="${f(600 + r() * 700)}" cy="560" r="180" fill="${hsl(hue + 20, 95, 70)}" opacity="0.9"/>`;
  let x = 0;
  while (x < W) {
    const w = 60 + r() * 120;
    const h = 100 + r() * 300;
    body += `<rect x="${f(x)}" y="${f(700 - h)}" width="${f(w)}" height="${f(h + 10)}" fill="${hsl(hue + 240, 25, 20 + r() * 8)}"/>`;
    x += w + r() * 20;
  }
  body += `<rect y="700" width="${W}" height="${H - 700}" fill="#2b2d35"/>`;
  for (let i = 0; i < 10; i++) body += `<rect x="${i * 220 + 40}" y="880" width="120" height="14" fill="#f4d35e" opacity="0.8"/>`;
  const paint = hsl(r() * 360, 70, 45);
  const cx = 500 + r() * 600;
  body += `<g transform="translate(${f(cx)},640)">` +
    `<path d="M0,180 L20,110 Q40,90 120,85 L250,20 Q290,0 420,0 L560,5 Q620,10 680,85 L820,100 Q880,110 890,150 L890,180 Z" fill="${paint}"/>` +
    `<path d="M270,35 Q300,20 410,20 L420,85 L190,88 Z" fill="#bfe3f2" opacity="0.85"/><path d="M440,20 L550,24 Q590,30 640,86 L450,86 Z" fill="#bfe3f2" opacity="0.85"/>` +
    `<rect x="840" y="120" width="45" height="18" fill="#fff3b0"/><rect x="0" y="130" width="30" height="16" fill="#e63946"/>` +
    `<circle cx="200" cy="185" r="70" fill="#111"/><circle cx="200" cy="185" r="32" fill="#bbb"/>` +
    `<circle cx="700" cy="185" r="70" fill="#111"/><circle cx="700" cy="185" r="32" fill="#bbb"/></g>`;
  return svg(body, linear('sky', [[0, hsl(hue + 250, 45, 25)], [0.55, hsl(hue + 330, 60, 55)], [1, hsl(hue, 90, 65)]]));
}

function geometric(r) {
  const h1 = r() * 360;
  const h2 = (h1 + 60 + r() * 120) % 360;
  const style = Math.floor(r() * 3);
  let body = '';
  if (style === 0) {
    const cell = 120;
    const jitter = [];
    for (let y = 0; y <= H / cell + 1; y++) {
      jitter.push([]);
      for (let x = 0; x <= W / cell + 1; x++) jitter[y].push([x * cell + (r() - 0.5) * 70, y * cell + (r() - 0.5) * 70]);
    }
    for (let y = 0; y < jitter.length - 1; y++) {
      for (let x = 0; x < jitter[y].length - 1; x++) {
        const a = jitter[y][x], b = jitter[y][x + 1], c = jitter[y + 1][x], d = jitter[y + 1][x + 1];
        for (const tri of [[a, b, c], [b, d, c]]) {
          const t = ((tri[0][0] / W) + (tri[0][1] / H)) / 2;
          body += `<path d="M${tri.map((p) => `${f(p[0])},${f(p[1])}`).join(' L')} Z" fill="${hsl(h1 + (h2 - h1) * t, 55, 35 + r() * 25)}" stroke="${hsl(h1, 40, 30, 0.2)}"/>`;
        }
      }
    }
  } else if (style === 1) {
    body += `<rect width="${W}" height="${H}" fill="${hsl(h1, 40, 15)}"/>`;
    const cx = r() * W, cy = r() * H;
    for (let i = 30; i > 0; i--) body += `<circle cx="${f(cx)}" cy="${f(cy)}" r="${i * 80}" fill="${hsl(h1 + (h2 - h1) * (i / 30), 60, 25 + (i % 2) * 20)}"/>`;
  } else {
    body += `<rect width="${W}" height="${H}" fill="${hsl(h2, 30, 92)}"/>`;
    for (let i = 0; i < 24; i++) {
      const y = i * 60 - 200;
      body += `<path d="M-100,${y} C${f(W * 0.3)},${f(y + 200 * r())} ${f(W * 0.6)},${f(y - 200 * r())} ${W + 100},${f(y + 300)}" stroke="${hsl(h1 + i * 6, 65, 50, 0.7)}" stroke-width="${f(8 + r() * 20)}" fill="none"/>`;
    }
  }
  return svg(body);
}

function pixelGame(r) {
  const u = 40;
  const cols = W / u;
  const rows = H / u;
  let body = `<rect width="${W}" height="${H}" fill="${hsl(200 + r() * 20, 80, 70)}"/>`;
  const px = (x, y, c) => `<rect x="${x * u}" y="${y * u}" width="${u}" height="${u}" fill="${c}"/>`;
  for (let c = 0; c < 4; c++) {
    const cx = Math.floor(r() * (cols - 6));
    const cy = 2 + Math.floor(r() * 8);
    for (const [dx, dy] of [[1, 0], [2, 0], [3, 0], [0, 1], [1, 1], [2, 1], [3, 1], [4, 1], [5, 1]]) body += px(cx + dx, cy + dy, '#fff');
  }
  let ground = rows - 4;
  const heights = [];
  for (let x = 0; x < cols; x++) {
    if (r() < 0.15) ground = Math.min(rows - 2, Math.max(rows - 7, ground + (r() < 0.5 ? -1 : 1)));
    heights.push(ground);
    for (let y = ground; y < rows; y++) body += px(x, y, y === ground ? '#4caf50' : (x + y) % 2 ? '#8d5524' : '#7a4a1f');
  }
  for (let b = 0; b < 3; b++) {
    const bx = 4 + Math.floor(r() * (cols - 12));
    const by = heights[bx] - 5;
    for (let k = 0; k < 4; k++) body += px(bx + k, by, k === 1 ? '#f9c74f' : '#c0703a') + `<rect x="${(bx + k) * u}" y="${by * u}" width="${u}" height="${u}" fill="none" stroke="#5a3215" stroke-width="3"/>`;
    for (let k = 0; k < 4; k++) body += `<circle cx="${(bx + k) * u + u / 2}" cy="${(by - 2) * u + u / 2}" r="12" fill="#ffd60a" stroke="#b08900" stroke-width="3"/>`;
  }
  const pxp = 10 + Math.floor(r() * (cols - 20));
  const top = heights[pxp] - 3;
  for (let y = top; y < heights[pxp]; y++) body += px(pxp, y, '#2d9e3a') + px(pxp + 1, y, '#38b548');
  body += `<rect x="${(pxp - 0.25) * u}" y="${(top - 1) * u}" width="${2.5 * u}" height="${u}" fill="#2d9e3a" stroke="#145a1e" stroke-width="3"/>`;
  const hx = 3 + Math.floor(r() * 5);
  const hy = heights[hx] - 2;
  body += px(hx, hy - 1, '#e63946') + px(hx, hy, '#1d3557') + px(hx, hy + 1, '#1d3557');
  return `<svg xmlns="http://www.w3.org/2000/svg" width="${W}" height="${H}" shape-rendering="crispEdges">${body}</svg>\n`;
}

// Server type code -> drawing function.
const CATEGORIES = {
  37: landscape, 38: flowers, 47: starryNight, 50: fresh, 49: pet, 39: anime, 42: car, 41: geometric, 43: pixelGame,
};

function wallpaper(type, index) {
  return CATEGORIES[type](rng(type * 1000 + index + 1));
}

module.exports = { CATEGORIES, wallpaper, W, H };
