// The program's dialogs in the page: the save dialog, standing for the system's with the Windows program's kinds of
// file; the colour settings dialog; the version dialog. Each is a modal window of page.js; the program waits for it.
'use strict';

(() => {
    const page = window.Blokkenveld;

    // What each save dialog offers, in the order of the Windows program's filters: its title's text and its kinds'
    // (the key of each kind's name in the table of texts, and its extension).
    const SAVE_DIALOGS = {
        object: {title: 'SaveAsTitle', kinds: [['ObjectFilter', '.bvo'], ['MetasequoiaFilter', '.mqo'],
            ['GltfFilter', '.glb'], ['ObjFilter', '.obj'], ['VoxFilter', '.vox']]},
        scene: {title: 'SaveAsTitle', kinds: [['ObjectFilter', '.bvo']]},
        screenshot: {title: 'ScreenshotSaveTitle', kinds: [['BitmapFilter', '.bmp']]},
        palette: {title: 'SaveAsTitle', kinds: [['PaletteFilter', '.bvp']]},
    };
    const words = page.texts;
    // A save dialog's kinds as [name, extension], named in the program's language.
    const kindsOf = (kind) => SAVE_DIALOGS[kind].kinds.map(([key, extension]) => [words.text(key), extension]);
    const FORBIDDEN = /[\\/:*?"<>|\u0000-\u001f]/;
    const NAME_CAPACITY = 259;  // bytes of a path the program holds

    const rules = window.PageRules;

    // Resolves with the name chosen, or null when cancelled. proposed is the name the dialog starts with.
    function save(kind, proposed) {
        const dialog = {kinds: kindsOf(kind)};
        return page.modal({
            title: words.text(SAVE_DIALOGS[kind].title),
            className: 'dialog save',
            closeBox: null,
            fill(body, finish) {
                body.innerHTML =
                    `<div class="field"><label for="save-name">${words.html('SaveNameLabel')}</label>` +
                    '<input id="save-name" type="text" spellcheck="false" autocomplete="off" data-focus></div>' +
                    `<div class="field"><label for="save-kind">${words.html('SaveKindLabel')}</label>` +
                    '<select id="save-kind"></select></div>' +
                    `<div class="where">${words.html('SaveWhere')}</div>` +
                    '<div class="note" role="alert"></div>' +
                    `<div class="buttons"><button class="default">${words.html('SaveButton')}</button>` +
                    `<button class="cancel">${words.html('CancelButton')}</button></div>`;
                const name = body.querySelector('#save-name');
                const select = body.querySelector('#save-kind');
                const note = body.querySelector('.note');
                dialog.kinds.forEach(([label], index) => select.add(new Option(label, String(index))));
                select.value = String(Math.max(0, rules.kindOfName(proposed, dialog.kinds)));
                name.value = proposed;
                name.select();
                select.addEventListener('change', () => {
                    name.value = rules.renamedForKind(name.value, dialog.kinds, Number(select.value));
                });
                body.querySelector('.default').addEventListener('click', () => confirm());
                body.querySelector('.cancel').addEventListener('click', () => finish(null));
                body.confirm = confirm;
                function confirm() {
                    const chosen = rules.chosenName(name.value, dialog.kinds, Number(select.value));
                    if (chosen === '') {
                        name.focus();
                    } else if (FORBIDDEN.test(chosen)) {
                        note.textContent = words.text('NameForbidden');
                        name.focus();
                    } else if (new TextEncoder().encode(chosen).length > NAME_CAPACITY) {
                        note.textContent = words.text('NameTooLong');
                        name.focus();
                    } else {
                        finish(chosen);
                    }
                }
            },
            onKey(event, finish) {
                const body = document.querySelector('#box-cover .content');
                const letter = event.altKey && event.key.length === 1 ? event.key.toUpperCase() : '';
                if (event.key === 'Enter' && !(document.activeElement instanceof HTMLButtonElement)) body.confirm();
                else if (event.key === 'Enter') document.activeElement.click();
                else if (event.key === 'Escape') finish(null);
                else if (letter === 'N') body.querySelector('#save-name').focus();
                else if (letter === 'T') body.querySelector('#save-kind').focus();
                else if (letter === 'S') body.confirm();
                else return false;
                return true;
            },
        });
    }

    const hex = (rgb) => '#' + rgb.map((c) => (c & 0xFF).toString(16).padStart(2, '0')).join('');
    const rgbOf = (text) => [1, 3, 5].map((i) => parseInt(text.slice(i, i + 2), 16));

    // The colour settings dialog, opened with the background and wireframe colours. Resolves with how it ended
    // (PageRules.SettingsEnd) and the two colours chosen in it.
    function settings(background, wireframe) {
        const colours = {background: background.slice(), wireframe: wireframe.slice()};
        const ended = (end) => ({end, background: colours.background, wireframe: colours.wireframe});
        return page.modal({
            title: words.text('SettingsCaption'),
            className: 'dialog settings',
            closeBox: () => ended(rules.SettingsEnd.closeBox),
            fill(body, finish) {
                body.innerHTML =
                    `<fieldset><legend>${words.html('SettingsColours')}</legend>` +
                    '<div class="swatch" data-colour="background"></div><div class="swatch" data-colour="wireframe"></div>' +
                    `<button data-colour="background">${words.html('SettingsBackground')}</button>` +
                    `<button data-colour="wireframe">${words.html('SettingsWireframe')}</button>` +
                    '<input type="color" data-colour="background" tabindex="-1">' +
                    '<input type="color" data-colour="wireframe" tabindex="-1"></fieldset>' +
                    '<div class="buttons"><button class="default" data-focus>OK</button>' +
                    `<button class="cancel">${words.html('DialogCancel')}</button></div>`;
                const paint = () => {
                    for (const swatch of body.querySelectorAll('.swatch'))
                        swatch.style.background = hex(colours[swatch.dataset.colour]);
                };
                paint();
                for (const button of body.querySelectorAll('fieldset button')) {
                    const which = button.dataset.colour;
                    const chooser = body.querySelector(`input[data-colour="${which}"]`);
                    // The browser's colour chooser, opened on the colour as it is; confirming it changes the swatch.
                    button.addEventListener('click', () => {
                        chooser.value = hex(colours[which]);
                        if (chooser.showPicker) chooser.showPicker(); else chooser.click();
                    });
                    chooser.addEventListener('change', () => {
                        colours[which] = rgbOf(chooser.value);
                        paint();
                    });
                }
                body.querySelector('.default').addEventListener('click', () => finish(ended(rules.SettingsEnd.ok)));
                body.querySelector('.cancel').addEventListener('click', () => finish(ended(rules.SettingsEnd.cancel)));
            },
            onKey(event, finish) {
                const buttonFocused = document.activeElement instanceof HTMLButtonElement;
                const end = rules.settingsKeyEnd(event.key, buttonFocused);
                if (end !== null) finish(ended(end));
                else if (event.key === 'Enter' && buttonFocused) document.activeElement.click();
                else return false;
                return true;
            },
        });
    }

    // The version dialog: the program's icon, its version line and what it is; OK or the close box end it.
    function version(versionLine, productKind) {
        return page.modal({
            title: words.text('VersionCaption'),
            className: 'dialog version',
            closeBox: 0,
            fill(body, finish) {
                body.innerHTML = '<img class="icon" alt="" width="32" height="32">' +
                    '<div class="line"></div><div class="kind"></div>' +
                    '<div class="buttons"><button class="default" data-focus>OK</button></div>';
                page.files.siteUrl('artwork/icon104.ico').then((url) => { body.querySelector('.icon').src = url; });
                body.querySelector('.line').textContent = versionLine;
                body.querySelector('.kind').textContent = productKind;
                body.querySelector('.default').addEventListener('click', () => finish(0));
            },
            onKey(event, finish) {
                if (event.key !== 'Enter' && event.key !== ' ') return false;
                finish(0);
                return true;
            },
        });
    }

    // The sample models that come with the page, as the Windows program's samples folder holds them, and its picture,
    // which opens as a bitmap import.
    const SAMPLES = [['house.bvo', 'SampleHouse'], ['tree.bvo', 'SampleTree'], ['character.bvo', 'SampleCharacter'],
        ['car.bvo', 'SampleCar'], ['town.bvo', 'SampleTown'], ['fuji.bmp', 'SampleFuji']];

    // The samples window: a list of the models; resolves with the file name chosen, or null when closed without one.
    function samples() {
        return page.modal({
            title: words.text('SamplesTitle'),
            className: 'dialog samples',
            closeBox: null,
            fill(body, finish) {
                body.innerHTML = `<select size="${SAMPLES.length}" aria-label="${words.text('SamplesList')}" ` +
                    'data-focus></select>' +
                    `<div class="buttons"><button class="default">${words.html('OpenButton')}</button>` +
                    `<button class="cancel">${words.html('CancelButton')}</button></div>`;
                const list = body.querySelector('select');
                for (const [name, title] of SAMPLES) list.add(new Option(`${name} ― ${words.text(title)}`, name));
                list.selectedIndex = 0;
                list.addEventListener('dblclick', () => finish(list.value || null));
                body.querySelector('.default').addEventListener('click', () => finish(list.value || null));
                body.querySelector('.cancel').addEventListener('click', () => finish(null));
            },
            onKey(event, finish) {
                const list = document.querySelector('#box-cover .samples select');
                if (event.key === 'Enter' && document.activeElement.classList.contains('cancel')) finish(null);
                else if (event.key === 'Enter' || (event.altKey && event.key.toUpperCase() === 'O')) finish(list.value || null);
                else if (event.key === 'Escape') finish(null);
                else return false;
                return true;
            },
        });
    }

    page.dialogs = {save, settings, version, samples, kindsOf};
})();
