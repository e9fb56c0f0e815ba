// How fast the page learns, in Debian's headless Chromium on a 1400 x 700
// view, against swimmer-train on the same machine in the same script run:
// the plan's run for the segments and seed with a budget of --steps (0:
// the plan's), in the page from its start to its end, with the view's pace
// meanwhile and the bytes the page loaded, then the same options by the
// command (SWIMMER_TRAIN, else build/native/bin/swimmer-train), and whether
// both wrote the same network. It prints the figures and checks nothing;
// --screenshot FILE saves the view with the panel and its learning curve
// at the end. --runs N measures N pairs, page and command in turn, and
// gives the ratio of the medians: on a machine whose cores are unequal (a
// virtual machine's often are) a run's time depends on which core its
// slowest learner landed on, for the page and the command alike.
//
//   node app/web/test/measure-learning.mjs [--segments 3] [--seed 1] [--steps 6000000]
//                                          [--workers N] [--runs 1] [--screenshot FILE] [site folder]

import { mkdtemp, readFile, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { parseArgs } from 'node:util';

import {
  checkSite, launchChromium, loadPackages, networkItems, runProgram, serveSite, siteFolder,
  startPaceSampler, stopPaceSampler, writeWhole,
} from './harness.mjs';

const WaitPollMs = 200;
const nativeTrainer = process.env.SWIMMER_TRAIN ||
  path.resolve(path.dirname(new URL(import.meta.url).pathname), '..', '..', '..', 'build', 'native', 'bin',
               'swimmer-train');

async function measure({ segments, seed, steps, workers, screenshot }, site) {
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
    const request = { segments, seed, ...(steps > 0 && { steps }), ...(workers > 0 && { workers }) };
    const answer = await page.evaluate((r) => swimmerPage.learn(r), request);
    if (!answer.ok)
      throw new Error(answer.message);
    // From the first progress: the worker's module compiled and the run made.
    await page.waitForFunction(() => swimmerPage.learning().steps > 0, undefined,
                               { timeout: 30000, polling: 20 });
    const first = { at: Date.now(), run: await page.evaluate(() => swimmerPage.learning()) };
    await page.waitForFunction(() => !swimmerPage.learning().running, undefined,
                               { timeout: 0, polling: WaitPollMs });
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
    const network = await page.evaluate(() => swimmerPage.networkFile());
    return { begin, first, end, pace, run, network, loaded };
  } finally {
    await browser.close();
    await server.close();
  }
}

// The command's wall time for the same options, and its network.
async function measureCommand({ segments, seed, steps }) {
  const folder = await mkdtemp(path.join(tmpdir(), 'measure-learning-'));
  try {
    const file = path.join(folder, 'learned.net');
    const begin = Date.now();
    const ran = await runProgram(nativeTrainer, ['--segments', String(segments), '--seed', String(seed),
                                                 ...(steps > 0 ? ['--steps', String(steps)] : []),
                                                 '--output', file]);
    const seconds = (Date.now() - begin) / 1000;
    if (ran.status !== 0)
      throw new Error(`${nativeTrainer}: ${ran.stderr}`);
    return { seconds, network: await readFile(file, 'utf8') };
  } finally {
    await rm(folder, { recursive: true, force: true });
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
      steps: { type: 'string', default: '6000000' },
      workers: { type: 'string', default: '0' },
      runs: { type: 'string', default: '1' },
      screenshot: { type: 'string' },
    },
  });
  const options = { segments: Number(values.segments), seed: Number(values.seed), steps: Number(values.steps),
                    workers: Number(values.workers), screenshot: values.screenshot };
  const runs = Number(values.runs);
  if (!Number.isInteger(runs) || runs < 1)
    throw new Error(`--runs ${values.runs}: a whole number from 1`);
  const site = siteFolder(positionals[0] ?? '');
  const count = (n) => n.toLocaleString('en-US');
  const pageSeconds = [], commandSeconds = [];
  for (let r = 0; r < runs; r++) {
    const { begin, first, end, pace, run, network, loaded } = await measure(options, site);
    const seconds = (end - begin) / 1000;
    pageSeconds.push(seconds);
    console.log(`page: ${count(run.steps)} steps and ${run.checks.length} checks of the ` +
                `${options.segments}-segment plan (seed ${options.seed}) on ${run.workers} workers in ` +
                `${seconds.toFixed(1)} s (${((first.at - begin) / 1000).toFixed(2)} s to the first step), ` +
                `${run.outcome}: ${count(Math.round(run.steps / seconds))} steps a second, checks included`);
    console.log(`view while learning: ${pace.ticks} ticks in ${pace.seconds.toFixed(1)} s, ` +
                `${(pace.ticks / pace.seconds).toFixed(1)} a second, ${pace.dropped} dropped`);
    if (r === 0) {
      const files = [...loaded].filter(([address]) => !address.startsWith('/networks/'));
      const total = files.reduce((sum, [, bytes]) => sum + bytes, 0);
      console.log(`loaded: ${count(total)} bytes in ${files.length} files: ` +
                  files.map(([address, bytes]) => `${address.slice(1) || 'index.html'} ${bytes}`).join(', '));
    }
    const command = await measureCommand(options);
    commandSeconds.push(command.seconds);
    console.log(`swimmer-train, the same options: ${command.seconds.toFixed(1)} s; the page took ` +
                `${(seconds / command.seconds).toFixed(2)} times as long; the same network: ` +
                `${networkItems(network).join('\n') === networkItems(command.network).join('\n') ? 'yes' : 'NO'}`);
  }
  if (runs > 1) {
    const median = (list) => {
      const sorted = [...list].sort((a, b) => a - b), middle = sorted.length >> 1;
      return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
    };
    const page = median(pageSeconds), command = median(commandSeconds);
    console.log(`medians of ${runs} runs: the page ${page.toFixed(1)} s, swimmer-train ${command.toFixed(1)} s, ` +
                `${(page / command).toFixed(2)} times`);
  }
}
