// What the desktop build writes: the native replay driver plays a name
// entry and its records file is read back.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

export function replayDriver() {
  const driver = process.env.QUORVEL_REPLAY;
  if (!driver || !fs.existsSync(driver)) {
    throw new Error(`QUORVEL_REPLAY must name the native quorvel-replay (it is "${driver ?? ''}")`);
  }
  return driver;
}

// The bytes of qorvl.dat after the default table took SCORE under NAME in
// ZONE through the name entry.
export function desktopSaveOf(zone, name, score) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvel-desktop-save-'));
  try {
    fs.mkdirSync(path.join(folder, 'appdir'));
    const script = path.join(folder, 'save.scn');
    fs.writeFileSync(script, [
      'appdir appdir',
      'start',
      `set CurrentZone ${zone}`,
      `set LastScore ${score}`,
      `set RecordScore(${zone},10) ${score}`,
      'set NewRecord 1',
      'show frmNentry',
      'close frmTitle',
      `type ${name}`,
      `expect frmNentry.Text1.Text=${name}`,
      'key Enter',
      'expect open=frmNentry,frmCertif',
      'key Enter',
      'expect open=frmTitle',
      '',
    ].join('\n'));
    execFileSync(replayDriver(), [script, folder], {
      env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' },
      stdio: ['ignore', 'pipe', 'pipe'],
    });
    return fs.readFileSync(path.join(folder, 'appdir', 'qorvl.dat'));
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}
