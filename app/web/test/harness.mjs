// What the page's test and its measurement share: where the site and the
// screenshots are, the site served on the loopback address by node itself,
// Debian's Chromium driven by Playwright (never a browser of its own), and
// the build's own programs run to their end.

import { execFile } from 'node:child_process';
import { createReadStream } from 'node:fs';
import { access, mkdir, rename, stat, writeFile } from 'node:fs/promises';
import { createServer } from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const webFolder = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const repositoryRoot = path.resolve(webFolder, '..', '..');

export const chromiumPath = '/usr/bin/chromium';

// Root needs --no-sandbox; the GPU, networking of its own, updates and sync
// have no place in a test. The last three keep animation frames and timers
// at full rate in a window that nobody sees.
export const chromiumArguments = [
  '--no-sandbox',
  '--disable-gpu',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  '--no-first-run',
  '--disable-background-timer-throttling',
  '--disable-renderer-backgrounding',
  '--disable-backgrounding-occluded-windows',
];

// The site: the first argument when a script is run directly, else
// SWIMMER_SITE (the test runner passes no arguments to a test file), else
// the WebAssembly build's.
export function siteFolder(argument = process.argv[2]) {
  return path.resolve(argument || process.env.SWIMMER_SITE || path.join(repositoryRoot, 'build', 'wasm', 'web'));
}

// Screenshots and the page's console go beside the site: build/wasm/web
// gives build/wasm/web-test.
export function artifactsFolder(site) {
  return path.resolve(site) + '-test';
}

export const siteFiles = ['index.html', 'swimmer-page.js', 'swimmer-panel.js', 'swimmer-networks.js',
                          'swimmer-web.js', 'swimmer-web.wasm', 'swimmer-learning.js', 'swimmer-curve.js',
                          'swimmer-learner-worker.js', 'swimmer-learner.js', 'swimmer-learner.wasm',
                          'swimmer-messages.js', 'swimmer-common.js', 'uplot/uPlot.esm.js',
                          'uplot/uPlot.min.css'];

export async function checkSite(site) {
  for (const file of siteFiles) {
    try {
      await access(path.join(site, file));
    } catch {
      throw new Error(`no ${file} in ${site}: build the page first (cmake --build --preset wasm), ` +
                      'or name the site folder as the argument or in SWIMMER_SITE');
    }
  }
}

async function loadPackage(name) {
  try {
    return await import(name);
  } catch (error) {
    if (error.code === 'ERR_MODULE_NOT_FOUND')
      throw new Error(`${name} is not installed: run npm ci in app/web ` +
                      '(cd app/web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci)');
    throw error;
  }
}

// Playwright's Chromium and a PNG decoder (to RGBA), or an error that says
// how to install them.
export async function loadPackages() {
  const [{ chromium }, pngjs] = await Promise.all([loadPackage('playwright-core'), loadPackage('pngjs')]);
  return { chromium, decodePng: (pngjs.PNG ?? pngjs.default.PNG).sync.read };
}

// A whole file or none: a reader never finds half a screenshot.
export async function writeWhole(file, data) {
  await mkdir(path.dirname(file), { recursive: true });
  const temporary = `${file}.${process.pid}.partial`;
  await writeFile(temporary, data);
  await rename(temporary, file);
}

// Debian's Chromium, headless. What the browser itself prints goes to
// standard error with DEBUG=pw:browser in the environment.
export function launchChromium(chromium) {
  return chromium.launch({ executablePath: chromiumPath, headless: true, args: chromiumArguments });
}

const contentTypes = new Map([
  ['.html', 'text/html; charset=utf-8'],
  ['.js', 'text/javascript; charset=utf-8'],
  ['.mjs', 'text/javascript; charset=utf-8'],
  // Without it the browser refuses to compile the module while it streams in.
  ['.wasm', 'application/wasm'],
  ['.json', 'application/json'],
  ['.css', 'text/css; charset=utf-8'],
  ['.png', 'image/png'],
  ['.ico', 'image/x-icon'],
  ['.txt', 'text/plain; charset=utf-8'],
]);

export function contentType(file) {
  return contentTypes.get(path.extname(file).toLowerCase()) ?? 'application/octet-stream';
}

// The file an address names inside root, or null when it names none there:
// the path is decoded before it is resolved, so an encoded "../" cannot
// climb out of the site.
export function fileForAddress(root, address) {
  let pathname;
  try {
    pathname = decodeURIComponent(new URL(address, 'http://127.0.0.1').pathname);
  } catch {
    return null;
  }
  if (pathname.includes('\0'))
    return null;
  if (pathname.endsWith('/'))
    pathname += 'index.html';
  const file = path.resolve(root, '.' + pathname);
  return file.startsWith(root + path.sep) ? file : null;
}

// The site folder on 127.0.0.1 at a port of the system's choosing; GET and
// HEAD only, nothing cached. Resolves to { url, close }.
export async function serveSite(folder) {
  const root = path.resolve(folder);
  const server = createServer(async (request, response) => {
    if (request.method !== 'GET' && request.method !== 'HEAD') {
      response.writeHead(405, { Allow: 'GET, HEAD' }).end();
      return;
    }
    const file = fileForAddress(root, request.url);
    const info = file === null ? null : await stat(file).catch(() => null);
    if (info === null || !info.isFile()) {
      response.writeHead(404, { 'Content-Type': 'text/plain; charset=utf-8' }).end('not found\n');
      return;
    }
    response.writeHead(200, {
      'Content-Type': contentType(file),
      'Content-Length': info.size,
      'Cache-Control': 'no-store',
    });
    if (request.method === 'HEAD') {
      response.end();
      return;
    }
    createReadStream(file).on('error', () => response.destroy()).pipe(response);
  });
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', resolve);
  });
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((resolve) => {
      server.closeAllConnections();
      server.close(() => resolve());
    }),
  };
}

// A network file's lines but its comments: what two writers of the same
// network agree on.
export const networkItems = (text) => text.split('\n').filter((line) => !line.startsWith('#'));

// A program of the build: the path the test runner gives in the variable,
// else the WebAssembly build's. Node runs the .js ones.
export function buildProgram(variable, name) {
  return process.env[variable] || path.join(repositoryRoot, 'build', 'wasm', 'bin', `${name}.js`);
}

// Runs a program of the build to its end: { status, stdout, stderr }.
export function runProgram(program, args) {
  const [command, all] = program.endsWith('.js') ? [process.execPath, [program, ...args]] : [program, args];
  return new Promise((resolve, reject) => {
    execFile(command, all, { maxBuffer: 64 << 20 }, (error, stdout, stderr) => {
      if (error && typeof error.code !== 'number')
        reject(error);
      else
        resolve({ status: error ? error.code : 0, stdout, stderr });
    });
  });
}

// The view's pace over a while in which networks may be loaded: ticks and
// dropped periods summed over every swimmer the view swims (a loaded
// network restarts the swimmer's counts), sampled at each animation frame.
// stopPaceSampler resolves to {ticks, dropped, seconds}.
export function startPaceSampler(page) {
  return page.evaluate(() => {
    const sampled = { ticks: 0, dropped: 0, seconds: 0, begin: performance.now(), last: swimmerPage.state(), on: true };
    window.swimmerPaceSampler = sampled;
    (function sample() {
      const now = swimmerPage.state();
      const restarted = now.ticks < sampled.last.ticks;
      sampled.ticks += restarted ? now.ticks : now.ticks - sampled.last.ticks;
      sampled.dropped += restarted ? now.dropped : now.dropped - sampled.last.dropped;
      sampled.last = now;
      sampled.seconds = (now.now - sampled.begin) / 1000;
      if (sampled.on)
        requestAnimationFrame(sample);
    })();
  });
}

export function stopPaceSampler(page) {
  return page.evaluate(() => {
    const { ticks, dropped, seconds } = window.swimmerPaceSampler;
    window.swimmerPaceSampler.on = false;
    return { ticks, dropped, seconds };
  });
}
