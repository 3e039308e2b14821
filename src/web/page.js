// The page around the program's canvas: the menu bar with its access keys, the modal windows (message boxes and
// the dialogs of dialogs.js), the messages waiting for the program, the events that wake its resting loop, and what
// the program reads of the page (focus, visibility, its windows and menus) and tells it (frames drawn). What a key
// does in them is decided in page_rules.js.
'use strict';

window.Blokkenveld = (() => {
    const canvas = document.getElementById('view');
    // The text font: the face the Windows program asks for, then faces with the same characters and metrics.
    const textFont = '"ＭＳ ゴシック", "MS Gothic", "IPAGothic", "IPAゴシック", "Noto Sans Mono CJK JP", ' +
        '"Osaka-Mono", monospace';

    let frames = 0;
    let firstFrameTime = null;
    const frameWaiters = [];

    // ---- waking the program

    // The program's loop rests while it has no frame due, until something happens that can change the picture or
    // the editing: input of any kind, the focus, the size or the visibility changing, a drag and drop, the clipboard's
    // events, a message posted for it, the WebGL context given back. Heard on the way down to their targets, before
    // the menus and windows that keep their keys and presses from the rest of the page.
    let woken = true;  // something happened since the program last took its wake; its first passes run anyway
    let endRest = null;
    function wake() {
        woken = true;
        if (endRest) endRest();
    }
    const wakingEvents = ['keydown', 'keyup', 'mousedown', 'mouseup', 'mousemove', 'pointerdown', 'pointerup',
        'pointermove', 'pointercancel', 'touchstart', 'touchmove', 'touchend', 'touchcancel', 'wheel', 'focus', 'blur',
        'resize', 'dragenter', 'dragover', 'dragleave', 'drop', 'copy', 'cut', 'paste', 'webglcontextrestored',
        'pageshow'];
    for (const type of wakingEvents) window.addEventListener(type, wake, {capture: true, passive: true});
    document.addEventListener('visibilitychange', wake, {capture: true, passive: true});

    // Resolves once woken, at once when something happened since the program last took its wake, or after limit
    // milliseconds when limit is not negative.
    function rest(limit) {
        if (woken) return Promise.resolve();
        return new Promise((resolve) => {
            const timer = limit >= 0 ? setTimeout(() => end(), limit) : null;
            const end = () => {
                clearTimeout(timer);
                endRest = null;
                resolve();
            };
            endRest = end;
        });
    }

    // ---- messages for the program

    // Menu commands and dropped files wait here for the program's loop, which takes them between frames, as the
    // Windows program's loop dispatches its window's messages: a command may then wait for the page's dialogs.
    const messages = [];
    function post(message) {
        if (modalOpen) return;
        messages.push(message);
        wake();
    }

    // ---- the menu bar

    const menuBar = document.getElementById('menubar');
    const menus = Array.from(menuBar.querySelectorAll('.menu'));
    const itemsByCommand = new Map();
    for (const item of menuBar.querySelectorAll('.item[data-command]')) {
        item.classList.add('disabled');
        item.setAttribute('aria-disabled', 'true');
        itemsByCommand.set(Number(item.dataset.command), item);
    }

    let openMenu = -1;         // the menu whose popup is shown
    let barMenu = -1;          // the caption highlighted while the bar has the keyboard
    let highlighted = null;    // the highlighted item of the open popup
    let openSub = null;        // the item of the open popup whose submenu is shown
    let altAlone = false;      // Alt went down with no other key yet: letting it go gives the bar the keyboard

    const items = (index) => Array.from(menus[index].querySelectorAll(':scope > .popup > .item'));
    const subItems = (item) => Array.from(item.querySelectorAll(':scope > .popup > .item'));
    const isSubmenu = (item) => item !== null && item.classList.contains('submenu');
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

    // A submenu's popup beside its item; from the keys with its first item highlighted.
    function openSubmenu(item, fromKeyboard) {
        if (openSub === item) return;
        closeSubmenu();
        openSub = item;
        item.classList.add('open');
        if (fromKeyboard) highlight(subItems(item)[0] || null);
    }

    function closeSubmenu() {
        if (openSub) openSub.classList.remove('open');
        openSub = null;
    }

    function open(index, fromKeyboard) {
        closeSubmenu();
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
        if (isSubmenu(item)) {
            openSubmenu(item, true);
            return;
        }
        if (!item || !enabled(item)) return;
        close();
        post({command: Number(item.dataset.command)});
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
            const inSubmenu = item.parentElement.parentElement.classList.contains('submenu');
            item.addEventListener('mouseenter', () => {
                highlight(item);
                if (isSubmenu(item)) openSubmenu(item, false);
                else if (!inSubmenu) closeSubmenu();
            });
            item.addEventListener('mouseleave', () => { if (highlighted === item) highlight(null); });
            item.addEventListener('mouseup', (event) => {
                event.stopPropagation();  // not again by the submenu's item around it
                if (event.button === 0) choose(item);
            });
            item.addEventListener('mousedown', (event) => event.preventDefault());
        }
    });

    // A press anywhere else closes an open menu and goes no further, as a click outside a menu does. A finger's press
    // on the canvas brings no mouse events (see the canvas's fingers below), so its pointer event does the same.
    function pressOutsideMenus(event) {
        if ((openMenu >= 0 || barMenu >= 0) && !menuBar.contains(event.target)) {
            close();
            event.preventDefault();
            event.stopPropagation();
        }
    }
    window.addEventListener('mousedown', pressOutsideMenus, true);
    window.addEventListener('pointerdown', (event) => {
        if (event.pointerType === 'touch') pressOutsideMenus(event);
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
            // Right opens a highlighted submenu; Left and Escape close an open one, back to its item.
            if (key === 'ArrowRight' && isSubmenu(highlighted) && openSub !== highlighted) {
                openSubmenu(highlighted, true);
                return true;
            }
            if (openSub && (key === 'ArrowLeft' || key === 'Escape')) {
                const item = openSub;
                closeSubmenu();
                highlight(item);
                return true;
            }
            const list = openSub ? subItems(openSub) : items(openMenu);
            const moved = PageRules.menuArrow(key, menus.length, openMenu, list.length, list.indexOf(highlighted));
            if (moved) {
                if (moved.menu !== openMenu) open(moved.menu, true);
                highlight((moved.menu === openMenu ? list : items(moved.menu))[moved.item] || null);
            } else if (key === 'Escape') { const at = openMenu; open(-1, false); showBar(at); }
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
            else if (key === 'ArrowRight' || key === 'ArrowLeft')
                showBar(PageRules.menuArrow(key, menus.length, barMenu, 0, -1).menu);
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
        if (modalOpen) return;
        if (menuKey(event)) {
            event.preventDefault();
            event.stopPropagation();
        }
    }, true);
    window.addEventListener('keyup', (event) => {
        if (event.key === 'Alt' && altAlone && !modalOpen) {
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
            if (item.getAttribute('role') !== 'menuitem') item.setAttribute('aria-checked', String(isChecked));
        },
        get open() { return openMenu >= 0 || barMenu >= 0; },
    };

    // ---- modal windows

    // One modal window of the page at a time, over a cover that keeps the pointer from the menu bar and the canvas.
    // While one is open no frame update runs, as none runs while the Windows program's dialogs and boxes are up.
    let modalOpen = false;

    // A window with a title bar (and a close box when closeBox gives what closing it means, or a function that
    // tells it then; Escape then means the same), the body built by fill(body, finish), and keys handled by onKey(event, finish) before the defaults.
    // Resolves with what finish is given. Without a title the cover alone is shown, given to fill: the program waits
    // on something outside the page.
    function modal({title = null, className = 'box', closeBox = undefined, fill = () => {}, onKey = () => false}) {
        close();
        modalOpen = true;
        return new Promise((resolve) => {
            const cover = document.createElement('div');
            cover.id = 'box-cover';
            let frame = null;
            const closing = () => (typeof closeBox === 'function' ? closeBox() : closeBox);
            const finish = (value) => {
                window.removeEventListener('keydown', keyListener, true);
                cover.remove();
                modalOpen = false;
                resolve(value);
            };
            if (title !== null) {
                frame = document.createElement('div');
                frame.className = className;
                frame.setAttribute('role', className === 'box' ? 'alertdialog' : 'dialog');
                frame.setAttribute('aria-label', title);
                const bar = document.createElement('div');
                bar.className = 'title';
                const caption = document.createElement('span');
                caption.className = 'text';
                caption.textContent = title;
                bar.appendChild(caption);
                if (closeBox !== undefined) {
                    const button = document.createElement('span');
                    button.className = 'close';
                    button.setAttribute('role', 'button');
                    button.setAttribute('aria-label', texts().text('CloseButton'));
                    button.addEventListener('click', () => finish(closing()));
                    bar.appendChild(button);
                }
                frame.appendChild(bar);
                const body = document.createElement('div');
                body.className = 'content';
                frame.appendChild(body);
                cover.appendChild(frame);
                fill(body, finish);
            } else {
                fill(cover, finish);
            }
            document.body.appendChild(cover);
            const focus = frame && (frame.querySelector('[data-focus]') || frame.querySelector('input, select, button:not(.close)'));
            if (focus) focus.focus();

            function keyListener(event) {
                if (!cover.isConnected) return;
                if (!onKey(event, finish) && event.key === 'Escape' && closeBox !== undefined) finish(closing());
                // Keys stay with the window: typing in its fields and Tab work as usual, nothing reaches the menu bar
                // or the editor, and key-ups go on, so that nothing stays held behind it.
                const editing = event.target instanceof HTMLInputElement || event.target instanceof HTMLSelectElement;
                if (event.key !== 'Tab' && (!editing || event.key === 'Enter' || event.key === 'Escape'))
                    event.preventDefault();
                event.stopPropagation();
            }
            window.addEventListener('keydown', keyListener, true);
        });
    }

    // A message box: title, message, icon and buttons; resolves with the index of the button chosen. keys maps a
    // letter to a button; Enter chooses the focused button; the close box and Escape give closeIndex, where the
    // box has one (a box with Yes and No alone has none).
    function box(title, message, icon, buttons, keys, closeIndex) {
        return modal({
            title,
            closeBox: closeIndex,
            fill(body, finish) {
                body.innerHTML = '<div class="body"><div class="icon"></div><div class="message"></div></div>' +
                    '<div class="buttons"></div>';
                body.querySelector('.icon').classList.add(icon);
                body.querySelector('.icon').textContent = icon === 'question' ? '?' : '!';
                body.querySelector('.message').textContent = message;
                const row = body.querySelector('.buttons');
                buttons.forEach((caption, index) => {
                    const button = document.createElement('button');
                    button.textContent = caption;
                    button.addEventListener('click', () => finish(index));
                    row.appendChild(button);
                });
            },
            onKey(event, finish) {
                const list = Array.from(document.querySelectorAll('#box-cover .buttons button'));
                const answer = PageRules.boxAnswer(event.key, keys, list.indexOf(document.activeElement));
                if (answer < 0) return false;
                finish(answer);
                return true;
            },
        });
    }

    // ---- what the program reads and tells

    canvas.addEventListener('contextmenu', (event) => event.preventDefault());

    // Fingers on the canvas go to the program, which makes of them what the mouse would do (touch.down and the rest,
    // given once it runs); mice and pens keep their mouse events. A finger's press keeps the browser from sending
    // the mouse events of a tap after it, which would click a second time.
    const touch = {down: null, move: null, up: null, cancel: null};
    const touchEvents = {pointerdown: 'down', pointermove: 'move', pointerup: 'up', pointercancel: 'cancel'};
    for (const [type, name] of Object.entries(touchEvents)) {
        canvas.addEventListener(type, (event) => {
            if (event.pointerType !== 'touch') return;
            if (type === 'pointerdown') event.preventDefault();
            if (touch[name]) touch[name](event.pointerId, Math.round(event.clientX), Math.round(event.clientY));
        });
    }

    // A line at the foot of the page telling of something the browser refuses; the page works on. A click closes it.
    function notice(text) {
        const line = document.createElement('div');
        line.className = 'notice';
        line.setAttribute('role', 'status');
        line.textContent = text;
        const close = document.createElement('button');
        close.textContent = '×';
        close.setAttribute('aria-label', texts().text('CloseButton'));
        close.addEventListener('click', () => line.remove());
        line.appendChild(close);
        document.body.appendChild(line);
    }

    // The words of the page's own windows, in the program's language (page_texts.js); the buttons of a question.
    const texts = () => window.Blokkenveld.texts;
    const yesNo = () => [texts().plain('YesButton'), texts().plain('NoButton')];

    // The place of name among the names the program lists (separated by blanks), as the program reads an answer of
    // the page's; a name it does not list is the page's mistake, and -1.
    function placeAmong(names, name) {
        const place = names.split(' ').indexOf(name);
        if (place < 0) console.error(`the program knows no "${name}" among: ${names}`);
        return place;
    }

    return {
        canvas,
        touch,
        textFont,
        placeAmong,
        menu,
        modal,
        box,
        post,
        notice,
        // The next message for the program, or null.
        nextMessage: () => messages.shift() || null,
        rest,
        // Whether something happened since the last call.
        takeWake() {
            const was = woken;
            woken = false;
            return was;
        },
        active: () => document.visibilityState === 'visible' && document.hasFocus() && !modalOpen && !menu.open,
        ask: async (text) => (await box(texts().text('ConfirmTitle'), text, 'question', yesNo(), {Y: 0, N: 1})) === 0,
        // 0 Yes, 1 No, 2 Cancel; the close box and Escape cancel.
        askYesNoCancel: (text) => box(texts().text('ConfirmTitle'), text, 'question',
            [...yesNo(), texts().text('CancelButton')], {Y: 0, N: 1}, 2),
        error: (text) => box(texts().text('ErrorTitle'), text, 'exclamation', [texts().text('DialogOk')], {}, 0),
        frameDrawn() {
            frames += 1;
            if (firstFrameTime === null) firstFrameTime = performance.now();
            while (frameWaiters.length > 0 && frameWaiters[0].until <= frames) frameWaiters.shift().resolve(frames);
            if (frameWaiters.length > 0) wake();
        },
        // Frames drawn so far, and the page's time of the first.
        get frames() { return frames; },
        get firstFrameTime() { return firstFrameTime; },
        get modalOpen() { return modalOpen; },
        // Resolves once count more frames have been drawn; they are drawn for it, as a page at rest draws none.
        nextFrames(count = 1) {
            return new Promise((resolve) => {
                frameWaiters.push({until: frames + count, resolve});
                frameWaiters.sort((a, b) => a.until - b.until);
                wake();
            });
        },
    };
})();
