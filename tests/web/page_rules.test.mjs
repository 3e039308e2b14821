// The page's dialog and menu rules, run in node without a browser.
import assert from 'node:assert/strict';
import {test} from 'node:test';
import {loadRules} from './rules.mjs';

const rules = loadRules('page_rules.js').PageRules;
const kinds = [['bvo', '.bvo'], ['mqo', '.mqo'], ['glb', '.glb'], ['obj', '.obj'], ['vox', '.vox']];

test('the save dialog keeps a typed extension of its kinds, capitals too, and adds the chosen one to others', () => {
    for (const [typed, kind, name] of [['Work.BVO', 0, 'Work.BVO'], ['house.Obj', 0, 'house.Obj'],
        ['notes.txt', 1, 'notes.txt.mqo'], [' town. . ', 2, 'town.glb'], ['. ', 0, '']])
        assert.equal(rules.chosenName(typed, kinds, kind), name, typed);
    assert.deepEqual(['Work.BVO', 'a.txt'].map((name) => rules.renamedForKind(name, kinds, 4)), ['Work.vox', 'a.txt']);
});

test('the menus\' arrow keys go round, and from no item down starts at the first and up at the last', () => {
    const moves = [['ArrowDown', 1, 4], ['ArrowDown', 1, -1], ['ArrowUp', 1, 0], ['ArrowUp', 1, -1],
        ['ArrowRight', 3, 2], ['ArrowLeft', 0, 2], ['ArrowDown', 0, 0], ['ArrowRight', 0, 3], ['ArrowLeft', 1, 0]]
        .map(([key, menu, item]) => rules.menuArrow(key, 4, menu, 5, item));
    assert.deepEqual(moves.map(({menu, item}) => [menu, item]),
        [[1, 0], [1, 0], [1, 4], [1, 4], [0, 0], [3, 0], [0, 1], [1, 0], [0, 0]]);
    assert.equal(rules.menuArrow('Enter', 4, 0, 5, 2), null);
});

test('a message box answers its letters, and Enter the focused button or else the first', () => {
    const answers = [['Enter', 2], ['Enter', -1], ['n', 0], ['c', 0], ['Escape', 0]];
    assert.deepEqual(answers.map(([key, focused]) => rules.boxAnswer(key, {Y: 0, N: 1}, focused)), [2, 0, 1, -1, -1]);
});

test('Esc in the colour dialog is its Cancel, Enter its OK unless a button has the focus', () => {
    const ends = [['Escape', true], ['Enter', false], ['Enter', true], ['x', false]];
    assert.deepEqual(ends.map(([key, buttonFocused]) => rules.settingsKeyEnd(key, buttonFocused)),
        ['cancel', 'ok', null, null]);
});
