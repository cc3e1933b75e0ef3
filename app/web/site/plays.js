// The page's "Plays" panel: the player's best play of each zone and the
// recent plays (app/web/BrowserPlays keeps them in the page's storage), each
// with "Watch", "Save" and "Send to the world ranking" (ranking.js), and
// "Open a play…" for a play file someone shared, which can be sent too. A play is watched in a frame holding watch.html, a page of its
// own with its own program, so watching touches nothing of the game.
'use strict';

(() => {
  // The page's language, as its other texts; the zones' names are the game's own.
  const say = (en, ja) => window.qvPage.say(en, ja);
  const zoneNames = ['Alphabetic Characters Zone', 'Kana Characters Zone', 'All kinds Characters Zone'];
  // The play reader refuses anything longer; more is never read in.
  const longestPlayRead = 64 * 1024 + 1;
  let program = null;
  let panel = null;
  let watchFrame = null;
  let focusBeforeWatch = null;
  let opened = null;

  function button(text, action) {
    const element = document.createElement('button');
    element.type = 'button';
    element.textContent = text;
    element.addEventListener('click', action);
    return element;
  }

  function note(text) {
    const element = panel.querySelector('.qv-plays-note');
    element.textContent = text;
    element.hidden = !text;
  }

  // The play's text, or nothing (and the panel says why) when another tab
  // has let it go since the panel was listed.
  function keptText(name) {
    const text = program.ccall('qv_plays_text', 'string', ['string'], [name]);
    if (!text) note(say(`The play ${name} is no longer kept in this browser.`, `プレイ ${name} はこのブラウザーにもう残っていません。`));
    return text;
  }

  function save(name) {
    const text = keptText(name);
    if (!text) return;
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  }

  function row(play) {
    const item = document.createElement('li');
    item.dataset.play = play.name;
    const what = document.createElement('span');
    const when = new Date(play.playedAt).toLocaleString();
    what.textContent = `${zoneNames[play.zone]}: ${play.total} (${when})`;
    const watchKept = () => {
      const text = keptText(play.name);
      if (text) watch(text, play.name);
    };
    item.append(what, button(say('Watch', '見る'), watchKept), button(say('Save', '保存'), () => save(play.name)),
      window.qvRanking.sendControls(() => keptText(play.name), play.name));
    return item;
  }

  function section(title, plays, className) {
    const part = document.createElement('section');
    part.className = className;
    const heading = document.createElement('h2');
    heading.textContent = title;
    const list = document.createElement('ul');
    list.append(...plays.map(row));
    if (plays.length === 0) {
      const none = document.createElement('li');
      none.textContent = say('No play yet.', 'まだプレイはありません。');
      list.append(none);
    }
    part.append(heading, list);
    return part;
  }

  // The play file opened last, which can be sent as the kept ones can.
  function openedSection() {
    const part = document.createElement('section');
    part.className = 'qv-plays-opened';
    const heading = document.createElement('h2');
    heading.textContent = say('The play opened', '開いたプレイ');
    const item = document.createElement('li');
    item.dataset.play = opened.name;
    const what = document.createElement('span');
    what.textContent = opened.name;
    const { text, name } = opened;
    item.append(what, button(say('Watch', '見る'), () => watch(text, name)),
      window.qvRanking.sendControls(() => text, name));
    const list = document.createElement('ul');
    list.append(item);
    part.append(heading, list);
    return part;
  }

  function relist() {
    if (!panel || panel.hidden) return;
    const { best, recent } = JSON.parse(program.ccall('qv_plays_list', 'string', [], []));
    panel.querySelector('.qv-plays-lists').replaceChildren(
      section(say('Your best play of each zone', 'ゾーンごとのいちばんのプレイ'), best, 'qv-plays-best'),
      section(say('Your recent plays', '最近のプレイ'), recent, 'qv-plays-recent'),
      ...(opened ? [openedSection()] : []));
  }

  function openChosenFile(chooser) {
    const file = chooser.files[0];
    chooser.value = '';
    if (!file) return;
    file.slice(0, longestPlayRead).text().then(
      (text) => {
        opened = { name: file.name, text };
        relist();
        watch(text, file.name);
      },
      (error) => note(say(`The file "${file.name}" cannot be read: ${error.name}: ${error.message}.`, `ファイル「${file.name}」を読み込めません: ${error.name}: ${error.message}`)));
  }

  function makePanel() {
    panel = document.createElement('div');
    panel.id = 'qv-plays';
    panel.className = 'qv-panel';
    panel.hidden = true;
    const chooser = document.createElement('input');
    chooser.type = 'file';
    chooser.accept = '.qvplay';
    chooser.hidden = true;
    chooser.addEventListener('change', () => openChosenFile(chooser));
    const lists = document.createElement('div');
    lists.className = 'qv-plays-lists';
    const status = document.createElement('p');
    status.className = 'qv-plays-note';
    status.setAttribute('role', 'alert');
    status.hidden = true;
    panel.append(window.qvRanking.nameField(), lists, status,
      button(say('Open a play…', 'プレイを開く…'), () => chooser.click()), chooser);
    // Its buttons leave the keyboard where the game put it; a text field takes it.
    panel.addEventListener('mousedown', (event) => {
      if (event.target.tagName !== 'INPUT') event.preventDefault();
    });
    document.body.appendChild(panel);
  }

  function togglePanel() {
    panel.hidden = !panel.hidden;
    note('');
    relist();
  }

  // ------------------------------------------------------------ watching

  function closeWatch() {
    if (!watchFrame) return;
    watchFrame.closest('#qv-watch').remove();
    watchFrame = null;
    // The keyboard goes back to the game, where it was.
    const back = focusBeforeWatch;
    focusBeforeWatch = null;
    if (back && back.isConnected && back !== document.body) back.focus({ preventScroll: true });
    else window.focus();
  }

  function watch(text, what) {
    closeWatch();
    note('');
    focusBeforeWatch = document.activeElement;
    const holder = document.createElement('div');
    holder.id = 'qv-watch';
    holder.hidden = true; // until the play is found good
    watchFrame = document.createElement('iframe');
    watchFrame.title = `Replay of ${what}`;
    watchFrame.src = 'watch.html';
    const frame = watchFrame;
    frame.addEventListener('load', () => frame.contentWindow.postMessage({ qvWatchPlay: text }, window.location.origin));
    holder.appendChild(frame);
    document.body.appendChild(holder);
  }

  window.addEventListener('message', (event) => {
    if (!watchFrame || event.source !== watchFrame.contentWindow || event.origin !== window.location.origin) return;
    const answer = event.data || {};
    if (answer.qvWatch === 'watching') {
      watchFrame.style.width = `${answer.width}px`;
      watchFrame.style.height = `${answer.height}px`;
      watchFrame.closest('#qv-watch').hidden = false;
      watchFrame.focus();
    } else if (answer.qvWatch === 'refused' || answer.qvWatch === 'failed') {
      closeWatch();
      if (panel.hidden) togglePanel();
      note(say(`This play is not watched: ${answer.reason}`, `このプレイは再生しません: ${answer.reason}`));
    } else if (answer.qvWatch === 'closed') {
      closeWatch();
    }
  });

  // The game's program is running: the button goes beside the records'.
  function connect(module) {
    program = module;
    makePanel();
    const plays = window.qvPage.addButton('qv-plays-button', { en: 'Plays', ja: 'プレイ' }, togglePanel);
    const exportButton = document.getElementById('qv-export-records');
    if (exportButton) exportButton.after(plays);
    window.qvRanking.connect();
  }

  window.qvPlays = { connect, changed: relist, watch };
})();
