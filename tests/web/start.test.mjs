// The page is never blank: a browser without WebAssembly or a file that
// does not load is told in the page, and a server that sends the
// WebAssembly under another type still gets the game started.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { useSiteAndBrowser } from './support/site.mjs';
import { GamePage } from './support/game.mjs';

const site = useSiteAndBrowser();

// Opens the page in CONTEXT and checks that the start failed with a message
// matching EXPECTED, shown in the page and given by window.quorvel.ready.
async function assertStartFails(context, expected) {
  const page = await context.newPage();
  const uncaught = [];
  page.on('pageerror', (error) => uncaught.push(error.message));
  await page.goto(`${site.server.origin}/`);
  const reason = await page.evaluate(() => window.quorvel.ready.then(() => 'the title was drawn', (error) => error.message));
  assert.match(reason, expected);
  assert.ok(await page.locator('#qv-notice').isVisible(), 'the page shows no message');
  const shown = await page.locator('#qv-message').textContent();
  assert.match(shown, expected);
  assert.doesNotMatch(shown, /\.\./, 'the message has a doubled full stop');
  assert.deepEqual(uncaught, [], 'the page threw');
  await context.close();
}

test('a browser without WebAssembly is told so', async () => {
  const context = await site.browser.newContext();
  await context.addInitScript(() => { delete window.WebAssembly; });
  await assertStartFails(context, /this browser has no WebAssembly support/);
});

test('a file of the start that does not load is named in the page', async () => {
  for (const file of ['quorvel.wasm', 'quorvel.js', 'pictures/title.png', 'fonts/WebMono-Bold.woff2']) {
    const context = await site.browser.newContext();
    await context.route(`**/${file}`, (route) => route.fulfill({ status: 404, body: 'missing' }));
    const name = file.replace(/[.]/g, '\\.');
    await assertStartFails(context, new RegExp(`a file failed to load\\. .*${name}`));
  }
});

test('WebAssembly served as another type still starts the game', async () => {
  const context = await site.browser.newContext();
  await context.route('**/quorvel.wasm', async (route) => {
    const response = await route.fetch();
    await route.fulfill({ response, headers: { ...response.headers(), 'content-type': 'application/octet-stream' } });
  });
  const game = await GamePage.open(context, `${site.server.origin}/`);
  await game.waitState('open', 'frmTitle');
  game.assertNoErrors();
  await context.close();
});
