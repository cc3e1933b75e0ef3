// The records when the browser's storage misbehaves: a storage that refuses
// to be written, a stored table the reader refuses, and a table another tab
// saved meanwhile, which is the one exported. And the site as an app: one
// the browser may install, and whose new version the service worker takes
// without touching the records.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';
import { chromiumArgs, chromiumPath, repoRoot, requireSite, serveFolders, useSiteAndBrowser } from './support/site.mjs';
import { GamePage } from './support/game.mjs';
import * as road from './support/road.mjs';
import { exportRecords, importRecords, alertText } from './support/records.mjs';

const storageKey = 'quorvel:browser-storage/qorvl.dat';

const site = useSiteAndBrowser();

// Thirty records in code page 932 with CR LF; TOP names zone 0's first,
// BEST is each zone's first score.
function recordsFile(top = 'CPU', best = 30000) {
  const lines = [];
  for (let zone = 0; zone < 3; ++zone) {
    for (let rank = 0; rank < 10; ++rank) {
      lines.push(`${zone === 0 && rank === 0 ? top : 'CPU'}, ${best - 1000 * rank}\r\n`);
    }
  }
  return Buffer.from(lines.join(''), 'latin1');
}

async function untilAlert(game, pattern, deadlineMs = 10000) {
  const end = Date.now() + deadlineMs;
  let text = '';
  while (!pattern.test(text) && Date.now() < end) {
    await game.page.waitForTimeout(50);
    text = await alertText(game);
  }
  assert.match(text, pattern);
  return text;
}

function storedBytes(game) {
  return game.page.evaluate((key) => {
    const value = localStorage.getItem(key);
    return value === null ? null : Array.from(atob(value), (c) => c.charCodeAt(0));
  }, storageKey).then((bytes) => bytes && Buffer.from(bytes));
}

// Every page of CONTEXT refuses to write its storage while its
// window.qvRefuseWrites is true, as it is when the page loads.
function refuseWrites(context) {
  return context.addInitScript(() => {
    const write = Storage.prototype.setItem;
    window.qvRefuseWrites = true;
    Storage.prototype.setItem = function refuseWhileAsked(...args) {
      if (window.qvRefuseWrites) throw new DOMException('The quota has been exceeded.', 'QuotaExceededError');
      return write.apply(this, args);
    };
  });
}

const refusedSave = /"browser-storage\/qorvl\.dat" cannot be written: QuotaExceededError: The quota has been exceeded\./;

async function closeWindow(game, form) {
  await game.page.locator(`[data-form="${form}"] .qv-close`).click();
}

test('a storage that cannot be written is reported, the game goes on with its table, and its end stores it', async () => {
  const context = await site.browser.newContext();
  await refuseWrites(context);
  const game = await GamePage.open(context, `${site.server.origin}/`);
  const score = await road.playToRecord(game, 'はなこ', 'ハナコ');

  await untilAlert(game, refusedSave);
  assert.ok(road.rankOf(await game.state(), 0, 'ハナコ', score) >= 0, 'the record left the table in play');
  assert.equal(await storedBytes(game), null);
  await road.titleToMenu(game);

  // Hiding the page tries again, and keeps the report while it still fails.
  await game.page.evaluate(() => {
    Object.defineProperty(document, 'visibilityState', { configurable: true, get: () => 'hidden' });
    document.dispatchEvent(new Event('visibilitychange'));
    delete document.visibilityState;
  });
  assert.match(await alertText(game), refusedSave);
  assert.equal(await storedBytes(game), null);

  await game.page.evaluate(() => { window.qvRefuseWrites = false; });
  await closeWindow(game, 'frmMenu');
  await untilAlert(game, /Quorvel has ended[^]*stored now in browser-storage\/qorvl\.dat\./);
  assert.equal(await game.page.locator('[data-form]').count(), 0);
  await game.reload();
  assert.ok(road.rankOf(await game.state(), 0, 'ハナコ', score) >= 0, 'the end did not store the record');

  game.assertNoErrors();
  await context.close();
});

test('a record the storage refused is stored when the page is left', async () => {
  const context = await site.browser.newContext();
  await refuseWrites(context);
  const game = await GamePage.open(context, `${site.server.origin}/`);
  const score = await road.playToRecord(game, 'たろう', 'タロウ');
  await untilAlert(game, refusedSave);

  await game.page.evaluate(() => { window.qvRefuseWrites = false; });
  await game.reload();
  assert.notEqual(await storedBytes(game), null, 'leaving the page stored nothing');
  assert.ok(road.rankOf(await game.state(), 0, 'タロウ', score) >= 0, 'the record was lost with the page');

  game.assertNoErrors();
  await context.close();
});

test('a stored table the reader refuses is reported, kept, exported as it is, and replaced by an import', async () => {
  const context = await site.browser.newContext({ acceptDownloads: true });
  const broken = Buffer.from('CPU, 10000\r\nCPU, lots\r\n', 'latin1');
  const page = await context.newPage();
  const game = new GamePage(page);
  await page.goto(`${site.server.origin}/`);
  await page.evaluate(([key, value]) => localStorage.setItem(key, value), [storageKey, broken.toString('base64')]);
  await page.reload();

  await untilAlert(game, /"browser-storage\/qorvl\.dat" cannot be read: line 2: expected a score.*lots/);
  assert.equal(await page.locator('[data-form]').count(), 0, 'the game started with a table it cannot read');
  assert.deepEqual(await storedBytes(game), broken, 'the unreadable table was overwritten');
  assert.deepEqual(await exportRecords(game), broken);

  await importRecords(game, 'mine.dat', recordsFile('MINE'));
  await page.waitForEvent('load');
  await game.whenReady();
  await game.waitState('Module1.RecordName(0,0)', 'MINE');
  assert.deepEqual(await storedBytes(game), recordsFile('MINE'));

  game.assertNoErrors();
  await context.close();
});

test('another tab\'s import becomes this tab\'s table, and its export', async () => {
  const context = await site.browser.newContext({ acceptDownloads: true });
  const first = await GamePage.open(context, `${site.server.origin}/`);
  const second = await GamePage.open(context, `${site.server.origin}/`);
  await importRecords(second, 'other.dat', recordsFile('OTHER'));
  await second.waitState('Module1.RecordName(0,0)', 'OTHER');

  await first.waitState('Module1.RecordName(0,0)', 'OTHER');
  assert.deepEqual(await exportRecords(first), recordsFile('OTHER'));

  first.assertNoErrors();
  second.assertNoErrors();
  await context.close();
});

test('a new version of the site replaces the kept one on the next visit, and the records stay', async () => {
  const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvel-site-'));
  fs.cpSync(requireSite(), copy, { recursive: true });
  const local = await serveFolders({ '/': copy });
  const context = await site.browser.newContext();
  const game = await GamePage.open(context, `${local.origin}/`);
  assert.equal(await game.page.evaluate(() => window.qvOffline.ready), true, 'no service worker controls the page');
  await importRecords(game, 'kept.dat', recordsFile('KEPT'));
  await game.waitState('Module1.RecordName(0,0)', 'KEPT');
  const [firstVersion] = await game.page.evaluate(() => caches.keys());

  // The build of the next version: one file changed, its worker listed again.
  fs.appendFileSync(path.join(copy, 'index.html'), '\n<!-- the next version -->\n');
  execFileSync('cmake', [`-DSITE_DIR=${copy}`, `-DTEMPLATE=${path.join(repoRoot, 'app/web/site/sw.js.in')}`,
    '-P', path.join(repoRoot, 'app/web/ServiceWorker.cmake')]);

  await game.reload();
  const end = Date.now() + 20000;
  let versions = [firstVersion];
  while (versions.length !== 1 || versions[0] === firstVersion) {
    assert.ok(Date.now() < end, `the new version was not taken; the caches are ${versions.join(', ')}`);
    await game.page.waitForTimeout(50);
    versions = await game.page.evaluate(() => caches.keys());
  }
  await game.reload();
  const page = await game.page.evaluate(() => fetch('./').then((response) => response.text()));
  assert.match(page, /the next version/, 'the page still gets the old version');
  await game.waitState('Module1.RecordName(0,0)', 'KEPT');

  game.assertNoErrors();
  await context.close();
  await local.close();
  fs.rmSync(copy, { recursive: true, force: true });
});

test('the browser may install the site as an app, with its name and icons', async () => {
  // Browsers offer no installs in a private window, which a new context is.
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvel-profile-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: chromiumPath, headless: true, args: chromiumArgs,
  });
  const game = new GamePage(context.pages()[0] ?? await context.newPage());
  await game.load(`${site.server.origin}/`);
  assert.equal(await game.page.evaluate(() => window.qvOffline.ready), true, 'no service worker controls the page');
  const cdp = await context.newCDPSession(game.page);
  assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
  const manifest = JSON.parse((await cdp.send('Page.getAppManifest')).data);
  assert.equal(manifest.name, 'Quorvel');
  assert.equal(manifest.display, 'standalone');
  for (const size of ['192x192', '512x512']) {
    const icon = manifest.icons.find((entry) => entry.sizes === size);
    assert.ok(icon, `the manifest has no ${size} icon`);
    const response = await game.page.request.get(new URL(icon.src, `${site.server.origin}/`).href);
    assert.equal(response.headers()['content-type'], 'image/png', `${icon.src} is not served`);
  }

  game.assertNoErrors();
  await context.close();
  fs.rmSync(profile, { recursive: true, force: true });
});

test('an import shows at once in an open records panel, and waits while a name entry is open', async () => {
  const context = await site.browser.newContext();
  const game = await GamePage.open(context, `${site.server.origin}/`);
  await road.titleToMenu(game);
  await game.press('ArrowDown');
  await game.waitState('active', 'frmRecord');
  // Low scores, so that the play below makes a record.
  await importRecords(game, 'panel.dat', recordsFile('PANEL', 2500));
  await game.waitState('frmRecord.Label1(0).Caption', 'PANEL');
  await game.waitState('frmRecord.Label3(0).Caption', 2500);

  await game.press('ArrowUp');
  await road.menuToStage(game);
  await road.startPlay(game);
  await road.hitAndMiss(game, 8, 1);
  await road.waitPlayOver(game);
  const score = await road.resultsToNameEntry(game);
  const table = (await game.state()).get('Module1.RecordScore(1,0)');
  await importRecords(game, 'late.dat', recordsFile('LATE'));
  await untilAlert(game, /while a name is being entered.*Nothing was replaced\./);
  assert.equal((await game.state()).get('Module1.RecordScore(1,0)'), table);
  await road.typeThroughIme(game, 'はなこ', 'ハナコ');
  await road.nameEntryToTitle(game);
  const saved = await game.state();
  assert.ok(road.rankOf(saved, 0, 'ハナコ', score) >= 0, 'the record was lost');
  assert.ok(road.rankOf(saved, 0, 'PANEL', 2500) >= 0, 'the imported table was lost');

  game.assertNoErrors();
  await context.close();
});
