// The swimmer's page in Debian's headless Chromium, driven by Playwright
// with real screenshots, mouse presses and key presses, real file choices,
// drops and downloads. The steps run in order on one page; after a failed
// step the rest are skipped, since each starts where the one before left
// the page. The network files come from a trainer (the native one, whose
// bytes the page must learn, as CTest runs it) and go back to a headless
// driver (SWIMMER_TRAIN and SWIMMER_HEADLESS, else the WebAssembly build's,
// run by node).
//
//   node --test app/web/test/page.test.mjs            (site: build/wasm/web)
//   SWIMMER_SITE=folder node --test app/web/test/page.test.mjs
//   node app/web/test/page.test.mjs folder
//
// Screenshots and what the page logged land beside the site, in <site>-test
// (build/wasm/web-test).

import assert from 'node:assert/strict';
import { mkdtemp, readFile, rm, truncate, writeFile } from 'node:fs/promises';
import { request } from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import { setTimeout as sleep } from 'node:timers/promises';

import {
  artifactsFolder, buildProgram, checkSite, contentType, fileForAddress, launchChromium,
  loadPackages, networkItems, runProgram, serveSite, siteFolder, startPaceSampler, stopPaceSampler,
  writeWhole,
} from './harness.mjs';

// Before anything else, so that a missing install says so first.
const { chromium, decodePng } = await loadPackages();

const site = siteFolder();
const artifacts = artifactsFolder(site);
const trainer = buildProgram('SWIMMER_TRAIN', 'swimmer-train');
const headless = buildProgram('SWIMMER_HEADLESS', 'swimmer-headless');

const PixelsPerUnit = 70;
const TicksPerSecond = 100;
const SegmentPixels = PixelsPerUnit;  // one segment is one length unit
const Segments = 3;
// Seconds: the page's start (module compiled, first frame), and the waits
// while the swimmer swims.
const StartWait = 30;
const PaceTime = 3.0;
const TurnSettle = 2.5;  // after the click, before the heading is judged
const TurnTime = 2.5;
// Real-time pace: the ticks over PaceTime against 100 a second. Frames come
// late on a busy machine, and periods beyond 10 waiting ticks are dropped,
// so fewer is possible; more than one tick per 10 ms never is (plus the one
// frame of slack between the release and the first frame).
const SlowestPace = 0.8;
// Swimming left after the turn: measured 0.95 units/s (swimmer-headless
// with the same click); half of that over TurnTime is plenty.
const LeastLeftward = 0.45 * TurnTime;
// Radians: a press on the head's row or column sets the direction to a
// multiple of pi/2 up to the part of a pixel the head lies off it.
const DirectionTolerance = 0.05;
const FiguresLine = /^t = \d+\.\d\d s {3}\d+ ticks\/s {3}\d+ dropped {3}speed \d+\.\d{3} units\/s$/;

const White = [255, 255, 255];
const Palette = { white: White, black: [0, 0, 0], red: [255, 0, 0] };

function colourName(r, g, b) {
  for (const [name, [pr, pg, pb]] of Object.entries(Palette))
    if (r === pr && g === pg && b === pb)
      return name;
  return null;
}

const inside = (boxes, x, y) =>
  boxes.some((b) => x >= b.left && x < b.right && y >= b.top && y < b.bottom);

// The pixels of a decoded RGBA image by colour: the positions of the red
// and the black ones, and those of no colour of the picture, leaving out
// the boxes `outside` (the page's controls and text, which are antialiased).
function classify(image, outside = []) {
  const found = { red: [], black: [], foreign: [] };
  for (let y = 0; y < image.height; y++)
    for (let x = 0; x < image.width; x++) {
      if (inside(outside, x, y))
        continue;
      const o = 4 * (y * image.width + x);
      const name = colourName(image.data[o], image.data[o + 1], image.data[o + 2]);
      if (name === null)
        found.foreign.push(`(${x},${y}) rgb(${image.data.slice(o, o + 3).join(',')})`);
      else if (name !== 'white')
        found[name].push({ x, y });
    }
  return found;
}

function assertOnlyPalette(found, what) {
  assert.equal(found.foreign.length, 0,
               `${what}: ${found.foreign.length} pixels neither white, black nor red, ` +
               `e.g. ${found.foreign.slice(0, 4).join(' ')}`);
}

// The module's own RGBA pixels, as [index, r, g, b] for every pixel that is
// not white: the picture the page computed, whatever it shows.
function ownPicture() {
  const m = swimmerPage.module, width = m._SwimmerWidth(), height = m._SwimmerHeight();
  const base = m._SwimmerPixels(), bytes = m.HEAPU8, coloured = [];
  for (let i = 0; i < width * height; i++) {
    const o = base + 4 * i;
    if (bytes[o] !== 255 || bytes[o + 1] !== 255 || bytes[o + 2] !== 255 || bytes[o + 3] !== 255)
      coloured.push([i, bytes[o], bytes[o + 1], bytes[o + 2]]);
  }
  return { width, height, coloured };
}

// Every pixel of the screenshot against the module's own, exactly, but
// those under the boxes `outside`.
function assertShowsOwnPicture(image, own, what, outside = []) {
  assert.deepEqual([image.width, image.height], [own.width, own.height],
                   `${what}: the screenshot's size against the module's`);
  const expected = new Uint8Array(image.width * image.height * 3).fill(255);
  for (const [i, r, g, b] of own.coloured)
    expected.set([r, g, b], 3 * i);
  const wrong = [];
  for (let i = 0; i < image.width * image.height; i++) {
    if (inside(outside, i % image.width, Math.floor(i / image.width)))
      continue;
    const shown = image.data.slice(4 * i, 4 * i + 3), meant = expected.slice(3 * i, 3 * i + 3);
    if (shown[0] !== meant[0] || shown[1] !== meant[1] || shown[2] !== meant[2])
      wrong.push(`(${i % image.width},${Math.floor(i / image.width)}) ` +
                 `rgb(${shown.join(',')}) not rgb(${meant.join(',')})`);
  }
  assert.equal(wrong.length, 0, `${what}: ${wrong.length} pixels differ from the module's own, ` +
                                `e.g. ${wrong.slice(0, 5).join(', ')}`);
}

// The head's pixel on the view, y downwards, from the module's state.
function headPixel(state) {
  return { x: state.headX * PixelsPerUnit, y: state.height - state.headY * PixelsPerUnit };
}

describe('the site server', () => {
  // What node's server must answer; the wasm type matters, since without
  // it Chromium will not compile the module as it streams in.
  const root = path.resolve('/srv/site');
  const cases = [
    ['/', path.join(root, 'index.html'), 'text/html; charset=utf-8'],
    ['/index.html?hold', path.join(root, 'index.html'), 'text/html; charset=utf-8'],
    ['/swimmer-web.wasm', path.join(root, 'swimmer-web.wasm'), 'application/wasm'],
    ['/swimmer-web.js', path.join(root, 'swimmer-web.js'), 'text/javascript; charset=utf-8'],
    ['/a%20b/c.PNG', path.join(root, 'a b', 'c.PNG'), 'image/png'],
    ['/../package.json', path.join(root, 'package.json'), 'application/json'],  // URLs drop ../ at the root
    ['/..%2f..%2fpackage.json', null],
    ['/%2e%2e%2fsecret', null],
    ['/x%00.html', null],
    ['/%E0%A4%A', null],  // not UTF-8
  ];
  for (const [address, file, type] of cases)
    it(`${address} is ${file ?? 'refused'}`, () => {
      assert.equal(fileForAddress(root, address), file);
      if (file !== null)
        assert.equal(contentType(file), type);
    });

  it('serves the site, and nothing beside it', async () => {
    await checkSite(site);
    const server = await serveSite(site);
    const get = (address, method = 'GET') => new Promise((resolve, reject) => {
      const { port } = new URL(server.url);
      request({ host: '127.0.0.1', port, path: address, method }, (response) => {
        const chunks = [];
        response.on('data', (chunk) => chunks.push(chunk));
        response.on('end', () => resolve({ status: response.statusCode, headers: response.headers,
                                           body: Buffer.concat(chunks) }));
      }).on('error', reject).end();
    });
    try {
      const wasm = await get('/swimmer-web.wasm');
      assert.equal(wasm.status, 200);
      assert.equal(wasm.headers['content-type'], 'application/wasm');
      assert.deepEqual([...wasm.body.subarray(0, 4)], [0, 0x61, 0x73, 0x6d], 'the wasm magic number');
      assert.equal(Number(wasm.headers['content-length']), wasm.body.length);
      const head = await get('/swimmer-web.js', 'HEAD');
      assert.equal(head.status, 200);
      assert.equal(head.headers['content-type'], 'text/javascript; charset=utf-8');
      // A file that surely exists outside, however deep the site lies.
      const climb = '..%2f'.repeat(site.split(path.sep).length);
      assert.equal((await get(`/${climb}etc%2fpasswd`)).status, 404);
      assert.equal((await get('/no-such-file.js')).status, 404);
      assert.equal((await get('/', 'POST')).status, 405);
    } finally {
      await server.close();
    }
  });
});

describe('the page in Chromium', () => {
  let server, browser, page;
  let broken = null;
  const problems = [];
  const consoleLines = [];

  // A folder for the test's files, and a network of four segments from a
  // short run of the trainer: it need not swim well, only be a network.
  let work, four;
  before(async () => {
    work = await mkdtemp(path.join(tmpdir(), 'swimmer-page-'));
    const file = path.join(work, 'four.net');
    const training = await runProgram(trainer, ['--segments', '4', '--steps', '20000', '--check-every', '20000',
                                                '--output', file]);
    assert.equal(training.status, 0, `${trainer}: ${training.stderr}`);
    four = { file, text: await readFile(file, 'utf8') };
  });

  before(async () => {
    await checkSite(site);
    server = await serveSite(site);
    browser = await launchChromium(chromium);
    const context = await browser.newContext({ viewport: { width: 1400, height: 700 }, deviceScaleFactor: 1 });
    page = await context.newPage();
    page.on('pageerror', (error) => problems.push(`exception: ${error.message}`));
    page.on('console', (message) => {
      consoleLines.push(`${message.type()}: ${message.text()}`);
      if (message.type() === 'error' || message.type() === 'assert')
        problems.push(`console.${message.type()}: ${message.text()}`);
    });
    page.on('crash', () => problems.push('the page crashed'));
    page.on('requestfailed', (failed) => problems.push(`${failed.url()}: ${failed.failure()?.errorText}`));
    page.on('response', (response) => {
      if (response.status() >= 400)
        problems.push(`${response.url()}: HTTP ${response.status()}`);
    });
  });

  after(async () => {
    try {
      await writeWhole(path.join(artifacts, 'console.log'),
                       consoleLines.concat(problems.map((p) => `problem: ${p}`), '').join('\n'));
    } finally {
      await browser?.close();
      await server?.close();
      await rm(work, { recursive: true, force: true });
    }
  });

  // A step of the run: skipped once one before it failed.
  function step(name, body, seconds = 60) {
    it(name, { timeout: seconds * 1000 }, async (t) => {
      if (broken !== null) {
        t.skip(`"${broken}" failed`);
        return;
      }
      try {
        await body(t);
      } catch (error) {
        broken = name;
        throw error;
      }
    });
  }

  const state = () => page.evaluate(() => swimmerPage.state());

  async function waitFor(predicate, argument, seconds, what) {
    try {
      await page.waitForFunction(predicate, argument, { timeout: seconds * 1000, polling: 50 });
    } catch (error) {
      throw new Error(`${what}: not so after ${seconds} s (${error.message.split('\n')[0]})`);
    }
  }

  async function framesLater(count) {
    const first = await page.evaluate(() => swimmerPage.frames);
    await waitFor((n) => swimmerPage.frames >= n, first + count, 10, `${count} more frames`);
  }

  async function screenshot(name) {
    const png = await page.screenshot({ type: 'png' });
    await writeWhole(path.join(artifacts, `${name}.png`), png);
    return decodePng(png);
  }

  // The boxes of the page's own controls that are shown: the network
  // control always, the panel when open, the figures when shown.
  const controlBoxes = () => page.evaluate(() =>
    [...document.querySelectorAll('#menu, #panel, #overlay')]
      .filter((e) => getComputedStyle(e).display !== 'none')
      .map((e) => {
        const r = e.getBoundingClientRect();
        return { left: Math.floor(r.left), top: Math.floor(r.top), right: Math.ceil(r.right),
                 bottom: Math.ceil(r.bottom) };
      }));

  const overlayDisplay = () =>
    page.evaluate(() => getComputedStyle(document.getElementById('overlay')).display);

  // A left press of a mouse button, as the click-th press of a click series
  // (2: the second press of a double click).
  async function press(x, y, clickCount = 1) {
    await page.mouse.move(x, y);
    await page.mouse.down({ button: 'left', clickCount });
    await page.mouse.up({ button: 'left', clickCount });
  }

  let start = null;

  step('starts: title, module, figures hidden', async (t) => {
    await page.goto(server.url + 'index.html?hold');
    await waitFor(() => window.swimmerPage !== undefined && (swimmerPage.ready || swimmerPage.error !== null),
                  undefined, StartWait, 'the page starts');
    assert.equal(await page.evaluate(() => swimmerPage.error), null, 'the page reports an error');
    assert.equal(await page.title(), 'Swimmer. Click to change swimming direction');
    assert.equal(await overlayDisplay(), 'none', 'the figures are hidden at start');
    // New at start is only the control in the top-right corner; its panel
    // is closed.
    assert.equal(await page.evaluate(() => document.getElementById('panel').hidden), true, 'the panel starts closed');
    const [menu, ...others] = await controlBoxes();
    assert.deepEqual(others, [], 'nothing but the control is shown over the view');
    assert.ok(menu.left >= 1400 - 320 && menu.right <= 1400 && menu.top >= 0 && menu.bottom <= 48,
              `the control ${JSON.stringify(menu)} lies outside the top-right 320 x 48`);
    t.diagnostic(`${server.url} in Chromium ${browser.version()}`);
  });

  step('held at tick 0 on 1400 x 700, shows the start picture exactly', async (t) => {
    await framesLater(2);
    const image = await screenshot('start');
    const begin = await state();
    const own = await page.evaluate(ownPicture);
    assert.deepEqual([image.width, image.height, begin.width, begin.height], [1400, 700, 1400, 700]);
    assert.equal(begin.ticks, 0, 'held at tick 0');
    const controls = await controlBoxes();
    const found = classify(image, controls);
    assertOnlyPalette(found, 'the start picture');
    // The module's pixels are the start picture, pixel for pixel: its tests
    // show that on the very code the page loads.
    assertShowsOwnPicture(image, own, 'the start picture', controls);

    // And they are a swimmer's: the red head's 5 x 5 marker on the head's
    // pixel, the black segments straight up from it, three segment lengths
    // to the top joint's marker.
    const exact = headPixel(begin), head = { x: Math.round(exact.x), y: Math.round(exact.y) };
    assert.ok(found.red.length > 0, 'a red head');
    for (const { x, y } of found.red)
      assert.ok(Math.abs(x - head.x) <= 2 && Math.abs(y - head.y) <= 2,
                `red pixel (${x},${y}) outside the head's marker at (${head.x},${head.y})`);
    assert.ok(found.black.length > 0, 'black segments');
    const top = Math.min(...found.black.map((p) => p.y));
    assert.equal(top, head.y - Segments * SegmentPixels - 2, 'the top joint\'s marker');
    assert.ok(found.black.some((p) => p.x === head.x && p.y === head.y - 1), 'the line leaves the head');
    start = found;
    t.diagnostic(`red head at (${head.x}, ${head.y}): ${found.red.length} red and ` +
                 `${found.black.length} black pixels, as the module drew them`);
  });

  step('released, keeps real-time pace and swims right', async (t) => {
    await page.evaluate(() => swimmerPage.release());
    const released = await state();
    await sleep(PaceTime * 1000);
    const paced = await state();
    const elapsed = (paced.now - released.now) / 1000;
    const ticks = paced.ticks - released.ticks;
    const least = SlowestPace * elapsed * TicksPerSecond;
    const most = (elapsed + 0.02) * TicksPerSecond + 1;
    const figures = `${ticks} ticks in ${elapsed.toFixed(2)} s of wall clock ` +
                    `(${(ticks / elapsed).toFixed(1)} a second, ${paced.dropped} dropped)`;
    assert.ok(ticks >= least && ticks <= most, `${figures}: not within ${least.toFixed(0)} to ${most.toFixed(0)}`);
    t.diagnostic(figures);
    assert.ok(paced.unwrappedHeadX > released.unwrappedHeadX + 0.5,
              `the head swam right only from x ${released.unwrappedHeadX} to ${paced.unwrappedHeadX}`);
    const found = classify(await screenshot('swimming'), await controlBoxes());
    assertOnlyPalette(found, 'the swimming picture');
    assert.ok(found.red.length > 0, 'the swimmer is drawn while it swims');
    assert.notDeepEqual(found, start, 'the picture moved');
  });

  step('a real mouse click left of the head turns it; a double click counts once', async (t) => {
    const head = headPixel(await state());
    const clickX = Math.max(0, Math.trunc(head.x) - 400), clickY = Math.trunc(head.y);
    // A press above the head, then the second press of a double click
    // elsewhere (to tell the two apart): the window ignores that one, so
    // the direction stays straight up.
    await press(Math.trunc(head.x), Math.max(0, Math.trunc(head.y) - 200));
    await press(clickX, clickY, 2);
    const doubled = await state();
    assert.ok(Math.abs(doubled.target - Math.PI / 2) < DirectionTolerance,
              `a double click set the direction to ${doubled.target}, not once, straight up`);
    await press(clickX, clickY);
    const clicked = await state();
    assert.ok(Math.abs(Math.abs(clicked.target) - Math.PI) < DirectionTolerance,
              `the click at (${clickX}, ${clickY}) set the direction to ${clicked.target}, not pi`);
    await sleep(TurnSettle * 1000);
    const turned = await state();
    await sleep(TurnTime * 1000);
    const later = await state();
    const moved = later.unwrappedHeadX - turned.unwrappedHeadX;
    const figures = `the head swam left by ${(-moved).toFixed(3)} units in ` +
                    `${((later.now - turned.now) / 1000).toFixed(2)} s`;
    assert.ok(moved < -LeastLeftward, `after the turn ${figures}, less than ${LeastLeftward}`);
    t.diagnostic(figures);
  });

  step('T shows the line of figures, T again hides it', async (t) => {
    await page.keyboard.press('t');
    await framesLater(2);
    const line = await page.evaluate(() => document.getElementById('overlay').textContent);
    assert.notEqual(await overlayDisplay(), 'none', 'T shows the figures');
    assert.match(line, FiguresLine);
    t.diagnostic(line);
    // The figures' text is antialiased; the swimmer around it is not.
    assertOnlyPalette(classify(await screenshot('figures'), await controlBoxes()), 'the picture around the figures');
    await page.keyboard.press('t');
    assert.equal(await overlayDisplay(), 'none', 'T again hides the figures');
  });

  step('a smaller view: takes the size, ticks on, shows exactly its own picture', async (t) => {
    await page.setViewportSize({ width: 900, height: 500 });
    await waitFor(() => swimmerPage.state().width === 900 && swimmerPage.state().height === 500,
                  undefined, 10, 'the page takes the size 900 x 500');
    const before = await state();
    await sleep(1000);
    const after = await state();
    assert.ok(after.ticks > before.ticks + 50, `only ${after.ticks - before.ticks} ticks in 1 s after the resize`);
    t.diagnostic(`${after.ticks - before.ticks} ticks in the second after the resize`);
    await page.evaluate(() => { swimmerPage.held = true; });
    await framesLater(3);
    const image = await screenshot('resized');
    assert.deepEqual([image.width, image.height], [900, 500]);
    const controls = await controlBoxes();
    const found = classify(image, controls);
    assertOnlyPalette(found, 'the picture after the resize');
    assertShowsOwnPicture(image, await page.evaluate(ownPicture), 'the resized view', controls);
    assert.ok(found.black.length > 0, 'the swimmer is drawn after the resize');
    await page.evaluate(() => swimmerPage.release());
  });

  // Networks in and out of the page.

  // What the headless driver, which reads network files with the same
  // reader, says of the file: its message, without the program's prefix
  // and with the file's bare name for its path, or null when it swims.
  async function headlessVerdict(file) {
    const run = await runProgram(headless, ['--network', file, '--ticks', '10', '--no-csv']);
    return run.status === 0 ? null
      : run.stderr.trim().replace(/^swimmer-headless: /, '').replace(file, path.basename(file));
  }

  // The lines that are no comment: what the writer writes but for its
  // comments.
  const items = networkItems;  // what two writers of one network agree on

  const loads = () => page.evaluate(() => swimmerPage.loads);
  async function loaded(since, what) {
    await waitFor((n) => swimmerPage.loads > n, since, 10, what);
    return page.evaluate(() => document.getElementById('network-message').textContent);
  }

  step('the control opens the panel beside the figures, and the swimmer keeps its pace', async (t) => {
    await page.setViewportSize({ width: 1400, height: 700 });
    await page.keyboard.press('t');
    await page.click('#menu');
    assert.equal(await page.evaluate(() => document.getElementById('panel').hidden), false, 'the panel opens');
    const [menu, panel, figures] = await page.evaluate(() =>
      ['menu', 'panel', 'overlay'].map((id) => document.getElementById(id).getBoundingClientRect().toJSON()));
    assert.ok(panel.left >= figures.right, `the panel ${JSON.stringify(panel)} covers the figures ${JSON.stringify(figures)}`);
    assert.ok(panel.right <= menu.right && panel.top >= menu.bottom, 'the panel hangs below the control');
    const choices = await page.$$eval('#network-choices button', (buttons) => buttons.map((b) => b.textContent));
    const shipped = await page.evaluate(() => swimmerPage.shippedNetworks);
    assert.deepEqual(choices, [`Embedded, ${Segments} segments`, ...shipped], 'the embedded network and each shipped one');
    t.diagnostic(`offered: ${choices.join(', ')}`);

    // A press inside the panel is no press on the view.
    const target = (await state()).target;
    await press(panel.left + 5, panel.bottom - 5);
    const before = await state();
    assert.equal(before.target, target, 'a press on the panel steered the swimmer');
    await sleep(2000);
    const after = await state();
    const elapsed = (after.now - before.now) / 1000;
    assert.ok(after.ticks - before.ticks >= SlowestPace * elapsed * TicksPerSecond,
              `${after.ticks - before.ticks} ticks in ${elapsed.toFixed(2)} s with the panel open`);
    await page.keyboard.press('t');
  });

  step('a trained four-segment file opened in the panel swims as four segments', async (t) => {
    await page.evaluate(() => { swimmerPage.held = true; });
    const since = await loads();
    await page.setInputFiles('#network-file', four.file);
    const shown = await loaded(since, 'the file loads');
    assert.match(shown, /^Swimming with four\.net: 4 segments\./);
    const begin = await state();
    assert.equal(begin.segments, 4);
    assert.equal(begin.ticks, 0, 'the new swimmer starts from its start');
    assert.deepEqual(await page.evaluate(() => swimmerPage.network), 'four.net');

    // At the start every segment points straight up from the head: the top
    // joint's marker four segment lengths above it, the picture exactly the
    // module's own.
    await page.keyboard.press('Escape');
    await framesLater(2);
    const image = await screenshot('four-segments');
    const controls = await controlBoxes();
    assertShowsOwnPicture(image, await page.evaluate(ownPicture), 'four segments', controls);
    const found = classify(image, controls);
    assertOnlyPalette(found, 'four segments');
    const head = headPixel(begin);
    const top = Math.min(...found.black.map((p) => p.y));
    assert.ok(Math.abs(top - (head.y - 4 * SegmentPixels - 2)) <= 1.5,
              `the top joint's marker at row ${top}, not four segments above the head at ${head.y}`);
    for (const { x, y } of found.red)
      assert.ok(Math.abs(x - head.x) <= 3 && Math.abs(y - head.y) <= 3, `red pixel (${x},${y}) off the head`);
    // A joint's 5 x 5 marker every segment length up, four of them: two
    // pixels beside the line only a marker is black.
    const hx = Math.round(head.x), markerAt = (k) =>
      found.black.some((p) => p.x === hx + 2 && Math.abs(p.y - (head.y - k * SegmentPixels)) <= 1);
    assert.deepEqual([1, 2, 3, 4, 5].map(markerAt), [true, true, true, true, false], 'the joints\' markers');

    // The network comes back as the file, but for the comments.
    const text = await page.evaluate(() => swimmerPage.networkFile());
    assert.deepEqual(items(text), items(four.text));
    assert.ok(four.text.startsWith(text.slice(0, text.indexOf('\nswimmer-network'))),
              'the writer\'s own comment lines open both');
    await page.evaluate(() => swimmerPage.release());
    await sleep(1000);
    const later = await state();
    assert.ok(later.ticks > 50 && later.segments === 4, `${later.ticks} ticks later`);
    t.diagnostic(`${top} is the top row, the head at ${head.y.toFixed(1)}`);
  });

  step('the downloaded network is what networkFile() gives, and the headless driver swims it', async (t) => {
    await page.click('#menu');
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#network-download')]);
    assert.equal(download.suggestedFilename(), 'four.net');
    const saved = path.join(work, 'downloaded.net');
    await download.saveAs(saved);
    const text = await readFile(saved, 'utf8');
    assert.equal(text, await page.evaluate(() => swimmerPage.networkFile()));
    const run = await runProgram(headless, ['--network', saved, '--ticks', '10']);
    assert.equal(run.status, 0, run.stderr);
    const rows = run.stdout.trim().split('\n');
    assert.equal(rows.length, 12, 'a header and ticks 0 to 10');
    assert.match(rows[0], /,theta4,omega4,u1,u2,u3,target$/, 'four segments, three torques');
    t.diagnostic(`${headless} read it: ${rows.length - 1} rows`);
  });

  step('bad files are refused with the reader\'s message, and nothing changes', async (t) => {
    const eight = four.text.replace(/^segments 4$/m, 'segments 8');
    const cases = [
      ['empty.net', Buffer.alloc(0)],
      ['picture.png', Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0, 0, 0, 13])],
      ['notes.txt', Buffer.from('swimmer notes\n')],
      ['eight.net', Buffer.from(eight)],
    ];
    const before = await page.evaluate(() => swimmerPage.networkFile());
    for (const [name, bytes] of cases) {
      await writeFile(path.join(work, name), bytes);
      const expected = await headlessVerdict(path.join(work, name));
      assert.notEqual(expected, null, `the headless driver swims with ${name}`);
      const ticks = (await state()).ticks;
      const since = await loads();
      await page.setInputFiles('#network-file', { name, mimeType: 'application/octet-stream', buffer: bytes });
      const shown = await loaded(since, `${name} is answered`);
      assert.equal(shown.split('\n')[0], expected, `what the panel shows of ${name}`);
      assert.equal(shown.split('\n')[1], 'The swimmer swims on with four.net.');
      const after = await state();
      assert.equal(after.segments, 4);
      assert.ok(after.ticks >= ticks, `${name} restarted the swimmer`);
      assert.equal(await page.evaluate(() => swimmerPage.networkFile()), before);
      if (name !== 'picture.png') {
        const answer = await page.evaluate(([text, n]) => swimmerPage.loadNetwork(text, n), [bytes.toString(), name]);
        assert.deepEqual(answer, { ok: false, message: shown.split('\n')[0] });
      }
      t.diagnostic(shown.split('\n')[0]);
    }
  });

  step('a 50 MB file dropped on the page is refused by its size, unread', async (t) => {
    const huge = path.join(work, 'huge.net');
    await writeFile(huge, '');
    await truncate(huge, 50e6);
    const expected = await headlessVerdict(huge);
    const since = await loads();
    const result = await page.evaluate(() => {
      const file = new File([new Uint8Array(50e6)], 'huge.net');
      const touched = [];
      for (const read of ['arrayBuffer', 'text', 'stream', 'slice'])
        file[read] = () => { touched.push(read); throw new Error(`${read} was called`); };
      const memory = swimmerPage.module.HEAPU8.length;
      const carrier = new DataTransfer();
      carrier.items.add(file);
      document.getElementById('view').dispatchEvent(
        new DragEvent('drop', { dataTransfer: carrier, bubbles: true, cancelable: true }));
      return new Promise((resolve) => setTimeout(() =>
        resolve({ touched, grew: swimmerPage.module.HEAPU8.length - memory }), 100));
    });
    const shown = await loaded(since, 'the huge file is answered');
    assert.equal(shown.split('\n')[0], expected);
    assert.deepEqual(result, { touched: [], grew: 0 }, 'the file was read');
    assert.equal((await state()).segments, 4);
    t.diagnostic(shown.split('\n')[0]);
  });

  step('many loads leave the module\'s memory as a few loads left it', async () => {
    const memory = () => page.evaluate(() => swimmerPage.module.HEAPU8.length);
    // Each round: the four-segment file, an empty one, the embedded
    // network from its button.
    const cycle = (times) => page.evaluate(([text, count, embedded]) => {
      for (let i = 0; i < count; i++) {
        if (!swimmerPage.loadNetwork(text, 'four.net').ok || swimmerPage.loadNetwork('', 'x').ok)
          return false;
        swimmerPage.networkFile();
        document.querySelector('#network-choices button').click();
      }
      return swimmerPage.state().segments === embedded;
    }, [four.text, times, Segments]);
    assert.ok(await cycle(5));
    const settled = await memory();
    assert.ok(await cycle(100));
    assert.equal(await memory(), settled, 'the module grew over 100 more loads');
  });

  step('each shipped network swims as its file says', async (t) => {
    const shipped = await page.evaluate(() => swimmerPage.shippedNetworks);
    for (const name of shipped) {
      const text = await readFile(path.join(site, 'networks', name), 'utf8');
      const since = await loads();
      await page.click(`#network-choices button:text-is("${name}")`);
      await loaded(since, `${name} loads`);
      const segments = Number(/^segments (\d+)$/m.exec(text)[1]);
      assert.equal((await state()).segments, segments, name);
      assert.deepEqual(items(await page.evaluate(() => swimmerPage.networkFile())), items(text));
      t.diagnostic(`${name}: ${segments} segments`);
    }
    await page.click(`#network-choices button:text-is("Embedded, ${Segments} segments")`);
    assert.equal((await state()).segments, Segments);
    await page.keyboard.press('Escape');
  });

  // Learning in the panel, by swimmer-train's C++ in workers.

  const learning = () => page.evaluate(() => swimmerPage.learning());
  const workers = () => page.workers().length;
  // The page's workers as the browser lists them, once it has told of a
  // start or an end.
  async function workersBecome(count, what) {
    for (let waited = 0; workers() !== count && waited < 2000; waited += 50)
      await sleep(50);
    assert.equal(workers(), count, what);
  }
  const workersEnd = (what) => workersBecome(0, what);
  const network = () => page.evaluate(() => swimmerPage.networkFile());
  async function learned(what, seconds = 30) {
    await waitFor(() => !swimmerPage.learning().running, undefined, seconds, what);
    return learning();
  }

  // Real-time pace while the worker learns: at least LearningPace ticks a
  // second over the whole run, however many networks it loaded, and no
  // period dropped (a frame more than 100 ms late).
  const LearningPace = 95;
  function assertKeptPace(t, pace) {
    const figures = `${pace.ticks} ticks in ${pace.seconds.toFixed(2)} s while learning ` +
                    `(${(pace.ticks / pace.seconds).toFixed(1)} a second), ${pace.dropped} dropped`;
    t.diagnostic(figures);
    assert.ok(pace.ticks >= LearningPace * pace.seconds && pace.dropped === 0, figures);
  }

  // Pixels of the swimmer's red, or near it, inside a box.
  function reddish(image, box) {
    const found = [];
    for (let y = Math.max(0, box.top); y < Math.min(image.height, box.bottom); y++)
      for (let x = Math.max(0, box.left); x < Math.min(image.width, box.right); x++) {
        const o = 4 * (y * image.width + x), [r, g, b] = image.data.slice(o, o + 3);
        if (r >= 150 && g <= 110 && b <= 110)
          found.push(`(${x},${y}) rgb(${r},${g},${b})`);
      }
    return found;
  }

  // What makes the learned file, in the page and by the command.
  const Learn = { segments: 3, seed: 7, steps: 20000, checkEvery: 10000 };
  let learnedText = null;

  step('a short run learned in the page on one worker or two is swimmer-train\'s network, and the view keeps its pace', async (t) => {
    const file = path.join(work, 'learned.net');
    const training = await runProgram(trainer, ['--segments', String(Learn.segments), '--seed', String(Learn.seed),
                                                '--steps', String(Learn.steps), '--check-every',
                                                String(Learn.checkEvery), '--output', file]);
    assert.equal(training.status, 0, `${trainer}: ${training.stderr}`);
    const expected = await readFile(file, 'utf8');

    await page.click('#menu');
    // One worker learns both learners; then each learns one, and they meet
    // at the checks.
    const alone = await page.evaluate((request) => swimmerPage.learn(request), { ...Learn, workers: 1 });
    assert.equal(alone.ok, true, alone.message);
    await workersBecome(1, 'one worker learns');
    assert.equal((await learned('the run on one worker ends', 30)).outcome, 'done');
    assert.deepEqual(items(await network()), items(expected), 'one worker learned other bytes');

    await startPaceSampler(page);
    const started = await page.evaluate((request) => swimmerPage.learn(request), { ...Learn, workers: 2 });
    assert.equal(started.ok, true, started.message);
    await workersBecome(2, 'two workers learn');
    assert.match(await page.textContent('#learn-progress'), /^Step [\d,]+( of 20,000)? · 2 workers · /);
    // The view switches to the learner's swimmer at the first check, and the
    // curve has a point for it.
    await waitFor(() => swimmerPage.learning().checks.length >= 1, undefined, 20, 'the first check');
    const first = await learning();
    assert.equal(first.checks[0].steps, Learn.checkEvery);
    assert.equal(await page.evaluate(() => swimmerPage.network), 'learned-3-seed7.net');
    const run = await learned('the run ends', 30);
    const pace = await stopPaceSampler(page);

    assert.equal(run.outcome, 'done', run.message);
    assert.deepEqual(run.checks.map((c) => c.steps), [10000, 20000]);
    assert.deepEqual([run.steps, run.budget, run.checkEvery, run.workers], [20000, 20000, 10000, 2]);
    assert.ok(run.checks.flatMap((c) => c.speeds).includes(run.bestSpeed), 'the best speed is a learner\'s');
    assert.equal(await page.evaluate(() => document.querySelectorAll('#learn-curve .u-legend tr').length),
                 1 + 2, 'the curve\'s legend: the best and each learner');
    // The same network as the command's file, byte for byte but for the
    // comments, which the command fills with what made it.
    learnedText = await network();
    assert.deepEqual(items(learnedText), items(expected));
    assert.ok(expected.startsWith(learnedText.slice(0, learnedText.indexOf('\nswimmer-network'))),
              'the writer\'s own comment lines open both');
    await workersEnd('the workers ended with their run');

    assertKeptPace(t, pace);

    await page.evaluate(() => { swimmerPage.held = true; });
    await framesLater(2);
    const panel = await page.evaluate(() => {
      const r = document.getElementById('panel').getBoundingClientRect();
      return { left: Math.floor(r.left), top: Math.floor(r.top), right: Math.ceil(r.right), bottom: Math.ceil(r.bottom) };
    });
    const image = await screenshot('learned');
    assert.deepEqual(reddish(image, panel), [], 'red in the panel or its curve');
    // The first frame after the hold drops the periods it missed: before
    // the next step's pace is measured.
    await page.evaluate(() => swimmerPage.release());
    await framesLater(2);
  });

  step('the panel lies below its control and inside the window, whole or scrolling, down to 500 pixels high', async () => {
    // What the panel shows, in window pixels; the learning message as it
    // lies when the panel is scrolled to its end.
    const layout = () => page.evaluate(() => {
      const box = (id) => document.getElementById(id).getBoundingClientRect();
      const panel = document.getElementById('panel');
      const whole = panel.scrollHeight <= panel.clientHeight;
      panel.scrollTop = panel.scrollHeight;
      const shown = { menu: box('menu'), panel: box('panel'), message: box('learn-message'), whole };
      panel.scrollTop = 0;
      return shown;
    });
    for (const height of [700, 600, 500]) {
      await page.setViewportSize({ width: 1400, height });
      await framesLater(2);
      const { menu, panel, message, whole } = await layout();
      assert.ok(panel.top >= menu.bottom && panel.bottom <= height, `${height}: the panel from ${panel.top} to ${panel.bottom}`);
      assert.ok(message.top >= panel.top && message.bottom <= panel.bottom, `${height}: the message is cut off`);
      if (height === 700)
        assert.ok(whole, 'the panel does not fit a window 700 pixels high');
    }
    await page.setViewportSize({ width: 1400, height: 700 });
    await framesLater(2);
  });

  step('while learning a file is refused; a stop in a check keeps the best; the panel starts and stops', async (t) => {
    // The same seed and checks with a longer budget: the plan of three
    // segments learns at a constant rate and takes over only from a quarter
    // of the budget on, so its first two checks are the short run's. After
    // the second, the page's answers to the second worker are held back, so
    // the third check waits for ever: the stop comes in it.
    await page.evaluate(() => {
      const Real = window.Worker;
      let made = 0, checks = 0;
      window.Worker = class extends Real {
        constructor(...args) {
          super(...args);
          if (made++ === 0) {
            this.addEventListener('message', (event) => { checks += event.data.type === 'check'; });
          } else {
            const post = this.postMessage.bind(this);
            this.postMessage = (message, transfer) => { if (checks < 2) post(message, transfer); };
          }
        }
      };
      window.swimmerRealWorker = Real;
    });
    await startPaceSampler(page);
    const started = await page.evaluate((request) => swimmerPage.learn(request), { ...Learn, steps: 1e7, workers: 2 });
    await page.evaluate(() => { window.Worker = window.swimmerRealWorker; });
    assert.equal(started.ok, true, started.message);
    const again = await page.evaluate((request) => swimmerPage.learn(request), Learn);
    assert.equal(again.ok, false, 'a second run while one learns');
    await waitFor(() => swimmerPage.learning().checks.length >= 1, undefined, 20, 'the first check');

    const since = await loads(), before = await network();
    await page.setInputFiles('#network-file', four.file);
    const shown = await loaded(since, 'the file is answered');
    assert.match(shown, /^four\.net: not loaded while a swimmer learns.*stop learning first\n/);
    assert.equal((await page.evaluate((text) => swimmerPage.loadNetwork(text, 'four.net'), four.text)).ok, false);
    assert.equal(await network(), before, 'the file replaced the learner\'s network');
    assert.equal((await learning()).running, true, 'the file stopped the learning');

    await waitFor(() => swimmerPage.learning().checks.length >= 2, undefined, 20, 'the second check');
    await sleep(1500);
    assert.deepEqual((await learning()).checks.map((c) => c.steps), [10000, 20000], 'the third check passed');
    const stopped = await page.evaluate(() => ({ answer: swimmerPage.stopLearning(), run: swimmerPage.learning() }));
    const pace = await stopPaceSampler(page);
    assertKeptPace(t, pace);
    assert.equal(stopped.answer.ok, true);
    assert.equal(stopped.run.running, false, 'stopped at once');
    assert.equal(stopped.run.outcome, 'stopped');
    assert.deepEqual(stopped.run.checks.map((c) => c.steps), [10000, 20000], 'stopped in the third check');
    assert.equal(await network(), learnedText, 'the best of the checks, as the short run learned it');
    const ticks = (await state()).ticks;
    await sleep(1500);
    const later = await learning();
    assert.equal(later.steps, stopped.run.steps, 'steps after the stop');
    assert.equal(await network(), learnedText);
    assert.ok((await state()).ticks > ticks + 100, 'the best swims on');
    await workersEnd('the stopped worker is ended');

    // From the panel: its own segments and seed, the plan's budget.
    await page.selectOption('#learn-segments', '4');
    await page.fill('#learn-seed', '3');
    await page.click('#learn-toggle');
    await waitFor(() => swimmerPage.learning().steps > 0, undefined, 10, 'steps from the panel');
    const fromPanel = await learning();
    assert.deepEqual([fromPanel.running, fromPanel.segments, fromPanel.seed, fromPanel.budget], [true, 4, 3, 1.2e8]);
    assert.deepEqual(await page.evaluate(() => ['learn-segments', 'learn-seed'].map((id) => document.getElementById(id).disabled)),
                     [true, true], 'the choices are locked while learning');
    assert.match(await page.textContent('#learn-progress'), /^Step [\d,]+ of 120,000,000 · .*best none yet$/);
    await page.click('#learn-toggle');
    const ended = await learning();
    assert.equal(ended.outcome, 'stopped');
    assert.match(ended.message, /before the first check/);
    assert.equal(await network(), learnedText, 'a run stopped before its first check changed the network');
    t.diagnostic(ended.message);
  });

  step('a failing or diverging learner says so and the view swims on; bad requests are refused; runs leave no memory', async (t) => {
    const memory = () => page.evaluate(() => swimmerPage.module.HEAPU8.length);
    const heap = await memory();
    // The page's own script memory, what is still reachable after a
    // collection.
    const devtools = await page.context().newCDPSession(page);
    const scriptMemory = async () => {
      await devtools.send('HeapProfiler.collectGarbage');
      return (await devtools.send('Runtime.getHeapUsage')).usedSize;
    };
    const ran = async (request) => {
      const answer = await page.evaluate((r) => swimmerPage.learn(r), request);
      assert.equal(answer.ok, true, answer.message);
      await waitFor(() => swimmerPage.learning().steps > 0, undefined, 10, 'steps');
      await workersBecome(request.workers ?? (await learning()).workers, 'only this run\'s workers learn');
    };
    let afterOne = null;
    for (let seed = 11; seed <= 20; seed++) {
      await ran({ segments: 5, seed, steps: 1e7 });
      await page.evaluate(() => swimmerPage.stopLearning());
      await workersEnd('workers left behind by a stopped run');
      afterOne ??= await scriptMemory();
    }
    const afterTen = await scriptMemory();
    t.diagnostic(`the page's script memory after one run ${afterOne} bytes, after ten ${afterTen}`);
    assert.ok(afterTen - afterOne < 2e6, `the page kept ${afterTen - afterOne} bytes over nine more runs`);

    // The second of two workers fails: the run ends with its message.
    await ran({ segments: 3, seed: 1, steps: 1e7, workers: 2 });
    const before = await state();
    await page.workers().at(-1).evaluate(() => setTimeout(() => { throw new Error('the learner broke'); }));
    await waitFor(() => swimmerPage.learning().outcome === 'failed', undefined, 10, 'the failure is seen');
    const failed = await learning();
    assert.match(failed.message, /^The learner failed: .*the learner broke.*The swimmer swims on with learned-3-seed7\.net\.$/);
    assert.equal(await page.textContent('#learn-message'), failed.message);
    await sleep(500);
    assert.ok((await state()).ticks > before.ticks + 30, 'the view stopped swimming');
    assert.equal(await network(), learnedText);
    await workersEnd('the failed run\'s workers are ended');
    t.diagnostic(failed.message);

    // A learner whose weights diverge ends its run as the learner's module
    // reports it (finished, diverged): the page says at which step and
    // swims on.
    await ran({ segments: 3, seed: 2, steps: 1e7, workers: 1 });
    await page.workers()[0].evaluate(() => postMessage({ type: 'finished', steps: 4321, diverged: true }));
    await waitFor(() => swimmerPage.learning().outcome === 'diverged', undefined, 10, 'the divergence is seen');
    const diverged = await learning();
    assert.match(diverged.message, /^The weights diverged at step 4,321; /);
    assert.equal(await page.textContent('#learn-message'), diverged.message);
    const swimming = (await state()).ticks;
    await sleep(300);
    assert.ok((await state()).ticks > swimming + 15, 'the view stopped swimming');
    await workersEnd('the diverged worker is ended');

    const bad = [
      [undefined, /give \{segments, seed\}/],
      ['3', /give \{segments, seed\}/],
      [{ seed: 1 }, /segments is missing/],
      [{ segments: 3 }, /seed is missing/],
      [{ segments: '3', seed: 1 }, /segments must be a number/],
      [{ segments: 3, seed: 1, steps: NaN }, /steps must be a number/],
      [{ segments: 3, seed: 1, colour: 'blue' }, /unknown field 'colour'/],
      [{ segments: 2, seed: 1 }, /segments must be 3 to 5/],
      [{ segments: 3.5, seed: 1 }, /segments must be 3 to 5/],
      [{ segments: 3, seed: -1 }, /seed must be a whole number from 0 to 4294967295/],
      [{ segments: 3, seed: 2 ** 32 }, /seed must be a whole number/],
      [{ segments: 3, seed: 1, steps: 0 }, /steps must be a whole number from 1/],
      [{ segments: 3, seed: 1, checkEvery: 0.5 }, /checkEvery must be a whole number from 1/],
      [{ segments: 3, seed: 1, workers: 3 }, /workers must be a whole number from 1 to 2, the plan's learners/],
      [{ segments: 3, seed: 1, workers: 1.5 }, /workers must be a whole number from 1 to 2/],
    ];
    for (const [request, message] of bad) {
      const answer = await page.evaluate((r) => swimmerPage.learn(r), request);
      assert.equal(answer.ok, false, JSON.stringify(request));
      assert.match(answer.message, message);
      assert.equal(answer.message.includes('\n'), false);
      assert.equal(await page.textContent('#learn-message'), answer.message);
    }
    assert.equal(workers(), 0, 'a refused request started a worker');
    assert.equal((await learning()).outcome, 'diverged', 'a refused request changed the run shown');
    assert.equal(await memory(), heap, 'the page\'s module grew over the runs');
    await page.keyboard.press('Escape');
  });

  step('no script error, no console error, no failed load', async () => {
    assert.deepEqual(problems, []);
  });
});
