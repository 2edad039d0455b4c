// Headless Chromium on the built page, served from 127.0.0.1.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const Types = { '.html': 'text/html', '.js': 'text/javascript', '.mjs': 'text/javascript', '.css': 'text/css',
                '.wasm': 'application/wasm', '.png': 'image/png', '.svg': 'image/svg+xml', '.ico': 'image/x-icon' };

// A static server of `root` on an ephemeral port: {url, close}.
export function serve(root) {
  const server = http.createServer((request, response) => {
    const file = path.join(root, decodeURIComponent(new URL(request.url, 'http://x').pathname));
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': Types[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () =>
    resolve({ url: `http://127.0.0.1:${server.address().port}`, close: () => server.close() })));
}

export function launch() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    // Run as root; a container's small /dev/shm would make Chromium's pages crash.
    args: ['--no-sandbox', '--disable-dev-shm-usage'],
    defaultViewport: { width: 1280, height: 900 },
  });
}

// A fresh tab on `url`, collecting its uncaught errors and console errors.
export async function openPage(browser, url) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('console', (message) => {
    const where = message.location()?.url || '';
    if (message.type() === 'error' && !where.endsWith('/favicon.ico')) errors.push(`${message.text()} ${where}`.trim());
  });
  await page.goto(url, { waitUntil: 'load' });
  return { page, errors };
}

export async function upload(page, files) {
  const input = await page.waitForSelector('input#files', { timeout: 10000 });
  await input.uploadFile(...files);
}

// Waits until the page says it is ready and `predicate(arg)` holds in it.
export function waitReady(page, predicate, arg = null, timeout = 20000) {
  const expression = `document.body && document.body.dataset.state === 'ready' && !!(${predicate})(${JSON.stringify(arg)})`;
  return page.waitForFunction(expression, { timeout, polling: 50 });
}

// The bytes behind a link of the page, fetched inside it.
export async function linkBytes(page, href) {
  const base64 = await page.evaluate(async (url) => {
    const bytes = new Uint8Array(await (await fetch(url)).arrayBuffer());
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(text);
  }, href);
  return Buffer.from(base64, 'base64');
}
