// The page as a player meets it: the size factor and where windows stand
// in twips, windows kept in reach of the pointer and inside a shrinking
// viewport, the page's buttons from the keyboard, notices that close, the
// page in Japanese, and "leave this page?" only during play.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { useSiteAndBrowser } from './support/site.mjs';
import { GamePage, chooseSizeBeforeLoad, twipsPerPixel } from './support/game.mjs';
import * as road from './support/road.mjs';
import { importRecords, alertText } from './support/records.mjs';
import { desktopSaveOf } from './support/desktop.mjs';

const site = useSiteAndBrowser();
const stageClient = { width: 324, height: 244 }; // at 1x
// A records file saved in Windows-1252: "José" is no Shift_JIS text.
const notShiftJis = Buffer.from('Jos\xe9, 100\r\n'.repeat(30), 'latin1');

async function openAt(width, height) {
  const context = await site.browser.newContext({ viewport: { width, height } });
  const game = await GamePage.open(context, `${site.server.origin}/`);
  await game.waitState('open', 'frmTitle');
  return { context, game };
}

// The form's Left and Top in the dump are its frame's place, in twips.
async function expectDumpFollowsFrame(game, form) {
  const [frame, state] = [await game.gameFrame(form), await game.state()];
  for (const [key, at] of [['Left', frame.x], ['Top', frame.y]]) {
    const twips = Number(state.get(`${form}.${key}`));
    assert.ok(Math.abs(twips - at * twipsPerPixel) < twipsPerPixel,
      `${form}.${key}=${twips} but its frame stands at ${at} px (${at * twipsPerPixel} twips)`);
  }
}

async function expectInside(game, form, viewport) {
  const frame = await game.frame(form);
  assert.ok(frame.x >= 0 && frame.y >= 0 && frame.x + frame.width <= viewport.width + 0.5 &&
    frame.y + frame.height <= viewport.height + 0.5,
    `${form}'s frame ${JSON.stringify(frame)} is not inside the ${viewport.width}×${viewport.height} viewport`);
}

for (const { width, height, factor } of [
  { width: 1920, height: 1080, factor: 3.5 },
  { width: 1366, height: 768, factor: 2.5 },
  { width: 800, height: 600, factor: 1.25 },
]) {
  test(`at ${width}×${height} the windows are ${factor} times their size and keep their places in twips`, async () => {
    const { context, game } = await openAt(width, height);
    assert.equal(await game.scale(), factor);
    const title = await game.gameFrame('frmTitle');
    const screen = { width: width / factor, height: height / factor };
    assert.ok(Math.abs(title.x + title.width / 2 - screen.width / 2) <= 1 &&
      Math.abs(title.y + title.height / 2 - screen.height / 2) <= 1, 'the title is not centred in the page\'s screen');
    await expectDumpFollowsFrame(game, 'frmTitle');

    await road.titleToMenu(game);
    await game.press('ArrowDown');
    await game.waitState('open', 'frmMenu,frmRecord');
    const [menu, records] = [await game.gameFrame('frmMenu'), await game.gameFrame('frmRecord')];
    assert.deepEqual([Math.round((records.x - menu.x) * twipsPerPixel), Math.round((records.y - menu.y) * twipsPerPixel)],
      [3540, 930], 'the records panel is not 3540, 930 twips from the menu');
    await expectInside(game, 'frmRecord', { width, height });
    const buttons = await game.page.locator('#qv-page-buttons').boundingBox();
    for (const form of ['frmMenu', 'frmRecord']) {
      const frame = await game.frame(form);
      assert.ok(buttons.y >= frame.y + frame.height || buttons.x >= frame.x + frame.width,
        `the page's buttons cover ${form}`);
    }
    await game.press('ArrowUp');
    await road.menuToStage(game);
    const canvas = game.page.locator('[data-form="frmStage"] canvas.qv-client');
    const box = await canvas.boundingBox();
    assert.deepEqual([box.width, box.height], [stageClient.width * factor, stageClient.height * factor]);
    if (width === 1920) {
      assert.ok(box.width * box.height >= 2.5 * stageClient.width * stageClient.height * 2.5,
        'the stage is not 2.5 times its size each way');
    }
    // Crisp: one canvas pixel to each device pixel.
    assert.equal(await canvas.evaluate((c) => c.width), Math.round(stageClient.width * factor));
    game.assertNoErrors();
    await context.close();
  });
}

test('the size the player chooses applies at once, keeps the title centred and is remembered', async () => {
  const { context, game } = await openAt(1366, 768);
  await game.page.locator('.qv-size button[data-size="1"]').click();
  assert.equal(await game.scale(), 1);
  const canvas = await game.page.locator('[data-form="frmTitle"] canvas.qv-client').boundingBox();
  assert.deepEqual([canvas.width, canvas.height], [stageClient.width, stageClient.height]);
  await game.page.locator('.qv-size button[data-size="2"]').click();
  assert.equal(await game.scale(), 2);
  await expectInside(game, 'frmTitle', { width: 1366, height: 768 });
  await expectDumpFollowsFrame(game, 'frmTitle');
  assert.equal(await game.page.locator('.qv-size button[aria-pressed="true"]').getAttribute('data-size'), '2');
  await game.reload();
  assert.equal(await game.scale(), 2, 'the choice was not remembered');
  game.assertNoErrors();
  await context.close();
});

async function dragTitleBar(game, form, dx, dy) {
  // Taken by the part of the bar on the page, clear of the boxes at its end.
  const bar = await game.page.locator(`[data-form="${form}"] .qv-caption`).boundingBox();
  const [x, y] = [Math.max(bar.x, 0) + 8, bar.y + bar.height / 2];
  await game.page.mouse.move(x, y);
  await game.page.mouse.down();
  await game.page.mouse.move(x + dx, y + dy, { steps: 5 });
  await game.page.mouse.up();
}

test('a window dragged off each edge keeps 40 px of its title bar in reach and comes back', async () => {
  const viewport = { width: 1000, height: 700 };
  const context = await site.browser.newContext({ viewport });
  await chooseSizeBeforeLoad(context, '1');
  const game = await GamePage.open(context, `${site.server.origin}/`);
  await game.waitState('open', 'frmTitle');
  const home = await game.frame('frmTitle');
  for (const [edge, dx, dy] of [['left', -3000, 0], ['right', 3000, 0], ['top', 0, -3000], ['bottom', 0, 3000]]) {
    await dragTitleBar(game, 'frmTitle', dx, dy);
    const bar = await game.page.locator('[data-form="frmTitle"] .qv-caption').boundingBox();
    const across = Math.min(bar.x + bar.width, viewport.width) - Math.max(bar.x, 0);
    assert.ok(across >= 40 && bar.y >= 0 && bar.y + bar.height <= viewport.height,
      `off the ${edge} edge the title bar ${JSON.stringify(bar)} is out of reach`);
    assert.ok(edge === 'top' || edge === 'bottom' ? true : Math.round(across) === 40,
      `off the ${edge} edge ${across} px of the title bar stay, not 40`);
    await expectDumpFollowsFrame(game, 'frmTitle');
    const now = await game.frame('frmTitle');
    await dragTitleBar(game, 'frmTitle', home.x - now.x, home.y - now.y);
    await expectInside(game, 'frmTitle', viewport);
  }
  // A window opened where the title now stands, off the right: inside.
  await dragTitleBar(game, 'frmTitle', 3000, 0);
  await road.titleToMenu(game);
  await expectDumpFollowsFrame(game, 'frmMenu');
  await game.press('ArrowDown');
  await game.waitState('open', 'frmMenu,frmRecord');
  await expectInside(game, 'frmRecord', viewport);
  await expectDumpFollowsFrame(game, 'frmRecord');
  game.assertNoErrors();
  await context.close();
});

test('windows are brought back inside a viewport that shrinks, the stage at 390×844 among them', async () => {
  const { context, game } = await openAt(1280, 900);
  await road.titleToMenu(game);
  await game.press('ArrowDown');
  await game.waitState('open', 'frmMenu,frmRecord');
  await game.page.setViewportSize({ width: 600, height: 400 });
  for (const form of ['frmMenu', 'frmRecord']) {
    await game.page.waitForFunction((name) => {
      const box = document.querySelector(`[data-form="${name}"]`).getBoundingClientRect();
      return box.left >= 0 && box.top >= 0 && box.right <= innerWidth + 0.5 && box.bottom <= innerHeight + 0.5;
    }, form);
    await expectDumpFollowsFrame(game, form);
  }
  await game.press('ArrowUp');
  await game.page.setViewportSize({ width: 1280, height: 900 });
  await road.menuToStage(game);
  await game.page.setViewportSize({ width: 390, height: 844 });
  await game.page.waitForFunction(() => {
    const box = document.querySelector('[data-form="frmStage"]').getBoundingClientRect();
    return box.left >= 0 && box.right <= innerWidth + 0.5 && box.bottom <= innerHeight + 0.5;
  });
  await expectInside(game, 'frmStage', { width: 390, height: 844 });
  await expectDumpFollowsFrame(game, 'frmStage');
  game.assertNoErrors();
  await context.close();
});

test('F6 and Tab reach the page\'s buttons, Escape gives the keyboard back, Tab alone stays in the game', async () => {
  const { context, game } = await openAt(1280, 900);
  const page = game.page;
  const focused = () => page.evaluate(() => document.activeElement.id || document.activeElement.textContent);
  await game.press('Tab');
  assert.equal(await page.evaluate(() => document.activeElement === document.body), true, 'Tab left the game');
  await game.press('F6');
  assert.equal(await focused(), 'Fit');
  const reached = [await focused()];
  for (let i = 0; i < 7; ++i) {
    await game.press('Tab');
    reached.push(await focused());
  }
  assert.deepEqual(reached,
    ['Fit', '1×', '1.5×', '2×', '3×', 'qv-export-records', 'qv-plays-button', 'qv-import-records']);
  await game.press('Tab');
  assert.equal(await focused(), 'Fit', 'Tab does not go round the page\'s buttons');
  await game.press('Shift+Tab');
  assert.equal(await focused(), 'qv-import-records');
  const ring = await page.evaluate(() => getComputedStyle(document.activeElement).outlineStyle);
  assert.notEqual(ring, 'none', 'the focused button shows no ring');
  assert.equal(await page.locator('.qv-size').getAttribute('aria-label'), 'Size');
  await game.press('Space'); // the page's button takes it, not the game
  await page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 0)));
  assert.equal(await game.value('open'), 'frmTitle', 'a key for a page button reached the game');
  await game.press('Escape');
  assert.equal(await page.evaluate(() => document.activeElement === document.body), true, 'Escape kept the button');
  await game.press('Space');
  await game.waitState('open', 'frmMenu');
  game.assertNoErrors();
  await context.close();
});

test('notices close by their box, pass by themselves, and a code page refusal says how to save', async () => {
  const { context, game } = await openAt(1280, 900);
  const notice = game.page.locator('#qv-notice');
  await importRecords(game, 'utf8.dat', notShiftJis);
  await notice.waitFor({ state: 'visible' });
  assert.match(await alertText(game), /Save it as Shift_JIS \(code page 932\), as the game writes it\./);
  await game.page.locator('#qv-notice-close').click();
  await notice.waitFor({ state: 'hidden' });

  const good = Buffer.from('CPU, 100\r\n'.repeat(30));
  await importRecords(game, 'good.dat', good);
  await notice.waitFor({ state: 'visible' });
  assert.match(await alertText(game), /Imported the records of "good\.dat"\./);
  await notice.waitFor({ state: 'hidden', timeout: 15000 });
  game.assertNoErrors();
  await context.close();
});

test('a notice never covers a window: it finds a free place or a band of its own', async () => {
  const { context, game } = await openAt(800, 600);
  await game.page.locator('.qv-size button[data-size="2"]').click();
  await importRecords(game, 'utf8.dat', notShiftJis);
  await game.page.locator('#qv-notice').waitFor({ state: 'visible' });
  const [noticeBox, frame] = [await game.page.locator('#qv-notice').boundingBox(), await game.frame('frmTitle')];
  const apart = noticeBox.x + noticeBox.width <= frame.x || frame.x + frame.width <= noticeBox.x ||
    noticeBox.y + noticeBox.height <= frame.y || frame.y + frame.height <= noticeBox.y;
  assert.ok(apart, `the notice ${JSON.stringify(noticeBox)} covers the title ${JSON.stringify(frame)}`);
  game.assertNoErrors();
  await context.close();
});

test('in Japanese the page\'s own texts are Japanese and the game\'s are its own', async () => {
  const context = await site.browser.newContext({ locale: 'ja-JP', viewport: { width: 1280, height: 900 } });
  const game = await GamePage.open(context, `${site.server.origin}/`);
  await game.waitState('open', 'frmTitle');
  assert.equal(await game.page.evaluate(() => document.documentElement.lang), 'ja');
  assert.equal(await game.page.locator('#qv-export-records').textContent(), '記録を書き出す');
  assert.equal(await game.page.locator('#qv-import-records').textContent(), '記録を読み込む');
  assert.equal(await game.page.locator('.qv-size').getAttribute('aria-label'), '大きさ');
  assert.equal(await game.value('frmTitle.Caption'), 'Quorvel for Windows 95');
  await importRecords(game, 'utf8.dat', notShiftJis);
  await game.page.locator('#qv-notice').waitFor({ state: 'visible' });
  assert.match(await alertText(game), /Shift_JIS（コードページ 932）で保存してください。/);
  game.assertNoErrors();
  await context.close();
});

// To the certificate over the name entry, NAME entered; returns the score.
async function playToCertificate(game, name) {
  await road.titleToMenu(game);
  await road.menuToStage(game);
  await road.startPlay(game);
  assert.equal(await askedOnLeaving(game), true, 'leaving during play did not ask');
  await road.hitAndMiss(game, 8, 1);
  await road.waitPlayOver(game);
  assert.equal(await askedOnLeaving(game), false, 'leaving after the play asked');
  const score = await road.resultsToNameEntry(game);
  await road.typeThroughIme(game, name, name);
  await game.press('Enter');
  await game.waitState('active', 'frmCertif');
  return score;
}

// Whether the browser would ask "leave this page?" now.
async function askedOnLeaving(game) {
  return game.page.evaluate(() => {
    const event = new Event('beforeunload', { cancelable: true });
    window.dispatchEvent(event);
    return event.defaultPrevented;
  });
}

const storedFile = async (game) => {
  const base64 = await game.page.evaluate(() => localStorage.getItem('quorvel:browser-storage/qorvl.dat'));
  return base64 === null ? null : Buffer.from(base64, 'base64');
};

test('the record entered is kept when the tab is closed or reloaded at the certificate', async () => {
  const context = await site.browser.newContext({ viewport: { width: 1280, height: 900 } });
  const first = await GamePage.open(context, `${site.server.origin}/`);
  assert.equal(await askedOnLeaving(first), false, 'leaving the title asked');
  const closedScore = await playToCertificate(first, 'とじる');
  assert.equal(await storedFile(first), null, 'the records were stored before the page was left');
  await first.page.close();
  const game = await GamePage.open(context, `${site.server.origin}/`);
  await game.waitState('open', 'frmTitle');
  assert.deepEqual(await storedFile(game), desktopSaveOf(0, 'とじる', closedScore),
    'closing the tab at the certificate did not store what its dismissal stores');

  const reloadedScore = await playToCertificate(game, 'よみこみ');
  await game.reload();
  await game.waitState('open', 'frmTitle');
  const state = await game.state();
  assert.ok(road.rankOf(state, 0, 'よみこみ', reloadedScore) >= 0, 'the reloaded page lost the record');
  assert.ok(road.rankOf(state, 0, 'とじる', closedScore) >= 0, 'the reloaded page lost the earlier record');
  first.assertNoErrors();
  game.assertNoErrors();
  await context.close();
});
