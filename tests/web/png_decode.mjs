// A small PNG reader for comparing pictures by their pixels: colour types
// 0, 2, 3, 4 and 6, bit depths 1 to 8, every filter, no interlacing.
import zlib from 'node:zlib';

const Signature = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
const Channels = { 0: 1, 2: 3, 3: 1, 4: 2, 6: 4 };

function paeth(a, b, c) {
  const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// {width, height, rgb}: rgb holds 3 bytes a pixel, alpha dropped.
export function decodePng(bytes) {
  const png = Buffer.from(bytes);
  if (!png.subarray(0, 8).equals(Signature)) throw new Error('not a PNG');
  let header = null, palette = null;
  const data = [];
  for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at), type = png.toString('latin1', at + 4, at + 8);
    const body = png.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      header = { width: body.readUInt32BE(0), height: body.readUInt32BE(4), depth: body[8], colorType: body[9],
                 interlace: body[12] };
    } else if (type === 'PLTE') {
      palette = body;
    } else if (type === 'IDAT') {
      data.push(body);
    } else if (type === 'IEND') {
      break;
    }
    at += 12 + length;
  }
  if (!header) throw new Error('PNG without IHDR');
  const { width, height, depth, colorType } = header;
  if (header.interlace !== 0) throw new Error('interlaced PNG');
  if (!(colorType in Channels) || depth > 8) throw new Error(`PNG colour type ${colorType}, depth ${depth}`);
  if (colorType === 3 && !palette) throw new Error('palette PNG without PLTE');
  const raw = zlib.inflateSync(Buffer.concat(data));
  const bitsPerPixel = Channels[colorType] * depth;
  const stride = Math.ceil((width * bitsPerPixel) / 8), step = Math.max(1, bitsPerPixel >> 3);
  if (raw.length < height * (stride + 1)) throw new Error('PNG data too short');
  const rgb = Buffer.alloc(width * height * 3);
  let previous = Buffer.alloc(stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = Buffer.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
    for (let i = 0; i < stride; ++i) {
      const a = i >= step ? line[i - step] : 0, b = previous[i], c = i >= step ? previous[i - step] : 0;
      const add = [0, a, b, (a + b) >> 1, paeth(a, b, c)][filter];
      if (add === undefined) throw new Error(`PNG filter ${filter}`);
      line[i] = (line[i] + add) & 0xff;
    }
    for (let x = 0; x < width; ++x) {
      const sample = (k) => {  // channel k of pixel x
        if (depth === 8) return line[x * Channels[colorType] + k];
        const bit = (x * Channels[colorType] + k) * depth;
        return (line[bit >> 3] >> (8 - depth - (bit & 7))) & ((1 << depth) - 1);
      };
      const out = (y * width + x) * 3;
      if (colorType === 3) {
        const index = sample(0);
        if (3 * index + 2 >= palette.length) throw new Error('PNG index beyond its palette');
        palette.copy(rgb, out, 3 * index, 3 * index + 3);
      } else if (colorType === 2 || colorType === 6) {
        rgb[out] = sample(0); rgb[out + 1] = sample(1); rgb[out + 2] = sample(2);
      } else {
        const grey = Math.round((sample(0) * 255) / ((1 << depth) - 1));
        rgb.fill(grey, out, out + 3);
      }
    }
    previous = line;
  }
  return { width, height, rgb };
}
