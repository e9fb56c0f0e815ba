// The learning curve in the panel's Learn section, drawn by uPlot (bundled
// into the site from the page's npm packages): at each check, the best
// speed of all checks so far and each learner's speed then, against the
// learning steps, from 0 to the budget so that the curve shows how far the
// run has come. Its colours and width are the page's (CSS variables of
// index.html): blue, teal and purple on white, as wide as the panel's
// inside.
//
// One chart for the page, made with the section and started afresh for
// each run: making a chart (its elements, their first layout and paint)
// takes the page's thread for longer than a frame, which the view's pace
// cannot spare while a learner keeps the other core busy.

import uPlot from './uplot/uPlot.esm.js';

export function createLearningCurve(holder) {
  const style = getComputedStyle(document.documentElement);
  const css = (name) => style.getPropertyValue(name).trim();
  const Best = css('--accent');
  const Learners = [0, 1, 2].map((p) => css(`--learner-${p}`));
  const width = parseFloat(css('--panel-width')) - 2 * parseFloat(css('--panel-padding')) - 2;
  // Low enough that the whole panel fits a window 700 pixels high.
  const Height = 120;

  // Steps as 500k or 12M: the ticks of a budget of tens of millions.
  const shortSteps = (steps) =>
    steps >= 1e6 ? `${+(steps / 1e6).toFixed(2)}M` : steps >= 1e3 ? `${+(steps / 1e3).toFixed(1)}k` : String(steps);
  const axis = { stroke: '#000', grid: { stroke: '#e4e4e4', width: 1 }, ticks: { stroke: '#c8c8c8', width: 1 },
                 font: '11px sans-serif', labelFont: '11px sans-serif' };
  const learnerSeries = (p) => ({ label: `learner ${p}`, stroke: Learners[p % Learners.length], width: 1,
                                  dash: [4, 3], points: { show: true, size: 4, fill: '#fff' } });
  let budget = 1;
  let learners = 0;
  let data = [[], []];
  const plot = new uPlot({
    width,
    height: Height,
    scales: { x: { time: false, range: () => [0, budget] } },
    series: [
      { label: 'steps', value: (u, steps) => steps === null ? '' : shortSteps(steps) },
      { label: 'best so far', stroke: Best, width: 2, points: { show: true, size: 5, fill: Best } },
    ],
    axes: [
      { ...axis, label: 'learning steps', labelSize: 16, size: 30,
        values: (u, ticks) => ticks.map(shortSteps) },
      { ...axis, label: 'speed, units/s', labelSize: 16, size: 40 },
    ],
    legend: { live: false },
    cursor: { drag: { x: false, y: false } },
  }, data, holder);

  return {
    // A new run: no checks yet, steps up to its budget, a line a learner.
    start(runBudget, runLearners) {
      budget = runBudget;
      for (; learners < runLearners; learners++)
        plot.addSeries(learnerSeries(learners));
      for (; learners > runLearners; learners--)
        plot.delSeries(learners + 1);
      data = Array.from({ length: 2 + learners }, () => []);
      plot.setData(data);
    },
    // One check: its step, the best speed so far, each learner's speed. A
    // speed that is not finite (weights that diverged) leaves a gap.
    add(steps, best, speeds) {
      const shown = (speed) => Number.isFinite(speed) ? speed : null;
      data[0].push(steps);
      data[1].push(shown(best));
      speeds.forEach((speed, p) => data[2 + p].push(shown(speed)));
      plot.setData(data);
    },
  };
}
