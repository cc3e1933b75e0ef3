// Runs in the page before any of the page's own scripts (an init script of
// the benchmark): it times what the benchmark asks about from inside the
// page, where the clock is the page's own performance.now().
(() => {
  const probe = {
    readyAt: null,
    recording: false,
    timers: [], // [start, end] of every timer callback while recording
    keys: [], // { code, at, handledAt, drawnAt, frameAt } for each keydown while recording
    afterTimer: null, // called with (start, end) after each timer callback while recording
  };
  window.__qvProbe = probe;

  // The moment window.quorvel.ready resolves, however the page sets it up.
  let hooked = false;
  const hookReady = (quorvel) => {
    if (hooked || !quorvel || !quorvel.ready) return;
    hooked = true;
    quorvel.ready.then(() => { probe.readyAt = performance.now(); });
  };
  let quorvelValue;
  Object.defineProperty(window, 'quorvel', {
    configurable: true,
    enumerable: true,
    get() { return quorvelValue; },
    set(value) { quorvelValue = value; hookReady(value); },
  });
  const pollReady = () => {
    hookReady(window.quorvel);
    if (!hooked) requestAnimationFrame(pollReady);
  };
  requestAnimationFrame(pollReady);

  // When the pictures and fonts were ready (window.qvDraw.ready), polled
  // each frame: part of the start-up's breakdown, to a frame's precision.
  probe.drawReadyAt = null;
  const pollDrawReady = () => {
    if (window.qvDraw && window.qvDraw.ready) {
      window.qvDraw.ready.then(() => { probe.drawReadyAt = performance.now(); });
    } else {
      requestAnimationFrame(pollDrawReady);
    }
  };
  requestAnimationFrame(pollDrawReady);

  const originalSetTimeout = window.setTimeout;
  window.setTimeout = function (callback, delay, ...rest) {
    if (typeof callback !== 'function') return originalSetTimeout.call(window, callback, delay, ...rest);
    return originalSetTimeout.call(window, function (...args) {
      const start = performance.now();
      try {
        return callback.apply(this, args);
      } finally {
        if (probe.recording) {
          const end = performance.now();
          probe.timers.push([start, end]);
          if (probe.afterTimer) probe.afterTimer(start, end);
        }
      }
    }, delay, ...rest);
  };

  // A key's repaint is the last drawing on any canvas between the key and
  // the next animation frame, the frame that shows it.
  let pendingKey = null;
  window.addEventListener('keydown', (event) => {
    if (!probe.recording) return;
    const key = { code: event.code, at: event.timeStamp, handledAt: performance.now(), drawnAt: null, frameAt: null };
    probe.keys.push(key);
    pendingKey = key;
    requestAnimationFrame(() => {
      key.frameAt = performance.now();
      if (pendingKey === key) pendingKey = null;
    });
  }, true);
  const stampDrawing = (name) => {
    const original = CanvasRenderingContext2D.prototype[name];
    if (typeof original !== 'function') return;
    CanvasRenderingContext2D.prototype[name] = function (...args) {
      const result = original.apply(this, args);
      if (pendingKey) pendingKey.drawnAt = performance.now();
      return result;
    };
  };
  for (const name of ['drawImage', 'putImageData', 'fillRect', 'strokeRect', 'clearRect', 'fillText', 'strokeText', 'fill', 'stroke']) {
    stampDrawing(name);
  }
})();
