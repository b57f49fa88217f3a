#!/usr/bin/env node
// The five recommendation pages as the desktop's 975 x 510 browser view shows them, in a real
// browser (headless Chromium) served by the stand-in services: nothing scrolls or is cut off,
// every "app:" link the page should carry is there and inside the view, the page carries no
// other kind of link, and no request leaves loopback. Saves a screenshot of each page.
// Usage: node pages_in_chromium.js --server EXE --content DIR --cities FILE --sites JSON --out DIR
// Exits 77 (skipped) when chromium is not installed.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { spawn, execFileSync } = require('child_process');

const args = { server: null, content: null, cities: null, sites: null, out: null, chromium: 'chromium' };
for (let i = 2; i + 1 < process.argv.length; i += 2) args[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
for (const k of ['server', 'content', 'cities', 'sites', 'out'])
  if (!args[k]) { console.error(`--${k} is required`); process.exit(2); }

const W = 975, H = 510;
const which = (cmd) => { try { return execFileSync('sh', ['-c', `command -v ${cmd}`]).toString().trim(); } catch { return ''; } };
const chromiumPath = which(args.chromium);
if (!chromiumPath) {
  console.log(`SKIPPED: ${args.chromium} is not installed (scripts/setup installs Debian's chromium)`);
  process.exit(77);
}

const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'vx-pages-'));
const children = [];
async function finish(code) {
  // The profile is removed only after chromium has gone, or it is still being written.
  await Promise.all(children.filter((c) => c.exitCode === null && c.signalCode === null).map((c) =>
    new Promise((r) => { c.on('exit', r); c.kill('SIGKILL'); })));
  try { fs.rmSync(tmp, { recursive: true, force: true }); } catch (e) { console.error(`left ${tmp}: ${e.message}`); }
  process.exit(code);
}
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
function within(ms, promise, what) {
  return Promise.race([promise, sleep(ms).then(() => { throw new Error(`timed out: ${what}`); })]);
}

async function startServer() {
  const portFile = path.join(tmp, 'port');
  const p = spawn(args.server, ['--host', '127.0.0.1', '--port', '0', '--content', args.content, '--cities', args.cities,
    '--db', path.join(tmp, 'tongji.db'), '--port-file', portFile], { stdio: ['ignore', 'ignore', 'inherit'] });
  children.push(p);
  for (let i = 0; i < 200; i++) {
    if (fs.existsSync(portFile) && fs.readFileSync(portFile, 'utf8').trim()) return `http://127.0.0.1:${fs.readFileSync(portFile, 'utf8').trim()}`;
    if (p.exitCode !== null) throw new Error('the services stopped at once');
    await sleep(50);
  }
  throw new Error('the services did not come up');
}

// DevTools protocol over --remote-debugging-pipe: NUL-terminated JSON on fds 3 (in) and 4 (out).
function startChromium() {
  const p = spawn(chromiumPath, ['--headless=new', '--remote-debugging-pipe', '--no-sandbox', '--disable-gpu',
    '--no-first-run', '--no-default-browser-check', '--disable-background-networking', '--disable-component-update',
    '--disable-sync', '--disable-extensions', '--disable-features=Translate,OptimizationHints,MediaRouter',
    '--hide-scrollbars=false', `--user-data-dir=${path.join(tmp, 'profile')}`,
    // Belt and braces: a name other than loopback does not even resolve.
    '--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1', `--window-size=${W},${H}`, 'about:blank'],
  { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
  children.push(p);
  let log = '';
  p.stderr.on('data', (d) => { log += d; });
  let id = 0, buf = '';
  const pending = new Map(), listeners = [];
  p.stdio[4].on('data', (d) => {
    buf += d.toString('utf8');
    let at;
    while ((at = buf.indexOf('\0')) >= 0) {
      const msg = JSON.parse(buf.slice(0, at));
      buf = buf.slice(at + 1);
      if (msg.id && pending.has(msg.id)) {
        const { resolve, reject } = pending.get(msg.id);
        pending.delete(msg.id);
        msg.error ? reject(new Error(JSON.stringify(msg.error))) : resolve(msg.result);
      } else for (const l of listeners) l(msg);
    }
  });
  const send = (method, params = {}, sessionId) => new Promise((resolve, reject) => {
    const msg = { id: ++id, method, params };
    if (sessionId) msg.sessionId = sessionId;
    pending.set(msg.id, { resolve, reject });
    p.stdio[3].write(JSON.stringify(msg) + '\0');
  });
  return { send, on: (l) => listeners.push(l), log: () => log };
}

// What each page must carry: its five tabs and every site of its boxes.
function expectedLinks(sites, name) {
  const layout = sites.pages[name];
  const byId = Object.fromEntries(sites.categories.map((c) => [c.id, c]));
  const links = Object.values(sites.pages).map((p) => `app:show/${p.show}`);
  for (const id of layout.sections) for (const [, url] of byId[id].links) links.push(`app:open/${url}`);
  for (const [, list] of layout.extra || []) for (const [, url] of list) links.push(`app:open/${url}`);
  return links;
}

// Runs in the page: sizes, and every link with its box.
const MEASURE = `(() => {
  const d = document.documentElement, b = document.body;
  const clipped = [...document.querySelectorAll('section, ul, li, #boxes, #page, nav')]
    .filter((e) => e.scrollHeight > e.clientHeight + 1 || (e.tagName !== 'LI' && e.scrollWidth > e.clientWidth + 1))
    .map((e) => e.tagName + ':' + (e.textContent || '').slice(0, 20));
  const links = [...document.querySelectorAll('a')].map((a) => {
    const r = a.getBoundingClientRect();
    return { href: a.getAttribute('href'), text: a.textContent, l: r.left, t: r.top, r: r.right, b: r.bottom };
  });
  return JSON.stringify({ w: innerWidth, h: innerHeight, sw: Math.max(d.scrollWidth, b.scrollWidth),
    sh: Math.max(d.scrollHeight, b.scrollHeight), clipped, links });
})()`;

async function main() {
  const sites = JSON.parse(fs.readFileSync(args.sites, 'utf8'));
  fs.mkdirSync(args.out, { recursive: true });
  const base = await startServer();
  const cr = startChromium();
  const requests = [];
  let loaded = null;
  cr.on((m) => {
    if (m.method === 'Network.requestWillBeSent') requests.push(m.params.request.url);
    if (m.method === 'Page.loadEventFired' && loaded) loaded();
  });
  const { targetId } = await within(15000, cr.send('Target.createTarget', { url: 'about:blank' }), 'chromium start');
  const { sessionId } = await cr.send('Target.attachToTarget', { targetId, flatten: true });
  const s = (method, params) => cr.send(method, params, sessionId);
  await s('Network.enable');
  await s('Page.enable');
  await s('Emulation.setDeviceMetricsOverride', { width: W, height: H, deviceScaleFactor: 1, mobile: false });

  const faults = [];
  for (const name of Object.keys(sites.pages)) {
    const done = new Promise((r) => { loaded = r; });
    await s('Page.navigate', { url: `${base}/${name}.html` });
    await within(10000, done, `${name}.html to load`);
    await s('Runtime.evaluate', { expression: 'document.fonts.ready', awaitPromise: true });
    const m = JSON.parse((await s('Runtime.evaluate', { expression: MEASURE, returnByValue: true })).result.value);
    const fault = (text) => faults.push(`${name}.html: ${text}`);
    if (m.w !== W || m.h !== H) fault(`view is ${m.w}x${m.h}`);
    if (m.sw > W || m.sh > H) fault(`content ${m.sw}x${m.sh} does not fit ${W}x${H} (scroll bars)`);
    for (const c of m.clipped) fault(`cut off: ${c}`);
    const present = new Set(m.links.map((l) => l.href));
    for (const want of expectedLinks(sites, name)) if (!present.has(want)) fault(`missing link ${want}`);
    for (const l of m.links) {
      if (!/^app:(show\/[2-8]|open\/https?:\/\/)/.test(l.href)) fault(`link "${l.text}" is not an app: link: ${l.href}`);
      if (l.l < 0 || l.t < 0 || l.r > W || l.b > H || l.r <= l.l || l.b <= l.t) fault(`link "${l.text}" lies outside the view`);
    }
    const shot = await s('Page.captureScreenshot', { format: 'png' });
    fs.writeFileSync(path.join(args.out, `pages_${name}.png`), Buffer.from(shot.data, 'base64'));
    console.log(`${name}.html: ${m.links.length} links, ${m.sw}x${m.sh}`);
  }
  for (const url of requests) {
    const u = new URL(url);
    if (u.protocol !== 'data:' && u.hostname !== '127.0.0.1') faults.push(`request left loopback: ${url}`);
  }
  console.log(`${requests.length} requests, all on loopback: ${!faults.some((f) => f.startsWith('request'))}`);
  await cr.send('Browser.close').catch(() => {});
  if (faults.length) {
    console.error(faults.join('\n'));
    return finish(1);
  }
  console.log(`screenshots in ${args.out}`);
  return finish(0);
}

main().catch((e) => {
  console.error(e.stack || e);
  return finish(1);
});
