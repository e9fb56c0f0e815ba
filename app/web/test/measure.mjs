// The time of a tick and of a drawing inside the page, in Debian's headless
// Chromium on a 1400 x 700 view: it checks nothing and prints the figures.
//
//   node app/web/test/measure.mjs [site folder]      (default build/wasm/web)

import { checkSite, launchChromium, loadPackages, serveSite, siteFolder } from './harness.mjs';

const TicksPerSecond = 100;
const FrameRate = 60;  // a usual display's animation frames a second
const WarmUpTicks = 20000;  // enough for the optimising compiler to take over
const MeasuredTicks = 3000;
const Rounds = 3;  // the fastest round counts: the others met interruptions

async function measure(site) {
  await checkSite(site);
  const server = await serveSite(site);
  const browser = await launchChromium((await loadPackages()).chromium);
  try {
    const page = await browser.newPage({ viewport: { width: 1400, height: 700 }, deviceScaleFactor: 1 });
    await page.goto(server.url + 'index.html?hold');
    await page.waitForFunction(() => window.swimmerPage !== undefined && swimmerPage.ready,
                               undefined, { timeout: 30000, polling: 50 });
    await page.evaluate((count) => swimmerPage.measure(count), WarmUpTicks);
    const results = [];
    for (let round = 0; round < Rounds; round++)
      results.push(await page.evaluate((count) => swimmerPage.measure(count), MeasuredTicks));
    return {
      tick: Math.min(...results.map((r) => r.tick)),
      draw: Math.min(...results.map((r) => r.draw)),
    };
  } finally {
    await browser.close();
    await server.close();
  }
}

// Run by node's test runner when it looks for test files in this folder:
// nothing to test here.
if (process.env.NODE_TEST_CONTEXT === undefined) {
  // Milliseconds each.
  const { tick, draw } = await measure(siteFolder());
  const perFrame = TicksPerSecond / FrameRate;
  const simulation = perFrame * tick;
  const frame = simulation + draw;
  const period = 1000 / FrameRate;
  console.log(`browser: one tick ${(tick * 1000).toFixed(1)} us, one drawing (with its copy) ` +
              `${(draw * 1000).toFixed(1)} us`);
  console.log(`a ${FrameRate} Hz frame: ${perFrame.toFixed(2)} ticks = ${simulation.toFixed(3)} ms of ` +
              `simulation, ${draw.toFixed(3)} ms of drawing: ${frame.toFixed(3)} ms in all, ` +
              `${(100 * frame / period).toFixed(1)} % of the frame; simulation ` +
              `${(100 * simulation / frame).toFixed(0)} %, drawing ${(100 * draw / frame).toFixed(0)} % of the work`);
}
