// The panel behind the control in the top-right corner: which network the
// swimmer swims. It offers the embedded network, the networks shipped
// beside the page (networks/, listed by the build in swimmer-networks.js)
// and a network file of the user's, opened or dropped anywhere on the page.
// A file is checked whole by the module's network-file reader, the one the
// command-line programs use; a refused one leaves the swimmer swimming as it
// was, with the reader's message in the panel. The network in use can be
// downloaded as a network file. The panel is one section a task, so that
// more (learning, swimmer-learning.js) can follow below; it never pauses
// the swimmer.
//
// It returns the way in for those sections: swim(name, text) loads a
// network file's text as a file would load, and refuseWhile(reason) makes
// the user's own choices (a file, a shipped or the embedded network,
// swimmerPage.loadNetwork) refused, with the message reason() gives,
// whenever that is not null.

import { elements, readAnswer, showStatus } from './swimmer-common.js';

export function createSwimmerPanel(page, m, shipped) {
  const { menu, panel, choices, picker, shown, download } = elements({
    menu: 'menu', panel: 'panel', choices: 'network-choices', picker: 'network-file',
    shown: 'network-message', download: 'network-download' });
  const encoder = new TextEncoder();
  const embedded = 'the embedded network';

  function setOpen(open) {
    panel.hidden = !open;
    menu.setAttribute('aria-expanded', String(open));
  }
  menu.addEventListener('click', () => setOpen(panel.hidden));
  window.addEventListener('keydown', (event) => {
    if (event.key === 'Escape')
      setOpen(false);
  });

  // The module's last answer: a message, or a network file's text.
  const answer = () => readAnswer(m, 'Swimmer');

  // Bytes into the room the module makes for them; false when it makes
  // none (its answer says why). The room may grow the module's memory, so
  // HEAPU8 is read after it is made.
  function handIn(room, bytes) {
    const at = room(bytes.length);
    if (at === 0)
      return false;
    m.HEAPU8.set(bytes, at);
    return true;
  }

  const buttons = new Map();
  function addChoice(label, name, choose) {
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = label;
    button.setAttribute('aria-pressed', 'false');
    button.addEventListener('click', choose);
    choices.append(button);
    buttons.set(name, button);
  }

  const show = (text, refused) => showStatus(shown, text, refused);

  // The network in use is name: its button pressed, its segments shown.
  function inUse(name) {
    page.network = name;
    for (const [choice, button] of buttons)
      button.setAttribute('aria-pressed', String(choice === name));
    const message = `Swimming with ${name}: ${m._SwimmerSegments()} segments.`;
    show(message, false);
    return message;
  }

  function swimming(name) {
    page.loads++;
    return { ok: true, message: inUse(name) };
  }

  function refused(message) {
    page.loads++;
    show(`${message}\nThe swimmer swims on with ${page.network}.`, true);
    return { ok: false, message: message };
  }

  // Why the user's choice of a network is refused now, or null.
  let refusal = () => null;
  function refusedNow(name) {
    const why = refusal();
    return why === null ? null : refused(`${name}: ${why}`);
  }

  // A network file's bytes, named name in the messages: {ok, message}, the
  // message the reader's own when it refuses.
  function swimBytes(name, bytes) {
    handIn(m._SwimmerNameRoom, encoder.encode(name));
    if (!handIn(m._SwimmerFileRoom, bytes) || !m._SwimmerSwimFile())
      return refused(answer());
    return swimming(name);
  }

  // A file of the user's: refused by its size before it is read, if no
  // network file is that large.
  async function swimFile(file) {
    setOpen(true);
    const refusedFile = refusedNow(file.name);
    if (refusedFile !== null)
      return refusedFile;
    handIn(m._SwimmerNameRoom, encoder.encode(file.name));
    if (!m._SwimmerFileFits(file.size))
      return refused(answer());
    let bytes;
    try {
      bytes = new Uint8Array(await file.arrayBuffer());
    } catch (error) {
      return refused(`${file.name}: cannot read the file (${error.message})`);
    }
    return swimBytes(file.name, bytes);
  }

  async function swimShipped(name) {
    const refusedShipped = refusedNow(name);
    if (refusedShipped !== null)
      return refusedShipped;
    const address = 'networks/' + name;
    let bytes;
    try {
      const response = await fetch(address);
      if (!response.ok)
        return refused(`${address}: the site answered HTTP ${response.status}`);
      bytes = new Uint8Array(await response.arrayBuffer());
    } catch (error) {
      return refused(`${address}: cannot fetch it (${error.message})`);
    }
    return swimBytes(name, bytes);
  }

  // Made just after the module made its swimmer: the embedded one.
  addChoice(`Embedded, ${m._SwimmerSegments()} segments`, embedded, () => {
    if (refusedNow(embedded) !== null)
      return;
    m._SwimmerSwimEmbedded();
    swimming(embedded);
  });
  for (const name of shipped)
    addChoice(name, name, () => swimShipped(name));

  picker.addEventListener('change', () => {
    const file = picker.files[0];
    picker.value = '';  // the same file chosen again is a change again
    if (file)
      swimFile(file);
  });

  // A file dropped anywhere: the browser would otherwise open it in place
  // of the page.
  const carriesFiles = (event) => event.dataTransfer && event.dataTransfer.types.includes('Files');
  window.addEventListener('dragover', (event) => {
    if (!carriesFiles(event))
      return;
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
    document.body.classList.add('dropping');
  });
  window.addEventListener('dragleave', (event) => {
    if (event.relatedTarget === null)
      document.body.classList.remove('dropping');
  });
  window.addEventListener('drop', (event) => {
    if (!carriesFiles(event))
      return;
    event.preventDefault();
    document.body.classList.remove('dropping');
    const files = event.dataTransfer.files;
    if (files.length === 1) {
      swimFile(files[0]);
    } else {
      setOpen(true);
      refused(`${files.length} files dropped: drop one network file at a time`);
    }
  });

  function networkFile() {
    if (!m._SwimmerFormatNetwork())
      throw new Error(answer());
    return answer();
  }

  download.addEventListener('click', () => {
    const name = page.network === embedded ? 'embedded-swimmer.net' : page.network;
    const url = URL.createObjectURL(new Blob([networkFile()], { type: 'text/plain' }));
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    // Kept for the download to start, then given back.
    setTimeout(() => URL.revokeObjectURL(url), 10000);
  });

  page.loads = 0;
  page.loadNetwork = (text, name = 'network') =>
    refusedNow(String(name)) ?? swimBytes(String(name), encoder.encode(String(text)));
  page.networkFile = networkFile;
  inUse(embedded);
  return {
    swim: (name, text) => swimBytes(name, encoder.encode(text)),
    refuseWhile: (reason) => { refusal = reason; },
  };
}
