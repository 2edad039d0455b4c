// Pictures for the page's tests, made as the C++ tests make theirs
// (tests/test_support.cpp, tests/graph_saurus_writer.h), and what
// velda-convert makes of them.
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

// Per mode: bytes of pixel lines, bytes up to the end of the palette table
// (what a BSAVE of the whole screen holds), palette table address.
export const Modes = {
  2: { pixelBytes: 0x4000, clearBytes: 0x4000, palette: 0 },
  5: { pixelBytes: 27136, clearBytes: 30368, palette: 0x7680 },
  6: { pixelBytes: 27136, clearBytes: 30368, palette: 0x7680 },
  7: { pixelBytes: 54272, clearBytes: 64160, palette: 0xfa80 },
  8: { pixelBytes: 54272, clearBytes: 64160, palette: 0 },
  10: { pixelBytes: 54272, clearBytes: 64160, palette: 0xfa80 },
  12: { pixelBytes: 54272, clearBytes: 64160, palette: 0 },
};

// The same xorshift32 sequence as NoiseBytes in tests/test_support.cpp.
export function noiseBytes(count, seed) {
  const bytes = Buffer.alloc(count);
  let state = (Math.imul(seed, 2654435761) + 1) >>> 0;
  for (let i = 0; i < count; ++i) {
    state = (state ^ (state << 13)) >>> 0;
    state = (state ^ (state >>> 17)) >>> 0;
    state = (state ^ (state << 5)) >>> 0;
    bytes[i] = state >>> 24;
  }
  return bytes;
}

export function bsave(start, end, data, id = 0xfe) {
  const header = Buffer.from([id, start & 0xff, start >> 8, end & 0xff, end >> 8, 0, 0]);
  return Buffer.concat([header, data]);
}

// A whole-screen dump of noise, palette table included.
export function noiseBsave(screen, seed) {
  const n = Modes[screen].clearBytes;
  return bsave(0, n - 1, noiseBytes(n, seed));
}

// A SCREEN 5 dump with a palette of its own ("0RRR0BBB 00000GGG" per
// colour) and pixels a screenshot can be read by: the 16 colours as bars
// left to right over the top half, noise below.
export function screen5WithPalette(seed) {
  const memory = noiseBytes(Modes[5].clearBytes, seed);
  for (let y = 0; y < 106; ++y) {
    for (let x = 0; x < 256; x += 2) memory[y * 128 + x / 2] = ((x >> 4) << 4) | (x >> 4);
  }
  for (let i = 0; i < 16; ++i) {
    const r = i >> 1, g = (i * 3) & 7, b = i < 8 ? 7 - i : i - 8;  // 16 different colours
    memory[0x7680 + 2 * i] = (r << 4) | b;
    memory[0x7680 + 2 * i + 1] = g;
  }
  return bsave(0, memory.length - 1, memory);
}

// Video memory with runs and small bytes, so a compressed Graph Saurus
// file uses every kind of code.
export function page(screen, seed) {
  const bytes = noiseBytes(Modes[screen].pixelBytes, seed);
  for (let i = 0; i < bytes.length; i += 97) bytes[i] = i % 16;
  bytes.fill(0x33, 500, 900);
  return bytes;
}

// A BASIC COPY file of SCREEN 5: its width and height (16 bits, low byte
// first), then the area's 4-bit pixels packed, the left one high.
export function copyFile(width, height, seed) {
  const pixels = noiseBytes(Math.ceil((width * height) / 2), seed);
  const file = Buffer.alloc(4 + pixels.length);
  file.writeUInt16LE(width, 0);
  file.writeUInt16LE(height, 2);
  pixels.copy(file, 4);
  return file;
}

// A Graph Saurus file: id 0xFE raw or 0xFD compressed, the length of the
// data at bytes 3-4.
export function graphSaurus(pageBytes, compressed) {
  let data = pageBytes;
  if (compressed) {
    const out = [];
    for (let i = 0; i < pageBytes.length;) {
      let run = 1;
      while (i + run < pageBytes.length && pageBytes[i + run] === pageBytes[i] && run < 255) ++run;
      if (run === 1 && pageBytes[i] >= 0x10) out.push(pageBytes[i]);
      else if (run <= 15) out.push(run, pageBytes[i]);
      else out.push(0, run, pageBytes[i]);
      i += run;
    }
    data = Buffer.from(out);
  }
  const header = Buffer.from([compressed ? 0xfd : 0xfe, 0, 0, data.length & 0xff, (data.length >> 8) & 0xff, 0, 0]);
  return Buffer.concat([header, data]);
}

function mtools(command, args) {
  execFileSync(command, args, { env: { ...process.env, MTOOLS_NO_VFAT: '1', MTOOLS_SKIP_CHECK: '1' }, stdio: 'pipe' });
}

// A 720 KB MSX-DOS image at `image` holding `files` ({path, bytes}, '/'
// between folders); `scratch` is a folder for the loose copies.
export function makeDisk(image, files, scratch) {
  fs.mkdirSync(scratch, { recursive: true });
  mtools('mformat', ['-C', '-f', '720', '-i', image, '::']);
  const folders = new Set();
  for (const file of files) {
    const parts = file.path.split('/');
    for (let i = 1; i < parts.length; ++i) {
      const folder = parts.slice(0, i).join('/');
      if (!folders.has(folder)) mtools('mmd', ['-i', image, `::/${folder}`]);
      folders.add(folder);
    }
    const loose = path.join(scratch, parts.join('_'));
    fs.writeFileSync(loose, file.bytes);
    mtools('mcopy', ['-i', image, loose, `::/${file.path}`]);
  }
}

// The inputs of the page test, written into `dir`. Returns the names of
// the files to give, and which of them has an extension no mode goes with.
export function writeInputs(dir) {
  const files = {
    'A.SC5': screen5WithPalette(1),
    'A6.SC6': noiseBsave(6, 2),
    'A7.SC7': noiseBsave(7, 3),
    'A8.SC8': noiseBsave(8, 4),
    'AA.SCA': noiseBsave(10, 5),
    'AC.SCC': noiseBsave(12, 6),
    'S2.SC2': noiseBsave(2, 7),  // 0x0000-0x3FFF: sprite tables included
    'G.SR5': graphSaurus(page(5, 8), false),
    'G.PL5': noiseBytes(32, 9),
    'GC.SR7': graphSaurus(page(7, 10), true),
    'X.SC7': noiseBsave(7, 11),
    'X.S17': noiseBsave(7, 12),
    'Y.PL5': noiseBytes(32, 13),
    'Z.TXT': noiseBsave(5, 14),
    'BAD.SC5': noiseBsave(5, 15).fill(0, 0, 1),
    '絵 1.sc2': noiseBsave(2, 16),  // a name the browser gives as UTF-8, with a space
    'K.GL5': copyFile(101, 50, 17),
    'P.SC5': page(5, 18).subarray(0, 212 * 128),  // a page without its header
  };
  for (const [name, bytes] of Object.entries(files)) fs.writeFileSync(path.join(dir, name), bytes);
  makeDisk(path.join(dir, 'GAME.DSK'), [
    { path: 'TITLE.SC5', bytes: noiseBsave(5, 20) },
    { path: 'END.SC8', bytes: noiseBsave(8, 21) },
    { path: 'PICS/B.SC7', bytes: noiseBsave(7, 22) },
    { path: 'PICS/C.SR8', bytes: graphSaurus(page(8, 23), true) },
  ], path.join(dir, '.disk'));
  // A ZIP archive as Info-ZIP writes it, holding a folder, a palette pair,
  // a disk image and an archive, and a gzip'd disk image beside it.
  const pack = path.join(dir, '.pack');
  fs.mkdirSync(path.join(pack, 'PICS'), { recursive: true });
  fs.writeFileSync(path.join(pack, 'PICS', 'Q.SR5'), graphSaurus(page(5, 24), true));
  fs.writeFileSync(path.join(pack, 'PICS', 'Q.PL5'), noiseBytes(32, 25));
  fs.writeFileSync(path.join(pack, 'R.SC8'), noiseBsave(8, 26));
  fs.copyFileSync(path.join(dir, 'GAME.DSK'), path.join(pack, 'D.DSK'));
  execFileSync('zip', ['-q', 'IN.ZIP', 'R.SC8'], { cwd: pack });
  execFileSync('zip', ['-q', '-r', path.join(dir, 'PACK.ZIP'), 'PICS', 'D.DSK', 'IN.ZIP'], { cwd: pack });
  fs.writeFileSync(path.join(dir, 'DISK.DSK.GZ'), zlib.gzipSync(fs.readFileSync(path.join(dir, 'GAME.DSK'))));
  return { names: [...Object.keys(files), 'GAME.DSK', 'PACK.ZIP', 'DISK.DSK.GZ'], unknown: 'Z.TXT', unknownScreen: 5 };
}

// Runs velda-convert in `dir`; its exit status 1 (some file failed) is
// expected here.
export function convert(converter, dir, args) {
  const run = spawnSync(converter, args, { cwd: dir, encoding: 'utf8' });
  if (run.error) throw run.error;
  if (run.status !== 0 && run.status !== 1) {
    throw new Error(`velda-convert ${args.join(' ')}: status ${run.status}\n${run.stderr}`);
  }
  return run;
}

// All files below `dir`, relative, '/' between folders.
export function tree(dir, prefix = '') {
  const out = [];
  for (const entry of fs.readdirSync(path.join(dir, prefix), { withFileTypes: true })) {
    const rel = prefix ? `${prefix}/${entry.name}` : entry.name;
    if (entry.isDirectory()) out.push(...tree(dir, rel));
    else out.push(rel);
  }
  return out.sort();
}
