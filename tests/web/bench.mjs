// How long the page takes to show a disk of 50 pictures: from the upload
// to every thumbnail drawn, and to the page saying it is ready.
// Usage: node bench.mjs BUILD_WEB
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import { Modes, bsave, graphSaurus, makeDisk, noiseBytes } from './fixtures.mjs';
import { launch, openPage, serve, upload } from './browser.mjs';

const buildWeb = path.resolve(process.argv[2] || 'build/web');
const Count = 50;

// Bands of runs with a strip of noise: whole pictures that compress well
// enough for 50 to fit on 720 KB.
function banded(screen, seed) {
  const bytes = Buffer.alloc(Modes[screen].pixelBytes);
  for (let i = 0; i < bytes.length; ++i) bytes[i] = ((i >> 10) * 37 + seed) & 0xff;
  noiseBytes(3000, seed).copy(bytes, (seed * 4099) % (bytes.length - 3000));
  return bytes;
}

const screens = [5, 7, 8, 12];
const extensions = { 5: ['SC5', 'SR5'], 7: ['SC7', 'SR7'], 8: ['SC8', 'SR8'], 12: ['SCC', 'SRS'] };
const files = [];
for (let i = 0; i < Count; ++i) {
  const screen = screens[i % screens.length];
  const rawDump = i % 5 === 0;  // a few BSAVE dumps of the top lines, the rest Graph Saurus
  const bytes = rawDump ? bsave(0, 0x0fff, noiseBytes(0x1000, i)) : graphSaurus(banded(screen, i), true);
  files.push({ path: `${i < 40 ? '' : 'MORE/'}P${String(i).padStart(2, '0')}.${extensions[screen][rawDump ? 0 : 1]}`, bytes });
}
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'velda-bench-'));
const image = path.join(tmp, 'FIFTY.DSK');
makeDisk(image, files, path.join(tmp, 'loose'));

const server = await serve(buildWeb);
const browser = await launch();
try {
  const { page, errors } = await openPage(browser, `${server.url}/index.html`);
  await page.waitForFunction(() => document.body.dataset.state === 'ready', { timeout: 20000 });
  const runs = [];
  for (let run = 0; run < 3; ++run) {
    if (run) {
      await page.reload({ waitUntil: 'load' });
      await page.waitForFunction(() => document.body.dataset.state === 'ready', { timeout: 20000 });
    }
    // Timed inside the page, from the input's change event.
    await page.evaluate(() => {
      document.querySelector('input#files').addEventListener('change', () => { window.benchStart = performance.now(); },
                                                             { capture: true, once: true });
    });
    await upload(page, [image]);
    const thumbs = await page.waitForFunction((count) => {
      const drawn = [...document.querySelectorAll('[data-picture] canvas')].filter((c) => c.width > 1).length;
      return drawn >= count && window.benchStart !== undefined && performance.now() - window.benchStart;
    }, { timeout: 60000, polling: 'raf' }, Count).then((h) => h.jsonValue());
    const ready = await page.waitForFunction((count) =>
      document.body.dataset.state === 'ready' && document.querySelectorAll('[data-picture]').length >= count &&
      performance.now() - window.benchStart, { timeout: 60000, polling: 'raf' }, Count).then((h) => h.jsonValue());
    runs.push({ thumbs, ready });
  }
  for (const [i, r] of runs.entries()) {
    console.log(`run ${i + 1}: ${Count} thumbnails drawn in ${r.thumbs.toFixed(0)} ms, ready in ${r.ready.toFixed(0)} ms`);
  }
  const best = Math.min(...runs.map((r) => r.thumbs));
  console.log(`bench: ${Count} pictures on a 720 KB image, best ${best.toFixed(0)} ms to every thumbnail (target 1000 ms)`);
  if (errors.length) console.log(`page errors: ${errors.join(' | ')}`);
} finally {
  await browser.close();
  server.close();
  fs.rmSync(tmp, { recursive: true, force: true });
}
