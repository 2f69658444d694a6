// The peer of livepreview_bench: live-server (its defaults) serving a folder, shown by headless
// Chromium, measured the same way: write the page, then wait for the first painted frame whose
// pixels show the change. Frames come from the DevTools screencast over a pipe; a frame's time
// is the compositor's swap time it carries, so the encoding and transport of the picture do not
// count against the peer.
//   node peer.mjs LIVE_SERVER_JS CHROMIUM WRITES
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';

const [liveServer, chromium, writesArg] = process.argv.slice(2);
const writes = Number(writesArg) || 200;
const colours = [[200, 30, 30], [30, 30, 200]];

function pageWith(colour, serial) {
  let rows = '';
  for (let i = 0; i < 40; ++i) rows += `<tr><td>row ${i}</td><td>some text in a cell</td></tr>`;
  const hex = '#' + colour.map((c) => c.toString(16).padStart(2, '0')).join('');
  return `<html><head><title>Write ${serial}</title></head><body style='background:${hex}'>`
    + `<h1>Write ${serial}</h1><p>A page rewritten by an editor.</p>`
    + `<table border=1>${rows}</table></body></html>`;
}

// The RGB of one pixel of an 8-bit RGB or RGBA PNG.
function pngPixel(png, x, y) {
  let at = 8, width = 0, channels = 3;
  const data = [];
  while (at < png.length) {
    const length = png.readUInt32BE(at);
    const type = png.toString('latin1', at + 4, at + 8);
    const body = png.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') { width = body.readUInt32BE(0); channels = body[9] === 6 ? 4 : 3; }
    if (type === 'IDAT') data.push(body);
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  let previous = Buffer.alloc(stride), row = Buffer.alloc(stride);
  for (let r = 0; r <= y; ++r) {
    const filter = raw[r * (stride + 1)];
    const line = raw.subarray(r * (stride + 1) + 1, (r + 1) * (stride + 1));
    row = Buffer.alloc(stride);
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? row[i - channels] : 0, b = previous[i];
      const c = i >= channels ? previous[i - channels] : 0;
      let v = line[i];
      if (filter === 1) v += a;
      else if (filter === 2) v += b;
      else if (filter === 3) v += (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        v += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      row[i] = v & 255;
    }
    previous = row;
  }
  return [row[x * channels], row[x * channels + 1], row[x * channels + 2]];
}

function closeTo(a, b) { return a.every((v, i) => Math.abs(v - b[i]) < 8); }
function sleep(ms) { return new Promise((done) => setTimeout(done, ms)); }
function nowMs() { return performance.timeOrigin + performance.now(); }
function percentile(values, p) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(p * sorted.length))];
}

// The DevTools protocol over --remote-debugging-pipe: JSON messages ended by a NUL.
class Devtools {
  constructor(browser) {
    this.out = browser.stdio[3];
    this.next = 1;
    this.waiting = new Map();
    this.listeners = [];
    let pending = '';
    browser.stdio[4].on('data', (chunk) => {
      pending += chunk.toString('utf8');
      let end;
      while ((end = pending.indexOf('\0')) >= 0) {
        const message = JSON.parse(pending.slice(0, end));
        pending = pending.slice(end + 1);
        if (message.id && this.waiting.has(message.id)) {
          this.waiting.get(message.id)(message.result || {});
          this.waiting.delete(message.id);
        } else if (message.method) {
          this.listeners.forEach((listen) => listen(message));
        }
      }
    });
  }
  send(method, params = {}, sessionId = undefined) {
    const id = this.next++;
    this.out.write(JSON.stringify({ id, method, params, sessionId }) + '\0');
    return new Promise((done) => this.waiting.set(id, done));
  }
  on(listen) { this.listeners.push(listen); }
}

async function serverUp(port) {
  for (let tries = 0; tries < 200; ++tries) {
    const up = await new Promise((done) => {
      http.get(`http://127.0.0.1:${port}/`, (res) => { res.resume(); done(true); })
        .on('error', () => done(false));
    });
    if (up) return true;
    await sleep(50);
  }
  return false;
}

async function main() {
  const site = fs.mkdtempSync(path.join(os.tmpdir(), 'livepreview-site-'));
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'livepreview-chromium-'));
  const page = path.join(site, 'index.html');
  fs.writeFileSync(page, pageWith(colours[0], 0));
  const port = 20000 + (process.pid % 10000);
  const server = spawn(process.execPath,
    [liveServer, `--port=${port}`, '--host=127.0.0.1', '--no-browser', '--quiet', site],
    { stdio: 'ignore' });
  const browser = spawn(chromium, ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    `--user-data-dir=${profile}`, '--remote-debugging-pipe', '--window-size=640,480',
    'about:blank'], { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
  const stop = () => {
    server.kill();
    browser.kill();
    fs.rmSync(site, { recursive: true, force: true });
    setTimeout(() => fs.rmSync(profile, { recursive: true, force: true }), 500);
  };
  try {
    if (!(await serverUp(port))) throw new Error('live-server did not start');
    const tools = new Devtools(browser);
    const { targetInfos } = await tools.send('Target.getTargets');
    const target = targetInfos.find((t) => t.type === 'page');
    const { sessionId } = await tools.send('Target.attachToTarget',
      { targetId: target.targetId, flatten: true });
    let want = null;
    tools.on((message) => {
      if (message.method !== 'Page.screencastFrame' || message.sessionId !== sessionId) return;
      const { data, metadata, sessionId: frame } = message.params;
      tools.send('Page.screencastFrameAck', { sessionId: frame }, sessionId);
      if (!want) return;
      const png = Buffer.from(data, 'base64');
      const width = png.readUInt32BE(16);
      if (closeTo(pngPixel(png, width - 40, 20), want.colour)) {
        want.done({ swap: metadata.timestamp * 1000, arrival: nowMs() });
        want = null;
      }
    });
    const shown = (colour, ms) => new Promise((done) => {
      const mine = { colour, done };
      want = mine;
      setTimeout(() => { if (want === mine) { want = null; done(null); } }, ms);
    });
    await tools.send('Page.enable', {}, sessionId);
    const loaded = new Promise((done) => tools.on((message) => {
      if (message.method === 'Page.loadEventFired' && message.sessionId === sessionId) done();
    }));
    await tools.send('Page.navigate', { url: `http://127.0.0.1:${port}/` }, sessionId);
    await loaded;
    // The screencast follows the document it began on, so it begins on the served page; a
    // page painted before it began sends no frame until it changes.
    const first = shown(colours[1], 10000);
    await tools.send('Page.startScreencast', { format: 'png', everyNthFrame: 1 }, sessionId);
    await sleep(500);
    fs.writeFileSync(page, pageWith(colours[1], 0));
    if (!(await first)) throw new Error('the page was not shown');
    let serial = 1; // shown now: colours[1]
    for (const [gap, name] of [[100, 'after a pause'], [0, 'back to back']]) {
      const latencies = [], arrivals = [];
      let missed = 0;
      for (let i = 1; i <= writes; ++i) {
        await sleep(gap);
        const colour = colours[++serial % 2];
        const painted = shown(colour, 3000);
        const start = nowMs();
        fs.writeFileSync(page, pageWith(colour, serial));
        const at = await painted;
        if (!at) {
          ++missed;
        } else {
          latencies.push(at.swap - start);
          arrivals.push(at.arrival - start);
        }
      }
      console.log(`live-server write -> painted frame, ${writes} writes ${name}: median `
        + `${percentile(latencies, 0.5).toFixed(1)} ms, p95 ${percentile(latencies, 0.95).toFixed(1)}`
        + ` ms, max ${Math.max(...latencies).toFixed(1)} ms, not shown within 3 s: ${missed}`
        + ` (frame received: median ${percentile(arrivals, 0.5).toFixed(1)} ms)`);
    }
  } finally {
    stop();
  }
}

main().then(() => process.exit(0), (error) => { console.error(String(error)); process.exit(1); });
