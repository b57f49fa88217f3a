#!/usr/bin/env node
// Builds the services' content folder from the sources beside this file:
//   webadd.json, tuijian.json     the maker's server lists (answers of get.php)
//   pic/...                       site pictures and category icons, drawn here as SVG
//   redian.html ... shenghuo.html the recommendation pages, index.html, pages/*.css
//   wallpaper/<type>/{big,small}  the wallpaper catalogue with its thumbnails
//   licenses/                     licence of the Debian artwork taken into the catalogue
//   ipquery.tsv                   the IP-location table
// Usage: node build.js --out DIR [--rsvg rsvg-convert] [--magick convert] [--jobs 2]
// Pictures whose SVG source did not change are not rendered again.
'use strict';
const fs = require('fs');
const path = require('path');
const { spawn } = require('child_process');
const { CATEGORIES, wallpaper, W, H } = require('./wallpapers');

const args = { out: null, rsvg: 'rsvg-convert', magick: '/usr/bin/convert', jobs: 2 };
for (let i = 2; i < process.argv.length; i += 2) {
  const key = process.argv[i].replace(/^--/, '');
  if (!(key in args) || i + 1 >= process.argv.length) {
    console.error(`usage: node build.js --out DIR [--rsvg PATH] [--magick PATH] [--jobs N]`);
    process.exit(2);
  }
  args[key] = process.argv[i + 1];
}
if (!args.out) {
  console.error('--out is required');
  process.exit(2);
}

const SRC = __dirname;
const OUT = path.resolve(args.out);
const FONT = "WenQuanYi Zen Hei, Noto Sans CJK SC, sans-serif";
const WALLPAPERS_PER_TYPE = 32; // four lists: enough to fill twice a 2000-pixel-wide screen
// Portrait, the picture area of the wallpaper program's thumbnail frame (157 x 250 less its border).
const THUMB = '149x242';
// Debian's desktop artwork (package desktop-base, GPL-2+ / CC-BY-SA); the set is in the
// catalogue's 创意 category.
const DEBIAN_ART = '/usr/share/desktop-base';
const DEBIAN_THEMES = ['emerald', 'futureprototype', 'homeworld', 'joy', 'joy-inksplat', 'lines', 'moonlight', 'softwaves', 'spacefun'];
const DEBIAN_TYPE = 41;

const sites = JSON.parse(fs.readFileSync(path.join(SRC, 'sites.json'), 'utf8'));
const mkdir = (p) => fs.mkdirSync(p, { recursive: true });
const esc = (s) => String(s).replace(/[&<>"']/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;', "'": '&#39;' }[c]));

function writeIfChanged(file, text) {
  if (fs.existsSync(file) && fs.readFileSync(file, 'utf8') === text) return false;
  mkdir(path.dirname(file));
  fs.writeFileSync(file, text);
  return true;
}

// A small pool so the picture work uses at most --jobs processes.
const queue = [];
let running = 0;
let failed = false;
function run(cmd, argv) {
  return new Promise((resolve, reject) => {
    queue.push(() => {
      running++;
      // One thread per tool: the pool already keeps the cores busy.
      const env = { ...process.env, MAGICK_THREAD_LIMIT: '1', OMP_NUM_THREADS: '1' };
      const p = spawn(cmd, argv, { stdio: ['ignore', 'ignore', 'pipe'], env });
      let err = '';
      p.stderr.on('data', (d) => { err += d; });
      p.on('error', (e) => { running--; next(); reject(e); });
      p.on('close', (code) => {
        running--;
        next();
        if (code === 0) resolve();
        else reject(new Error(`${cmd} ${argv.join(' ')} failed: ${err.trim()}`));
      });
    });
    next();
  });
}
function next() {
  while (running < Number(args.jobs) && queue.length) queue.shift()();
}

// Renders `svgText` to `png` unless the same source was rendered before.
async function renderPng(svgText, png, width, height) {
  const source = path.join(OUT, 'src', path.relative(OUT, png).replace(/\.png$/, '.svg'));
  if (!writeIfChanged(source, svgText) && fs.existsSync(png)) return;
  mkdir(path.dirname(png));
  await run(args.rsvg, ['-w', String(width), '-h', String(height), source, '-o', png]);
}

async function renderWallpaper(svgFile, svgChanged, big, small) {
  if (!svgChanged && fs.existsSync(big) && fs.existsSync(small)) return;
  mkdir(path.dirname(big));
  mkdir(path.dirname(small));
  const png = big.replace(/\.jpg$/, '.tmp.png');
  await run(args.rsvg, ['-w', String(W), '-h', String(H), svgFile, '-o', png]);
  await run(args.magick, [png, '-quality', '85', '-write', big, '-resize', `${THUMB}^`, '-gravity', 'center',
    '-extent', THUMB, '-quality', '82', small]);
  fs.unlinkSync(png);
}

// --- site pictures -----------------------------------------------------------------------
function sitePicture(site) {
  const host = site.url.replace(/^https?:\/\//, '').replace(/\/.*$/, '');
  const size = site.name.length > 5 ? 30 : 38;
  return `<svg xmlns="http://www.w3.org/2000/svg" width="230" height="152" viewBox="0 0 230 152">
<defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="${site.color}"/><stop offset="1" stop-color="${site.color}" stop-opacity="0.78"/></linearGradient></defs>
<rect width="230" height="152" fill="#ffffff"/><rect x="6" y="6" width="218" height="104" rx="10" fill="url(#g)"/>
<text x="115" y="${58 + size / 3}" font-family="${FONT}" font-size="${size}" font-weight="bold" fill="#ffffff" text-anchor="middle">${esc(site.name)}</text>
<text x="115" y="136" font-family="${FONT}" font-size="15" fill="#555555" text-anchor="middle">${esc(host)}</text>
</svg>\n`;
}

function siteIcon(site, px) {
  const letter = Array.from(site.name)[0];
  return `<svg xmlns="http://www.w3.org/2000/svg" width="${px}" height="${px}" viewBox="0 0 64 64">
<rect x="2" y="2" width="60" height="60" rx="14" fill="${site.color}"/>
<text x="32" y="44" font-family="${FONT}" font-size="32" font-weight="bold" fill="#ffffff" text-anchor="middle">${esc(letter)}</text>
</svg>\n`;
}

// --- pages -------------------------------------------------------------------------------
// The desktop's embedded browser shows these pages and follows no ordinary link: a tab is
// "app:show/<page type>" (the host switches pages), a site "app:open/<address>" (the user's
// own browser opens it).
const appOpen = (url) => `app:open/${url}`;

function page(name, layout) {
  const byId = Object.fromEntries(sites.categories.map((c) => [c.id, c]));
  const boxes = layout.sections.map((id) => ({ title: byId[id].type, color: byId[id].color, links: byId[id].links }));
  for (const [title, links] of layout.extra || []) boxes.push({ title, color: '#34495e', links });
  const html = boxes.map((b) =>
    `<section style="border-top-color:${b.color}"><h2 style="color:${b.color}">${esc(b.title)}</h2><ul>` +
    b.links.map(([n, u]) => `<li><a href="${esc(appOpen(u))}" title="${esc(u)}">${esc(n)}</a></li>`).join('') +
    '</ul></section>').join('\n');
  const tabs = Object.entries(sites.pages).map(([k, p]) =>
    `<a href="app:show/${p.show}"${k === name ? ' class="on"' : ''}>${esc(p.title)}</a>`).join('');
  return `<!DOCTYPE html>
<html lang="zh-CN"><head><meta charset="utf-8"><meta http-equiv="X-UA-Compatible" content="IE=edge">
<title>${esc(layout.title)} - 推荐</title><link rel="stylesheet" href="pages/pages.css"></head>
<body><div id="page"><nav>${tabs}</nav>
<div id="boxes">
${html}
</div></div></body></html>
`;
}

function indexPage() {
  const links = Object.entries(sites.pages).map(([k, p]) => `<li><a href="${k}.html">${esc(p.title)}</a></li>`).join('');
  return `<!DOCTYPE html>
<html lang="zh-CN"><head><meta charset="utf-8"><title>Vexlo 服务</title><link rel="stylesheet" href="pages/pages.css"></head>
<body><div id="page"><h1>Vexlo 离线演示服务</h1><ul class="plain">${links}<li><a href="baidu">搜索</a></li></ul></div></body></html>
`;
}

async function main() {
  mkdir(OUT);
  const jobs = [];

  // Maker's server lists and their pictures.
  const webadd = { webadd: [] };
  for (const s of sites.webadd) {
    const pic = `pic/webadd/${s.id}.png`;
    webadd.webadd.push({ name: s.name, url: s.url, pic });
    jobs.push(renderPng(sitePicture(s), path.join(OUT, pic), 230, 152));
  }
  const tuijian = { web_tj_top: [], web_tj_type: [] };
  for (const s of sites.top) {
    const pic = `pic/top/${s.id}.png`;
    tuijian.web_tj_top.push({ name: s.name, url: s.url, pic });
    jobs.push(renderPng(siteIcon(s, 64), path.join(OUT, pic), 64, 64));
  }
  for (const c of sites.categories) {
    const pic = `pic/type/${c.id}.png`;
    tuijian.web_tj_type.push({ type: c.type, pic, data: c.links.map(([name, url]) => ({ name, url })) });
    jobs.push(renderPng(siteIcon({ name: c.type, color: c.color }, 32), path.join(OUT, pic), 32, 32));
  }
  writeIfChanged(path.join(OUT, 'webadd.json'), JSON.stringify(webadd, null, 1) + '\n');
  writeIfChanged(path.join(OUT, 'tuijian.json'), JSON.stringify(tuijian, null, 1) + '\n');

  // Pages.
  for (const [name, layout] of Object.entries(sites.pages)) writeIfChanged(path.join(OUT, `${name}.html`), page(name, layout));
  writeIfChanged(path.join(OUT, 'index.html'), indexPage());
  for (const css of ['pages.css', 'search.css'])
    writeIfChanged(path.join(OUT, 'pages', css), fs.readFileSync(path.join(SRC, css), 'utf8'));
  writeIfChanged(path.join(OUT, 'ipquery.tsv'), fs.readFileSync(path.join(SRC, 'ipquery.tsv'), 'utf8'));

  // Wallpapers drawn here.
  for (const type of Object.keys(CATEGORIES).map(Number)) {
    for (let i = 1; i <= WALLPAPERS_PER_TYPE; i++) {
      const name = `${type}-${String(i).padStart(2, '0')}`;
      const svgFile = path.join(OUT, 'src', 'wallpaper', `${name}.svg`);
      const changed = writeIfChanged(svgFile, wallpaper(type, i));
      const dir = path.join(OUT, 'wallpaper', String(type));
      jobs.push(renderWallpaper(svgFile, changed, path.join(dir, 'big', `${name}.jpg`), path.join(dir, 'small', `${name}.jpg`)));
    }
  }
  // Debian's artwork, with its licence.
  const copyright = '/usr/share/doc/desktop-base/copyright';
  if (!fs.existsSync(copyright)) throw new Error('package desktop-base is not installed (scripts/setup installs it)');
  writeIfChanged(path.join(OUT, 'licenses', 'desktop-base.copyright.txt'), fs.readFileSync(copyright, 'utf8'));
  for (const theme of DEBIAN_THEMES) {
    const svgFile = path.join(DEBIAN_ART, `${theme}-theme`, 'wallpaper', 'contents', 'images', '1920x1080.svg');
    if (!fs.existsSync(svgFile)) throw new Error(`missing ${svgFile}`);
    const dir = path.join(OUT, 'wallpaper', String(DEBIAN_TYPE));
    jobs.push(renderWallpaper(svgFile, false, path.join(dir, 'big', `debian-${theme}.jpg`), path.join(dir, 'small', `debian-${theme}.jpg`)));
  }

  const results = await Promise.allSettled(jobs);
  for (const r of results) {
    if (r.status === 'rejected') {
      failed = true;
      console.error(r.reason.message || r.reason);
    }
  }
  if (failed) process.exit(1);
  fs.writeFileSync(path.join(OUT, '.stamp'), new Date().toISOString() + '\n');
}

main().catch((e) => {
  console.error(e.message || e);
  process.exit(1);
});
