// The panel's Learn section: a swimmer learned from scratch while the view
// swims, by swimmer-train's own C++ in a Web Worker
// (swimmer-learner-worker.js). The user chooses the segments and a seed,
// then starts or stops. At every check that finds a better network the
// view swims with it, loaded as a network file loads (the panel's one way
// in); the learning curve grows below (swimmer-curve.js), beside the steps
// done, the time left and the best speed. Stopping keeps the best network
// in the view, to download with the section above.
//
// One worker a run, ended with the run: a stop takes effect at once, even
// while the worker scores a check (seconds in one piece), and nothing of a
// run stays in memory after it. While a swimmer learns, the user's own
// choice of a network (a file opened or dropped, a shipped one, the
// embedded one) is refused with a message: the next better check would
// replace it, and a stray drop should not cost a long run; Stop is one
// click.
'use strict';

window.createSwimmerLearning = function (page, m, panel) {
  const segmentsChoice = document.getElementById('learn-segments');
  const seedField = document.getElementById('learn-seed');
  const toggle = document.getElementById('learn-toggle');
  const progress = document.getElementById('learn-progress');
  const shown = document.getElementById('learn-message');
  const curveHolder = document.getElementById('learn-curve');
  const decoder = new TextDecoder();
  const Fields = ['segments', 'seed', 'steps', 'checkEvery'];
  const WorkerScript = 'swimmer-learner-worker.js';

  for (let n = m._SwimmerLearnFewestSegments(); n <= m._SwimmerLearnMostSegments(); n++)
    segmentsChoice.add(new Option(`${n} segments`, String(n)));

  let worker = null;  // the running run's, else null
  let run = null;     // the run shown: the last one started
  // Shown from the first run on, as wide as the panel's 300 pixels leave
  // inside its padding.
  const CurveWidth = 276;
  const curve = createLearningCurve(curveHolder, CurveWidth);

  function answer() {
    const at = m._SwimmerAnswer();
    return decoder.decode(m.HEAPU8.subarray(at, at + m._SwimmerAnswerBytes()));
  }

  function show(text, refused) {
    shown.textContent = text;
    shown.classList.toggle('refused', refused);
  }

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

  // The run ends: its worker with it, whatever it was doing.
  function end(outcome, message) {
    worker.terminate();
    worker = null;
    run.running = false;
    run.outcome = outcome;
    run.message = message;
    showRunning(false);
    showProgress();
    show(message, outcome === 'failed' || outcome === 'diverged');
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
    const optional = (value) => value === undefined ? NaN : value;
    if (!m._SwimmerCheckLearnRequest(request.segments, request.seed, optional(request.steps),
                                     optional(request.checkEvery)))
      return answer();
    return null;
  }

  function learn(request) {
    if (worker !== null)
      return { ok: false, message: 'a swimmer is learning already: stop it first' };
    const why = check(request);
    if (why !== null) {
      const message = `Cannot learn: ${why}.`;
      show(message, true);
      return { ok: false, message };
    }
    const optional = (value) => value === undefined ? NaN : value;
    run = { running: true, segments: request.segments, seed: request.seed, steps: 0, budget: null,
            checkEvery: null, learners: null, checks: [], bestSpeed: null, bestStep: null,
            startedAt: null, loads: 0, outcome: null, message: '' };
    const own = new Worker(WorkerScript);
    worker = own;
    own.onmessage = (event) => { if (worker === own) heard(event.data); };
    own.onerror = (event) => {
      event.preventDefault();
      if (worker === own)
        fail(event.message || `${WorkerScript} did not load`);
    };
    own.onmessageerror = () => { if (worker === own) fail('a message from it could not be read'); };
    own.postMessage({ segments: request.segments, seed: request.seed, steps: optional(request.steps),
                      checkEvery: optional(request.checkEvery) });
    // The section shows what learns, whoever asked.
    segmentsChoice.value = String(run.segments);
    seedField.value = String(run.seed);
    showRunning(true);
    showProgress();
    run.message = `Learning a ${run.segments}-segment swimmer from seed ${run.seed}: the view ` +
                  'swims with the best network at each check.';
    show(run.message, false);
    return { ok: true, message: run.message };
  }

  function stop() {
    if (worker === null)
      return { ok: false, message: 'no swimmer is learning' };
    end('stopped', `Stopped at step ${count(run.steps)}: ` + (run.bestStep === null
      ? `before the first check, so nothing learned to swim with; the swimmer swims on with ${page.network}.`
      : `swimming with ${bestSoFar()}, ready to download above.`));
    return { ok: true, message: run.message };
  }

  toggle.addEventListener('click', () => {
    if (worker !== null)
      stop();
    else
      learn({ segments: Number(segmentsChoice.value),
              seed: seedField.value === '' ? NaN : Number(seedField.value) });
  });

  panel.refuseWhile(() => worker === null ? null
    : 'not loaded while a swimmer learns, since its next better check would replace it: stop learning first');

  page.learn = learn;
  page.stopLearning = stop;
  page.learning = () => run === null
    ? { running: false, steps: 0, budget: null, bestSpeed: null, bestStep: null, checks: [], outcome: null, message: '' }
    : { running: run.running, segments: run.segments, seed: run.seed, steps: run.steps, budget: run.budget,
        checkEvery: run.checkEvery, bestSpeed: run.bestSpeed, bestStep: run.bestStep,
        checks: run.checks.map((c) => ({ ...c, speeds: [...c.speeds] })), loads: run.loads,
        secondsLeft: secondsLeft(), outcome: run.outcome, message: run.message };
  showRunning(false);
};
