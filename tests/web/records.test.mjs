// The records in the browser's storage: imports through the strict reader,
// and two tabs whose saves must not lose each other's entries.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { useSiteAndBrowser } from './support/site.mjs';
import { GamePage } from './support/game.mjs';
import * as road from './support/road.mjs';
import { importRecords, alertText } from './support/records.mjs';

const site = useSiteAndBrowser();

// Thirty "name, score" lines in code page 932 with CR LF; NAMED puts one
// katakana name (ハナコ in code page 932) on the Kana zone's top line.
function recordsFile({ named = false, brokenLine = 0 } = {}) {
  const lines = [];
  for (let zone = 0; zone < 3; ++zone) {
    for (let rank = 0; rank < 10; ++rank) {
      const top = named && zone === 1 && rank === 0;
      lines.push(Buffer.concat([
        top ? Buffer.from([0x83, 0x6e, 0x83, 0x69, 0x83, 0x52]) : Buffer.from('CPU'),
        Buffer.from(`, ${lines.length + 1 === brokenLine ? 'lots' : 20000 - 1000 * rank}\r\n`),
      ]));
    }
  }
  return Buffer.concat(lines);
}

function tableOf(state) {
  return [...state].filter(([key]) => key.startsWith('Module1.Record')).map(([k, v]) => `${k}=${v}`).join('\n');
}

test('an import is read with the strict reader: a broken file is refused, a good one kept', async () => {
  const context = await site.browser.newContext();
  const game = await GamePage.open(context, `${site.server.origin}/`);
  await game.waitState('open', 'frmTitle');
  const before = tableOf(await game.state());

  await importRecords(game, 'broken-records.dat', recordsFile({ brokenLine: 3 }));
  const deadline = Date.now() + 10000;
  let message = '';
  while (!/broken-records\.dat/.test(message) && Date.now() < deadline) {
    message = await alertText(game);
    await game.page.waitForTimeout(50);
  }
  assert.match(message, /broken-records\.dat/, 'the refusal does not name the file');
  assert.match(message, /line 3/, 'the refusal does not name the line');
  assert.match(message, /expected a score.*" ?lots"/, 'the refusal does not give the reason');
  assert.equal(tableOf(await game.state()), before, 'a refused import changed the table in play');
  await game.reload();
  assert.equal(tableOf(await game.state()), before, 'a refused import changed the stored table');

  await importRecords(game, 'good-records.dat', recordsFile({ named: true }));
  await game.waitState('Module1.RecordName(1,0)', 'ハナコ');
  await game.waitState('Module1.RecordScore(0,0)', 20000);
  await game.reload();
  const kept = await game.state();
  assert.equal(kept.get('Module1.RecordName(1,0)'), 'ハナコ', 'an imported table did not outlive a reload');

  game.assertNoErrors();
  await context.close();
});

test('two tabs that each save a record keep both', async () => {
  const context = await site.browser.newContext();
  const [first, second] = [await GamePage.open(context, `${site.server.origin}/`), await GamePage.open(context, `${site.server.origin}/`)];

  // Both play at once, each to its name entry, with the table each loaded
  // before the other saved.
  const toNameEntry = async (game) => {
    await road.titleToMenu(game);
    await road.menuToStage(game);
    await road.startPlay(game);
    await road.hitAndMiss(game, 8, 1);
    await road.waitPlayOver(game);
    return road.resultsToNameEntry(game);
  };
  const [firstScore, secondScore] = await Promise.all([toNameEntry(first), toNameEntry(second)]);

  await first.page.bringToFront();
  await road.typeThroughIme(first, 'はなこ', 'ハナコ');
  await road.nameEntryToTitle(first);
  await second.page.bringToFront();
  await road.typeThroughIme(second, 'じろう', 'ジロウ');
  await road.nameEntryToTitle(second);

  const third = await GamePage.open(context, `${site.server.origin}/`);
  const stored = await third.state();
  assert.ok(road.rankOf(stored, 0, 'ハナコ', firstScore) >= 0, `the first tab's ハナコ ${firstScore} was lost`);
  assert.ok(road.rankOf(stored, 0, 'ジロウ', secondScore) >= 0, `the second tab's ジロウ ${secondScore} was lost`);

  for (const game of [first, second, third]) game.assertNoErrors();
  await context.close();
});
