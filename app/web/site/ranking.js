// The world ranking in the page: the "World ranking" panel (the three
// zones' top 20, each row watched through the plays panel's frame, the
// player's own rows marked) and "Send to the world ranking" for the plays
// the page keeps and a play opened from a file. The server is at the page's
// own origin when it serves the page (its files say so in a header), or at
// the URL config.json names; a page without one asks no API, so a static
// host never answers it with an error. Sends the server cannot take now
// wait in the page's storage and go once it can.
'use strict';

(() => {
  const say = (en, ja) => window.qvPage.say(en, ja);
  const zoneNames = ['Alphabetic Characters Zone', 'Kana Characters Zone', 'All kinds Characters Zone'];
  const keys = {
    player: 'quorvel:ranking/player',
    name: 'quorvel:ranking/name',
    queue: 'quorvel:ranking/queue',
    mine: 'quorvel:ranking/mine',
  };
  const playerKeyRule = /^[A-Za-z0-9_-]{32,64}$/;
  const keyAlphabet = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-';
  const retryMs = 5000;
  const longestRetryMs = 10 * 60 * 1000;
  const ownKept = 200;

  // undefined while config.json is read, then null (no server) or the API's base URL.
  let base;
  const found = findServer().then((url) => { base = url; });
  let panel = null;
  let nameInput = null;
  let retryTimer = null;
  let flushing = false;

  async function findServer() {
    try {
      const response = await fetch('config.json', { cache: 'no-store' });
      if (!response.ok) return null;
      const config = await response.json();
      const named = typeof config.rankingServer === 'string' ? config.rankingServer.trim() : '';
      if (named && named !== 'same-origin') return new URL(named, document.baseURI).href.replace(/\/+$/, '');
      return response.headers.get('X-Quorvel-Ranking') ? window.location.origin : null;
    } catch {
      return null;
    }
  }

  const notAvailable = () => say('The world ranking is not available: this page is served without its server.',
    '世界ランキングは利用できません。このページはランキングのサーバーなしで公開されています。');

  // ------------------------------------------------------------ storage

  function stored(key, fallback) {
    try {
      const text = localStorage.getItem(key);
      return text === null ? fallback : JSON.parse(text);
    } catch {
      return fallback;
    }
  }

  // False (and the reason said) when the storage refuses.
  function store(key, value) {
    try {
      localStorage.setItem(key, JSON.stringify(value));
      return true;
    } catch (error) {
      window.qvPage.message(say(`The browser's storage refused to keep the world ranking's data: ${error.message}`,
        `ブラウザーの保存領域が世界ランキングのデータを保存できませんでした: ${error.message}`));
      return false;
    }
  }

  function playerKey() {
    const kept = stored(keys.player, '');
    if (playerKeyRule.test(kept)) return kept;
    // 256 is a multiple of 64: every character is equally likely.
    const bytes = crypto.getRandomValues(new Uint8Array(43));
    const made = [...bytes].map((byte) => keyAlphabet[byte & 63]).join('');
    store(keys.player, made);
    return made;
  }

  function rememberOwn(id) {
    const mine = stored(keys.mine, []).filter((kept) => kept !== id);
    mine.push(id);
    store(keys.mine, mine.slice(-ownKept));
  }

  // The name entered last: the certificate opens when the name entry takes it.
  function watchNameEntry() {
    let certificateShown = false;
    new MutationObserver(() => {
      const shown = document.querySelector('#qv-desktop > [data-form="frmCertif"]') !== null;
      if (shown && !certificateShown) {
        const dump = new Map(window.quorvel.dump().split('\n').map((line) => {
          const at = line.indexOf('=');
          return [line.slice(0, at), line.slice(at + 1)];
        }));
        const zone = dump.get('Module1.CurrentZone');
        const row = dump.get('frmNentry.EntryRow');
        const name = row !== undefined ? dump.get(`Module1.RecordName(${zone},${row})`) : undefined;
        if (name) {
          store(keys.name, name);
          if (nameInput) nameInput.value = name;
        }
      }
      certificateShown = shown;
    }).observe(document.getElementById('qv-desktop'), { childList: true });
  }

  // ------------------------------------------------------------ the server

  function retryAfterMs(response) {
    const seconds = Number(response.headers.get('Retry-After'));
    return Number.isFinite(seconds) && seconds > 0 ? Math.min(seconds * 1000, longestRetryMs) : retryMs;
  }

  // {ranked: entry}, {refused: reason} or {later: ms} when the server cannot take it now.
  async function post(item) {
    let response;
    try {
      response = await fetch(`${base}/api/v1/plays`, {
        method: 'POST',
        headers: { 'Content-Type': 'application/json' },
        body: JSON.stringify({ name: item.name, player: item.player, play: item.play }),
      });
    } catch {
      return { later: retryMs };
    }
    if (response.status === 429 || response.status >= 500) return { later: retryAfterMs(response) };
    let answer = {};
    try {
      answer = await response.json();
    } catch {
      // A refusal without a body of its own is told by its status.
    }
    if (response.status === 201) return { ranked: answer };
    return { refused: answer.error || `HTTP ${response.status}` };
  }

  function rankedText(entry) {
    return say(`Rank ${entry.rank} in the ${zoneNames[entry.zone]} with ${entry.score}.`,
      `${zoneNames[entry.zone]}で ${entry.rank} 位（${entry.score}）。`);
  }

  function queued() {
    return stored(keys.queue, []);
  }

  function enqueue(item) {
    const queue = queued();
    if (!queue.some((kept) => kept.play === item.play && kept.player === item.player)) queue.push(item);
    return store(keys.queue, queue);
  }

  function dequeue(item) {
    store(keys.queue, queued().filter((kept) => !(kept.play === item.play && kept.player === item.player)));
  }

  function retryIn(ms) {
    clearTimeout(retryTimer);
    retryTimer = setTimeout(flush, ms);
  }

  // Sends the queue in order; stops at the first the server cannot take yet.
  async function flush() {
    await found;
    if (!base || flushing) return;
    flushing = true;
    clearTimeout(retryTimer);
    try {
      for (let queue = queued(); queue.length > 0; queue = queued()) {
        const item = queue[0];
        const outcome = await post(item);
        if (outcome.later) {
          retryIn(outcome.later);
          return;
        }
        dequeue(item);
        if (outcome.ranked) {
          rememberOwn(outcome.ranked.id);
          window.qvPage.message(say(`The play ${item.what} waiting for the world ranking was sent: `,
            `世界ランキングへの送信を待っていたプレイ ${item.what} を送りました: `) + rankedText(outcome.ranked), 'passing');
        } else {
          window.qvPage.message(say(`The world ranking refused the play ${item.what} that was waiting: ${outcome.refused}`,
            `送信を待っていたプレイ ${item.what} は世界ランキングに受け付けられませんでした: ${outcome.refused}`));
        }
        refresh();
      }
    } finally {
      flushing = false;
    }
  }

  // ------------------------------------------------------------ sending

  // Above the plays panel's lists: the name to send, or why nothing can be sent.
  function nameField() {
    const part = document.createElement('div');
    part.className = 'qv-ranking-name';
    const label = document.createElement('label');
    label.className = 'qv-page-controls';
    label.append(say('Your name in the world ranking: ', '世界ランキングでの名前: '));
    nameInput = document.createElement('input');
    nameInput.type = 'text';
    nameInput.maxLength = 16;
    nameInput.autocomplete = 'off';
    nameInput.value = stored(keys.name, '');
    label.append(nameInput);
    const unavailable = document.createElement('p');
    unavailable.className = 'qv-ranking-unavailable';
    unavailable.textContent = notAvailable();
    part.hidden = true;
    found.then(() => {
      part.replaceChildren(base === null ? unavailable : label);
      part.hidden = false;
    });
    return part;
  }

  async function send(text, what, result) {
    await found;
    if (!base) {
      result.textContent = notAvailable();
      return;
    }
    const name = nameInput.value;
    store(keys.name, name);
    const item = { name, player: playerKey(), play: text, what };
    result.textContent = say('Sending…', '送信中…');
    const outcome = await post(item);
    if (outcome.ranked) {
      rememberOwn(outcome.ranked.id);
      result.textContent = rankedText(outcome.ranked);
      refresh();
    } else if (outcome.refused) {
      result.textContent = say(`Refused: ${outcome.refused}`, `受け付けられませんでした: ${outcome.refused}`);
    } else if (enqueue(item)) {
      result.textContent = say('The world ranking cannot be reached now: the play waits in this browser and is sent once it can be.',
        '世界ランキングに今はつながりません。プレイはこのブラウザーで待ち、つながりしだい送ります。');
      retryIn(outcome.later);
    } else {
      result.textContent = say('The world ranking cannot be reached now, and the play could not be kept to send later.',
        '世界ランキングに今はつながらず、あとで送るためにプレイを保存することもできませんでした。');
    }
  }

  // The button a row of the plays panel carries; TEXT gives the play's
  // text, or nothing when it is gone.
  function sendControls(text, what) {
    const part = document.createElement('span');
    part.className = 'qv-send';
    if (base === null) return part;
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = say('Send to the world ranking', '世界ランキングに送る');
    const result = document.createElement('span');
    result.className = 'qv-send-result';
    result.setAttribute('role', 'status');
    button.addEventListener('click', () => {
      const play = text();
      if (play) send(play, what, result);
    });
    part.append(button, result);
    return part;
  }

  // ------------------------------------------------------------ the panel

  function note(text) {
    const element = panel.querySelector('.qv-ranking-note');
    element.textContent = text;
    element.hidden = !text;
  }

  async function watchEntry(id) {
    let response;
    try {
      response = await fetch(`${base}/api/v1/plays/${id}`);
    } catch {
      response = null;
    }
    if (!response || !response.ok) {
      note(say('The play cannot be fetched from the world ranking now; try again later.',
        'このプレイを世界ランキングから今は取得できません。あとでもう一度お試しください。'));
      return;
    }
    window.qvPlays.watch(await response.text(), id.slice(0, 12));
  }

  function zoneSection(zone, rows) {
    const part = document.createElement('section');
    part.dataset.zone = String(zone);
    const heading = document.createElement('h2');
    heading.textContent = zoneNames[zone];
    const list = document.createElement('ol');
    const mine = new Set(stored(keys.mine, []));
    for (const row of rows) {
      const item = document.createElement('li');
      item.dataset.id = row.id;
      const what = document.createElement('span');
      what.textContent = `${row.rank}. ${row.name} ${row.score}`;
      item.append(what);
      if (mine.has(row.id)) {
        item.classList.add('qv-ranking-own');
        const own = document.createElement('span');
        own.className = 'qv-ranking-own-mark';
        own.textContent = say(' (yours)', '（あなた）');
        what.append(own);
      }
      const watch = document.createElement('button');
      watch.type = 'button';
      watch.textContent = say('Watch', '見る');
      watch.addEventListener('click', () => watchEntry(row.id));
      item.append(watch);
      list.append(item);
    }
    if (rows.length === 0) {
      const none = document.createElement('li');
      none.textContent = say('No play yet.', 'まだプレイはありません。');
      list.append(none);
    }
    part.append(heading, list);
    return part;
  }

  async function refresh() {
    await found;
    if (!panel || panel.hidden) return;
    const zones = panel.querySelector('.qv-ranking-zones');
    try {
      const lists = await Promise.all([0, 1, 2].map(async (zone) => {
        const response = await fetch(`${base}/api/v1/rankings/${zone}?limit=20`);
        if (!response.ok) throw new Error(`HTTP ${response.status}`);
        return response.json();
      }));
      zones.replaceChildren(...lists.map((rows, zone) => zoneSection(zone, rows)));
      note('');
      if (queued().length > 0) flush();
    } catch {
      note(say('The world ranking cannot be reached now; try again later.',
        '世界ランキングに今はつながりません。あとでもう一度お試しください。'));
    }
  }

  function makePanel() {
    panel = document.createElement('div');
    panel.id = 'qv-ranking';
    panel.className = 'qv-panel';
    panel.hidden = true;
    const heading = document.createElement('h1');
    heading.textContent = say('World ranking', '世界ランキング');
    const zones = document.createElement('div');
    zones.className = 'qv-ranking-zones';
    const status = document.createElement('p');
    status.className = 'qv-ranking-note';
    status.setAttribute('role', 'status');
    status.hidden = true;
    panel.append(heading, status, zones);
    panel.addEventListener('mousedown', (event) => event.preventDefault());
    document.body.appendChild(panel);
  }

  function togglePanel() {
    panel.hidden = !panel.hidden;
    refresh();
  }

  // Called by the plays panel once the program runs. Without a server the
  // page keeps its strip of buttons as it was; the plays panel says why.
  async function connect() {
    watchNameEntry();
    await found;
    if (base === null) return;
    makePanel();
    const button = window.qvPage.addButton('qv-ranking-button', { en: 'World ranking', ja: '世界ランキング' }, togglePanel);
    const plays = document.getElementById('qv-plays-button');
    if (plays) plays.after(button);
    window.addEventListener('online', flush);
    flush();
  }

  window.qvRanking = { connect, nameField, sendControls, ready: found };
})();
