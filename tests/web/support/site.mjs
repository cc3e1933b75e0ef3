// A static server for the built site and the browser that visits it: the
// pieces every web test and the browser benchmark share.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { before, after } from 'node:test';
import { chromium } from 'playwright-core';

const here = path.dirname(fileURLToPath(import.meta.url));
export const repoRoot = path.resolve(here, '../../..');
export const siteDir = process.env.QUORVEL_WEB_SITE ?? path.join(repoRoot, 'build/web/site');
export const chromiumPath = process.env.QUORVEL_CHROMIUM ?? '/usr/bin/chromium';

const contentTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/json',
  '.webmanifest': 'application/manifest+json',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.svg': 'image/svg+xml',
  '.ico': 'image/x-icon',
  '.woff2': 'font/woff2',
  '.woff': 'font/woff',
  '.ttf': 'font/ttf',
  '.otf': 'font/otf',
  '.txt': 'text/plain; charset=utf-8',
  '.dat': 'application/octet-stream',
};

export function requireSite() {
  const index = path.join(siteDir, 'index.html');
  if (!fs.existsSync(index)) {
    throw new Error(`${index} is missing: build the web preset first (cmake --preset web && cmake --build --preset web)`);
  }
  return siteDir;
}

// Serves each root (URL prefix -> folder) on 127.0.0.1 at a port the system
// picks; 127.0.0.1 counts as a secure origin, so a service worker may run.
// FILES (path -> text) answers those paths instead of the folders.
export async function serveFolders(roots, files = {}) {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://127.0.0.1');
    if (Object.hasOwn(files, url.pathname)) {
      response.writeHead(200, { 'Content-Type': contentTypes[path.extname(url.pathname)] ?? 'text/plain', 'Cache-Control': 'no-cache' });
      response.end(files[url.pathname]);
      return;
    }
    const prefix = Object.keys(roots)
      .sort((a, b) => b.length - a.length)
      .find((p) => url.pathname.startsWith(p));
    if (prefix === undefined) {
      response.writeHead(404).end();
      return;
    }
    let relative = decodeURIComponent(url.pathname.slice(prefix.length));
    if (relative === '' || relative.endsWith('/')) relative += 'index.html';
    const file = path.resolve(roots[prefix], relative);
    if (!file.startsWith(path.resolve(roots[prefix]))) {
      response.writeHead(403).end();
      return;
    }
    fs.readFile(file, (error, bytes) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, {
        'Content-Type': contentTypes[path.extname(file)] ?? 'application/octet-stream',
        'Cache-Control': 'no-cache',
      });
      response.end(bytes);
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    origin: `http://127.0.0.1:${server.address().port}`,
    // Also drops open keep-alive connections: after close nothing answers.
    close: () => new Promise((resolve) => {
      server.close(resolve);
      server.closeAllConnections();
    }),
  };
}

export function serveSite() {
  return serveFolders({ '/': requireSite() });
}

// The site's server and a browser for the tests of one file: started before
// the first test, closed after the last. Tests read `site.server.origin` and
// `site.browser`.
export function useSiteAndBrowser() {
  const site = { server: null, browser: null };
  before(async () => {
    site.server = await serveSite();
    site.browser = await launchBrowser();
  });
  after(async () => {
    await site.browser?.close();
    await site.server?.close();
  });
  return site;
}

// The flags keep a root-run headless Chromium from reaching out to the
// network on its own, which this machine's closed network refuses.
export const chromiumArgs = [
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

export async function launchBrowser() {
  if (!fs.existsSync(chromiumPath)) {
    throw new Error(`${chromiumPath} is missing: scripts/install-deps.sh installs Debian's chromium`);
  }
  return chromium.launch({ executablePath: chromiumPath, headless: true, args: chromiumArgs });
}
