// Runs in the page before any of the page's own scripts (an init script of
// the benchmark): it times what the benchmark asks about from inside the
// page, where the clock is the page's own performance.now().
(() => {
  const probe = {
    readyAt: null,
    recording: false,
    timers: [], // [start, end] of every timer callback that drew, while recording
    wakeups: { count: 0, ms: 0 }, // the timer callbacks that did not draw
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

  // The game's timer callbacks: a timeout, or a message the page posts
  // itself to wake the program just before a timer falls due. One counts
  // when it drew (a tick moves or counts something), so that the wake-ups
  // that found nothing due yet do not.
  let drew = false;
  const timed = (callback) => function (...args) {
    const start = performance.now();
    drew = false;
    try {
      return callback.apply(this, args);
    } finally {
      if (probe.recording) {
        const end = performance.now();
        if (drew) {
          probe.timers.push([start, end]);
          if (probe.afterTimer) probe.afterTimer(start, end);
        } else {
          probe.wakeups.count += 1;
          probe.wakeups.ms += end - start;
        }
      }
    }
  };
  const originalSetTimeout = window.setTimeout;
  window.setTimeout = function (callback, delay, ...rest) {
    if (typeof callback !== 'function') return originalSetTimeout.call(window, callback, delay, ...rest);
    return originalSetTimeout.call(window, timed(callback), delay, ...rest);
  };
  const onmessage = Object.getOwnPropertyDescriptor(MessagePort.prototype, 'onmessage');
  Object.defineProperty(MessagePort.prototype, 'onmessage', {
    ...onmessage,
    set(handler) { onmessage.set.call(this, typeof handler === 'function' ? timed(handler) : handler); },
  });

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
      drew = true;
      if (pendingKey) pendingKey.drawnAt = performance.now();
      return result;
    };
  };
  for (const name of ['drawImage', 'putImageData', 'fillRect', 'strokeRect', 'clearRect', 'fillText', 'strokeText', 'fill', 'stroke']) {
    stampDrawing(name);
  }
})();
