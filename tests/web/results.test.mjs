// The results window is the one sizable window: in the page it maximises to
// the viewport and back, resizes by its border, and minimises to the page's
// strip of window buttons, from which it comes back active.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { useSiteAndBrowser } from './support/site.mjs';
import { GamePage, chooseSizeBeforeLoad, defaultDeadlineMs, twipsPerPixel } from './support/game.mjs';
import * as road from './support/road.mjs';

const site = useSiteAndBrowser();

const plain = ({ x, y, width, height }) => ({ x, y, width, height });

// Polls the box of LOCATOR until it equals EXPECTED.
async function untilBox(game, locator, expected, what) {
  const end = Date.now() + defaultDeadlineMs;
  let box;
  for (;;) {
    box = await locator.boundingBox();
    if (box && JSON.stringify(plain(box)) === JSON.stringify(plain(expected))) return;
    if (Date.now() > end) break;
    await game.page.waitForTimeout(20);
  }
  assert.fail(`${what}: the box is ${JSON.stringify(box)}, not ${JSON.stringify(plain(expected))}`);
}

// Where the canvas of the form's picture stands in its window, and its size.
async function canvasInFrame(results) {
  const [frame, canvas] = [await results.boundingBox(), await results.locator('canvas.qv-client').boundingBox()];
  return { x: canvas.x - frame.x, y: canvas.y - frame.y, width: canvas.width, height: canvas.height };
}

async function cursorAt(page, x, y) {
  return page.evaluate(([px, py]) => getComputedStyle(document.elementFromPoint(px, py)).cursor, [x, y]);
}

async function dragBy(page, x, y, dx, dy) {
  await page.mouse.move(x, y);
  await page.mouse.down();
  await page.mouse.move(x + dx, y + dy, { steps: 4 });
  await page.mouse.up();
}

test('the results window maximises, resizes and minimises as on a desktop', async () => {
  const context = await site.browser.newContext({ viewport: { width: 1280, height: 900 } });
  // Sizes and moves are measured in CSS pixels as the game's.
  await chooseSizeBeforeLoad(context, '1');
  const game = await GamePage.open(context, `${site.server.origin}/`);
  const { page } = game;
  await road.titleToMenu(game);
  await road.menuToStage(game);
  await road.startPlay(game);
  await road.waitPlayOver(game);
  await game.press('Space');
  await game.waitState('active', 'frmResults');
  const results = page.locator('[data-form="frmResults"]');
  const normal = await game.frame('frmResults');
  const picture = await canvasInFrame(results);
  const placed = await game.state();

  // Maximised: the frame is the viewport's, the picture keeps its size at the
  // client area's corner, and the form stands at the corner as on X11.
  await results.locator('.qv-maximize').click();
  await untilBox(game, results, await page.locator('#qv-desktop').boundingBox(), 'maximised');
  assert.deepEqual(await canvasInFrame(results), picture, 'the picture moved or changed its size');
  let state = await game.waitState('frmResults.Left', 0);
  assert.equal(state.get('frmResults.Top'), '0');
  assert.equal(state.get('frmResults.Width'), placed.get('frmResults.Width'));
  assert.equal(state.get('frmResults.Height'), placed.get('frmResults.Height'));
  await page.setViewportSize({ width: 1000, height: 700 });
  // The windows' area: the page's buttons take a strip of their own below
  // a window that would lie under them.
  await page.waitForFunction(() => {
    const frame = document.querySelector('[data-form="frmResults"]').getBoundingClientRect();
    const area = document.getElementById('qv-desktop').getBoundingClientRect();
    return frame.width === innerWidth && frame.height === area.height && area.bottom <= innerHeight;
  });
  await untilBox(game, results, await page.locator('#qv-desktop').boundingBox(), 'maximised in a smaller browser window');
  await page.setViewportSize({ width: 1280, height: 900 });
  await untilBox(game, results, await page.locator('#qv-desktop').boundingBox(), 'maximised again in the larger');

  // A double click on the title bar restores the place and the size.
  await results.locator('.qv-caption').dblclick({ position: { x: 60, y: 8 } });
  await untilBox(game, results, normal, 'restored');
  state = await game.waitState('frmResults.Left', placed.get('frmResults.Left'));
  assert.equal(state.get('frmResults.Top'), placed.get('frmResults.Top'));

  // The border resizes it; the model keeps its client size, and a drag of
  // the left edge moves the form's Left with the frame.
  const corner = { x: normal.x + normal.width - 2, y: normal.y + normal.height - 2 };
  assert.equal(await cursorAt(page, corner.x, corner.y), 'nwse-resize');
  await dragBy(page, corner.x, corner.y, 100, 60);
  const grown = { ...normal, width: normal.width + 100, height: normal.height + 60 };
  await untilBox(game, results, grown, 'resized by its corner');
  assert.deepEqual(await canvasInFrame(results), picture, 'the picture moved or changed its size');
  assert.equal(await cursorAt(page, normal.x + 1, normal.y + 100), 'ew-resize');
  await dragBy(page, normal.x + 1, normal.y + 100, -50, 0);
  const widened = { ...grown, x: normal.x - 50, width: grown.width + 50 };
  await untilBox(game, results, widened, 'resized by its left edge');
  state = await game.waitState('frmResults.Left', widened.x * twipsPerPixel);
  assert.equal(state.get('frmResults.Width'), placed.get('frmResults.Width'));

  // Minimised: the window is gone from the page and its button is in the
  // strip. With no other window to take the activation the model keeps it,
  // but no key reaches a window that is not shown.
  await results.locator('.qv-minimize').click();
  await results.waitFor({ state: 'hidden' });
  const button = page.locator('#qv-window-strip .qv-window-button');
  await button.waitFor({ state: 'visible' });
  assert.equal(await button.textContent(), 'Quorvel - Results -');
  await game.press('Space');
  assert.equal(await game.value('open'), 'frmResults', 'a key reached the minimised window');
  await button.click();
  await untilBox(game, results, widened, 'back from the strip');
  await page.locator('#qv-window-strip').waitFor({ state: 'hidden' });
  state = await game.state();
  assert.equal(state.get('active'), 'frmResults');
  assert.ok(Number(state.get('Module1.LastScore')) < road.lowestRankedScore, 'a play without a key scored');
  await game.press('Space');
  await game.waitState('open', 'frmTitle');

  game.assertNoErrors();
  await context.close();
});
