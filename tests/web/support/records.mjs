// The page's "Export records" and "Import records" controls.
import assert from 'node:assert/strict';
import fs from 'node:fs';

// By id: the page's texts follow the browser's language.
function control(game, id) {
  return game.page.locator(`#qv-page-buttons #${id}`);
}

// The bytes of the file the page downloads.
export async function exportRecords(game) {
  const [download] = await Promise.all([game.page.waitForEvent('download'), control(game, 'qv-export-records').click()]);
  assert.equal(download.suggestedFilename(), 'qorvl.dat');
  return fs.readFileSync(await download.path());
}

export async function importRecords(game, name, bytes) {
  const [chooser] = await Promise.all([game.page.waitForEvent('filechooser'), control(game, 'qv-import-records').click()]);
  await chooser.setFiles({ name, mimeType: 'application/octet-stream', buffer: bytes });
}

// The page's alerts, as one text.
export async function alertText(game) {
  const texts = await game.page.locator('[role="alert"]').allInnerTexts();
  return texts.join('\n');
}
