// The world ranking from the page: a game played with real keys in
// Chromium is sent through the plays panel to a quorvel-server over a
// private PostgreSQL, ranked and marked as the player's own, and watched
// from a second browser context through the "World ranking" panel. A play
// file refused by the server shows its reason. A page served without a
// server says the ranking is not available; a page whose config.json names
// the server sends across origins, and a send while the server is down
// waits in the page's storage, across a reload, until it is back.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { serveFolders, requireSite, launchBrowser } from './support/site.mjs';
import { GamePage } from './support/game.mjs';
import * as road from './support/road.mjs';
import * as plays from './support/plays.mjs';
import * as ranking from './support/ranking.mjs';

const entered = 'ハナコ';
const sentName = 'ハナコQ';
const playerKeyRule = /^[A-Za-z0-9_-]{32,64}$/;
let browser;
let plain;
let elsewhere;
let server;

before(async () => {
  const site = requireSite();
  plain = await serveFolders({ '/': site });
  // The page at another origin finds the server through its config.json,
  // which is written once the server's URL is known.
  const config = {};
  elsewhere = await serveFolders({ '/': site }, config);
  server = await ranking.startRankingServer(site, elsewhere.origin);
  config['/config.json'] = JSON.stringify({ rankingServer: server.url });
  browser = await launchBrowser();
});

after(async () => {
  await browser?.close();
  await server?.close();
  await plain?.close();
  await elsewhere?.close();
});

// Chromium itself reports every load answered with an error status or not
// answered at all; those the test causes on purpose are let through, one
// pattern each, and nothing else may be an error.
function assertNoOtherErrors(game, ...expected) {
  for (const pattern of expected) {
    const at = game.errors.findIndex((error) => pattern.test(error));
    assert.ok(at >= 0, `the browser did not report ${pattern}: ${JSON.stringify(game.errors)}`);
    game.errors = game.errors.filter((error) => !pattern.test(error));
  }
  game.assertNoErrors();
}

async function api(pathname, init) {
  const response = await fetch(`${server.url}${pathname}`, init);
  return { status: response.status, body: await response.text() };
}

let sentPlay = null;

test('a game played in Chromium is sent, ranked as the player\'s own and watched from another context', async () => {
  const context = await browser.newContext({ viewport: { width: 1280, height: 900 } });
  const game = await GamePage.open(context, `${server.url}/`);
  const score = await road.playToRecord(game, 'はなこ', entered);
  const stored = await plays.storedPlays(game);
  const [name] = Object.keys(stored);
  assert.equal(Object.keys(stored).length, 1);

  // The name field holds the name last entered, and can be changed.
  await plays.openPanel(game);
  const field = game.page.locator('#qv-plays .qv-ranking-name input');
  await field.waitFor({ state: 'visible' });
  assert.equal(await game.page.locator('#qv-page-buttons #qv-plays-button + #qv-ranking-button').count(), 1);
  assert.equal(await field.inputValue(), entered);
  await field.fill(sentName);
  const row = plays.playRow(game, 'recent', name);
  await ranking.sendButton(row).click();
  await ranking.sendResult(row).getByText(`Rank 1 in the Alphabetic Characters Zone with ${score}.`, { exact: true }).waitFor();
  const player = await ranking.storedJson(game, 'quorvel:ranking/player');
  assert.match(player, playerKeyRule);

  const rows = JSON.parse((await api('/api/v1/rankings/0?limit=20')).body);
  assert.deepEqual(rows.map((r) => [r.rank, r.name, r.score]), [[1, sentName, score]]);
  const { id } = rows[0];
  assert.deepEqual(await api(`/api/v1/plays/${id}`), { status: 200, body: stored[name] });
  sentPlay = stored[name];

  await ranking.openRanking(game);
  const own = ranking.rankingRow(game, 0, id);
  await own.waitFor();
  assert.equal(await own.getAttribute('class'), 'qv-ranking-own');
  assert.match(await own.textContent(), new RegExp(`^1\\. ${sentName} ${score} \\(yours\\)`));

  // A play file the server refuses shows the server's reason.
  const tampered = sentPlay.replace(/^total (\d+)$/m, (_, total) => `total ${Number(total) + 1}`);
  const refusal = JSON.parse((await api('/api/v1/plays', {
    method: 'POST',
    headers: { 'Content-Type': 'application/json' },
    body: JSON.stringify({ name: sentName, player, play: tampered }),
  })).body).error;
  assert.match(refusal, /^line \d+: /);
  await plays.openPlayFile(game, 'tampered.qvplay', tampered);
  await game.page.locator('#qv-plays .qv-plays-note').getByText(/^This play is not watched: /).waitFor();
  const opened = game.page.locator('#qv-plays .qv-plays-opened li[data-play="tampered.qvplay"]');
  await ranking.sendButton(opened).click();
  await ranking.sendResult(opened).getByText(`Refused: ${refusal}`, { exact: true }).waitFor();
  assertNoOtherErrors(game, /^console: Failed to load resource: the server responded with a status of 422 .*\/api\/v1\/plays\)$/);

  // Another browser: the same row, not its own, watched from the panel.
  const other = await browser.newContext({ viewport: { width: 1280, height: 900 } });
  const watcher = await GamePage.open(other, `${server.url}/`);
  await ranking.openRanking(watcher);
  const seen = ranking.rankingRow(watcher, 0, id);
  await seen.waitFor();
  assert.equal(await seen.getAttribute('class'), null, 'another browser\'s row is marked as its own');
  await seen.getByRole('button', { name: 'Watch', exact: true }).click();
  const frame = await plays.watchFrame(watcher);
  // road.playToRecord hits 8 times.
  await frame.waitForFunction(() => /^frmStage\.Hits=8$/m.test(window.qvWatch.dump()), null, { timeout: 45000 });
  watcher.assertNoErrors();
  await other.close();
  await context.close();
});

test('a page served without a server says the world ranking is not available, with no error', async () => {
  const context = await browser.newContext();
  const game = await GamePage.open(context, `${plain.origin}/`);
  await plays.openPanel(game);
  await game.page.locator('#qv-plays .qv-ranking-unavailable')
    .getByText('The world ranking is not available: this page is served without its server.', { exact: true }).waitFor();
  assert.equal(await game.page.locator('#qv-ranking-button').count(), 0, 'a World ranking button without a server');
  assert.equal(await game.page.locator('#qv-plays .qv-ranking-name input').count(), 0, 'a name to send without a server');
  game.assertNoErrors();
  await context.close();
});

test('a send while the server is down waits in the page, across a reload, and goes once it is back', async () => {
  assert.ok(sentPlay, 'the first test sent no play');
  const maker = process.env.QUORVEL_SERVER_TESTPLAYS;
  assert.ok(maker && fs.existsSync(maker), `QUORVEL_SERVER_TESTPLAYS (${maker}) is missing`);
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvel-rankplays-'));
  const made = spawnSync(maker, [folder, '1'], { encoding: 'utf8' });
  assert.equal(made.status, 0, made.stderr);
  const play = fs.readFileSync(path.join(folder, 'human-1.qvplay'), 'utf8');
  fs.rmSync(folder, { recursive: true, force: true });
  const zone = Number(play.match(/^zone (\d)$/m)[1]);

  const context = await browser.newContext({ viewport: { width: 1280, height: 900 } });
  const game = await GamePage.open(context, `${elsewhere.origin}/`);
  await ranking.openRanking(game);
  await game.page.locator(`#qv-ranking section[data-zone="0"] li`).first().waitFor();

  await server.stop();
  await plays.openPanel(game);
  await game.page.locator('#qv-plays .qv-ranking-name input').fill('Queued');
  await plays.openPlayFile(game, 'shared.qvplay', play);
  await plays.watchFrame(game);
  await game.press('Escape');
  await plays.untilWatchClosed(game);
  const opened = game.page.locator('#qv-plays .qv-plays-opened li[data-play="shared.qvplay"]');
  await ranking.sendButton(opened).click();
  await ranking.sendResult(opened).getByText(/^The world ranking cannot be reached now: the play waits in this browser/).waitFor();
  assert.equal((await ranking.storedJson(game, 'quorvel:ranking/queue')).length, 1);
  await game.reload();
  assert.equal((await ranking.storedJson(game, 'quorvel:ranking/queue')).length, 1, 'the reload lost the queue');

  await server.start();
  await game.page.locator('#qv-message').getByText(/^The play shared\.qvplay waiting for the world ranking was sent: Rank \d+ in the /).waitFor({ timeout: 20000 });
  assert.deepEqual(await ranking.storedJson(game, 'quorvel:ranking/queue'), []);
  const rows = JSON.parse((await api(`/api/v1/rankings/${zone}?limit=20`)).body);
  assert.ok(rows.some((r) => r.name === 'Queued'), `the queued play is not ranked: ${JSON.stringify(rows)}`);
  assertNoOtherErrors(game, /^console: Failed to load resource: net::ERR_CONNECTION_REFUSED \(.*\/api\/v1\/plays\)$/);
  await context.close();
});
