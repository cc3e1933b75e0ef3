// After one visit the game starts with no network: the service worker
// serves the whole site from its cache. The server is shut down as well as
// the browser set offline, so that nothing can come from the network.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { launchBrowser, serveSite } from './support/site.mjs';
import { GamePage, defaultDeadlineMs } from './support/game.mjs';

let browser;
after(async () => {
  await browser?.close();
});

test('a reload with no network still starts the game', async () => {
  const server = await serveSite();
  browser = await launchBrowser();
  const context = await browser.newContext();
  const game = await GamePage.open(context, `${server.origin}/`);
  await game.waitState('open', 'frmTitle');
  const activated = await game.page.evaluate((deadlineMs) => Promise.race([
    navigator.serviceWorker.ready.then(() => true),
    new Promise((resolve) => setTimeout(() => resolve(false), deadlineMs)),
  ]), defaultDeadlineMs);
  assert.ok(activated, 'no service worker became active after the first visit');

  await context.setOffline(true);
  await server.close();
  await game.reload();
  await game.waitState('open', 'frmTitle');
  const manifest = await game.page.evaluate(() => document.querySelector('link[rel="manifest"]')?.href);
  assert.ok(manifest, 'the page links no web app manifest');

  game.assertNoErrors();
  await context.close();
});
