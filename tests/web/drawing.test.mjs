// The page draws as the desktop draws. The native replay driver takes the
// desktop's pictures of the screens that hold still (menu, records and
// options panels, zone select) at 1x and 2x; the page walks to the same
// states with real keys and its client canvases are compared with them.
// Pictures, fills, borders and the options cursor's raster operation must
// match pixel for pixel; text is set by another rasteriser, so near glyphs
// the comparison allows what smoothing and spacing change, and no more.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launchBrowser, serveSite } from './support/site.mjs';
import { GamePage, chooseSizeBeforeLoad, parseDump } from './support/game.mjs';
import { replayDriver } from './support/desktop.mjs';

// Each step: the keys that lead to it from the step before, and the snap.
const steps = [
  { keys: [], snap: 'menu' },
  { keys: ['ArrowDown'], snap: 'records' },
  { keys: ['ArrowDown'], snap: 'options' },
  { keys: ['ArrowRight', 'ArrowDown', 'ArrowRight'], snap: 'options-changed' },
  { keys: ['ArrowUp', 'ArrowUp', 'ArrowUp', 'ArrowUp'], snap: 'menu-back' },
  { keys: ['Space'], snap: 'zone' },
  { keys: ['ArrowRight'], snap: 'zone-kana' },
];
const replayKey = { ArrowDown: 'Down', ArrowUp: 'Up', ArrowRight: 'Right', ArrowLeft: 'Left', Space: 'Space' };

// A block of the picture (12 × 12 pixels at 1x) whose mean colour moves by
// more than this is a drawing fault, not smoothing: the glyphs of the menu's
// large italic captions, set by another rasteriser, move a block's mean by
// 19 at most; a missing cursor bar, a wrong raster operation or a picture a
// pixel aside move some block by far more.
const blockSide = 12;
const blockTolerance = 25;
// Only near text may pixels differ, and text covers under a sixth of every
// one of these windows.
const equalShareAtLeast = 0.8;

let server;
let browser;
let snaps;
// A failure keeps the pictures, the page's beside the desktop's.
let keepSnaps = false;
before(async () => {
  snaps = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvel-drawing-'));
  takeDesktopSnaps(snaps);
  server = await serveSite();
  browser = await launchBrowser();
});
after(async () => {
  await browser?.close();
  await server?.close();
  if (snaps && !keepSnaps) fs.rmSync(snaps, { recursive: true, force: true });
});

function takeDesktopSnaps(folder) {
  for (const scale of [1, 2]) {
    const lines = ['start', 'wait 5000', 'key Space', `scale ${scale}`];
    for (const step of steps) {
      for (const key of step.keys) lines.push(`key ${replayKey[key]}`);
      lines.push(`snap ${step.snap}-${scale}x`);
    }
    const script = path.join(folder, `drawing-${scale}x.scn`);
    fs.writeFileSync(script, lines.join('\n') + '\n');
    execFileSync(replayDriver(), [script, folder], {
      env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' },
      stdio: ['ignore', 'pipe', 'pipe'],
    });
  }
}

// The state both must share before their pictures can be compared: which
// windows are open and active, and the game's shared values.
function comparableState(state) {
  return [...state].filter(([key]) => key === 'open' || key === 'active' || key.startsWith('Module1.'))
    .map(([key, value]) => `${key}=${value}`).join('\n');
}

// Runs in the page: the window's client canvas against the desktop's PNG.
async function compareInPage({ form, png, block }) {
  const canvas = document.querySelector(`[data-form="${form}"] canvas.qv-client`);
  if (!canvas) return { error: `no client canvas for ${form}` };
  const image = new Image();
  image.src = `data:image/png;base64,${png}`;
  await image.decode();
  if (image.width !== canvas.width || image.height !== canvas.height) {
    return { error: `${form}: the canvas is ${canvas.width}×${canvas.height}, the desktop's ${image.width}×${image.height}` };
  }
  const width = canvas.width;
  const height = canvas.height;
  const page = canvas.getContext('2d').getImageData(0, 0, width, height).data;
  const scratch = document.createElement('canvas');
  scratch.width = width;
  scratch.height = height;
  const scratchContext = scratch.getContext('2d', { willReadFrequently: true });
  scratchContext.drawImage(image, 0, 0);
  const desktop = scratchContext.getImageData(0, 0, width, height).data;
  let equal = 0;
  for (let i = 0; i < page.length; i += 4) {
    if (page[i] === desktop[i] && page[i + 1] === desktop[i + 1] && page[i + 2] === desktop[i + 2]) ++equal;
  }
  let worst = { difference: 0, x: 0, y: 0 };
  for (let by = 0; by + block <= height; by += block) {
    for (let bx = 0; bx + block <= width; bx += block) {
      for (let channel = 0; channel < 3; ++channel) {
        let sum = 0;
        for (let y = by; y < by + block; ++y) {
          for (let x = bx; x < bx + block; ++x) {
            const at = (y * width + x) * 4 + channel;
            sum += page[at] - desktop[at];
          }
        }
        const difference = Math.abs(sum) / (block * block);
        if (difference > worst.difference) worst = { difference, x: bx, y: by };
      }
    }
  }
  return { equalShare: equal / (width * height), worst };
}

async function compareWindows(game, snap, scale) {
  const desktopState = parseDump(fs.readFileSync(path.join(snaps, `${snap}.txt`), 'utf8'));
  const wanted = comparableState(desktopState);
  await game.until((state) => comparableState(state) === wanted, `the desktop's state at ${snap}`);
  for (const form of desktopState.get('open').split(',')) {
    const png = fs.readFileSync(path.join(snaps, `${snap}-${form}.png`)).toString('base64');
    const result = await game.page.evaluate(compareInPage, { form, png, block: blockSide * scale });
    assert.equal(result.error, undefined, result.error);
    const where = `${snap}, ${form}`;
    const failure = result.equalShare < equalShareAtLeast
      ? `only ${(100 * result.equalShare).toFixed(1)}% of the pixels equal the desktop's`
      : result.worst.difference > blockTolerance
        ? `the block at ${result.worst.x},${result.worst.y} differs from the desktop's by ${result.worst.difference.toFixed(1)} on average`
        : null;
    if (failure) {
      keepSnaps = true;
      const picture = await game.page.evaluate((name) =>
        document.querySelector(`[data-form="${name}"] canvas.qv-client`).toDataURL('image/png'), form);
      const pagePng = path.join(snaps, `${snap}-${form}-page.png`);
      fs.writeFileSync(pagePng, Buffer.from(picture.split(',')[1], 'base64'));
      assert.fail(`${where}: ${failure} (the page's picture: ${pagePng}, the desktop's beside it)`);
    }
  }
}

for (const scale of [1, 2]) {
  test(`the menu, its side panels and the zone select look as on the desktop at ${scale}x`, async () => {
    const context = await browser.newContext({ deviceScaleFactor: scale, viewport: { width: 900, height: 700 } });
    await chooseSizeBeforeLoad(context, '1');
    try {
      const game = await GamePage.open(context, `${server.origin}/`);
      await game.waitState('open', 'frmTitle');
      await game.press('Space');
      for (const step of steps) {
        for (const key of step.keys) await game.press(key);
        await compareWindows(game, `${step.snap}-${scale}x`, scale);
      }
      game.assertNoErrors();
    } finally {
      await context.close();
    }
  });
}
