// The page: files given are read together as one folder by the core
// (velda.js); the grid shows what it finds, the view one picture large.
(function () {
  'use strict';

  var MAX_FILE_BYTES = 32 * 1024 * 1024;
  var THUMBNAIL_SIDE = 128;
  var MODES = [1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12];
  var MSX_COLORS = 1;

  var TEXTS = {
    en: {
      lead: 'Shows MSX screen pictures (BSAVE, Graph Saurus and COPY files, also inside disk images and ZIP archives) and converts them to BMP and PNG.',
      privacy: 'Nothing is uploaded: every file stays in this browser.',
      files: 'Choose files',
      folder: 'Choose a folder',
      clear: 'Clear',
      dropHint: 'or drop files and folders anywhere on the page.',
      dropHere: 'Drop to open',
      empty: 'No files yet.',
      back: 'Back to the grid',
      prev: 'Previous picture',
      next: 'Next picture',
      zoom: 'Zoom',
      tv: 'Television proportions',
      colors: 'Colours',
      interlace: 'Interlace',
      weave: 'Weave',
      blend: 'Blend',
      off: 'First page only',
      sprites: 'Sprites',
      none: 'None',
      sprites8x2: '8 x 8 magnified',
      sprites16x2: '16 x 16 magnified',
      keys: '\u2190 \u2192 or Page Up / Page Down: previous / next picture \u00b7 + \u2212: zoom \u00b7 T: television proportions \u00b7 Esc: back to the grid',
      readAs: 'Read as',
      noMode: 'choose a mode',
      making: 'making\u2026',
      loading: 'Loading\u2026',
      counts: function (pictures, others) {
        return pictures + (pictures === 1 ? ' picture' : ' pictures') +
               (others ? ', ' + others + (others === 1 ? ' other file' : ' other files') : '') + '.';
      },
      tooLarge: function (name) { return name + ': larger than 32 MiB, not read.'; },
      unreadable: function (name) { return name + ': could not be read.'; },
      failed: function (screen, text) { return 'As SCREEN ' + screen + ': ' + text; },
      paletteFile: function (name) { return 'colours from ' + name; },
      secondPage: function (name) { return 'with its second page ' + name; },
      noCore: 'The converter could not be started: ',
      readers: {}
    },
    ja: {
      lead: 'MSXの画面ファイル(BSAVE形式・Graph Saurus形式・COPY形式。ディスクイメージやZIPアーカイブの中のものも)を表示し、BMPとPNGに変換します。',
      privacy: 'ファイルはどこにも送信されません。すべてこのブラウザの中で処理されます。',
      files: 'ファイルを選ぶ',
      folder: 'フォルダを選ぶ',
      clear: '消去',
      dropHint: 'ファイルやフォルダをページにドロップしても開けます。',
      dropHere: 'ドロップして開く',
      empty: 'ファイルはまだありません。',
      back: '一覧に戻る',
      prev: '前の画面ファイル',
      next: '次の画面ファイル',
      zoom: '拡大',
      tv: 'テレビの縦横比',
      colors: '色',
      interlace: 'インターレース',
      weave: '織り込む',
      blend: '混ぜる',
      off: '1ページ目のみ',
      sprites: 'スプライト',
      none: '表示しない',
      sprites8x2: '8 x 8 拡大',
      sprites16x2: '16 x 16 拡大',
      keys: '\u2190 \u2192 または Page Up / Page Down: 前 / 次の画面ファイル \u30fb + \u2212: 拡大率 \u30fb T: テレビの縦横比 \u30fb Esc: 一覧に戻る',
      readAs: 'モードを選んで読む',
      noMode: 'モードを選ぶ',
      making: '作成中\u2026',
      loading: '読み込み中\u2026',
      counts: function (pictures, others) {
        return '画面ファイル ' + pictures + ' 件' + (others ? '、その他のファイル ' + others + ' 件' : '') + '。';
      },
      tooLarge: function (name) { return name + ': 32 MiBを超えるため読みませんでした。'; },
      unreadable: function (name) { return name + ': 読めませんでした。'; },
      failed: function (screen, text) { return 'SCREEN ' + screen + 'として: ' + text; },
      paletteFile: function (name) { return 'パレット: ' + name; },
      secondPage: function (name) { return '2ページ目: ' + name; },
      noCore: '変換部を起動できませんでした: ',
      readers: {
        'BSAVE': 'BSAVE形式',
        'Graph Saurus': 'Graph Saurus形式',
        'COPY': 'COPY形式',
        'page without header': 'ヘッダなしのページ'
      }
    }
  };

  var language = String(navigator.language || '').toLowerCase().indexOf('ja') === 0 ? 'ja' : 'en';
  var T = TEXTS[language];

  function $(id) { return document.getElementById(id); }
  var main = $('main'), grid = $('grid'), empty = $('empty'), status = $('status'), notes = $('notes');
  var view = $('view'), canvas = $('picture'), dropZone = $('drop');

  function element(tag, className, text) {
    var made = document.createElement(tag);
    if (className) made.className = className;
    if (text !== undefined) made.textContent = text;
    return made;
  }

  // A picture's name, which may break after the ':' and '/' of a path in
  // a container rather than inside a word.
  function nameElement(name) {
    var made = element('span', 'name');
    name.split(/(?<=[:/])/).forEach(function (part, i) {
      if (i > 0) made.appendChild(document.createElement('wbr'));
      made.appendChild(document.createTextNode(part));
    });
    return made;
  }

  function translatePage() {
    document.documentElement.lang = language;
    var texts = document.querySelectorAll('[data-text]');
    for (var i = 0; i < texts.length; i++) texts[i].textContent = T[texts[i].getAttribute('data-text')];
    var labels = document.querySelectorAll('[data-label]');
    for (var j = 0; j < labels.length; j++) {
      labels[j].setAttribute('aria-label', T[labels[j].getAttribute('data-label')]);
      labels[j].title = T[labels[j].getAttribute('data-label')];
    }
  }

  // ---- The core ----

  var core = null;

  function startCore() {
    if (typeof createVelda !== 'function') return Promise.reject(new Error('velda.js'));
    return createVelda().then(function (module) {
      var call = function (name, result, args) { return module.cwrap(name, result, args); };
      core = {
        module: module,
        clear: call('velda_clear', null, []),
        addFile: call('velda_add_file', 'number', ['string', 'number']),
        list: call('velda_list', 'number', []),
        entry: call('velda_entry', 'string', ['number']),
        picture: call('velda_picture', 'number', ['number', 'number', 'number', 'number', 'number', 'number']),
        thumbnail: call('velda_thumbnail', 'number', ['number', 'number', 'number']),
        bmp: call('velda_bmp', 'number', ['number', 'number']),
        result: call('velda_result', 'number', []),
        resultSize: call('velda_result_size', 'number', []),
        resultWidth: call('velda_result_width', 'number', []),
        resultHeight: call('velda_result_height', 'number', []),
        text: call('velda_text', 'string', [])
      };
      return core;
    });
  }

  // A copy: the next call reuses the result, and growing memory moves it.
  function resultBytes() {
    var start = core.result();
    return core.module.HEAPU8.slice(start, start + core.resultSize());
  }

  function drawResult(target) {
    var width = core.resultWidth(), height = core.resultHeight();
    var pixels = new ImageData(new Uint8ClampedArray(resultBytes().buffer), width, height);
    target.width = width;
    target.height = height;
    target.getContext('2d').putImageData(pixels, 0, 0);
  }

  // ---- Busy or ready ----

  var jobs = 0;       // batches of files and mode choices not yet listed
  var linkJobs = 0;   // downloads still being made
  var coreFailed = false;

  function showState() {
    document.body.dataset.state = coreFailed ? 'error' : (jobs || linkJobs || !core) ? 'busy' : 'ready';
  }

  // Keeps the page busy until the returned function is called.
  function hold() {
    jobs++;
    showState();
    var released = false;
    return function () {
      if (released) return;
      released = true;
      jobs--;
      showState();
    };
  }

  status.textContent = T.loading;
  var coreReady = startCore();
  coreReady.then(function () {
    if (status.textContent === T.loading) status.textContent = '';
    showState();
  }, function (error) {
    coreFailed = true;
    showState();
    status.textContent = T.noCore + (error && error.message ? error.message : String(error));
  });

  // Jobs that touch the list run one after another, each after the core.
  var queue = coreReady;
  function enqueue(job) {
    var release = hold();
    queue = queue.then(job).catch(function (error) { note(String(error && error.message || error)); })
                 .then(release);
  }

  function note(text) { notes.appendChild(element('li', '', text)); }

  // ---- The list ----

  var records = [];                   // velda_list's lines, in its order
  var generation = 0;                 // counts listings: work of an older one stops
  var picks = Object.create(null);    // name -> mode chosen for a file of unknown extension

  function fileNameOf(name) {
    var cut = Math.max(name.lastIndexOf('/'), name.lastIndexOf(':'));
    return name.slice(cut + 1);
  }

  function downloadName(name, extension) {
    var file = fileNameOf(name);
    var dot = file.lastIndexOf('.');
    return (dot > 0 ? file.slice(0, dot) : file) + '.' + extension;
  }

  function forget(record) {
    (record.urls || []).forEach(function (url) { URL.revokeObjectURL(url); });
    record.urls = [];
  }

  function relist() {
    generation++;
    records.forEach(forget);
    var count = core.list();
    records = [];
    for (var i = 0; i < count; i++) {
      var info = JSON.parse(core.entry(i));  // every name in UTF-8, inside containers too
      records.push({index: i, name: info.name, info: info, token: 0, urls: []});
    }
    var items = document.createDocumentFragment();
    records.forEach(function (record) { settle(record); items.appendChild(record.element); });
    grid.textContent = '';
    grid.appendChild(items);
    empty.hidden = records.length !== 0;
    showCounts();
    if (viewed) {
      var again = records.filter(function (record) { return record.picture && record.name === viewed.name; })[0];
      if (again) {
        viewed = again;
        render();
      } else {
        closeView(false);
      }
    }
    makeLinks(records.slice());
  }

  function showCounts() {
    var pictures = records.filter(function (record) { return record.picture; }).length;
    status.textContent = records.length ? T.counts(pictures, records.length - pictures) : '';
  }

  // Decides what the line is, as listed or in the mode chosen for it, and
  // makes its grid item with the thumbnail drawn.
  function settle(record) {
    var info = record.info;
    record.picture = false;
    record.failure = '';
    record.token++;
    if (info.refused === undefined) {
      record.picture = true;
      record.screen = 0;
      record.mode = info.screen;
      record.reader = info.reader;
      record.width = info.width;
      record.height = info.height;
      record.secondPage = info.secondPage;
      record.paletteFile = info.paletteFile;
    } else if (info.unknown && picks[record.name]) {
      var screen = picks[record.name];
      if (core.picture(record.index, screen, MSX_COLORS, 0, 0, 0) === 0) {
        record.picture = true;
        record.screen = screen;
        record.mode = screen;
        record.reader = '';
        record.width = core.resultWidth();
        record.height = core.resultHeight();
        record.secondPage = '';
        record.paletteFile = '';
      } else {
        record.failure = T.failed(screen, core.text());
      }
    }
    record.element = record.picture ? pictureItem(record) : refusedItem(record);
  }

  function metaOf(record) {
    var parts = [];
    if (record.reader) parts.push(T.readers[record.reader] || record.reader);
    parts.push('SCREEN ' + record.mode);
    parts.push(record.width + ' x ' + record.height);
    return parts;
  }

  function pictureItem(record) {
    var item = element('li', 'item picture');
    item.setAttribute('data-picture', record.name);
    var open = element('button', 'open');
    open.type = 'button';
    var frame = element('span', 'thumb');
    var small = element('canvas');
    frame.appendChild(small);
    if (core.thumbnail(record.index, record.screen, THUMBNAIL_SIDE) === 0) {
      drawResult(small);
    } else {
      frame.textContent = core.text();
    }
    open.appendChild(frame);
    open.appendChild(nameElement(record.name));
    var meta = element('span', 'meta');
    var kinds = ['kind', 'mode', 'size'];
    var parts = metaOf(record);
    if (parts.length === 2) kinds.shift();
    parts.forEach(function (part, i) {
      if (i) meta.appendChild(element('span', 'sep', ' \u00b7 '));
      meta.appendChild(element('span', kinds[i], part));
    });
    open.appendChild(meta);
    var companions = [];
    if (record.secondPage) companions.push(T.secondPage(record.secondPage));
    if (record.paletteFile) companions.push(T.paletteFile(record.paletteFile));
    if (companions.length) open.appendChild(element('span', 'companions', companions.join(' \u00b7 ')));
    open.addEventListener('click', function () { openView(record); });
    item.appendChild(open);
    item.appendChild(element('span', 'links pending', T.making));
    if (record.info.unknown) item.appendChild(modePicker(record));
    return item;
  }

  function refusedItem(record) {
    var item = element('li', 'item refused');
    item.setAttribute('data-refused', record.name);
    item.appendChild(nameElement(record.name));
    item.appendChild(element('p', 'reason', record.info.refused));
    if (record.failure) item.appendChild(element('p', 'reason failure', record.failure));
    if (record.info.unknown) item.appendChild(modePicker(record));
    return item;
  }

  function modePicker(record) {
    var label = element('label', 'mode-choice');
    label.appendChild(element('span', '', T.readAs));
    var select = element('select', 'mode-picker');
    select.setAttribute('data-name', record.name);
    select.appendChild(new Option(T.noMode, ''));
    MODES.forEach(function (mode) { select.appendChild(new Option('SCREEN ' + mode, String(mode))); });
    select.value = picks[record.name] ? String(picks[record.name]) : '';
    select.addEventListener('change', function () {
      var mode = parseInt(select.value, 10);
      if (mode) picks[record.name] = mode; else delete picks[record.name];
      choose(record);
    });
    label.appendChild(select);
    return label;
  }

  // The file is read again in the mode now chosen; its item is replaced.
  function choose(record) {
    enqueue(function () {
      if (records[record.index] !== record) return;
      forget(record);
      var old = record.element;
      var focused = old.contains(document.activeElement);
      settle(record);
      old.parentNode.replaceChild(record.element, old);
      if (focused) record.element.querySelector('.mode-picker').focus();
      showCounts();
      makeLinks([record]);
    });
  }

  // ---- Downloads ----

  function nextTurn() { return new Promise(function (resolve) { setTimeout(resolve, 0); }); }

  // The BMP and PNG of each picture, one after another, after the
  // thumbnails have been shown.
  function makeLinks(list) {
    var listing = generation;
    var at = 0;
    linkJobs++;
    showState();
    function step() {
      if (listing !== generation) return null;
      while (at < list.length && !list[at].picture) at++;
      if (at >= list.length) return null;
      var record = list[at++];
      var token = record.token;
      return filesOf(record).then(function (made) {
        if (listing === generation && token === record.token) attach(record, made);
        return step();
      });
    }
    nextTurn().then(step).catch(function (error) { note(String(error && error.message || error)); })
      .then(function () { linkJobs--; showState(); });
  }

  function filesOf(record) {
    var made = {};
    if (core.bmp(record.index, record.screen) === 0) {
      made.bmp = new Blob([resultBytes()], {type: 'image/bmp'});
    } else {
      made.error = core.text();
    }
    if (core.picture(record.index, record.screen, MSX_COLORS, 0, 0, 0) !== 0) {
      made.error = core.text();
      return Promise.resolve(made);
    }
    return encodePng(resultBytes(), core.resultWidth(), core.resultHeight()).then(function (png) {
      made.png = png;
      return made;
    });
  }

  function attach(record, made) {
    forget(record);
    var links = record.element.querySelector('.links');
    links.textContent = '';
    links.classList.remove('pending');
    [['bmp', 'BMP'], ['png', 'PNG']].forEach(function (kind) {
      if (!made[kind[0]]) return;
      var url = URL.createObjectURL(made[kind[0]]);
      record.urls.push(url);
      var link = element('a', 'download', kind[1]);
      link.href = url;
      link.download = downloadName(record.name, kind[0]);
      links.appendChild(link);
    });
    if (made.error) links.appendChild(element('span', 'error', made.error));
    if (viewed === record) showViewLinks();
  }

  // ---- Files in ----

  function addFiles(files) {
    enqueue(function () {
      notes.textContent = '';
      var reads = files.map(function (file) {
        if (file.size > MAX_FILE_BYTES) {
          note(T.tooLarge(file.name));
          return Promise.resolve(null);
        }
        return file.arrayBuffer().then(function (buffer) {
          return {name: file.name, bytes: new Uint8Array(buffer)};
        }, function () {
          note(T.unreadable(file.name));
          return null;
        });
      });
      return Promise.all(reads).then(function (read) {
        read.forEach(function (file) {
          if (!file) return;
          var at = core.addFile(file.name, file.bytes.length);
          core.module.HEAPU8.set(file.bytes, at);
        });
        relist();
      });
    });
  }

  function fromInput(input) {
    var files = Array.prototype.slice.call(input.files || []);
    input.value = '';
    if (files.length) addFiles(files);
  }

  $('files').addEventListener('change', function () { fromInput(this); });
  $('folder').addEventListener('change', function () { fromInput(this); });
  $('clear').addEventListener('click', function () {
    enqueue(function () {
      picks = Object.create(null);
      notes.textContent = '';
      core.clear();
      relist();
    });
  });

  // A dropped folder's files, all its sub-folders' too.
  function walk(entry, files) {
    if (entry.isFile) {
      return new Promise(function (resolve) {
        entry.file(function (file) { files.push(file); resolve(); },
                   function () { note(T.unreadable(entry.name)); resolve(); });
      });
    }
    if (!entry.isDirectory) return Promise.resolve();
    var reader = entry.createReader();
    var found = [];
    return new Promise(function (resolve) {
      (function more() {
        reader.readEntries(function (batch) {
          if (batch.length) {
            found.push.apply(found, batch);
            more();
          } else {
            resolve();
          }
        }, function () { note(T.unreadable(entry.name)); resolve(); });
      })();
    }).then(function () {
      return Promise.all(found.map(function (inner) { return walk(inner, files); }));
    });
  }

  function carriesFiles(event) {
    var types = event.dataTransfer && event.dataTransfer.types;
    return !!types && Array.prototype.indexOf.call(types, 'Files') >= 0;
  }

  var dragDepth = 0;
  document.addEventListener('dragenter', function (event) {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    dragDepth++;
    dropZone.hidden = false;
  });
  document.addEventListener('dragover', function (event) {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
  });
  document.addEventListener('dragleave', function (event) {
    if (!carriesFiles(event)) return;
    dragDepth = Math.max(0, dragDepth - 1);
    if (dragDepth === 0) dropZone.hidden = true;
  });
  document.addEventListener('drop', function (event) {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    dragDepth = 0;
    dropZone.hidden = true;
    var release = hold();
    // The entries must be taken while the drop is being handled.
    var transfer = event.dataTransfer;
    var files = [];
    var walks = [];
    var items = transfer.items ? Array.prototype.slice.call(transfer.items) : [];
    items.forEach(function (item) {
      if (item.kind !== 'file') return;
      var entry = item.webkitGetAsEntry ? item.webkitGetAsEntry() : null;
      if (entry) {
        walks.push(walk(entry, files));
      } else {
        var file = item.getAsFile();
        if (file) files.push(file);
      }
    });
    if (!items.length) files = Array.prototype.slice.call(transfer.files || []);
    Promise.all(walks).then(function () {
      if (files.length) addFiles(files);
    }).then(release, release);
  });

  // ---- The large view ----

  var viewed = null;
  var options = {zoom: 1, tv: false, colors: 0, interlace: 0, sprites: 0};
  var OPTIONS_KEY = 'velda.options';

  try {
    var kept = JSON.parse(localStorage.getItem(OPTIONS_KEY) || '{}');
    Object.keys(options).forEach(function (key) {
      if (typeof kept[key] === typeof options[key]) options[key] = kept[key];
    });
  } catch (ignored) { /* storage refused: the defaults */ }
  options.zoom = Math.min(3, Math.max(1, Math.round(options.zoom) || 1));

  function keepOptions() {
    try { localStorage.setItem(OPTIONS_KEY, JSON.stringify(options)); } catch (ignored) { /* not kept */ }
  }

  function showOptions() {
    $('zoom').value = String(options.zoom);
    $('tv').checked = options.tv;
    $('colors').value = String(options.colors);
    $('interlace').value = String(options.interlace);
    $('sprites').value = String(options.sprites);
  }

  function pictures() { return records.filter(function (record) { return record.picture; }); }

  function openView(record) {
    viewed = record;
    view.hidden = false;
    main.inert = true;
    main.setAttribute('aria-hidden', 'true');
    document.body.classList.add('viewing');
    render();
    view.focus();
  }

  function closeView(focusItem) {
    var record = viewed;
    viewed = null;
    view.hidden = true;
    main.inert = false;
    main.removeAttribute('aria-hidden');
    document.body.classList.remove('viewing');
    if (focusItem !== false && record && record.element) {
      var open = record.element.querySelector('.open');
      if (open) open.focus();
    }
  }

  function stepView(by) {
    var list = pictures();
    var at = list.indexOf(viewed) + by;
    if (at < 0 || at >= list.length || !viewed) return;
    viewed = list[at];
    render();
  }

  function showViewLinks() {
    var links = $('view-links');
    links.textContent = '';
    var made = viewed.element.querySelectorAll('.links a');
    if (!made.length) links.appendChild(element('span', 'pending', T.making));
    for (var i = 0; i < made.length; i++) {
      var link = element('a', 'download', made[i].textContent);
      link.href = made[i].href;
      link.download = made[i].download;
      links.appendChild(link);
    }
  }

  function render() {
    var record = viewed;
    var list = pictures();
    $('view-name').textContent = record.name;
    var meta = metaOf(record);
    if (record.secondPage) meta.push(T.secondPage(record.secondPage));
    if (record.paletteFile) meta.push(T.paletteFile(record.paletteFile));
    $('view-meta').textContent = meta.join(' \u00b7 ');
    $('view-position').textContent = (list.indexOf(record) + 1) + ' / ' + list.length;
    $('prev').disabled = list.indexOf(record) <= 0;
    $('next').disabled = list.indexOf(record) >= list.length - 1;
    $('interlace-option').hidden = !record.secondPage;
    showOptions();
    showViewLinks();
    var error = $('view-error');
    var interlace = record.secondPage ? options.interlace : 0;
    if (core.picture(record.index, record.screen, options.colors, options.tv ? 1 : 0, interlace, options.sprites) !== 0) {
      error.textContent = core.text();
      error.hidden = false;
      canvas.hidden = true;
      return;
    }
    error.hidden = true;
    canvas.hidden = false;
    drawResult(canvas);
    canvas.style.width = canvas.width * options.zoom + 'px';
    canvas.style.height = canvas.height * options.zoom + 'px';
    canvas.setAttribute('aria-label', record.name);
  }

  function setOption(key, value) {
    options[key] = value;
    keepOptions();
    if (viewed) render();
  }

  function zoomBy(by) { setOption('zoom', Math.min(3, Math.max(1, options.zoom + by))); }

  $('zoom').addEventListener('change', function () { setOption('zoom', parseInt(this.value, 10) || 1); });
  $('tv').addEventListener('change', function () { setOption('tv', this.checked); });
  $('colors').addEventListener('change', function () { setOption('colors', parseInt(this.value, 10) || 0); });
  $('interlace').addEventListener('change', function () { setOption('interlace', parseInt(this.value, 10) || 0); });
  $('sprites').addEventListener('change', function () { setOption('sprites', parseInt(this.value, 10) || 0); });
  $('back').addEventListener('click', function () { closeView(); });
  $('prev').addEventListener('click', function () { stepView(-1); });
  $('next').addEventListener('click', function () { stepView(1); });

  // ---- Keys ----

  function viewKey(event) {
    var key = event.key;
    if (key === 'Escape') {
      closeView();
      return true;
    }
    // A list box takes its own arrows and pages.
    var inList = event.target && event.target.tagName === 'SELECT';
    if (!inList) {
      if (key === 'ArrowLeft' || key === 'PageUp') { stepView(-1); return true; }
      if (key === 'ArrowRight' || key === 'PageDown') { stepView(1); return true; }
      if (key === 'Home') { stepView(-pictures().length); return true; }
      if (key === 'End') { stepView(pictures().length); return true; }
    }
    if (key === '+' || key === '=' || key === 'Add') { zoomBy(1); return true; }
    if (key === '-' || key === '_' || key === 'Subtract') { zoomBy(-1); return true; }
    if (key === '1' || key === '2' || key === '3') { setOption('zoom', parseInt(key, 10)); return true; }
    if (key === 't' || key === 'T') { setOption('tv', !options.tv); return true; }
    return false;
  }

  // Arrows move among the grid's pictures as they are laid out.
  function gridKey(event) {
    var from = event.target;
    if (!from.classList || !from.classList.contains('open')) return false;
    var buttons = Array.prototype.slice.call(grid.querySelectorAll('.open'));
    var at = buttons.indexOf(from);
    var to = -1;
    var key = event.key;
    if (key === 'ArrowLeft') to = at - 1;
    else if (key === 'ArrowRight') to = at + 1;
    else if (key === 'Home') to = 0;
    else if (key === 'End') to = buttons.length - 1;
    else if (key === 'ArrowUp' || key === 'ArrowDown') to = verticalNeighbour(buttons, at, key === 'ArrowDown');
    else return false;
    if (to >= 0 && to < buttons.length) buttons[to].focus();
    return true;
  }

  function verticalNeighbour(buttons, at, down) {
    var here = buttons[at].getBoundingClientRect();
    var best = -1, bestRow = null, bestDistance = Infinity;
    buttons.forEach(function (button, i) {
      var box = button.getBoundingClientRect();
      var row = down ? box.top - here.top : here.top - box.top;
      if (row < here.height / 2) return;
      var distance = Math.abs(box.left - here.left);
      if (bestRow === null || row < bestRow - 1 || (Math.abs(row - bestRow) <= 1 && distance < bestDistance)) {
        best = i;
        bestRow = row;
        bestDistance = distance;
      }
    });
    return best;
  }

  document.addEventListener('keydown', function (event) {
    if (event.ctrlKey || event.metaKey || event.altKey) return;
    var handled = viewed ? viewKey(event) : gridKey(event);
    if (handled) event.preventDefault();
  });

  translatePage();
  showOptions();
  showState();
})();
