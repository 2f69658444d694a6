// The peer of the visual check: a warm headless Chromium driven by puppeteer-core takes a
// full-page screenshot of each page at 1280 wide (window 800 high, cut at 10,000 pixels) and
// compares it with pixelmatch against the screenshot of a first round (threshold 0.1,
// anti-aliased pixels ignored). Prints the milliseconds of the compare round.
//   node peer.mjs PEERS_DIR CHROMIUM TABS PAGE...
import { createRequire } from 'node:module';

const [peers, chromium, tabsArg, ...pages] = process.argv.slice(2);
const require = createRequire(peers + '/node_modules/');
const puppeteer = require('puppeteer-core');
const { PNG } = require('pngjs');
const pixelmatch = require('pixelmatch').default ?? require('pixelmatch');

const browser = await puppeteer.launch({ executablePath: chromium, headless: true,
  args: ['--no-sandbox', '--hide-scrollbars'] });
const tabs = Math.max(1, Number(tabsArg));
const workers = await Promise.all(Array.from({ length: tabs }, async () => {
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 800 });
  return page;
}));

async function shoot(page, file) {
  await page.goto('file://' + file, { waitUntil: 'load', timeout: 30000 }).catch(() => {});
  const height = Math.min(10000, await page.evaluate(() => document.documentElement.scrollHeight).catch(() => 800));
  return PNG.sync.read(await page.screenshot({ clip: { x: 0, y: 0, width: 1280, height }, captureBeyondViewport: true }));
}

async function round(compare, baselines) {
  let next = 0, changed = 0;
  await Promise.all(workers.map(async page => {
    while (next < pages.length) {
      const i = next++;
      const shot = await shoot(page, pages[i]);
      if (!compare) { baselines[i] = shot; continue; }
      const base = baselines[i];
      if (base.width !== shot.width || base.height !== shot.height) { ++changed; continue; }
      const diff = Buffer.alloc(shot.width * shot.height * 4);
      if (pixelmatch(base.data, shot.data, diff, shot.width, shot.height, { threshold: 0.1, includeAA: false }) > 0)
        ++changed;
    }
  }));
  return changed;
}

const baselines = [];
await round(false, baselines);
const start = performance.now();
const changed = await round(true, baselines);
const ms = performance.now() - start;
console.log(`puppeteer-core + pixelmatch, ${tabs} tabs: ${pages.length} pages in ${ms.toFixed(0)} ms, ` +
  `${(ms / pages.length).toFixed(1)} ms a page, ${changed} changed`);
await browser.close();
