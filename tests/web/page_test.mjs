// The web page in headless Chromium against velda-convert: the same files,
// the same pictures, refusals, BMP bytes and PNG pixels.
// Usage: node page_test.mjs BUILD_WEB VELDA_CONVERT
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

import { convert, writeInputs } from './fixtures.mjs';
import { decodePng } from './png_decode.mjs';
import { launch, linkBytes, openPage, serve, upload, waitReady } from './browser.mjs';

const [buildWeb, converter] = process.argv.slice(2).map((p) => path.resolve(p));
if (!buildWeb || !converter) {
  console.error('usage: node page_test.mjs BUILD_WEB VELDA_CONVERT');
  process.exit(2);
}
const started = Date.now();
const shots = path.join(path.dirname(buildWeb), 'web-test');
fs.mkdirSync(shots, { recursive: true });

const failures = [];
let checks = 0;
function check(ok, message) {
  ++checks;
  if (!ok) failures.push(message);
  return ok;
}

// Where velda-convert -d puts the output for the picture NAME: the
// pictures of a container (a disk image, an archive) go into a folder
// named after it ("X.DSK.GZ" after X), nested as the containers are.
function outputOf(dir, name, extension) {
  const parts = name.split(':');
  const own = parts.pop();
  const folders = parts.map((container) => container.replace(/\.gz$/i, '').replace(/\.[^./]*$/, ''));
  return path.join(dir, ...folders, `${own.replace(/\.[^./]*$/, '')}.${extension}`);
}

// velda-convert's "velda-convert: NAME: MESSAGE" lines, by NAME.
function refusals(stderr) {
  const said = new Map();
  for (const line of stderr.split('\n')) {
    const m = /^velda-convert: (\S+?): (.*)$/.exec(line);
    if (m) said.set(m[1], m[2]);
  }
  return said;
}

// How two decoded pictures differ, in words.
function pixelDifference(got, want) {
  if (got.width !== want.width || got.height !== want.height) {
    return `${got.width} x ${got.height}, not ${want.width} x ${want.height}`;
  }
  let count = 0, first = -1;
  for (let i = 0; i < got.rgb.length; i += 3) {
    if (got.rgb[i] !== want.rgb[i] || got.rgb[i + 1] !== want.rgb[i + 1] || got.rgb[i + 2] !== want.rgb[i + 2]) {
      if (first < 0) first = i;
      ++count;
    }
  }
  const rgb = (b) => [...b.subarray(first, first + 3)].join(',');
  return `${count} of ${got.rgb.length / 3} pixels differ, first at (${(first / 3) % got.width}, ${Math.floor(first / 3 / got.width)}): ${rgb(got.rgb)} for ${rgb(want.rgb)}`;
}

const quoted = (name) => `"${name.replace(/["\\]/g, '\\$&')}"`;

// --- The files and the converter's answers.
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'velda-web-'));
process.on('exit', () => fs.rmSync(tmp, { recursive: true, force: true }));
const input = path.join(tmp, 'in');
fs.mkdirSync(input);
const { names, unknown, unknownScreen } = writeInputs(input);
const listed = convert(converter, input, ['--list', ...names]);
const pictures = listed.stdout.split('\n').filter(Boolean).map((line) => line.slice(0, line.indexOf(': ')));
const refused = refusals(listed.stderr);
// BMP and PNG files as the page offers them, and PNGs of the large view's
// default look (VELDA's colours).
for (const [dir, args] of [['bmp', ['-f', 'bmp']], ['png', ['-f', 'png', '--colors', 'msx']], ['view', ['-f', 'png']]]) {
  fs.mkdirSync(path.join(tmp, dir));
  convert(converter, input, ['-q', ...args, '-d', path.join(tmp, dir), ...names]);
}
const chosen = path.join(tmp, 'chosen');
fs.mkdirSync(chosen);
convert(converter, input, ['-q', '-s', String(unknownScreen), '-f', 'bmp', '-d', chosen, unknown]);
convert(converter, input, ['-q', '-s', String(unknownScreen), '-f', 'png', '--colors', 'msx', '-d', chosen, unknown]);
if (pictures.length < 10 || refused.size !== 3 || !refused.has(unknown)) {
  console.error(`page test: unexpected converter answers:\n${listed.stdout}${listed.stderr}`);
  process.exit(1);
}

// What the picture element `selector` offers against the converter's
// files for it.
async function checkLinks(page, selector, label, bmpFile, pngFile) {
  const links = await page.$$eval(`${selector} a[download]`, (as) =>
    as.map((a) => ({ download: a.getAttribute('download'), href: a.href })));
  const bmp = links.find((l) => /\.bmp$/i.test(l.download));
  const png = links.find((l) => /\.png$/i.test(l.download));
  if (check(bmp, `${label}: no a[download] ending in .bmp (links: ${JSON.stringify(links.map((l) => l.download))})`)) {
    const got = await linkBytes(page, bmp.href);
    const want = fs.readFileSync(bmpFile);
    check(got.equals(want), `${label}: BMP ${bmp.download} differs from velda-convert's (${got.length} bytes, want ${want.length})`);
  }
  if (check(png, `${label}: no a[download] ending in .png`)) {
    try {
      const got = decodePng(await linkBytes(page, png.href));
      const want = decodePng(fs.readFileSync(pngFile));
      check(got.width === want.width && got.height === want.height && got.rgb.equals(want.rgb),
            `${label}: PNG ${png.download}: ${pixelDifference(got, want)} from velda-convert --colors msx`);
    } catch (error) {
      check(false, `${label}: PNG ${png.download}: ${error.message}`);
    }
  }
}

const server = await serve(buildWeb);
const browser = await launch();
try {
  // --- Every file at once, served.
  const { page, errors } = await openPage(browser, `${server.url}/index.html`);
  await upload(page, names.map((n) => path.join(input, n)));
  await waitReady(page, () => document.querySelector('[data-picture], [data-refused]'));
  await page.screenshot({ path: path.join(shots, 'grid.png'), fullPage: true });

  const shown = await page.$$eval('[data-picture]', (els) => els.map((e) => e.dataset.picture));
  const missing = pictures.filter((n) => !shown.includes(n)), extra = shown.filter((n) => !pictures.includes(n));
  check(!missing.length && !extra.length && shown.length === pictures.length,
        `pictures: missing ${JSON.stringify(missing)}, not the converter's ${JSON.stringify(extra)}, ${shown.length} shown for ${pictures.length}`);
  for (const name of pictures.filter((n) => shown.includes(n))) {
    await checkLinks(page, `[data-picture=${quoted(name)}]`, name, outputOf(path.join(tmp, 'bmp'), name, 'bmp'),
                     outputOf(path.join(tmp, 'png'), name, 'png'));
  }

  const blank = await page.$$eval('[data-picture]', (els) => els.filter((e) => {
    const c = e.querySelector('canvas');
    return !c || c.width < 2 || c.height < 2;
  }).map((e) => e.dataset.picture));
  check(!blank.length, `no thumbnail drawn for ${JSON.stringify(blank)}`);

  const refusedShown = await page.$$eval('[data-refused]', (els) =>
    els.map((e) => [e.dataset.refused, e.textContent.replace(/\s+/g, ' ')]));
  for (const [name, message] of refused) {
    const element = refusedShown.find(([n]) => n === name);
    if (check(element, `${name}: no [data-refused] element (converter: ${message})`)) {
      check(element[1].includes(message), `${name}: element does not say "${message}"; it says "${element[1].trim()}"`);
    }
  }
  for (const [name] of refusedShown) check(refused.has(name), `${name}: refused by the page, not by the converter`);

  // --- The unknown extension read in a chosen mode.
  const unknownSelector = `[data-refused=${quoted(unknown)}] select`;
  if (check(await page.$(unknownSelector), `${unknown}: no <select> of modes in its element`)) {
    const value = await page.$eval(unknownSelector, (select, screen) => {
      const named = new RegExp(`\\bSCREEN\\s*${screen}\\b`, 'i');
      const option = [...select.options].find((o) => o.value === String(screen) || named.test(o.textContent));
      return option ? option.value : null;
    }, unknownScreen);
    if (check(value !== null, `${unknown}: its <select> offers no SCREEN ${unknownScreen}`)) {
      await page.select(unknownSelector, value);
      const ok = await waitReady(page, (name) => document.querySelector(`[data-picture="${name}"] a[download]`), unknown)
        .then(() => true, (error) => check(false, `${unknown}: after picking SCREEN ${unknownScreen}: ${error.message}`));
      if (ok) {
        await checkLinks(page, `[data-picture=${quoted(unknown)}]`, `${unknown} as SCREEN ${unknownScreen}`,
                         outputOf(chosen, unknown, 'bmp'), outputOf(chosen, unknown, 'png'));
      }
    }
  }

  // --- Keyboard: Enter opens the first picture, ArrowRight the next, Escape closes.
  await keyboard(page);
  check(!errors.length, `page errors: ${errors.join(' | ')}`);
  await page.close();

  // --- Opened from disk, with no server.
  const local = await openPage(browser, pathToFileURL(path.join(buildWeb, 'index.html')).href);
  await upload(local.page, [path.join(input, 'A.SC5')]);
  await waitReady(local.page, () => document.querySelector('[data-picture="A.SC5"]'))
    .catch((error) => check(false, `file://: A.SC5 not listed: ${error.message}`));
  check(!local.errors.length, `file:// page errors: ${local.errors.join(' | ')}`);
} catch (error) {
  check(false, `stopped: ${error.stack || error}`);
} finally {
  await browser.close();
  server.close();
}

// Whether the large view shows, and the name it shows.
function viewState(page) {
  return page.evaluate(() => {
    const view = document.querySelector('#view');
    const visible = !!view && !view.hidden && view.getClientRects().length > 0;
    return { visible, name: document.querySelector('#view-name')?.textContent ?? null };
  });
}

// The large view's canvas #picture against velda-convert -f png of the
// picture `name` (the view opens at 1x, VELDA's colours).
async function checkCanvas(page, name) {
  const got = await page.evaluate(() => {
    const c = document.querySelector('#view canvas');
    if (!c) return null;
    const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let s = '';
    for (let i = 0; i < d.length; i += 4) s += String.fromCharCode(d[i], d[i + 1], d[i + 2]);
    return { width: c.width, height: c.height, rgb: btoa(s) };
  });
  if (!check(got, `view of ${name}: no canvas in #view`)) return;
  got.rgb = Buffer.from(got.rgb, 'base64');
  const want = decodePng(fs.readFileSync(outputOf(path.join(tmp, 'view'), name, 'png')));
  check(got.width === want.width && got.height === want.height && got.rgb.equals(want.rgb),
        `view of ${name}: ${pixelDifference(got, want)} from velda-convert -f png`);
}

// Keys only: Tab to the first picture, Enter opens it large, ArrowRight
// steps to the next, Escape goes back to the grid.
async function keyboard(page) {
  const inFirst = () => page.evaluate(() => {
    const first = document.querySelector('[data-picture]');
    return !!first && first.contains(document.activeElement);
  });
  await page.evaluate(() => document.activeElement?.blur());
  for (let i = 0; i < 20 && !(await inFirst()); ++i) await page.keyboard.press('Tab');
  if (!check(await inFirst(), 'keyboard: Tab never reaches the first picture')) return;
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => { const v = document.querySelector('#view'); return v && !v.hidden && v.getClientRects().length; },
                             { timeout: 5000 }).catch(() => {});
  const opened = await viewState(page);
  const first = await page.$eval('[data-picture]', (e) => e.dataset.picture);
  if (!check(opened.visible && opened.name === first,
             `keyboard: Enter on ${first} shows ${JSON.stringify(opened)} (#view, #view-name)`)) return;
  await page.screenshot({ path: path.join(shots, 'view.png') });
  await checkCanvas(page, first);
  await page.keyboard.press('ArrowRight');
  await page.waitForFunction((before) => document.querySelector('#view-name')?.textContent !== before,
                             { timeout: 5000 }, opened.name).catch(() => {});
  const next = await viewState(page);
  const second = await page.$$eval('[data-picture]', (els) => els[1]?.dataset.picture);
  if (check(next.visible && next.name === second,
            `keyboard: ArrowRight shows ${JSON.stringify(next.name)}, not the next picture ${second}`)) {
    await checkCanvas(page, second);
  }
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => { const v = document.querySelector('#view'); return !v || v.hidden || !v.getClientRects().length; },
                             { timeout: 5000 }).catch(() => {});
  check(!(await viewState(page)).visible, 'keyboard: Escape leaves the view open');
  const focused = await page.evaluate(() => document.activeElement?.closest('[data-picture]')?.dataset.picture ?? null);
  check(focused === second, `keyboard: after Escape the focus is on ${JSON.stringify(focused)}, not on ${second}`);
}

const seconds = ((Date.now() - started) / 1000).toFixed(1);
for (const failure of failures) console.log(`FAIL ${failure}`);
console.log(`page test: ${pictures.length} pictures, ${refused.size} refused; ${checks - failures.length} of ${checks} checks passed in ${seconds} s; screenshots in ${shots}`);
process.exit(failures.length ? 1 : 0);
