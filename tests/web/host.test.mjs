// The page's host between the game and the browser: the timers of a page
// that was hidden catch up as the model's schedule says, and the keys that
// would scroll the page or press a button go to the game instead.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { useSiteAndBrowser } from './support/site.mjs';
import { GamePage, parseDump } from './support/game.mjs';
import * as road from './support/road.mjs';

const site = useSiteAndBrowser();

// Headless Chromium keeps every page visible, so the page is hidden the way
// a throttled tab lives it: once the stage's countdown shows TIME_LEFT, the
// page is told it is hidden, no timer of it runs for HIDDEN_MS (the main
// thread is kept busy), and it is shown again. Returns the dumps just before
// and just after it is shown, and how long after that the countdown's next
// tick came.
async function hideDuringCountdown(game, timeLeft, hiddenMs) {
  const [before, shown, nextTickMs] = await game.page.evaluate(async ([timeLeft, hiddenMs]) => {
    const countdown = () => /^frmStage\.TimeLeft=(.*)$/m.exec(window.quorvel.dump())[1];
    const deadline = performance.now() + 45000; // a whole play
    await new Promise((resolve, reject) => {
      const poll = () => {
        if (countdown() === timeLeft) resolve();
        else if (performance.now() > deadline) reject(new Error(`the countdown never showed ${timeLeft}`));
        else setTimeout(poll, 0);
      };
      poll();
    });
    const setVisibility = (state) => {
      Object.defineProperty(document, 'visibilityState', { configurable: true, get: () => state });
      document.dispatchEvent(new Event('visibilitychange'));
    };
    setVisibility('hidden');
    const end = performance.now() + hiddenMs;
    while (performance.now() < end) {
      // Held back, as a hidden tab's timeouts are.
    }
    const before = window.quorvel.dump();
    setVisibility('visible');
    const shown = window.quorvel.dump();
    delete document.visibilityState;
    const shownAt = performance.now();
    const caughtUp = countdown();
    await new Promise((resolve) => {
      const poll = () => (countdown() !== caughtUp || performance.now() - shownAt > 3000 ? resolve() : setTimeout(poll, 0));
      poll();
    });
    return [before, shown, performance.now() - shownAt];
  }, [String(timeLeft), hiddenMs]);
  return { before: parseDump(before), shown: parseDump(shown), nextTickMs };
}

const number = (state, key) => Number(state.get(key));

// The flight tick ran once: one step further, or a new flight after a fly-off.
function assertOneFlightStep(before, shown) {
  const step = number(shown, 'frmStage.Fade') - number(before, 'frmStage.Fade');
  const newFlight = number(shown, 'frmStage.Fade') === 0 && number(shown, 'frmStage.PosY') === 0;
  assert.ok(step === 2 || newFlight, `the flight moved ${step / 2} steps while the page was hidden`);
}

test('a hidden page catches up when shown again: each tick that fell due fires once, in order, in phase', async () => {
  const context = await site.browser.newContext();
  const game = await GamePage.open(context, `${site.server.origin}/`);
  await road.titleToMenu(game);
  await road.menuToStage(game);
  await road.startPlay(game);

  // Hidden for two and a half countdown seconds: the flight tick, the
  // response clock and the countdown each fire once when the page is shown,
  // at once, and the countdown keeps its phase: its next tick comes half a
  // second later, not a whole one.
  const middle = await hideDuringCountdown(game, 28, 2500);
  assert.equal(middle.before.get('frmStage.TimeLeft'), '28', 'a timer ran while the page was hidden');
  assert.equal(number(middle.shown, 'frmStage.TimeLeft'), 27);
  assert.equal(number(middle.shown, 'frmStage.RespTicks'), number(middle.before, 'frmStage.RespTicks') + 1);
  assertOneFlightStep(middle.before, middle.shown);
  assert.ok(middle.nextTickMs < 900, `the countdown's next tick came ${middle.nextTickMs} ms after the page was shown`);

  // Hidden in the last second: the flight tick and the response clock were
  // due before the countdown, so they fire before it ends the play.
  const last = await hideDuringCountdown(game, 1, 1500);
  assert.equal(last.shown.get('frmStage.TimeLeft'), '0');
  assert.equal(number(last.shown, 'frmStage.RespTicks'), number(last.before, 'frmStage.RespTicks') + 1);
  assertOneFlightStep(last.before, last.shown);
  assert.equal(last.shown.get('frmStage.Timer1.Enabled'), '0');
  assert.equal(last.shown.get('frmStage.Label10(0).Visible'), '1', 'no TIME UP');

  await road.waitPlayOver(game);
  await game.press('Space');
  await game.waitState('open', 'frmResults');

  game.assertNoErrors();
  await context.close();
});

const pageKeys = ['ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', 'PageUp', 'PageDown', 'Home', 'End'];

test('Space, Enter, the arrows and the paging keys go to the game: they never scroll the page or press a button', async () => {
  const context = await site.browser.newContext({ viewport: { width: 480, height: 320 }, acceptDownloads: true });
  const game = await GamePage.open(context, `${site.server.origin}/`);
  const page = game.page;
  let choosers = 0;
  page.on('filechooser', () => { choosers += 1; });
  // Room to scroll both ways, which these keys would take if they reached
  // the page; and every press of a button, by the pointer or a key.
  await page.addStyleTag({ content: 'html { overflow: auto !important; height: auto !important; }' +
    ' body { overflow: visible !important; height: auto !important; }' +
    ' body::after { content: ""; display: block; width: 300vw; height: 300vh; }' });
  await page.evaluate(() => {
    window.qvPresses = [];
    document.addEventListener('click', (event) => {
      const button = event.target.closest('button');
      if (button) window.qvPresses.push(button.id || button.textContent);
    }, true);
  });
  assert.ok(await page.evaluate(() => document.scrollingElement.scrollHeight > innerHeight &&
    document.scrollingElement.scrollWidth > innerWidth), 'the page has no room to scroll');
  const expectStill = async (presses, when) => {
    const scroll = await page.evaluate(() => [scrollX, scrollY]);
    assert.deepEqual(scroll, [0, 0], `the page scrolled ${when}`);
    assert.deepEqual(await page.evaluate(() => window.qvPresses), presses, `a key pressed a button ${when}`);
    assert.equal(await page.evaluate(() => document.activeElement === document.body), true,
      `the keyboard left the game ${when}`);
  };

  // At load.
  for (const key of pageKeys) await game.press(key);
  await expectStill([], 'at load');
  await game.press('Space');
  await game.waitState('open', 'frmMenu');
  await expectStill([], 'by Space on the title');

  // After a click on a window.
  await page.locator('[data-form="frmMenu"] .qv-caption').click();
  await game.press('ArrowDown');
  await game.waitState('active', 'frmRecord');
  for (const key of ['PageDown', 'End', 'PageUp', 'Home', 'ArrowRight', 'ArrowLeft']) await game.press(key);
  await game.press('ArrowUp');
  await game.waitState('Module1.MenuCursor', 0);
  await expectStill([], 'after a click on a window');

  // After a click on each button under the game: Space and Enter do not press it again.
  await Promise.all([page.waitForEvent('download'), page.locator('#qv-export-records').click()]);
  await game.press('Space');
  await game.waitState('open', 'frmZone');
  await expectStill(['qv-export-records'], 'after Export records');
  await Promise.all([page.waitForEvent('filechooser'), page.locator('#qv-import-records').click()]);
  await game.press('Enter');
  await game.waitState('open', 'frmStage');
  await game.press('Space');
  await game.waitState('frmStage.Timer1.Enabled', 1);
  for (const key of pageKeys) await game.press(key);
  await game.press('Space');
  await game.waitState('frmStage.Strokes', 1);
  await expectStill(['qv-export-records', 'qv-import-records'], 'after Import records');
  assert.equal(choosers, 1, 'a key opened the file chooser again');

  game.assertNoErrors();
  await context.close();
});
