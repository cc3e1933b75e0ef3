// The whole road in headless Chromium with real key events: title, menu,
// both side panels, the zone select, a play with hits and a miss, the
// results, a name typed through the input method, the certificate and the
// title again; where each window opens on the page; the record kept across
// a reload and exported as the desktop writes it.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { useSiteAndBrowser } from './support/site.mjs';
import { GamePage, twipsPerPixel } from './support/game.mjs';
import * as road from './support/road.mjs';
import { desktopSaveOf } from './support/desktop.mjs';
import { exportRecords } from './support/records.mjs';

const site = useSiteAndBrowser();

// FORM's frame stands DX, DY twips right of and below OPENER's.
async function expectOffset(game, form, opener, dx, dy) {
  const [frame, openerFrame] = [await game.gameFrame(form), await game.gameFrame(opener)];
  const offset = { x: frame.x - openerFrame.x, y: frame.y - openerFrame.y };
  const expected = { x: dx / twipsPerPixel, y: dy / twipsPerPixel };
  assert.ok(Math.abs(offset.x - expected.x) <= 0.5 && Math.abs(offset.y - expected.y) <= 0.5,
    `${form} stands at +${offset.x}/+${offset.y} px from ${opener}, not +${expected.x}/+${expected.y}`);
}

async function expectCentredInViewport(game, form) {
  const frame = await game.frame(form);
  const viewport = await game.page.evaluate(() => ({ width: innerWidth, height: innerHeight }));
  const centre = { x: frame.x + frame.width / 2, y: frame.y + frame.height / 2 };
  assert.ok(Math.abs(centre.x - viewport.width / 2) <= 1 && Math.abs(centre.y - viewport.height / 2) <= 1,
    `${form}'s centre ${centre.x},${centre.y} is not the viewport's ${viewport.width / 2},${viewport.height / 2}`);
}

test('the whole road, with real keys and an input method', async () => {
  const context = await site.browser.newContext({ viewport: { width: 1280, height: 900 } });
  const game = await GamePage.open(context, `${site.server.origin}/`);

  await game.waitState('open', 'frmTitle');
  await expectCentredInViewport(game, 'frmTitle');
  const titleFrame = await game.frame('frmTitle');
  await road.titleToMenu(game);
  const menuFrame = await game.frame('frmMenu');
  assert.deepEqual([menuFrame.x, menuFrame.y], [titleFrame.x, titleFrame.y], 'the menu is not where the title stood');

  await game.press('ArrowDown');
  await game.waitState('open', 'frmMenu,frmRecord');
  await game.waitState('active', 'frmRecord');
  await expectOffset(game, 'frmRecord', 'frmMenu', 3540, 930);
  await game.press('ArrowRight');
  await game.waitState('frmRecord.ViewZone', 1);

  await game.press('ArrowDown');
  await game.waitState('open', 'frmMenu,frmOption');
  await expectOffset(game, 'frmOption', 'frmMenu', 3540, 1890);
  await game.press('ArrowRight');
  await game.waitState('Module1.OptSpeed', 1);
  await game.press('ArrowLeft');
  await game.waitState('Module1.OptSpeed', 0);

  await game.press('ArrowUp');
  await game.waitState('open', 'frmMenu,frmRecord');
  await game.press('ArrowUp');
  await game.waitState('open', 'frmMenu');

  await road.menuToStage(game);
  const stageFrame = await game.frame('frmStage');
  assert.deepEqual([stageFrame.x, stageFrame.y], [titleFrame.x, titleFrame.y], 'the stage is not where the title stood');
  await road.startPlay(game);
  await road.hitAndMiss(game, 8, 2);
  const judged = await game.state();
  assert.equal(judged.get('frmStage.Hits'), '8');
  assert.ok(Number(judged.get('frmStage.Strokes')) >= 10, 'the two misses were not counted as strokes');
  await road.waitPlayOver(game);

  const score = await road.resultsToNameEntry(game);
  await road.typeThroughIme(game, 'たろう', 'タロウ');
  await game.press('Enter');
  await game.waitState('open', 'frmNentry,frmCertif');
  await expectOffset(game, 'frmCertif', 'frmNentry', 900, 675);
  await game.press('Enter');
  await game.waitState('open', 'frmTitle');
  const rank = road.rankOf(await game.state(), 0, 'タロウ', score);
  assert.ok(rank >= 0, `タロウ with ${score} is not in the Alphabetic table`);

  await game.reload();
  const reloaded = await game.state();
  assert.equal(road.rankOf(reloaded, 0, 'タロウ', score), rank, 'the record did not outlive a reload');

  const exported = await exportRecords(game);
  assert.deepEqual(exported, desktopSaveOf(0, 'タロウ', score), 'the exported file is not what the desktop saves');

  game.assertNoErrors();
  await context.close();
});
