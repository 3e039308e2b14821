// The page around the program's canvas: the menu bar with its access keys, the question and message boxes, and
// what the program reads of the page (focus, visibility, its boxes and menus) and tells it (frames drawn).
'use strict';

window.Blokkenveld = (() => {
    const canvas = document.getElementById('view');
    // The text font: the face the Windows program asks for, then faces with the same characters and metrics.
    const textFont = '"ＭＳ ゴシック", "MS Gothic", "IPAGothic", "IPAゴシック", "Noto Sans Mono CJK JP", ' +
        '"Osaka-Mono", monospace';

    let frames = 0;
    let firstFrameTime = null;
    const frameWaiters = [];
    let boxOpen = false;

    // ---- the menu bar

    const menuBar = document.getElementById('menubar');
    const menus = Array.from(menuBar.querySelectorAll('.menu'));
    const itemsByCommand = new Map();
    for (const item of menuBar.querySelectorAll('.item')) {
        item.classList.add('disabled');
        item.setAttribute('aria-disabled', 'true');
        itemsByCommand.set(Number(item.dataset.command), item);
    }

    let openMenu = -1;         // the menu whose popup is shown
    let barMenu = -1;          // the caption highlighted while the bar has the keyboard
    let highlighted = null;    // the highlighted item of the open popup
    let altAlone = false;      // Alt went down with no other key yet: letting it go gives the bar the keyboard

    const items = (index) => Array.from(menus[index].querySelectorAll('.item'));
    const enabled = (item) => !item.classList.contains('disabled');
    const accessOf = (element) => (element.dataset.access || '').toUpperCase();

    function highlight(item) {
        if (highlighted) highlighted.classList.remove('highlight');
        highlighted = item;
        if (item) item.classList.add('highlight');
    }

    function showBar(index) {
        barMenu = index;
        menus.forEach((menu, i) => menu.classList.toggle('highlight', i === index));
        menuBar.classList.toggle('keyboard', index >= 0);
    }

    function open(index, fromKeyboard) {
        if (openMenu >= 0) menus[openMenu].classList.remove('open');
        highlight(null);
        openMenu = index;
        if (index < 0) return;
        menus[index].classList.add('open');
        showBar(fromKeyboard ? index : -1);
        if (fromKeyboard) highlight(items(index)[0] || null);
    }

    function close() {
        open(-1, false);
        showBar(-1);
    }

    function choose(item) {
        if (!item || !enabled(item)) return;
        close();
        if (typeof Module !== 'undefined' && Module._WebMenuCommand) Module._WebMenuCommand(Number(item.dataset.command));
    }

    function step(list, from, by) {
        if (list.length === 0) return null;
        const at = list.indexOf(from);
        return list[(at + by + list.length) % list.length];
    }

    menus.forEach((menu, index) => {
        const caption = menu.querySelector('.caption');
        caption.addEventListener('mousedown', (event) => {
            event.preventDefault();
            if (event.button !== 0) return;
            if (openMenu === index) close(); else open(index, false);
        });
        caption.addEventListener('mouseenter', () => {
            if (openMenu >= 0 && openMenu !== index) open(index, false);
        });
        for (const item of menu.querySelectorAll('.item')) {
            item.addEventListener('mouseenter', () => highlight(item));
            item.addEventListener('mouseleave', () => { if (highlighted === item) highlight(null); });
            item.addEventListener('mouseup', (event) => { if (event.button === 0) choose(item); });
            item.addEventListener('mousedown', (event) => event.preventDefault());
        }
    });

    // A press anywhere else closes an open menu and goes no further, as a click outside a menu does.
    window.addEventListener('mousedown', (event) => {
        if ((openMenu >= 0 || barMenu >= 0) && !menuBar.contains(event.target)) {
            close();
            event.preventDefault();
            event.stopPropagation();
        }
    }, true);
    window.addEventListener('blur', () => { close(); altAlone = false; });

    function menuKey(event) {
        const key = event.key;
        if (key === 'Alt') {
            if (!event.repeat) altAlone = !event.ctrlKey;
            return false;
        }
        altAlone = false;
        const letter = key.length === 1 ? key.toUpperCase() : '';
        if (openMenu >= 0) {
            const list = items(openMenu);
            if (key === 'Escape') { const at = openMenu; open(-1, false); showBar(at); }
            else if (key === 'ArrowDown') highlight(step(list, highlighted, 1));
            else if (key === 'ArrowUp') highlight(step(list, highlighted, -1));
            else if (key === 'ArrowRight') open((openMenu + 1) % menus.length, true);
            else if (key === 'ArrowLeft') open((openMenu + menus.length - 1) % menus.length, true);
            else if (key === 'Enter' || key === ' ') choose(highlighted);
            else if (letter) {
                const item = list.find((candidate) => accessOf(candidate) === letter);
                if (item) { highlight(item); choose(item); }
            }
            return true;
        }
        if (event.altKey && !event.ctrlKey && letter) {
            const index = menus.findIndex((menu) => accessOf(menu) === letter);
            if (index < 0) return false;
            open(index, true);
            return true;
        }
        if (key === 'F10' && !event.altKey && !event.ctrlKey && !event.shiftKey) {
            showBar(barMenu >= 0 ? -1 : 0);
            return true;
        }
        if (barMenu >= 0) {
            if (key === 'Escape') showBar(-1);
            else if (key === 'ArrowRight') showBar((barMenu + 1) % menus.length);
            else if (key === 'ArrowLeft') showBar((barMenu + menus.length - 1) % menus.length);
            else if (key === 'ArrowDown' || key === 'ArrowUp' || key === 'Enter') open(barMenu, true);
            else if (letter) {
                const index = menus.findIndex((menu) => accessOf(menu) === letter);
                if (index >= 0) open(index, true);
            }
            return true;
        }
        return false;
    }

    window.addEventListener('keydown', (event) => {
        if (boxOpen) return;
        if (menuKey(event)) {
            event.preventDefault();
            event.stopPropagation();
        }
    }, true);
    window.addEventListener('keyup', (event) => {
        if (event.key === 'Alt' && altAlone && !boxOpen) {
            altAlone = false;
            if (openMenu >= 0 || barMenu >= 0) close(); else showBar(0);
            event.preventDefault();
        }
    }, true);

    const menu = {
        setItem(command, isEnabled, isChecked) {
            const item = itemsByCommand.get(command);
            if (!item) return;
            item.classList.toggle('disabled', !isEnabled);
            item.setAttribute('aria-disabled', String(!isEnabled));
            item.classList.toggle('checked', isChecked);
            if (item.getAttribute('role') === 'menuitemcheckbox') item.setAttribute('aria-checked', String(isChecked));
        },
        get open() { return openMenu >= 0 || barMenu >= 0; },
    };

    // ---- boxes

    // A modal box: title, message, icon and buttons; resolves with the index of the button chosen. keys maps a
    // letter to a button; Enter chooses the focused button.
    function box(title, message, icon, buttons, keys) {
        close();
        boxOpen = true;
        return new Promise((resolve) => {
            const cover = document.createElement('div');
            cover.id = 'box-cover';
            const frame = document.createElement('div');
            frame.className = 'box';
            frame.setAttribute('role', 'alertdialog');
            frame.setAttribute('aria-label', title);
            frame.innerHTML = '<div class="title"></div><div class="body"><div class="icon"></div>' +
                '<div class="message"></div></div><div class="buttons"></div>';
            frame.querySelector('.title').textContent = title;
            frame.querySelector('.icon').classList.add(icon);
            frame.querySelector('.icon').textContent = icon === 'question' ? '?' : '!';
            frame.querySelector('.message').textContent = message;
            const row = frame.querySelector('.buttons');
            const elements = buttons.map((caption, index) => {
                const button = document.createElement('button');
                button.textContent = caption;
                button.addEventListener('click', () => finish(index));
                row.appendChild(button);
                return button;
            });
            cover.appendChild(frame);
            document.body.appendChild(cover);
            elements[0].focus();

            function onKey(event) {
                const letter = event.key.length === 1 ? event.key.toUpperCase() : '';
                if (letter && letter in keys) finish(keys[letter]);
                else if (event.key === 'Enter') finish(Math.max(0, elements.indexOf(document.activeElement)));
                else if (event.key === 'Escape' && buttons.length === 1) finish(0);
                // Every key but Tab stays with the box; key-ups go on, so that nothing stays held behind it.
                if (event.key !== 'Tab') {
                    event.preventDefault();
                    event.stopPropagation();
                }
            }
            function finish(index) {
                window.removeEventListener('keydown', onKey, true);
                cover.remove();
                boxOpen = false;
                resolve(index);
            }
            window.addEventListener('keydown', onKey, true);
        });
    }

    // ---- what the program reads and tells

    canvas.addEventListener('contextmenu', (event) => event.preventDefault());

    return {
        canvas,
        textFont,
        menu,
        active: () => document.visibilityState === 'visible' && document.hasFocus() && !boxOpen && !menu.open,
        ask: async (text) => (await box('確認', text, 'question', ['はい(Y)', 'いいえ(N)'], {Y: 0, N: 1})) === 0,
        error: (text) => box('エラー', text, 'exclamation', ['OK'], {}),
        frameDrawn() {
            frames += 1;
            if (firstFrameTime === null) firstFrameTime = performance.now();
            while (frameWaiters.length > 0 && frameWaiters[0].until <= frames) frameWaiters.shift().resolve(frames);
        },
        // Frames drawn so far, and the page's time of the first.
        get frames() { return frames; },
        get firstFrameTime() { return firstFrameTime; },
        get boxOpen() { return boxOpen; },
        // Resolves once count more frames have been drawn.
        nextFrames(count = 1) {
            return new Promise((resolve) => {
                frameWaiters.push({until: frames + count, resolve});
                frameWaiters.sort((a, b) => a.until - b.until);
            });
        },
    };
})();
