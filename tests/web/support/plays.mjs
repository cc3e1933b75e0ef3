// The page's "Plays" panel, the plays it keeps in the browser's storage, the
// frame that watches one, and both replay drivers' verdict on a play file.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { replayDriver } from './desktop.mjs';
import { siteDir } from './site.mjs';

export const playKeyPrefix = 'quorvel:plays/';

// NAME -> text of every play the page's storage holds.
export function storedPlays(game) {
  return game.page.evaluate((prefix) => {
    const plays = {};
    for (let i = 0; i < localStorage.length; ++i) {
      const key = localStorage.key(i);
      if (key.startsWith(prefix)) plays[key.slice(prefix.length)] = localStorage.getItem(key);
    }
    return plays;
  }, playKeyPrefix);
}

export async function openPanel(game) {
  await game.page.locator('#qv-plays-button').click();
  await game.page.locator('#qv-plays').waitFor({ state: 'visible' });
}

// The row of the play NAME in the panel's list of best plays or recent ones.
export function playRow(game, list, name) {
  return game.page.locator(`#qv-plays .qv-plays-${list} li[data-play="${name}"]`);
}

export async function saveFromPanel(game, name) {
  const [download] = await Promise.all([
    game.page.waitForEvent('download'),
    playRow(game, 'recent', name).getByRole('button', { name: 'Save', exact: true }).click(),
  ]);
  assert.equal(download.suggestedFilename(), name);
  return fs.readFileSync(await download.path(), 'utf8');
}

export async function openPlayFile(game, name, text) {
  const [chooser] = await Promise.all([
    game.page.waitForEvent('filechooser'),
    game.page.locator('#qv-plays').getByRole('button', { name: 'Open a play…', exact: true }).click(),
  ]);
  await chooser.setFiles({ name, mimeType: 'text/plain', buffer: Buffer.from(text) });
}

// The watch's frame once its stage window shows; fails when none comes.
export async function watchFrame(game) {
  const holder = game.page.locator('#qv-watch');
  await holder.waitFor({ state: 'visible' });
  const frame = await (await holder.locator('iframe').elementHandle()).contentFrame();
  await frame.locator('[data-form="frmStage"]').waitFor({ state: 'visible' });
  return frame;
}

export function watchState(frame) {
  return frame.evaluate(() => ({ ...window.qvWatch.state(), now: performance.now() }));
}

// Polls the watch until check(state) holds.
export async function untilWatch(frame, check, what, deadlineMs = 20000) {
  const end = Date.now() + deadlineMs;
  let state;
  do {
    state = await watchState(frame);
    if (check(state)) return state;
    await frame.page().waitForTimeout(20);
  } while (Date.now() < end);
  assert.fail(`${what} did not happen within ${deadlineMs} ms; the watch stands at ${JSON.stringify(state)}`);
}

export async function untilWatchClosed(game) {
  await game.page.locator('#qv-watch').waitFor({ state: 'detached' });
}

function nodeDriver() {
  const driver = path.resolve(siteDir, '../tools/replay/quorvel-replay.js');
  if (!fs.existsSync(driver)) throw new Error(`${driver} is missing: build the web preset first`);
  return driver;
}

// What `quorvel-replay verify FILE` says, natively and under node.
export function verifyEverywhere(file) {
  const run = (command, args) => {
    const result = spawnSync(command, args, { encoding: 'utf8' });
    assert.equal(result.error, undefined, `${command} could not run: ${result.error}`);
    return { status: result.status, stdout: result.stdout, stderr: result.stderr };
  };
  return {
    native: run(replayDriver(), ['verify', file]),
    node: run(process.execPath, [nodeDriver(), 'verify', file]),
  };
}
