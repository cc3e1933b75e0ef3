// The game in one browser tab, seen through the page's probes:
// window.quorvel.ready, window.quorvel.dump() and the window elements'
// data-form attributes. Waits poll the dump with a deadline.
import assert from 'node:assert/strict';

export const defaultDeadlineMs = 20000;
export const twipsPerPixel = 15;

export function parseDump(text) {
  const state = new Map();
  for (const line of text.split('\n')) {
    const equals = line.indexOf('=');
    if (equals > 0) state.set(line.slice(0, equals), line.slice(equals + 1));
  }
  return state;
}

export class GamePage {
  constructor(page) {
    this.page = page;
    this.errors = [];
    page.setDefaultTimeout(defaultDeadlineMs);
    page.on('console', (message) => {
      if (message.type() === 'error') this.errors.push(`console: ${message.text()} (${message.location().url})`);
    });
    page.on('pageerror', (error) => this.errors.push(`page error: ${error.message}`));
    page.on('crash', () => this.errors.push('the page crashed'));
  }

  static async open(context, url) {
    const game = new GamePage(await context.newPage());
    await game.load(url);
    return game;
  }

  async load(url) {
    await this.page.goto(url);
    await this.whenReady();
  }

  async reload() {
    await this.page.reload();
    await this.whenReady();
  }

  async whenReady() {
    await this.page.waitForFunction(() => window.quorvel !== undefined, null, { timeout: defaultDeadlineMs });
    await this.page.evaluate(() => window.quorvel.ready);
  }

  async dumpText() {
    return this.page.evaluate(() => window.quorvel.dump());
  }

  async state() {
    return parseDump(await this.dumpText());
  }

  async value(key) {
    const value = (await this.state()).get(key);
    assert.notEqual(value, undefined, `the dump has no line ${key}=`);
    return value;
  }

  async number(key) {
    return Number(await this.value(key));
  }

  // Polls until check(state) holds; fails with the last dump otherwise.
  async until(check, what, deadlineMs = defaultDeadlineMs) {
    const end = Date.now() + deadlineMs;
    let state;
    for (;;) {
      state = await this.state();
      if (check(state)) return state;
      if (Date.now() > end) break;
      await this.page.waitForTimeout(20);
    }
    const lines = [...state].map(([k, v]) => `${k}=${v}`);
    const interesting = lines.filter((l) => /^(open|active)=|\.(Caption|Text|Enabled)=|^Module1\.(LastScore|CurrentZone)/.test(l));
    assert.fail(`${what} did not happen within ${deadlineMs} ms; the dump says:\n${interesting.slice(0, 60).join('\n')}`);
  }

  waitState(key, value, deadlineMs) {
    return this.until((s) => s.get(key) === String(value), `${key}=${value}`, deadlineMs);
  }

  async press(key) {
    await this.page.keyboard.press(key);
  }

  // The window element's frame on the page, in CSS pixels.
  async frame(form) {
    const box = await this.page.locator(`[data-form="${form}"]`).boundingBox();
    assert.ok(box, `no visible window element for ${form}`);
    return box;
  }

  // The page's size factor: CSS pixels to a pixel of the game.
  async scale() {
    return Number(await this.page.locator('#qv-desktop').getAttribute('data-scale'));
  }

  // The window element's frame in pixels of the game (twips / 15).
  async gameFrame(form) {
    const [box, scale] = [await this.frame(form), await this.scale()];
    return { x: box.x / scale, y: box.y / scale, width: box.width / scale, height: box.height / scale };
  }

  assertNoErrors() {
    assert.deepEqual(this.errors, [], 'the page reported errors');
  }
}

// Every page of CONTEXT starts with the size CHOICE ('fit', '1', '1.5', '2'
// or '3'), as if the player had chosen it before.
export async function chooseSizeBeforeLoad(context, choice) {
  await context.addInitScript((size) => localStorage.setItem('quorvel:page-size', size), choice);
}

// Fails the test when any page of the context reported an error.
export function assertNoErrors(...games) {
  for (const game of games) game.assertNoErrors();
}
