// Starts the program in the page, and tells the player when it cannot: no
// WebAssembly, a file that did not load, a start that failed. Also the
// probes the browser tests read: window.quorvel.ready and .dump().
'use strict';

(() => {
  let program = null;
  let settleReady = null;
  const ready = new Promise((resolve, reject) => { settleReady = { resolve, reject }; });
  // Nobody may be waiting for it when the start fails.
  ready.catch(() => {});

  // The page's own texts are Japanese when the browser prefers Japanese;
  // the game's texts, in its windows, are the game's.
  const preferred = (navigator.languages && navigator.languages[0]) || navigator.language || '';
  const japanese = /^ja(-|$)/i.test(preferred);
  document.documentElement.lang = japanese ? 'ja' : 'en';
  const say = (en, ja) => (japanese ? ja : en);

  const element = (id) => document.getElementById(id);

  // ------------------------------------------------------------ notices

  // A passing notice goes by itself; a lasting one when closed; a "state"
  // one also when the state it tells of ends; a final one (the program has
  // ended or cannot run) stays.
  const passingMs = 6000;
  const chromeGap = 12;
  let noticeKind = null;
  let noticeTimer = null;

  function message(text, kind = 'lasting') {
    element('qv-message').textContent = text;
    element('qv-notice-close').hidden = kind === 'final';
    element('qv-notice').hidden = false;
    noticeKind = kind;
    clearTimeout(noticeTimer);
    if (kind === 'passing') noticeTimer = setTimeout(closeNotice, passingMs);
    placeNotice(true);
  }

  function closeNotice() {
    if (noticeKind === 'final' || noticeKind === null) return;
    const hadKeyboard = element('qv-notice').contains(document.activeElement);
    clearTimeout(noticeTimer);
    noticeKind = null;
    element('qv-notice').hidden = true;
    leaveNoticeBand();
    if (hadKeyboard) window.qvWindows.keyboardToGame();
  }

  function endNotice(kind) {
    if (noticeKind === kind) closeNotice();
  }

  const overlaps = (a, b) => a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
  const coversAWindow = (rect) => window.qvWindows.frames().some((frame) => overlaps(rect, frame));

  function leaveNoticeBand() {
    if (!document.body.classList.contains('qv-notice-band')) return;
    document.body.classList.remove('qv-notice-band');
    element('qv-desktop').style.top = '';
    window.qvWindows.viewportChanged(false);
  }

  // The notice stands where it covers no window: top or foot, middle or
  // corner; with no such place, in a band above the windows' area.
  function placeNotice(fresh) {
    const notice = element('qv-notice');
    if (notice.hidden) return;
    if (document.body.classList.contains('qv-notice-band')) {
      if (!fresh) return;
      leaveNoticeBand();
    }
    notice.style.left = '0px';
    notice.style.top = '0px';
    const width = notice.offsetWidth;
    const height = notice.offsetHeight;
    const buttons = element('qv-page-buttons').getBoundingClientRect();
    const bottom = Math.min(innerHeight, buttons.top) - chromeGap - height;
    const places = [
      [(innerWidth - width) / 2, chromeGap], [(innerWidth - width) / 2, bottom],
      [chromeGap, chromeGap], [innerWidth - width - chromeGap, chromeGap], [chromeGap, bottom],
    ];
    const free = places.find(([left, top]) => {
      const rect = { left, top, right: left + width, bottom: top + height };
      return top >= 0 && !coversAWindow(rect) && !overlaps(rect, buttons);
    });
    if (free) {
      notice.style.left = `${Math.round(free[0])}px`;
      notice.style.top = `${Math.round(free[1])}px`;
      return;
    }
    notice.style.left = '';
    notice.style.top = '';
    document.body.classList.add('qv-notice-band');
    element('qv-desktop').style.top = `${notice.offsetHeight}px`;
    window.qvWindows.viewportChanged(false);
  }

  // ------------------------------------------------------------ the page's buttons

  // The page's buttons float at the foot on the right, and move to a strip
  // of their own, below the windows' area, when they would cover a window.
  function placeButtons() {
    const strip = element('qv-page-buttons');
    const parts = [...strip.children].filter((part) => part.getClientRects().length > 0);
    if (parts.length === 0) return;
    const rects = parts.map((part) => part.getBoundingClientRect());
    const width = Math.max(...rects.map((r) => r.right)) - Math.min(...rects.map((r) => r.left)) + 2 * chromeGap;
    const height = Math.max(...rects.map((r) => r.bottom)) - Math.min(...rects.map((r) => r.top)) + 2 * chromeGap;
    const inStrip = document.body.classList.contains('qv-buttons-strip');
    // Once in the strip, the windows just above it keep it there.
    const reach = inStrip ? strip.offsetHeight : 0;
    const floating = { left: innerWidth - width, right: innerWidth, top: innerHeight - height - reach, bottom: innerHeight };
    const wanted = coversAWindow(floating);
    if (wanted === inStrip) return;
    document.body.classList.toggle('qv-buttons-strip', wanted);
    element('qv-desktop').style.bottom = wanted ? `${strip.offsetHeight}px` : '';
    window.qvWindows.viewportChanged(false);
  }

  function windowsMoved() {
    placeButtons();
    placeNotice(false);
  }

  // One call puts a button into the page's strip: LABEL is { en, ja }.
  // A press by the pointer leaves the keyboard where the game put it.
  function addButton(id, label, action) {
    const button = document.createElement('button');
    button.type = 'button';
    button.id = id;
    button.textContent = say(label.en, label.ja);
    button.addEventListener('mousedown', (event) => event.preventDefault());
    button.addEventListener('click', action);
    element('qv-page-buttons').appendChild(button);
    placeButtons();
    return button;
  }

  function addSizeControl() {
    const group = document.createElement('div');
    group.className = 'qv-size';
    group.setAttribute('role', 'group');
    group.setAttribute('aria-label', say('Size', '大きさ'));
    const label = document.createElement('span');
    label.textContent = say('Size:', '大きさ:');
    label.setAttribute('aria-hidden', 'true');
    group.appendChild(label);
    const names = { fit: say('Fit', '自動'), 1: '1×', 1.5: '1.5×', 2: '2×', 3: '3×' };
    const buttons = window.qvWindows.sizeSteps.map((step) => {
      const button = document.createElement('button');
      button.type = 'button';
      button.dataset.size = step;
      button.textContent = names[step];
      button.setAttribute('aria-label', step === 'fit' ? say('Fit the window', 'ウインドウに合わせる') : `${names[step]}`);
      button.addEventListener('mousedown', (event) => event.preventDefault());
      button.addEventListener('click', () => {
        window.qvWindows.chooseSize(step);
        showChoice();
      });
      group.appendChild(button);
      return button;
    });
    const showChoice = () => {
      const chosen = window.qvWindows.sizeChoice();
      for (const button of buttons) button.setAttribute('aria-pressed', String(button.dataset.size === chosen));
    };
    showChoice();
    element('qv-page-buttons').appendChild(group);
  }

  // ------------------------------------------------------------ leaving

  // "Leave this page?" while a stage is being played, and only then.
  function askBeforeLeaving(event) {
    event.preventDefault();
    event.returnValue = '';
  }

  function guardLeaving(on) {
    if (on) window.addEventListener('beforeunload', askBeforeLeaving);
    else window.removeEventListener('beforeunload', askBeforeLeaving);
  }

  // ------------------------------------------------------------ no keyboard

  // A device that only touches (a phone, a tablet) may have no keyboard:
  // the page says the game needs one, and plays once a key comes.
  function waitForAKeyboard() {
    const touchOnly = window.matchMedia('(pointer: coarse)').matches && !window.matchMedia('(any-pointer: fine)').matches;
    if (!touchOnly) return;
    document.body.classList.add('qv-needs-keyboard');
    message(say('Quorvel is played on a physical keyboard, and this device seems to have none. Connect a keyboard ' +
                'and press any key on it to play.',
                'Quorvel はキーボードで遊ぶゲームですが、この端末にはキーボードがないようです。' +
                'キーボードをつないで、どれかのキーを押すと遊べます。'), 'keyboard');
    const keyCame = (event) => {
      if (event.isComposing || event.keyCode === 229 || event.key === 'Unidentified') return;
      window.removeEventListener('keydown', keyCame, true);
      document.body.classList.remove('qv-needs-keyboard');
      endNotice('keyboard');
    };
    window.addEventListener('keydown', keyCame, true);
  }

  // ------------------------------------------------------------ start and end

  let stopped = false;

  function fail(text) {
    stopped = true;
    guardLeaving(false);
    window.qvWindows.disconnect();
    message(text, 'final');
    settleReady.reject(new Error(text));
  }

  window.qvPage = {
    say,
    message,
    endNotice,
    addButton,
    windowsMoved,
    guardLeaving,
    titleDrawn() {
      element('qv-desktop').classList.remove('qv-starting');
      settleReady.resolve();
    },
    ended(note) {
      guardLeaving(false);
      window.qvWindows.disconnect();
      const end = say('Quorvel has ended: its last window was closed.', 'Quorvel を終了しました。最後のウインドウが閉じられました。');
      message(note ? `${end}\n\n${note}` : end, 'final');
      const restart = element('qv-restart');
      restart.hidden = false;
      restart.focus({ preventScroll: true });
    },
    failed: fail,
  };

  window.quorvel = {
    ready,
    dump() { return program ? program.ccall('qv_web_dump', 'string', [], []) : ''; },
  };

  const reason = (error) => (error && error.message) || String(error);

  function loadScript(name) {
    return new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = name;
      script.onload = resolve;
      script.onerror = () => reject(new Error(say(`${name} could not be loaded from ${new URL(name, document.baseURI)}`,
        `${name} を ${new URL(name, document.baseURI)} から読み込めませんでした`)));
      document.head.appendChild(script);
    });
  }

  async function fetchWasm(name) {
    let response;
    try {
      response = await fetch(name);
    } catch (error) {
      throw new Error(say(`${name} could not be loaded: ${reason(error)}`, `${name} を読み込めませんでした: ${reason(error)}`));
    }
    if (!response.ok) {
      throw new Error(say(`${name} could not be loaded: HTTP ${response.status} ${response.statusText}`,
        `${name} を読み込めませんでした: HTTP ${response.status} ${response.statusText}`));
    }
    return response;
  }

  // Compiled while it downloads where the server says application/wasm;
  // a server that says anything else gets it compiled once it is in.
  async function compileWasm(name) {
    const response = await fetchWasm(name);
    if (typeof WebAssembly.compileStreaming === 'function' &&
        (response.headers.get('Content-Type') || '').split(';')[0].trim() === 'application/wasm') {
      return WebAssembly.compileStreaming(response);
    }
    return WebAssembly.compile(await response.arrayBuffer());
  }

  async function start() {
    element('qv-restart').textContent = say('Start again', 'もう一度始める');
    element('qv-restart').addEventListener('click', () => window.location.reload());
    element('qv-notice-close').setAttribute('aria-label', say('Close the message', 'メッセージを閉じる'));
    element('qv-notice-close').addEventListener('mousedown', (event) => event.preventDefault());
    element('qv-notice-close').addEventListener('click', closeNotice);
    addSizeControl();
    window.addEventListener('resize', () => placeNotice(false));
    waitForAKeyboard();
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
      fail(say('Quorvel cannot run here: this browser has no WebAssembly support (or it is turned off). ' +
               'Please use a current Chrome, Edge, Firefox or Safari.',
               'このブラウザーでは Quorvel を動かせません。WebAssembly に対応していないか、無効になっています。' +
               '最新の Chrome、Edge、Firefox、Safari をお使いください。'));
      return;
    }
    if (window.location.protocol === 'file:') {
      fail(say('Quorvel cannot start from a file on the disk: browsers do not let a page opened that way load ' +
               'its WebAssembly. Serve this folder with any web server (./run --web does) and open it through http.',
               'ディスク上のファイルから Quorvel は始められません。そのように開いたページには、ブラウザーが ' +
               'WebAssembly を読み込ませないためです。このフォルダーを Web サーバーで公開し（./run --web が行います）、' +
               'http で開いてください。'));
      return;
    }
    const loadFailed = (error) => say(
      `Quorvel could not start: a file failed to load. ${reason(error).replace(/\.$/, '')}. Please reload the page.`,
      `Quorvel を始められませんでした。ファイルの読み込みに失敗しました: ${reason(error).replace(/\.$/, '')}。ページを再読み込みしてください。`);
    // The program's files, the title's pictures and its fonts come at once.
    // The program starts as soon as its own files are in, and paints once
    // the pictures and fonts are (qv_web_drawing_ready).
    const compiled = compileWasm('quorvel.wasm');
    compiled.catch(() => {});
    const drawing = window.qvDraw.ready;
    drawing.catch((error) => fail(loadFailed(error)));
    try {
      await loadScript('quorvel.js');
    } catch (error) {
      fail(loadFailed(error));
      return;
    }
    if (stopped) return;
    const settings = {
      instantiateWasm(imports, receive) {
        compiled
          .then((module) => WebAssembly.instantiate(module, imports).then((instance) => receive(instance, module)))
          .catch((error) => fail(loadFailed(error)));
        return {};
      },
      onRuntimeInitialized() {
        // A file that failed meanwhile has stopped the page: its input stays off.
        if (stopped) return;
        program = settings;
        window.qvWindows.connect(settings);
        drawing.then(() => {
          if (!stopped) settings.ccall('qv_web_drawing_ready', null, [], []);
        }, () => {});
        // The other pictures and fonts once the title is drawn: asked for
        // sooner, they would hold it up.
        const all = ready.then(() => window.qvDraw.loadAll());
        all.catch((error) => {
          if (!stopped) fail(loadFailed(error));
        });
        window.qvWindows.holdInputUntil(all);
      },
      onAbort(what) {
        fail(say(`Quorvel stopped because of an error: ${what}`, `エラーのため、Quorvel が止まりました: ${what}`));
      },
    };
    try {
      await window.createQuorvel(settings);
    } catch (error) {
      fail(say(`Quorvel could not start: ${reason(error)}`, `Quorvel を始められませんでした: ${reason(error)}`));
    }
  }

  start();
})();
