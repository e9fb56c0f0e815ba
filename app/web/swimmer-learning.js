// The panel's Learn section: a swimmer learned from scratch while the view
// swims, by swimmer-train's own C++ in Web Workers
// (swimmer-learner-worker.js). The user chooses the segments and a seed,
// then starts or stops. At every check that finds a better network the
// view swims with it, loaded as a network file loads (the panel's one way
// in); the learning curve grows below (swimmer-curve.js), beside the steps
// done, the time left and the best speed. Stopping keeps the best network
// in the view, to download with the section above.
//
// A run learns on as many workers as the machine has cores, at most one a
// learner, each a rank of the run with its block of the learners: they
// meet at the checks through the page, which gathers and routes their
// words (the switchboard below), and their network is the same whatever
// their number. The workers end with the run: a stop takes effect at once,
// even while they score a check (seconds in one piece), and nothing of a
// run stays in memory after it. While a swimmer learns, the user's own
// choice of a network (a file opened or dropped, a shipped one, the
// embedded one) is refused with a message: the next better check would
// replace it, and a stray drop should not cost a long run; Stop is one
// click.

import { elements, readAnswer, showStatus } from './swimmer-common.js';
import { createLearningCurve } from './swimmer-curve.js';
import { Message, isCollective, post } from './swimmer-messages.js';

export function createSwimmerLearning(page, m, panel) {
  const { segmentsChoice, seedField, toggle, progress, shown, curveHolder } = elements({
    segmentsChoice: 'learn-segments', seedField: 'learn-seed', toggle: 'learn-toggle',
    progress: 'learn-progress', shown: 'learn-message', curveHolder: 'learn-curve' });
  const Fields = ['segments', 'seed', 'steps', 'checkEvery', 'workers'];
  const WorkerScript = 'swimmer-learner-worker.js';

  for (let n = m._SwimmerLearnFewestSegments(); n <= m._SwimmerLearnMostSegments(); n++)
    segmentsChoice.add(new Option(`${n} segments`, String(n)));

  let workers = null;  // the running run's, rank by rank, else null
  let run = null;     // the run shown: the last one started
  // Shown from the first run on, as wide as the panel's inside.
  const curve = createLearningCurve(curveHolder);

  const answer = () => readAnswer(m, 'Swimmer');
  const show = (text, refused) => showStatus(shown, text, refused);
  // In a window too low for the whole panel, the panel scrolls within
  // itself: the message of a run that starts or ends is scrolled into its
  // view (not those of every check, which would pull the panel away from
  // whatever the user reads in it).
  const reveal = () => shown.scrollIntoView({ block: 'nearest' });

  // The progress line changes at most this often, though the worker reports
  // ten times as often: each change of text is laid out and painted anew,
  // and on a machine whose cores are busy those frames come late enough to
  // drop the view's ticks. A person reads it no faster.
  const ProgressShownEveryMs = 1000;
  let progressShownAt = -Infinity;

  const count = (n) => n.toLocaleString('en-US');
  const speed = (s) => `${s.toFixed(3)} units/s`;
  function duration(seconds) {
    const s = Math.round(seconds);
    return s < 60 ? `${s} s` : `${Math.floor(s / 60)} min ${s % 60} s`;
  }

  // Seconds left at the pace of the run so far, checks included; null
  // before a step is done.
  function secondsLeft() {
    if (run === null || !run.running || run.startedAt === null || run.steps === 0)
      return null;
    const elapsed = (performance.now() - run.startedAt) / 1000;
    return elapsed * (run.budget - run.steps) / run.steps;
  }

  function showProgress() {
    progressShownAt = performance.now();
    progress.hidden = false;
    const budget = run.budget === null ? '' : ` of ${count(run.budget)}`;
    const left = secondsLeft();
    progress.textContent = `Step ${count(run.steps)}${budget}` +
      ` · ${run.workers} worker${run.workers === 1 ? '' : 's'}` +
      (run.running ? (left === null ? '' : ` · about ${duration(left)} left`) : '') +
      ` · best ${run.bestSpeed === null ? 'none yet' : speed(run.bestSpeed)}`;
  }

  function showRunning(running) {
    toggle.textContent = running ? 'Stop learning' : 'Start learning';
    toggle.setAttribute('aria-pressed', String(running));
    segmentsChoice.disabled = running;
    seedField.disabled = running;
  }

  // What the run swims with now, for the messages.
  const bestSoFar = () => run.bestStep === null ? ''
    : `the best check, step ${count(run.bestStep)} at ${speed(run.bestSpeed)}`;

  // The run ends: its workers with it, whatever they were doing.
  function end(outcome, message) {
    for (const worker of workers)
      worker.terminate();
    workers = null;
    run.running = false;
    run.outcome = outcome;
    run.message = message;
    showRunning(false);
    showProgress();
    show(message, outcome === 'failed' || outcome === 'diverged');
    reveal();
  }

  function fail(why) {
    end('failed', `The learner failed: ${why}. The swimmer swims on with ${page.network}.`);
  }

  function heard(message) {
    switch (message.type) {
    case 'started':
      run.budget = message.budget;
      run.checkEvery = message.checkEvery;
      run.learners = message.learners;
      run.startedAt = performance.now();
      curve.start(message.budget, message.learners);
      curveHolder.style.visibility = 'visible';
      break;
    case 'progress':
      run.steps = message.steps;
      if (performance.now() - progressShownAt < ProgressShownEveryMs)
        return;
      break;
    case 'check':
      run.checks.push({ steps: message.steps, speeds: message.speeds, bestSpeed: message.bestSpeed });
      run.bestSpeed = message.bestSpeed;
      run.bestStep = message.bestStep;
      curve.add(message.steps, message.bestSpeed, message.speeds);
      if (message.network !== null) {
        const loaded = panel.swim(`learned-${run.segments}-seed${run.seed}.net`, message.network);
        if (!loaded.ok) {
          fail(`the page refused its network (${loaded.message})`);
          return;
        }
        run.loads++;
      }
      run.message = `Learning: at step ${count(message.steps)} the view swims with ` +
                    `${bestSoFar() || page.network}.`;
      show(run.message, false);
      break;
    case 'finished':
      run.steps = message.steps;
      if (message.diverged)
        end('diverged', `The weights diverged at step ${count(run.steps)}; ` +
            (run.bestStep === null ? `the swimmer swims on with ${page.network}.` : `swimming with ${bestSoFar()}.`));
      else
        end('done', `Done: swimming with ${bestSoFar() || page.network}. Download it above.`);
      return;
    case 'failed':
      fail(message.message);
      return;
    default:
      fail(`it said '${message.type}'`);
      return;
    }
    showProgress();
  }

  // The workers' collectives: every rank shares its words in the same
  // order, and the page answers each share when every rank's words are in;
  // the words one rank sends another go straight on.
  let shares = [];
  function route(rank, message) {
    if (message.type === 'send') {
      post(workers[message.to], Message.delivered(rank, message.words));
      return;
    }
    shares[rank] = message.words;
    if (shares.filter((words) => words !== undefined).length < workers.length)
      return;
    const all = new Float64Array(shares.reduce((sum, words) => sum + words.length, 0));
    shares.reduce((at, words) => { all.set(words, at); return at + words.length; }, 0);
    shares = [];
    for (const worker of workers)
      worker.postMessage(Message.shared(all));
  }

  // The request's kinds are checked here, its numbers by the module's one
  // check (LearnRequest.h): null, or why it is refused.
  function check(request) {
    if (request === null || typeof request !== 'object' || Array.isArray(request))
      return 'give {segments, seed}, and steps or checkEvery if not the plan\'s';
    for (const key of Object.keys(request))
      if (!Fields.includes(key))
        return `unknown field '${key}': it takes ${Fields.join(', ')}`;
    for (const key of ['segments', 'seed'])
      if (request[key] === undefined)
        return `${key} is missing`;
    for (const key of Fields)
      if (request[key] !== undefined && (typeof request[key] !== 'number' || Number.isNaN(request[key])))
        return `${key} must be a number`;
    if (!m._SwimmerCheckLearnRequest(request.segments, request.seed, request.steps ?? NaN,
                                     request.checkEvery ?? NaN))
      return answer();
    const learners = m._SwimmerLearnLearners(request.segments);
    if (request.workers !== undefined && !(Number.isInteger(request.workers) && request.workers >= 1 &&
                                           request.workers <= learners))
      return `workers must be a whole number from 1 to ${learners}, the plan's learners`;
    return null;
  }

  // As many as help: a core each, a learner each at most.
  const workersFor = (request) => request.workers ??
    Math.min(m._SwimmerLearnLearners(request.segments), Math.max(1, navigator.hardwareConcurrency || 1));

  function learn(request) {
    if (workers !== null)
      return { ok: false, message: 'a swimmer is learning already: stop it first' };
    const why = check(request);
    if (why !== null) {
      const message = `Cannot learn: ${why}.`;
      show(message, true);
      return { ok: false, message };
    }
    const size = workersFor(request);
    run = { running: true, segments: request.segments, seed: request.seed, steps: 0, budget: null,
            checkEvery: null, learners: null, workers: size, checks: [], bestSpeed: null,
            bestStep: null, startedAt: null, loads: 0, outcome: null, message: '' };
    const own = [];
    workers = own;
    shares = [];
    for (let rank = 0; rank < size; rank++) {
      const worker = new Worker(WorkerScript, { type: 'module' });
      own.push(worker);
      worker.onmessage = (event) => {
        if (workers !== own)
          return;
        const message = event.data;
        if (isCollective(message))
          route(rank, message);
        else if (rank === 0 || message.type === 'failed')
          heard(message);
        else
          fail(`worker ${rank} said '${message.type}'`);
      };
      worker.onerror = (event) => {
        event.preventDefault();
        if (workers === own)
          fail(event.message || `${WorkerScript} did not load`);
      };
      worker.onmessageerror = () => { if (workers === own) fail('a message from it could not be read'); };
      worker.postMessage(Message.start(request, rank, size));
    }
    // The section shows what learns, whoever asked.
    segmentsChoice.value = String(run.segments);
    seedField.value = String(run.seed);
    showRunning(true);
    showProgress();
    run.message = `Learning a ${run.segments}-segment swimmer from seed ${run.seed}: the view ` +
                  'swims with the best network at each check.';
    show(run.message, false);
    reveal();
    return { ok: true, message: run.message };
  }

  function stop() {
    if (workers === null)
      return { ok: false, message: 'no swimmer is learning' };
    end('stopped', `Stopped at step ${count(run.steps)}: ` + (run.bestStep === null
      ? `before the first check, so nothing learned to swim with; the swimmer swims on with ${page.network}.`
      : `swimming with ${bestSoFar()}, ready to download above.`));
    return { ok: true, message: run.message };
  }

  toggle.addEventListener('click', () => {
    if (workers !== null)
      stop();
    else
      learn({ segments: Number(segmentsChoice.value),
              seed: seedField.value === '' ? NaN : Number(seedField.value) });
  });

  panel.refuseWhile(() => workers === null ? null
    : 'not loaded while a swimmer learns, since its next better check would replace it: stop learning first');

  page.learn = learn;
  page.stopLearning = stop;
  page.learning = () => run === null
    ? { running: false, steps: 0, workers: 0, budget: null, bestSpeed: null, bestStep: null, checks: [], outcome: null, message: '' }
    : { running: run.running, segments: run.segments, seed: run.seed, steps: run.steps, budget: run.budget,
        checkEvery: run.checkEvery, workers: run.workers, bestSpeed: run.bestSpeed, bestStep: run.bestStep,
        checks: run.checks.map((c) => ({ ...c, speeds: [...c.speeds] })), loads: run.loads,
        secondsLeft: secondsLeft(), outcome: run.outcome, message: run.message };
  showRunning(false);
}
