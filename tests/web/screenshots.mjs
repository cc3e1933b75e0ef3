// Pictures of the game in the page, at zoom 1 and 2, for docs/screenshots/
// (web-*.png). Walks the road with real keys, as the road test does. With
// QUORVEL_SERVER naming a built quorvel-server, also a game sent to the
// world ranking from the plays panel, and the ranking it joined.
//
//   QUORVEL_SERVER=build/release/server/quorvel-server node tests/web/screenshots.mjs [OUTDIR]
import path from 'node:path';
import fs from 'node:fs';
import { launchBrowser, serveSite, repoRoot, siteDir } from './support/site.mjs';
import { GamePage } from './support/game.mjs';
import * as road from './support/road.mjs';
import * as plays from './support/plays.mjs';
import * as ranking from './support/ranking.mjs';

const outDir = path.resolve(process.argv[2] ?? path.join(repoRoot, 'docs/screenshots'));
fs.mkdirSync(outDir, { recursive: true });

async function shoot(game, name) {
  const file = path.join(outDir, `${name}.png`);
  // Two frames, so that the last change is on the screen.
  await game.page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
  await game.page.screenshot({ path: file });
  console.log(file);
}

// From the end of the play to the results, maximised to the page and restored.
async function shootMaximizedResults(game) {
  await game.press('Space');
  await game.waitState('active', 'frmResults');
  const results = game.page.locator('[data-form="frmResults"]');
  await results.locator('.qv-maximize').click();
  await game.page.locator('.qv-maximized[data-form="frmResults"]').waitFor();
  await shoot(game, 'web-results-maximized');
  await results.locator('.qv-maximize').click();
  await game.page.locator('.qv-maximized').waitFor({ state: 'detached' });
}

async function tour(browser, origin, deviceScaleFactor) {
  const suffix = deviceScaleFactor === 1 ? '' : `-${deviceScaleFactor}x`;
  const context = await browser.newContext({ deviceScaleFactor, viewport: { width: 1024, height: 768 } });
  const game = await GamePage.open(context, `${origin}/`);
  await game.waitState('frmTitle.Picture1.Picture', 'title');
  await shoot(game, `web-title${suffix}`);
  await road.titleToMenu(game);
  await game.press('ArrowDown');
  await game.waitState('open', 'frmMenu,frmRecord');
  await shoot(game, `web-records${suffix}`);
  await game.press('ArrowDown');
  await game.waitState('open', 'frmMenu,frmOption');
  await game.press('ArrowUp');
  await game.press('ArrowUp');
  await game.waitState('open', 'frmMenu');
  await road.menuToStage(game);
  await road.startPlay(game);
  await road.hitAndMiss(game, 3, 1);
  await game.until((s) => Number(s.get('frmStage.TimeLeft')) <= 27, 'three seconds of play');
  await shoot(game, `web-stage${suffix}`);
  if (deviceScaleFactor === 1) {
    await road.hitAndMiss(game, 8, 1);
    await road.waitPlayOver(game);
    await shootMaximizedResults(game);
    await game.press('Space');
    await game.waitState('open', 'frmNentry');
    await road.typeThroughIme(game, 'たろう', 'タロウ');
    await shoot(game, 'web-name-entry');
    await game.press('Enter');
    await game.waitState('open', 'frmNentry,frmCertif');
    await shoot(game, 'web-certificate');
  }
  game.assertNoErrors();
  await context.close();
}

// The page as a player first meets it, at the size that fits the viewport:
// the menu with its records panel.
async function pageAtViewport(browser, origin, width, height, name) {
  const context = await browser.newContext({ viewport: { width, height } });
  const game = await GamePage.open(context, `${origin}/`);
  await road.titleToMenu(game);
  await game.press('ArrowDown');
  await game.waitState('open', 'frmMenu,frmRecord');
  await shoot(game, name);
  game.assertNoErrors();
  await context.close();
}

// A game sent from the plays panel, then the world ranking it joined.
async function worldRanking(browser) {
  // The page is served by the server itself: no other origin needs the API.
  const server = await ranking.startRankingServer(siteDir, 'http://127.0.0.1:1');
  try {
    const context = await browser.newContext({ viewport: { width: 1280, height: 900 } });
    const game = await GamePage.open(context, `${server.url}/`);
    const score = await road.playToRecord(game, 'はなこ', 'ハナコ');
    const [name] = Object.keys(await plays.storedPlays(game));
    await plays.openPanel(game);
    const row = plays.playRow(game, 'recent', name);
    await ranking.sendButton(row).click();
    await ranking.sendResult(row).getByText(new RegExp(`^Rank 1 .* with ${score}\\.$`)).waitFor();
    await shoot(game, 'web-plays-sent');
    await game.page.locator('#qv-plays-button').click();
    await ranking.openRanking(game);
    const [top] = await (await fetch(`${server.url}/api/v1/rankings/0?limit=1`)).json();
    await ranking.rankingRow(game, 0, top.id).waitFor();
    await shoot(game, 'web-world-ranking');
    game.assertNoErrors();
    await context.close();
  } finally {
    await server.close();
  }
}

const server = await serveSite();
const browser = await launchBrowser();
try {
  await pageAtViewport(browser, server.origin, 1920, 1080, 'web-page-1920x1080-fit');
  await pageAtViewport(browser, server.origin, 800, 600, 'web-page-800x600');
  await tour(browser, server.origin, 1);
  await tour(browser, server.origin, 2);
  if (process.env.QUORVEL_SERVER) await worldRanking(browser);
} finally {
  await browser.close();
  await server.close();
}
