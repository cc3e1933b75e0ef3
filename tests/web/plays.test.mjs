// Every stage the page plays is kept as a play: recorded from real key
// events, kept in the browser's storage, saved as a file that both replay
// drivers verify to the figures the game showed, and watched in a frame of
// its own without changing anything of the game. A tampered play is refused
// with the drivers' reason; a storage that refuses a play is told.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { useSiteAndBrowser } from './support/site.mjs';
import { GamePage } from './support/game.mjs';
import * as road from './support/road.mjs';
import { alertText } from './support/records.mjs';
import * as plays from './support/plays.mjs';

const site = useSiteAndBrowser();

// A stage of the Alphabetic zone with one hit and four misses, which ends
// below the records' lowest score: the results lead back to the title.
async function playStageToResults(game) {
  await road.titleToMenu(game);
  await road.menuToStage(game);
  await road.startPlay(game);
  await road.hitAndMiss(game, 1, 4);
  await road.waitPlayOver(game);
  const stage = await game.state();
  await game.press('Space');
  const results = await game.waitState('open', 'frmResults');
  const figure = (row) => results.get(`frmResults.Label2(${row}).Caption`);
  assert.equal(figure(3), results.get('Module1.LastScore'));
  return [
    'zone 0',
    `score ${stage.get('frmStage.StageScore')}`,
    `hits ${stage.get('frmStage.Hits')}`,
    `strokes ${stage.get('frmStage.Strokes')}`,
    `response ${figure(1)}`,
    `hitrate ${figure(2)}`,
    `total ${figure(3)}`,
  ].join('\n') + '\n';
}

async function resultsToMenu(game) {
  assert.ok(await game.number('Module1.LastScore') < road.lowestRankedScore, 'the stage scored a record');
  await game.press('Space');
  await road.titleToMenu(game);
}

function gameSide(game) {
  return Promise.all([game.dumpText(), game.page.locator('#qv-desktop').evaluate((desktop) => desktop.outerHTML)]);
}

test('a stage played with real keys is kept, saved, verified by both drivers, watched and refused when tampered with', async (t) => {
  const context = await site.browser.newContext({ viewport: { width: 1280, height: 900 } });
  const game = await GamePage.open(context, `${site.server.origin}/`);
  const shown = await playStageToResults(game);
  const total = shown.match(/^total (\d+)$/m)[1];
  await resultsToMenu(game);

  const stored = await plays.storedPlays(game);
  const names = Object.keys(stored);
  assert.equal(names.length, 1, `the storage holds the plays ${names.join(', ')}`);
  const [name] = names;
  assert.match(name, new RegExp(`^play-\\d{13}-z0-${total}\\.qvplay$`));
  t.diagnostic(`the play recorded is ${Buffer.byteLength(stored[name])} bytes`);

  await plays.openPanel(game);
  await plays.playRow(game, 'best', name).waitFor();
  const saved = await plays.saveFromPanel(game, name);
  assert.equal(saved, stored[name], 'the saved file is not the play kept');
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvel-plays-'));
  const file = path.join(folder, name);
  fs.writeFileSync(file, saved);
  for (const [driver, verdict] of Object.entries(plays.verifyEverywhere(file))) {
    assert.deepEqual(verdict, { status: 0, stdout: shown, stderr: '' }, `the ${driver} driver's verdict`);
  }

  // Watching: the stage as played, at real speed; Space pauses and resumes,
  // Escape closes; the game is as it was, and has the keyboard again.
  const before = await gameSide(game);
  await plays.playRow(game, 'best', name).getByRole('button', { name: 'Watch', exact: true }).click();
  const frame = await plays.watchFrame(game);
  assert.match(await frame.locator('[data-form="frmStage"] .qv-caption-text').textContent(), /^Replay - /);
  await plays.untilWatch(frame, () => true, 'the watch');
  await frame.waitForFunction(() => /^frmStage\.Hits=1$/m.test(window.qvWatch.dump()));
  const from = await plays.watchState(frame);
  const to = await plays.untilWatch(frame, (s) => s.playMs >= from.playMs + 1500, 'a second and a half of the play');
  const speed = (to.playMs - from.playMs) / (to.now - from.now);
  assert.ok(speed > 0.9 && speed < 1.1, `the play runs at ${speed} times real speed`);
  await game.press('Space');
  const paused = await plays.untilWatch(frame, (s) => s.paused, 'the pause');
  await frame.waitForFunction((since) => performance.now() > since + 500, paused.now);
  assert.equal((await plays.watchState(frame)).playMs, paused.playMs, 'the play went on while paused');
  await game.press('Space');
  await plays.untilWatch(frame, (s) => !s.paused && s.playMs > paused.playMs, 'the play resumed');
  await game.press('Escape');
  await plays.untilWatchClosed(game);
  assert.deepEqual(await gameSide(game), before, 'watching changed the game');
  await game.press('ArrowDown');
  await game.waitState('Module1.MenuCursor', 1);
  const settled = await gameSide(game);

  // A shared file: the same play opened is watched until its close box;
  // with one figure changed it is refused with the drivers' reason.
  await plays.openPlayFile(game, 'shared.qvplay', saved);
  const shared = await plays.watchFrame(game);
  await shared.locator('[data-form="frmStage"] .qv-close').click();
  await plays.untilWatchClosed(game);
  const tampered = saved.replace(/^total (\d+)$/m, (_, value) => `total ${Number(value) + 1}`);
  const tamperedFile = path.join(folder, 'tampered.qvplay');
  fs.writeFileSync(tamperedFile, tampered);
  const refusals = plays.verifyEverywhere(tamperedFile);
  for (const [driver, verdict] of Object.entries(refusals)) assert.equal(verdict.status, 1, `the ${driver} driver took it`);
  const reason = refusals.native.stderr.slice(`quorvel-replay: ${tamperedFile}: `.length).trim();
  assert.ok(reason.length > 0);
  await plays.openPlayFile(game, 'tampered.qvplay', tampered);
  await game.page.locator('#qv-plays .qv-plays-note').getByText(`This play is not watched: ${reason}`).waitFor();
  assert.equal(await game.page.locator('#qv-watch').count(), 0, 'a refused play is being watched');
  assert.deepEqual(await gameSide(game), settled, 'opening plays changed the game');

  fs.rmSync(folder, { recursive: true, force: true });
  game.assertNoErrors();
  await context.close();
});

test('a storage that refuses a play is told, and the game goes on', async () => {
  const context = await site.browser.newContext();
  await context.addInitScript((prefix) => {
    const write = Storage.prototype.setItem;
    Storage.prototype.setItem = function refusePlays(key, ...rest) {
      if (String(key).startsWith(prefix)) throw new DOMException('The quota has been exceeded.', 'QuotaExceededError');
      return write.call(this, key, ...rest);
    };
  }, plays.playKeyPrefix);
  const game = await GamePage.open(context, `${site.server.origin}/`);
  await playStageToResults(game);
  const text = await alertText(game);
  assert.match(text, /^The play of this stage could not be kept: "quorvel:plays\/play-\d{13}-z0-\d+\.qvplay" cannot be written: QuotaExceededError: The quota has been exceeded\. The game goes on/m);
  await resultsToMenu(game);
  assert.deepEqual(await plays.storedPlays(game), {});
  game.assertNoErrors();
  await context.close();
});
