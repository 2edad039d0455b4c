// PNG files of the pictures: 8-bit RGB, every row unfiltered, the pixels
// exactly as given. The browser's CompressionStream makes the zlib data.
(function (global) {
  'use strict';

  var crcTable = null;

  function crc32(bytes, start, end) {
    if (!crcTable) {
      crcTable = new Uint32Array(256);
      for (var n = 0; n < 256; n++) {
        var c = n;
        for (var k = 0; k < 8; k++) c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
        crcTable[n] = c >>> 0;
      }
    }
    var crc = 0xFFFFFFFF;
    for (var i = start; i < end; i++) crc = crcTable[(crc ^ bytes[i]) & 0xFF] ^ (crc >>> 8);
    return (crc ^ 0xFFFFFFFF) >>> 0;
  }

  // Length, type, data and the CRC of type and data.
  function chunk(type, data) {
    var bytes = new Uint8Array(12 + data.length);
    var view = new DataView(bytes.buffer);
    view.setUint32(0, data.length);
    for (var i = 0; i < 4; i++) bytes[4 + i] = type.charCodeAt(i);
    bytes.set(data, 8);
    view.setUint32(8 + data.length, crc32(bytes, 4, 8 + data.length));
    return bytes;
  }

  function deflate(raw) {
    var stream = new Blob([raw]).stream().pipeThrough(new CompressionStream('deflate'));
    return new Response(stream).arrayBuffer().then(function (buffer) { return new Uint8Array(buffer); });
  }

  // `rgba`: width * height * 4 bytes; the alpha is left out.
  function encodePng(rgba, width, height) {
    var stride = 1 + width * 3;
    var raw = new Uint8Array(stride * height);
    var from = 0;
    for (var y = 0; y < height; y++) {
      var to = y * stride + 1;  // raw[y * stride] stays 0: no filter
      for (var x = 0; x < width; x++) {
        raw[to++] = rgba[from];
        raw[to++] = rgba[from + 1];
        raw[to++] = rgba[from + 2];
        from += 4;
      }
    }
    return deflate(raw).then(function (zlib) {
      var header = new Uint8Array(13);
      var view = new DataView(header.buffer);
      view.setUint32(0, width);
      view.setUint32(4, height);
      header[8] = 8;   // bits per sample
      header[9] = 2;   // RGB
      header[10] = 0;  // deflate
      header[11] = 0;  // adaptive filtering
      header[12] = 0;  // not interlaced
      var signature = new Uint8Array([0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A]);
      return new Blob([signature, chunk('IHDR', header), chunk('IDAT', zlib), chunk('IEND', new Uint8Array(0))],
                      {type: 'image/png'});
    });
  }

  global.encodePng = encodePng;
})(this);
