// Steps of the road that more than one test walks, with real key events.
import assert from 'node:assert/strict';

const letters = 'abcdefghijklmnopqrstuvwxyz';
// The lowest final score that leads from the results to the name entry.
export const lowestRankedScore = 2000;
const playDeadlineMs = 45000;

export async function titleToMenu(game) {
  await game.waitState('open', 'frmTitle');
  await game.press('Space');
  await game.waitState('open', 'frmMenu');
}

// From the menu on START to the Alphabetic zone's stage, waiting.
export async function menuToStage(game) {
  await game.waitState('Module1.MenuCursor', 0);
  await game.press('Space');
  await game.waitState('open', 'frmZone');
  await game.press('Space');
  await game.waitState('open', 'frmStage');
  await game.waitState('Module1.CurrentZone', 0);
}

async function judge(game, key) {
  const strokes = await game.number('frmStage.Strokes');
  await game.press(key);
  await game.until((s) => Number(s.get('frmStage.Strokes')) > strokes, `the key ${key} judged`);
}

// Hits the falling target HITS times and misses MISSES times. A target may
// fly off between reading it and the key's arrival, so a hit is retried.
export async function hitAndMiss(game, hits, misses) {
  for (let attempt = 0; (await game.number('frmStage.Hits')) < hits; ++attempt) {
    assert.ok(attempt < hits * 3, `${hits} hits took more than ${hits * 3} keys`);
    const target = await game.number('frmStage.TargetIndex');
    assert.ok(target >= 1 && target <= 26, `the Alphabetic zone's target index ${target}`);
    await judge(game, letters[target - 1]);
  }
  // No target of the Alphabetic zone accepts a digit.
  for (let i = 0; i < misses; ++i) await judge(game, '5');
}

export async function startPlay(game) {
  await game.press('Space');
  await game.waitState('frmStage.Timer1.Enabled', 1);
}

export async function waitPlayOver(game) {
  await game.until(
    (s) => s.get('frmStage.Timer1.Enabled') === '0' && s.get('frmStage.TimeLeft') === '0',
    'TIME UP',
    playDeadlineMs,
  );
}

// From TIME UP through the results to the name entry; returns the final score.
export async function resultsToNameEntry(game) {
  await game.press('Space');
  await game.waitState('open', 'frmResults');
  const score = await game.number('Module1.LastScore');
  assert.ok(score >= lowestRankedScore, `the final score ${score} does not enter the table`);
  await game.press('Space');
  await game.waitState('open', 'frmNentry');
  return score;
}

// Types NAME through the input method: composes READING, then commits NAME,
// as a Japanese input method does after a conversion.
export async function typeThroughIme(game, reading, name) {
  const focused = await game.page.evaluate(() => document.activeElement?.tagName);
  assert.equal(focused, 'INPUT', 'the name entry\'s text box has not got the keyboard');
  const cdp = await game.page.context().newCDPSession(game.page);
  await cdp.send('Input.imeSetComposition', {
    text: reading,
    selectionStart: reading.length,
    selectionEnd: reading.length,
  });
  await cdp.send('Input.insertText', { text: name });
  await cdp.detach();
  await game.waitState('frmNentry.Text1.Text', name);
}

// Enter on the name entry shows the certificate over it; Enter there ends
// the run's entry: the title opens and the table is saved.
export async function nameEntryToTitle(game) {
  await game.press('Enter');
  await game.waitState('open', 'frmNentry,frmCertif');
  await game.waitState('active', 'frmCertif');
  await game.press('Enter');
  await game.waitState('open', 'frmTitle');
}

// Where NAME stands in the zone's table of the dump, or -1.
export function rankOf(state, zone, name, score) {
  for (let rank = 0; rank < 10; ++rank) {
    if (state.get(`Module1.RecordName(${zone},${rank})`) === name &&
        state.get(`Module1.RecordScore(${zone},${rank})`) === String(score)) {
      return rank;
    }
  }
  return -1;
}

// A whole game from the title to a new record named NAME; returns the score.
export async function playToRecord(game, reading, name) {
  await titleToMenu(game);
  await menuToStage(game);
  await startPlay(game);
  await hitAndMiss(game, 8, 1);
  await waitPlayOver(game);
  const score = await resultsToNameEntry(game);
  await typeThroughIme(game, reading, name);
  await nameEntryToTitle(game);
  return score;
}
