// The page as the game's screen: one element per open window, made and
// placed by the host (platform/web/WebHost), and the player's keys, presses,
// drags and input-method text passed back to it. Geometry is in CSS pixels.
'use strict';

(() => {
  const windows = new Map(); // form instance id -> the window's elements
  let program = null; // the running WebAssembly module, once it runs
  let drag = null; // { id, pointerId, startX, startY, frameX, frameY }
  let resize = null; // { id, pointerId, edges, startX, startY, frame }
  let pressedBox = null; // { id, kind }: a title bar box acts when released on it
  let composing = false;
  let heldCalls = null; // the player's input kept back, in order, until the page is complete

  const call = (name, types, args) => {
    if (!program) return;
    if (heldCalls) heldCalls.push([name, types, args]);
    else program.ccall(name, null, types, args);
  };

  // Input opens every window after the first: it waits until what those
  // windows draw with is in, so that none shows without its pictures or fonts.
  function holdInputUntil(complete) {
    heldCalls = [];
    complete.then(() => {
      const calls = heldCalls || [];
      heldCalls = null;
      for (const args of calls) call(...args);
    }, () => {});
  }

  const desktop = () => document.getElementById('qv-desktop');

  // The size factor of the game's windows: the player's choice, remembered,
  // or the largest step that fits the game's largest arrangement into the
  // viewport with a margin. The windows are laid out in pixels of the game
  // (CSS pixels divided by the factor), so placements keep their twips.
  const sizeKey = 'quorvel:page-size';
  const sizeSteps = ['fit', '1', '1.5', '2', '3'];
  const fitMargin = 32;
  let arrangement = null; // [width, height] in pixels of the game
  let factor = 1;

  function sizeChoice() {
    try {
      const stored = localStorage.getItem(sizeKey);
      return sizeSteps.includes(stored) ? stored : 'fit';
    } catch {
      return 'fit';
    }
  }

  function fitFactor() {
    if (!arrangement) return 1;
    const across = (window.innerWidth - 2 * fitMargin) / arrangement[0];
    const down = (window.innerHeight - 2 * fitMargin) / arrangement[1];
    return Math.max(1, Math.floor(Math.min(across, down) * 4) / 4);
  }

  // True when the factor changed.
  function applyFactor() {
    const choice = sizeChoice();
    const wanted = choice === 'fit' ? fitFactor() : Number(choice);
    desktop().dataset.size = choice;
    desktop().dataset.scale = String(wanted);
    if (wanted === factor) return false;
    factor = wanted;
    desktop().style.zoom = factor === 1 ? '' : String(factor);
    redrawBoxes();
    return true;
  }

  const pixelRatio = () => factor * (window.devicePixelRatio || 1);
  // A distance on the viewport in pixels of the game.
  const inGamePixels = (cssPixels) => cssPixels / factor;

  // The viewport or the factor changed: windows come back inside, and a new
  // factor repaints them at its resolution.
  function viewportChanged(scaleChanged) {
    call('qv_web_viewport_changed', [], []);
    if (scaleChanged) call('qv_web_scale_changed', [], []);
    if (window.qvPage && window.qvPage.windowsMoved) window.qvPage.windowsMoved();
  }

  function chooseSize(choice) {
    if (!sizeSteps.includes(choice)) return;
    try {
      localStorage.setItem(sizeKey, choice);
    } catch {
      // Not remembered; still applied.
    }
    const changed = applyFactor();
    desktop().dataset.size = choice;
    viewportChanged(changed);
  }

  function fitAround(width, height) {
    arrangement = [width, height];
    applyFactor();
  }

  // The strip of buttons of the minimised windows, at the foot of the page.
  function windowStrip() {
    let strip = document.getElementById('qv-window-strip');
    if (!strip) {
      strip = document.createElement('div');
      strip.id = 'qv-window-strip';
      strip.className = 'qv-page-controls';
      strip.hidden = true;
      // Its buttons leave the keyboard where the game put it.
      strip.addEventListener('mousedown', (event) => event.preventDefault());
      document.body.appendChild(strip);
    }
    return strip;
  }

  const place = (element, [x, y, width, height]) => {
    element.style.left = `${x}px`;
    element.style.top = `${y}px`;
    element.style.width = `${width}px`;
    element.style.height = `${height}px`;
  };

  // The glyph of a title bar box, drawn as the desktop draws it: in the box
  // less 4 px on the left, 3 above, 5 on the right and 4 below.
  function glyphSvg(kind, width, height) {
    const x = 4;
    const y = 3;
    const right = width - 6;
    const bottom = height - 5;
    let shape = '';
    if (kind === 'maximize') {
      shape = `<rect x="${x + 0.5}" y="${y + 0.5}" width="${right - x - 1}" height="${bottom - y - 1}"/>` +
              `<path d="M${x} ${y + 1.5}H${right}"/>`;
    } else if (kind === 'restore') {
      // Two windows in the maximise box's style, the front one lower left.
      shape = `<rect x="${x + 0.5}" y="${y + 2.5}" width="4" height="4"/><path d="M${x} ${y + 3.5}H${x + 5}"/>` +
              `<path d="M${x + 2.5} ${y + 2}V${y + 0.5}H${x + 6.5}V${y + 4.5}H${x + 5}M${x + 2} ${y + 1.5}H${x + 7}"/>`;
    } else {
      shape = `<rect x="${x}" y="${bottom - 1}" width="${right - x - 1}" height="2" fill="#000" stroke="none"/>`;
    }
    return `<svg width="${width}" height="${height}" viewBox="0 0 ${width} ${height}" aria-hidden="true">${shape}</svg>`;
  }

  // The close box's cross, painted pixel by pixel in device pixels as the
  // desktop paints it: two diagonals two pixels wide at 1x, crossing on one
  // row. A vector cross scaled by a fractional ratio melts into a blob.
  function crossCanvas(width, height) {
    const ratio = pixelRatio();
    const devicePixels = (logical) => Math.round(logical * ratio);
    const canvas = document.createElement('canvas');
    canvas.width = devicePixels(width);
    canvas.height = devicePixels(height);
    canvas.style.width = `${width}px`;
    canvas.style.height = `${height}px`;
    const stroke = Math.max(2, devicePixels(2));
    let rows = devicePixels(height - 5);
    if (rows % 2 === 0) rows -= 1;
    const crossWidth = rows - 1 + stroke;
    const x0 = Math.floor((canvas.width - crossWidth) / 2);
    const y0 = Math.floor((canvas.height - rows) / 2);
    const context = canvas.getContext('2d');
    context.fillStyle = '#000000';
    for (let row = 0; row < rows; ++row) {
      context.fillRect(x0 + row, y0 + row, stroke, 1);
      context.fillRect(x0 + crossWidth - stroke - row, y0 + row, stroke, 1);
    }
    return canvas;
  }

  function drawGlyph(box, width, height) {
    box.dataset.width = String(width);
    box.dataset.height = String(height);
    if (box.dataset.box === 'close') {
      box.replaceChildren(crossCanvas(width, height));
    } else {
      box.innerHTML = glyphSvg(box.dataset.glyph || box.dataset.box, width, height);
    }
  }

  function redrawBoxes() {
    for (const win of windows.values()) {
      for (const box of Object.values(win.boxes)) {
        if (box.dataset.width) {
          box.dataset.size = `${box.dataset.width}x${box.dataset.height}@${pixelRatio()}:${box.dataset.glyph}`;
          drawGlyph(box, Number(box.dataset.width), Number(box.dataset.height));
        }
      }
    }
  }

  function makeBox(kind) {
    const box = document.createElement('div');
    box.className = `qv-box qv-${kind}`;
    box.dataset.box = kind;
    return box;
  }

  function placeBox(box, rect, glyph = box.dataset.box) {
    place(box, rect);
    box.dataset.glyph = glyph;
    const size = `${rect[2]}x${rect[3]}@${pixelRatio()}:${glyph}`;
    if (box.dataset.size !== size) {
      box.dataset.size = size;
      drawGlyph(box, rect[2], rect[3]);
    }
  }

  function open(id, name) {
    const element = document.createElement('div');
    element.className = 'qv-window';
    element.dataset.form = name;
    element.dataset.id = String(id);
    const bar = document.createElement('div');
    bar.className = 'qv-caption';
    const title = document.createElement('span');
    title.className = 'qv-caption-text';
    bar.appendChild(title);
    // The client area clips the form's canvas when the window is smaller.
    const area = document.createElement('div');
    area.className = 'qv-client-area';
    const canvas = document.createElement('canvas');
    canvas.className = 'qv-client';
    canvas.id = `qv-client-${id}`;
    area.appendChild(canvas);
    const boxes = { close: makeBox('close'), maximize: makeBox('maximize'), minimize: makeBox('minimize') };
    element.append(bar, area, boxes.minimize, boxes.maximize, boxes.close);
    element.addEventListener('pointerdown', (event) => pressed(id, event));
    // The press captured the pointer for a drag: the double click is the window's.
    element.addEventListener('dblclick', (event) => {
      const win = windows.get(id);
      if (!win || !win.state || !win.state.maximize || event.target.closest('.qv-box')) return;
      const frame = element.getBoundingClientRect();
      const [bx, by, bw, bh] = win.state.bar;
      const x = inGamePixels(event.clientX - frame.left);
      const y = inGamePixels(event.clientY - frame.top);
      if (x >= bx && y >= by && x < bx + bw && y < by + bh) call('qv_web_maximize_clicked', ['number'], [id]);
    });
    desktop().appendChild(element);
    windows.set(id, { element, bar, title, area, canvas, boxes, grips: [], button: null, inputs: new Map(), state: null });
  }

  function placeGrips(win, grips) {
    while (win.grips.length < grips.length) {
      const grip = document.createElement('div');
      grip.className = 'qv-grip';
      win.element.appendChild(grip);
      win.grips.push(grip);
    }
    win.grips.forEach((grip, i) => {
      grip.hidden = i >= grips.length;
      if (grip.hidden) return;
      const [edges, box] = grips[i];
      grip.dataset.edges = String(edges);
      place(grip, box);
    });
  }

  // A minimised window is a button in the page's strip, with its caption.
  function showInStrip(id, win, state) {
    if (state.minimized && !win.button) {
      win.button = document.createElement('button');
      win.button.type = 'button';
      win.button.className = 'qv-window-button';
      win.button.dataset.window = String(id);
      win.button.addEventListener('click', () => call('qv_web_window_button_clicked', ['number'], [id]));
      windowStrip().appendChild(win.button);
    } else if (!state.minimized && win.button) {
      win.button.remove();
      win.button = null;
    }
    if (win.button) win.button.textContent = state.caption.trim();
    const strip = windowStrip();
    strip.hidden = strip.childElementCount === 0;
  }

  // The page's own controls keep out of the windows' way once they settle.
  let placingChrome = false;
  function windowsChanged() {
    if (placingChrome) return;
    placingChrome = true;
    queueMicrotask(() => {
      placingChrome = false;
      if (window.qvPage && window.qvPage.windowsMoved) window.qvPage.windowsMoved();
    });
  }

  function update(id, state) {
    const win = windows.get(id);
    if (!win) return;
    windowsChanged();
    win.state = state;
    place(win.element, state.frame);
    win.element.style.zIndex = String(state.stack + 1);
    win.element.classList.toggle('qv-active', state.active);
    place(win.bar, state.bar);
    win.title.textContent = state.caption;
    win.title.style.fontSize = `${state.bar[3] - 5}px`;
    win.element.setAttribute('aria-label', state.caption);
    win.element.hidden = state.minimized;
    win.element.classList.toggle('qv-maximized', state.maximized);
    showInStrip(id, win, state);
    place(win.area, state.client);
    place(win.canvas, [state.canvas[0] - state.client[0], state.canvas[1] - state.client[1], state.canvas[2], state.canvas[3]]);
    placeGrips(win, state.grips);
    const backingWidth = Math.round(state.canvas[2] * state.dpr);
    const backingHeight = Math.round(state.canvas[3] * state.dpr);
    if (win.canvas.width !== backingWidth) win.canvas.width = backingWidth;
    if (win.canvas.height !== backingHeight) win.canvas.height = backingHeight;
    placeBox(win.boxes.close, state.close);
    for (const kind of ['maximize', 'minimize']) {
      win.boxes[kind].hidden = !state[kind];
      if (state[kind]) placeBox(win.boxes[kind], state[kind], kind === 'maximize' && state.maximized ? 'restore' : kind);
    }
    // The caption's text stops short of the boxes.
    const firstBox = state.minimize || state.close;
    win.title.style.maxWidth = `${Math.max(0, firstBox[0] - state.bar[0] - 5)}px`;
  }

  function textInput(id, state) {
    const win = windows.get(id);
    if (!win) return;
    const key = `${state.control}#${state.index}`;
    let input = win.inputs.get(key);
    if (!input) {
      input = makeTextInput(id, state.control, state.index);
      win.element.appendChild(input);
      win.inputs.set(key, input);
    }
    const [x, y, width, height] = state.box;
    const client = win.state ? win.state.client : [0, 0];
    place(input, [client[0] + x, client[1] + y, width, height]);
    input.hidden = !state.shown;
    input.disabled = !state.enabled;
    input.style.font = state.font;
    input.style.backgroundColor = state.back;
    input.style.color = state.fore;
    input.dataset.text = state.text;
    if (!composing && input.value !== state.text) {
      input.value = state.text;
      input.setSelectionRange(state.text.length, state.text.length);
    }
  }

  // The model owns the text: keys go through the game, and only what an
  // input method commits is taken from the input, as typed characters.
  function makeTextInput(id, control, index) {
    const input = document.createElement('input');
    input.type = 'text';
    input.className = 'qv-textbox';
    input.dataset.control = control;
    input.autocomplete = 'off';
    input.spellcheck = false;
    input.addEventListener('compositionstart', () => { composing = true; });
    // A composition may end while the host itself is at work (it moved the
    // focus away): the text goes to the game once that is done.
    input.addEventListener('compositionend', (event) => {
      composing = false;
      const text = event.data;
      queueMicrotask(() => {
        if (text) call('qv_web_text_committed', ['string'], [text]);
        restoreText(id, control, index);
      });
    });
    input.addEventListener('beforeinput', (event) => {
      if (composing || event.isComposing || event.inputType.includes('Composition')) return;
      event.preventDefault();
      if (event.inputType === 'insertText' && event.data) {
        call('qv_web_text_committed', ['string'], [event.data]);
      }
    });
    input.addEventListener('pointerdown', (event) => {
      event.stopPropagation();
      call('qv_web_text_input_pressed', ['number', 'string', 'number'], [id, control, index]);
    });
    return input;
  }

  // After a composition the input shows the model's text again.
  function restoreText(id, control, index) {
    const win = windows.get(id);
    const input = win && win.inputs.get(`${control}#${index}`);
    if (input && input.dataset.text !== undefined) input.value = input.dataset.text;
  }

  function focusInput(id, control, index) {
    if (pageControlFocused()) return; // until Escape gives the keyboard back
    const win = windows.get(id);
    const input = win && win.inputs.get(`${control}#${index}`);
    if (input && document.activeElement !== input) input.focus({ preventScroll: true });
  }

  function focusPage() {
    const focused = document.activeElement;
    if (focused && focused.classList && focused.classList.contains('qv-textbox')) focused.blur();
  }

  function close(id) {
    const win = windows.get(id);
    if (!win) return;
    if (drag && drag.id === id) drag = null;
    if (resize && resize.id === id) resize = null;
    if (win.button) {
      win.button.remove();
      windowStrip().hidden = windowStrip().childElementCount === 0;
    }
    win.element.remove();
    windows.delete(id);
    windowsChanged();
  }

  // ------------------------------------------------------------ the pointer

  function pressed(id, event) {
    if (event.button !== 0) return;
    const win = windows.get(id);
    if (!win || !win.state) return;
    // The game takes the keyboard back from any other control of the page.
    const focused = document.activeElement;
    if (focused && focused !== document.body && !focused.classList.contains('qv-textbox')) focused.blur();
    event.preventDefault();
    const frame = win.element.getBoundingClientRect();
    const x = inGamePixels(event.clientX - frame.left);
    const y = inGamePixels(event.clientY - frame.top);
    const [cx, cy, cw, ch] = win.state.client;
    if (x >= cx && y >= cy && x < cx + cw && y < cy + ch) {
      call('qv_web_client_pressed', ['number', 'number', 'number'], [id, Math.floor(x - cx), Math.floor(y - cy)]);
      return;
    }
    const box = event.target.closest('.qv-box');
    call('qv_web_frame_pressed', ['number'], [id]);
    const grip = event.target.closest('.qv-grip');
    if (grip) {
      resize = { id, pointerId: event.pointerId, edges: Number(grip.dataset.edges), startX: event.clientX,
        startY: event.clientY, frame: win.state.frame };
      win.element.setPointerCapture(event.pointerId);
      return;
    }
    if (box) {
      pressedBox = { id, kind: box.dataset.box };
      box.setPointerCapture(event.pointerId);
      return;
    }
    if (event.target.closest('.qv-caption') && !win.state.maximized) {
      const [fx, fy] = win.state.frame;
      drag = { id, pointerId: event.pointerId, startX: event.clientX, startY: event.clientY, frameX: fx, frameY: fy };
      win.element.setPointerCapture(event.pointerId);
    }
  }

  function moved(event) {
    if (resize && event.pointerId === resize.pointerId) {
      const dx = Math.round(inGamePixels(event.clientX - resize.startX));
      const dy = Math.round(inGamePixels(event.clientY - resize.startY));
      call('qv_web_window_resized', ['number', 'number', 'number', 'number', 'number', 'number', 'number', 'number'],
        [resize.id, resize.edges, ...resize.frame, dx, dy]);
      return;
    }
    if (!drag || event.pointerId !== drag.pointerId) return;
    // The host keeps the title bar in reach.
    const x = Math.round(drag.frameX + inGamePixels(event.clientX - drag.startX));
    const y = Math.round(drag.frameY + inGamePixels(event.clientY - drag.startY));
    call('qv_web_window_dragged', ['number', 'number', 'number'], [drag.id, x, y]);
  }

  function released(event) {
    if (drag && event.pointerId === drag.pointerId) drag = null;
    if (resize && event.pointerId === resize.pointerId) resize = null;
    if (!pressedBox) return;
    const { id, kind } = pressedBox;
    pressedBox = null;
    const under = document.elementFromPoint(event.clientX, event.clientY);
    const box = under && under.closest('.qv-box');
    const win = windows.get(id);
    if (!box || !win || box !== win.boxes[kind]) return;
    const calls = { close: 'qv_web_close_clicked', maximize: 'qv_web_maximize_clicked', minimize: 'qv_web_minimize_clicked' };
    call(calls[kind], ['number'], [id]);
  }

  // ------------------------------------------------------------ the keyboard

  // Keys that would scroll the page or press a focused button.
  const pageKeys = new Set(['Space', 'Enter', 'NumpadEnter', 'ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight',
    'Backspace', 'Tab', 'PageUp', 'PageDown', 'Home', 'End']);

  // The page's own buttons (the size control, the records, the notice's)
  // take the keyboard by F6 (or the browser's Tab into the page); Tab and
  // Shift+Tab go round them, Escape gives the keyboard back to the game.
  function pageControlFocused() {
    const focused = document.activeElement;
    return Boolean(focused && focused.closest && focused.closest('.qv-page-controls'));
  }

  function moveAmongPageControls(backwards) {
    const controls = [...document.querySelectorAll('.qv-page-controls button')]
      .filter((button) => !button.disabled && button.getClientRects().length > 0);
    if (controls.length === 0) return;
    const at = controls.indexOf(document.activeElement);
    const step = backwards ? -1 : 1;
    const next = at < 0 ? (backwards ? controls.length - 1 : 0) : (at + step + controls.length) % controls.length;
    controls[next].focus();
  }

  function keyboardToGame() {
    const focused = document.activeElement;
    if (focused && focused !== document.body) focused.blur();
    call('qv_web_keyboard_returned', [], []);
  }

  // True when the key was the page's own.
  function pageControlKey(event) {
    if (pageControlFocused()) {
      if (event.code === 'Escape' && program) {
        event.preventDefault();
        keyboardToGame();
      } else if (event.code === 'Tab') {
        event.preventDefault();
        moveAmongPageControls(event.shiftKey);
      }
      return true;
    }
    if (event.code === 'F6') {
      event.preventDefault();
      moveAmongPageControls(event.shiftKey);
      return true;
    }
    return false;
  }

  function keyDown(event) {
    // An input method's keys are its own until it commits.
    if (event.isComposing || event.keyCode === 229 || composing) return;
    if (pageControlKey(event)) return;
    // Before the program runs and after it ended, keys are the page's.
    if (!program) return;
    const commandHeld = event.ctrlKey || event.metaKey;
    const types = event.key.length === 1 || [...event.key].length === 1;
    if (pageKeys.has(event.code) || (types && !commandHeld) || event.code === 'Escape') event.preventDefault();
    const shift = (event.shiftKey ? 1 : 0) | (event.ctrlKey ? 2 : 0) | (event.altKey ? 4 : 0);
    call('qv_web_key_down', ['string', 'string', 'number', 'number'], [event.code, event.key, shift, commandHeld ? 1 : 0]);
  }

  function keyUp(event) {
    if (program && pageKeys.has(event.code) && !pageControlFocused()) event.preventDefault();
  }

  // The listeners go on as soon as the page loads, so that no key scrolls
  // the page while the program is still on its way.
  function listen() {
    window.addEventListener('keydown', keyDown, true);
    window.addEventListener('keyup', keyUp, true);
    // A press on the page or a window leaves the keyboard where the game put
    // it; only a text input takes it by a press.
    desktop().addEventListener('mousedown', (event) => {
      if (!event.target.classList.contains('qv-textbox')) event.preventDefault();
    });
    window.addEventListener('pointermove', moved);
    window.addEventListener('pointerup', released);
    window.addEventListener('pointercancel', released);
    document.addEventListener('visibilitychange', () => {
      if (document.visibilityState === 'visible') call('qv_web_page_shown', [], []);
    });
    let ratio = window.devicePixelRatio;
    window.addEventListener('resize', () => {
      let scaleChanged = applyFactor();
      if (window.devicePixelRatio !== ratio) {
        ratio = window.devicePixelRatio;
        redrawBoxes();
        scaleChanged = true;
      }
      viewportChanged(scaleChanged);
    });
  }

  // The host's wake-ups just before a timer falls due: a message is handled
  // as soon as the page is free, where a short timeout may come late.
  const wakeChannel = new MessageChannel();
  wakeChannel.port1.onmessage = () => {
    if (program) program.ccall('qv_web_wake', null, [], []);
  };
  const wakeSoon = () => wakeChannel.port2.postMessage(null);

  // The program's runtime is up: from now on events reach it.
  function connect(module) {
    program = module;
  }

  // The program has ended or failed: nothing reaches it any more.
  function disconnect() {
    program = null;
    heldCalls = null;
    drag = null;
    resize = null;
    pressedBox = null;
  }

  // The frames of the windows shown, on the viewport.
  function frames() {
    return [...windows.values()].filter((win) => !win.element.hidden).map((win) => win.element.getBoundingClientRect());
  }

  listen();
  applyFactor();
  window.qvWindows = {
    connect, disconnect, holdInputUntil, open, update, textInput, focusInput, focusPage, close, wakeSoon,
    fitAround, chooseSize, sizeChoice, sizeSteps, pixelRatio, scale: () => factor, frames, viewportChanged,
    keyboardToGame,
  };
})();
