#!/usr/bin/env node
// Opens a written dynamic catalogue from disk in headless Chromium and works its table the way
// a reader would: the filter row, a drop-down filter, a text filter, sorting by a header and
// the rows counter. Fails on any script error, console error, broken image or request for
// anything but the page itself.
// Usage: node check-page.mjs PAGE.htm SCREENSHOT.png EXPECTATIONS.json
// EXPECTATIONS: { "rows": n, "type": "FM", "typeRows": n, "nameText": "pad", "nameRows": n,
//                 "literalTexts": ["<Lead", ...] (each found as typed, in exactly one row) }
import { readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { launchBrowser } from './chromium.mjs';

const [pagePath, screenshotPath, expectationsPath] = process.argv.slice(2);
if (!expectationsPath) {
    console.error('usage: node check-page.mjs PAGE.htm SCREENSHOT.png EXPECTATIONS.json');
    process.exit(2);
}
const expected = JSON.parse(readFileSync(expectationsPath, 'utf8'));
const pageUrl = pathToFileURL(resolve(pagePath)).href;
const failures = [];
function check(condition, what) {
    console.log(`${condition ? 'ok  ' : 'FAIL'} ${what}`);
    if (!condition) failures.push(what);
}

const { browser, close } = await launchBrowser({ width: 1280, height: 900 });

try {
    const page = browser.pages()[0] ?? await browser.newPage();
    const problems = [];
    page.on('pageerror', (error) => problems.push(`script error: ${error.message}`));
    page.on('console', (message) => message.type() === 'error' && problems.push(`console error: ${message.text()}`));
    page.on('request', (request) => {
        const url = request.url();
        if (url !== pageUrl && !url.startsWith('data:')) problems.push(`request for ${url}`);
    });
    page.on('requestfailed', (request) => problems.push(`failed request for ${request.url().slice(0, 80)}`));

    await page.goto(pageUrl, { waitUntil: 'load', timeout: 30000 });
    // The sort extension is installed after the grid, from the chunk already in the page.
    await page.waitForFunction(() => document.querySelectorAll('#idMyTable img.sort-arrow').length > 0,
        null, { timeout: 10000 });

    const visibleRows = () => page.evaluate(() =>
        [...document.querySelectorAll('#idMyTable tbody tr')].filter((row) => row.style.display !== 'none')
            .map((row) => [...row.cells].map((cell) => cell.textContent)));
    const counter = () => page.evaluate(() => document.querySelector('.tot')?.textContent ?? '');

    // Filter row: drop-downs on Bank, Type, Letter, Nb and Main Categories, text on the others.
    const kinds = await page.evaluate(() => {
        const row = document.querySelector('#idMyTable').rows[1];
        return [...row.cells].map((cell) => cell.tagName + ':' +
            (cell.querySelector('select') ? 'select' : cell.querySelector('input[type=text]') ? 'text' : 'none'));
    });
    check(JSON.stringify(kinds) === JSON.stringify(['TH:select', 'TH:text', 'TH:select', 'TH:select',
        'TH:select', 'TH:select', 'TH:text']), `filter row kinds ${kinds.join(' ')}`);
    const firstOption = await page.evaluate(() =>
        document.querySelector('#idMyTable').rows[1].cells[2].querySelector('select').options[0].text);
    check(firstOption === '< Show all >', `first drop-down entry is "${firstOption}"`);

    let rows = await visibleRows();
    check(rows.length === expected.rows, `${rows.length} rows at first, expected ${expected.rows}`);
    check((await counter()).includes(String(expected.rows)), `rows counter "${await counter()}" at first`);

    // A Type choice leaves only that type.
    const typeSelect = page.locator('#idMyTable tr:nth-child(2) th:nth-child(3) select');
    await typeSelect.selectOption({ label: expected.type });
    rows = await visibleRows();
    check(rows.length === expected.typeRows && rows.every((row) => row[2] === expected.type),
        `Type "${expected.type}" leaves ${rows.length} rows of that type, expected ${expected.typeRows}`);
    check((await counter()).includes(String(expected.typeRows)), `rows counter "${await counter()}" after Type`);
    await typeSelect.selectOption({ index: 0 });

    // Typing in the Name filter narrows the rows.
    const nameInput = page.locator('#idMyTable tr:nth-child(2) th:nth-child(2) input');
    const filterNames = async (text) => {
        await nameInput.fill(text);
        await nameInput.press('Enter');
        return visibleRows();
    };
    rows = await filterNames(expected.nameText);
    check(rows.length === expected.nameRows &&
        rows.every((row) => row[1].toLowerCase().includes(expected.nameText.toLowerCase())),
        `Name "${expected.nameText}" leaves ${rows.length} rows, expected ${expected.nameRows}`);
    // Characters the library could take for operators are matched as text.
    for (const text of expected.literalTexts ?? []) {
        rows = await filterNames(text);
        check(rows.length === 1 && rows[0][1].includes(text),
            `Name "${text}" leaves ${rows.length} rows: ${rows.map((row) => row[1]).join(', ')}`);
    }
    rows = await filterNames('');
    check(rows.length === expected.rows, `${rows.length} rows once the Name filter is cleared`);

    // Clicking a header sorts by that column, and again the other way.
    const nameHeader = page.locator('#idMyTable tr:first-child th:nth-child(2)');
    const byName = (list) => list.map((row) => row[1]);
    const upper = (text) => text.toUpperCase();
    const sorted = byName(rows).slice().sort((a, b) => (upper(a) < upper(b) ? -1 : upper(a) > upper(b) ? 1 : 0));
    await nameHeader.click();
    rows = await visibleRows();
    check(JSON.stringify(byName(rows)) === JSON.stringify(sorted), `Name header sorts up: ${byName(rows).join(', ')}`);
    await nameHeader.click();
    rows = await visibleRows();
    check(JSON.stringify(byName(rows)) === JSON.stringify(sorted.slice().reverse()),
        `Name header again sorts down: ${byName(rows).join(', ')}`);

    // Escaped names show as text: nothing injected into the page.
    if (expected.literalName) {
        check(byName(rows).includes(expected.literalName), `the name "${expected.literalName}" is shown as text`);
        check(await page.evaluate(() => window.velmorantInjected === undefined), 'no markup injected by a name');
    }

    const broken = await page.evaluate(() =>
        [...document.images].filter((image) => !image.complete || image.naturalWidth === 0).length);
    check(broken === 0, `${broken} broken images`);
    await page.screenshot({ path: screenshotPath, fullPage: true });
    check(problems.length === 0, `no script error, console error or outside request${
        problems.length ? ': ' + problems.join('; ') : ''}`);
} finally {
    await close();
}

console.log(`screenshot: ${resolve(screenshotPath)}`);
console.log(failures.length === 0 ? 'browser check passed' : `browser check failed: ${failures.length}`);
process.exit(failures.length === 0 ? 0 : 1);
