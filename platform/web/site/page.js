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

  function message(text) {
    document.getElementById('qv-message').textContent = text;
    document.getElementById('qv-notice').hidden = false;
  }

  let stopped = false;

  function fail(text) {
    stopped = true;
    window.qvWindows.disconnect();
    message(text);
    settleReady.reject(new Error(text));
  }

  window.qvPage = {
    message,
    titleDrawn() {
      document.getElementById('qv-desktop').classList.remove('qv-starting');
      settleReady.resolve();
    },
    ended(note) {
      window.qvWindows.disconnect();
      const end = 'Quorvel has ended: its last window was closed.';
      message(note ? `${end}\n\n${note}` : end);
      const restart = document.getElementById('qv-restart');
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
      script.onerror = () => reject(new Error(`${name} could not be loaded from ${new URL(name, document.baseURI)}`));
      document.head.appendChild(script);
    });
  }

  async function fetchWasm(name) {
    let response;
    try {
      response = await fetch(name);
    } catch (error) {
      throw new Error(`${name} could not be loaded: ${reason(error)}`);
    }
    if (!response.ok) throw new Error(`${name} could not be loaded: HTTP ${response.status} ${response.statusText}`);
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
    document.getElementById('qv-restart').addEventListener('click', () => window.location.reload());
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
      fail('Quorvel cannot run here: this browser has no WebAssembly support (or it is turned off). ' +
           'Please use a current Chrome, Edge, Firefox or Safari.');
      return;
    }
    if (window.location.protocol === 'file:') {
      fail('Quorvel cannot start from a file on the disk: browsers do not let a page opened that way load ' +
           'its WebAssembly. Serve this folder with any web server (./run --web does) and open it through http.');
      return;
    }
    const loadFailed = (error) => `Quorvel could not start: a file failed to load. ${reason(error).replace(/\.$/, '')}. Please reload the page.`;
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
        fail(`Quorvel stopped because of an error: ${what}`);
      },
    };
    try {
      await window.createQuorvel(settings);
    } catch (error) {
      fail(`Quorvel could not start: ${reason(error)}`);
    }
  }

  start();
})();
