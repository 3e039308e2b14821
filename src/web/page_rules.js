// The decisions behind the page's dialogs and menus, as plain functions of what they are given: the name the save
// dialog gives back, where the menus' arrow keys lead, the button a key answers in a message box, and how a key
// ends the colour settings dialog. Loading this script touches nothing of the page.
'use strict';

window.PageRules = (() => {
    // How the colour settings dialog ended, by the names the program reads it by (page.cpp).
    const SettingsEnd = Object.freeze({ok: 'ok', cancel: 'cancel', closeBox: 'closeBox'});

    const extensionOf = (name) => { const dot = name.lastIndexOf('.'); return dot > 0 ? name.slice(dot) : ''; };

    // The save dialog's kind ([caption, extension] of kinds) whose extension the name ends in, in any letter case,
    // or -1.
    const kindOfName = (name, kinds) => kinds.findIndex(([, ext]) => ext === extensionOf(name).toLowerCase());

    // The name the save dialog gives back for what was typed: blanks and dots around it go, as the system's dialog
    // drops them; a name ending in one of the dialog's extensions keeps it as typed (its letter case included, which
    // the program then judges), any other name gets the extension of the kind chosen. '' when nothing is left.
    function chosenName(typed, kinds, kindIndex) {
        const name = typed.trim().replace(/[. ]+$/, '');
        if (name === '') return '';
        return kindOfName(name, kinds) >= 0 ? name : name + kinds[kindIndex][1];
    }

    // Choosing another kind renames a name that carries one of the dialog's extensions, as the system's dialog does;
    // any other name stays as it is.
    function renamedForKind(name, kinds, kindIndex) {
        if (kindOfName(name, kinds) < 0) return name;
        return name.slice(0, -extensionOf(name).length) + kinds[kindIndex][1];
    }

    // One step by +1 or -1 from at among count places, going round at either end; from nowhere (at < 0) a step
    // down lands on the first and a step up on the last, as in the system's menus. -1 when there is no place.
    function wrapStep(count, at, by) {
        if (count <= 0) return -1;
        const from = at >= 0 ? at : by > 0 ? -1 : count;
        return (((from + by) % count) + count) % count;
    }

    // Where an arrow key leads in an open menu (menu of menuCount, item of itemCount, -1 when none is
    // highlighted): up and down go round the items, left and right to the first item of the menu beside it.
    // null for any other key.
    function menuArrow(key, menuCount, menu, itemCount, item) {
        if (key === 'ArrowDown') return {menu, item: wrapStep(itemCount, item, 1)};
        if (key === 'ArrowUp') return {menu, item: wrapStep(itemCount, item, -1)};
        if (key === 'ArrowRight') return {menu: wrapStep(menuCount, menu, 1), item: 0};
        if (key === 'ArrowLeft') return {menu: wrapStep(menuCount, menu, -1), item: 0};
        return null;
    }

    // The button of a message box a key answers: a letter of keys ({Y: 0, ...}), or Enter, which presses the
    // focused button (focused: its index, -1 when none has the focus) or else the first, the box's default.
    // -1 when the key answers nothing.
    function boxAnswer(key, keys, focused) {
        const letter = key.length === 1 ? key.toUpperCase() : '';
        if (letter && Object.prototype.hasOwnProperty.call(keys, letter)) return keys[letter];
        if (key === 'Enter') return focused >= 0 ? focused : 0;
        return -1;
    }

    // How a key ends the colour settings dialog, as the system's dialogs take them: Esc is Cancel (the colours it
    // opened with come back), Enter is OK unless a button has the focus (that button is pressed instead). null when
    // the key does not end it.
    function settingsKeyEnd(key, buttonFocused) {
        if (key === 'Escape') return SettingsEnd.cancel;
        if (key === 'Enter' && !buttonFocused) return SettingsEnd.ok;
        return null;
    }

    return {SettingsEnd, extensionOf, kindOfName, chosenName, renamedForKind, wrapStep, menuArrow, boxAnswer, settingsKeyEnd};
})();
