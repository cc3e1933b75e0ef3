// The watch's page: the game's page hands it a play (a message from its
// parent), this page's own program verifies it and plays it at the page's
// clock. Space pauses and resumes, Escape or the window's close box closes
// the watch. Nothing else the player does reaches the replayed stage, which
// follows its log alone. The parent hears back: "watching" (with the
// window's size), "refused" (with the reason) and "closed".
// window.qvWatch.state() and .dump() are the browser tests' probes.
'use strict';

(() => {
  let program = null;
  let frameRequest = null;

  const tellParent = (message) => window.parent.postMessage({ qvWatch: message.kind, ...message }, window.location.origin);

  function message(text) {
    document.getElementById('qv-message').textContent = text;
    document.getElementById('qv-notice').hidden = false;
  }

  function stop() {
    if (frameRequest !== null) cancelAnimationFrame(frameRequest);
    frameRequest = null;
    window.qvWindows.disconnect();
  }

  window.qvPage = {
    message,
    titleDrawn() {},
    ended() { stop(); },
    failed(text) {
      stop();
      message(text);
      tellParent({ kind: 'failed', reason: text });
    },
  };

  function close() {
    stop();
    tellParent({ kind: 'closed' });
  }

  // What the window elements may pass on: the drawing and where the window
  // stands. Keys are the watch's controls; presses and closes never reach
  // the replayed stage.
  const passedOn = new Set(['qv_web_drawing_ready', 'qv_web_window_dragged', 'qv_web_viewport_changed',
    'qv_web_scale_changed', 'qv_web_page_shown']);

  function gate(module) {
    return {
      ccall(name, returns, types, args) {
        if (name === 'qv_web_key_down') {
          if (args[0] === 'Space') module.ccall('qv_watch_toggle_pause', null, [], []);
          else if (args[0] === 'Escape') close();
        } else if (name === 'qv_web_close_clicked') {
          close();
        } else if (passedOn.has(name)) {
          return module.ccall(name, returns, types, args);
        }
        return null;
      },
    };
  }

  function showFrames() {
    program.ccall('qv_watch_frame', null, [], []);
    frameRequest = requestAnimationFrame(showFrames);
  }

  // From the place the host gave the window: the frame may not be laid out
  // while its holder is hidden.
  function windowSize() {
    const style = document.querySelector('[data-form]').style;
    const px = (value) => Math.ceil(parseFloat(value) || 0);
    return { width: px(style.left) + px(style.width), height: px(style.top) + px(style.height) };
  }

  async function startProgram() {
    await new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = 'quorvel.js';
      script.onload = resolve;
      script.onerror = () => reject(new Error('quorvel.js could not be loaded'));
      document.head.appendChild(script);
    });
    // The same program as the game's page, but its main(), the game, never runs.
    return window.createQuorvel({ noInitialRun: true, onAbort: (what) => window.qvPage.failed(`The replay stopped because of an error: ${what}`) });
  }

  async function watch(text) {
    const [module] = await Promise.all([startProgram(), window.qvDraw.loadAll()]);
    program = module;
    const refusal = program.ccall('qv_watch_open', 'string', ['string'], [text]);
    if (refusal) {
      tellParent({ kind: 'refused', reason: refusal });
      return;
    }
    window.qvWindows.connect(gate(program));
    tellParent({ kind: 'watching', ...windowSize() });
    showFrames();
  }

  let handed = false;
  window.addEventListener('message', (event) => {
    if (event.source !== window.parent || event.origin !== window.location.origin) return;
    if (handed || typeof (event.data && event.data.qvWatchPlay) !== 'string') return;
    handed = true;
    watch(event.data.qvWatchPlay).catch((error) => window.qvPage.failed(`The replay could not start: ${error.message || error}`));
  });

  window.qvWatch = {
    state() { return program ? JSON.parse(program.ccall('qv_watch_state', 'string', [], [])) : null; },
    dump() { return program ? program.ccall('qv_watch_dump', 'string', [], []) : ''; },
  };
})();
