// A quorvel-server over a private PostgreSQL (support/ranking_server.py),
// and the page's "World ranking" panel and sending controls.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import readline from 'node:readline';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));

export function serverProgram() {
  const program = process.env.QUORVEL_SERVER;
  if (!program || !fs.existsSync(program)) throw new Error(`QUORVEL_SERVER (${program}) is missing: build quorvel-server`);
  return program;
}

export async function startRankingServer(site, allowOrigin) {
  const child = spawn('python3', [path.join(here, 'ranking_server.py'), serverProgram(), site, '--allow-origin', allowOrigin],
    { stdio: ['pipe', 'pipe', 'inherit'] });
  const lines = readline.createInterface({ input: child.stdout })[Symbol.asyncIterator]();
  const next = async (what) => {
    const { value, done } = await lines.next();
    assert.ok(!done, `the ranking server's helper ended before ${what}`);
    return value;
  };
  const { url } = JSON.parse(await next('it served'));
  const command = async (word, answer) => {
    child.stdin.write(`${word}\n`);
    assert.equal(await next(answer), answer);
  };
  return {
    url,
    stop: () => command('stop', 'stopped'),
    start: () => command('start', 'started'),
    close: () => new Promise((resolve) => {
      child.once('exit', resolve);
      child.stdin.end();
    }),
  };
}

export async function openRanking(game) {
  await game.page.locator('#qv-ranking-button').click();
  await game.page.locator('#qv-ranking').waitFor({ state: 'visible' });
}

// The row of the play ID in the panel's list of ZONE.
export function rankingRow(game, zone, id) {
  return game.page.locator(`#qv-ranking section[data-zone="${zone}"] li[data-id="${id}"]`);
}

export function sendButton(row) {
  return row.getByRole('button', { name: 'Send to the world ranking', exact: true });
}

export function sendResult(row) {
  return row.locator('.qv-send-result');
}

export function storedJson(game, key) {
  return game.page.evaluate((name) => JSON.parse(localStorage.getItem(name) ?? 'null'), key);
}
