// How fast the page learns, in Debian's headless Chromium on a 1400 x 700
// view: the plan's run for the segments and seed, from its start to the
// check at --until steps (the budget's first checks; with --until 0 the
// whole budget), its steps a second and the view's pace meanwhile, and the
// bytes the page loaded. It checks nothing and prints the figures;
// --screenshot FILE saves the view with the panel and its learning curve
// at the end.
//
//   node app/web/test/measure-learning.mjs [--segments 3] [--seed 1] [--until 6000000]
//                                          [--screenshot FILE] [site folder]
//
// `node build/wasm/bin/swimmer-train.js --steps N --check-every C` (C the
// plan's) does the same work under node, for comparison.

import { parseArgs } from 'node:util';

import {
  checkSite, launchChromium, loadPackages, serveSite, siteFolder, startPaceSampler,
  stopPaceSampler, writeWhole,
} from './harness.mjs';

const WaitPollMs = 200;

async function measure({ segments, seed, until, screenshot }, site) {
  await checkSite(site);
  const server = await serveSite(site);
  const browser = await launchChromium((await loadPackages()).chromium);
  try {
    const page = await browser.newPage({ viewport: { width: 1400, height: 700 }, deviceScaleFactor: 1 });
    // Every response of the page and its worker, by address: what it loads.
    const loaded = new Map();
    page.context().on('response', async (response) => {
      const body = await response.body().catch(() => null);
      if (body !== null)
        loaded.set(new URL(response.url()).pathname, body.length);
    });
    await page.goto(server.url);
    await page.waitForFunction(() => window.swimmerPage !== undefined && swimmerPage.ready,
                               undefined, { timeout: 30000, polling: 50 });
    await page.click('#menu');
    await startPaceSampler(page);
    const begin = Date.now();
    const answer = await page.evaluate((request) => swimmerPage.learn(request), { segments, seed });
    if (!answer.ok)
      throw new Error(answer.message);
    // From the first progress: the worker's module compiled and the run made.
    await page.waitForFunction(() => swimmerPage.learning().steps > 0, undefined,
                               { timeout: 30000, polling: 20 });
    const first = { at: Date.now(), run: await page.evaluate(() => swimmerPage.learning()) };
    const target = until > 0 ? until : first.run.budget;
    await page.waitForFunction((steps) => {
      const run = swimmerPage.learning();
      return !run.running || run.checks.some((c) => c.steps >= steps);
    }, target, { timeout: 0, polling: WaitPollMs });
    const end = Date.now();
    const pace = await stopPaceSampler(page);
    const run = await page.evaluate(() => swimmerPage.learning());
    // The picture with the swimmer clear of the panel, as it swims through
    // the view.
    if (screenshot) {
      await page.waitForFunction(() => {
        const panel = document.getElementById('panel').getBoundingClientRect();
        const x = swimmerPage.state().headX * 70;  // pixels a length unit
        return x > 200 && x < panel.left - 300;
      }, undefined, { timeout: 60000, polling: 20 });
      await writeWhole(screenshot, await page.screenshot({ type: 'png' }));
    }
    await page.evaluate(() => swimmerPage.stopLearning());
    const steps = run.checks.length ? run.checks[run.checks.length - 1].steps : run.steps;
    return { begin, first, end, pace, run, steps, loaded };
  } finally {
    await browser.close();
    await server.close();
  }
}

// Run by node's test runner when it looks for test files in this folder:
// nothing to test here.
if (process.env.NODE_TEST_CONTEXT === undefined) {
  const { values, positionals } = parseArgs({
    allowPositionals: true,
    options: {
      segments: { type: 'string', default: '3' },
      seed: { type: 'string', default: '1' },
      until: { type: 'string', default: '6000000' },
      screenshot: { type: 'string' },
    },
  });
  const options = { segments: Number(values.segments), seed: Number(values.seed), until: Number(values.until),
                    screenshot: values.screenshot };
  const { begin, first, end, pace, run, steps, loaded } = await measure(options, siteFolder(positionals[0] ?? ''));
  const seconds = (end - begin) / 1000;
  console.log(`page: ${steps.toLocaleString('en-US')} steps and ${run.checks.length} checks of the ` +
              `${options.segments}-segment plan (seed ${options.seed}) in ${seconds.toFixed(1)} s ` +
              `(${((first.at - begin) / 1000).toFixed(2)} s to the first step): ` +
              `${Math.round(steps / seconds).toLocaleString('en-US')} steps a second, checks included; ` +
              `the budget of ${run.budget.toLocaleString('en-US')} at that pace: ` +
              `${(seconds * run.budget / steps).toFixed(0)} s`);
  console.log(`view while learning: ${pace.ticks} ticks in ${pace.seconds.toFixed(1)} s, ` +
              `${(pace.ticks / pace.seconds).toFixed(1)} a second, ${pace.dropped} dropped`);
  const files = [...loaded].filter(([address]) => !address.startsWith('/networks/'));
  const total = files.reduce((sum, [, bytes]) => sum + bytes, 0);
  console.log(`loaded: ${total.toLocaleString('en-US')} bytes in ${files.length} files: ` +
              files.map(([address, bytes]) => `${address.slice(1) || 'index.html'} ${bytes}`).join(', '));
}
