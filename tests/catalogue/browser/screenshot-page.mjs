#!/usr/bin/env node
// Opens a written page from disk in headless Chromium, optionally sorts its table by a header
// and types into a column's filter, and saves a picture of it (scripts/gui-screenshots.sh).
// Usage: node screenshot-page.mjs PAGE.htm SCREENSHOT.png [SORT_COLUMN [FILTER_COLUMN FILTER_TEXT]]
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { launchBrowser } from './chromium.mjs';

const [pagePath, screenshotPath, sortColumn, filterColumn, filterText] = process.argv.slice(2);
if (!pagePath || !screenshotPath) {
    console.error('usage: node screenshot-page.mjs PAGE.htm SCREENSHOT.png [SORT_COLUMN [FILTER_COLUMN TEXT]]');
    process.exit(2);
}
const { browser, close } = await launchBrowser({ width: 1100, height: 700 });
try {
    const page = browser.pages()[0] ?? await browser.newPage();
    await page.goto(pathToFileURL(resolve(pagePath)).href, { waitUntil: 'load', timeout: 30000 });
    if (sortColumn) {
        await page.waitForFunction(() => document.querySelectorAll('#idMyTable img.sort-arrow').length > 0,
            null, { timeout: 10000 });
        await page.locator(`#idMyTable tr:first-child th:nth-child(${Number(sortColumn)})`).click();
    }
    if (filterColumn && filterText) {
        const input = page.locator(`#idMyTable tr:nth-child(2) th:nth-child(${Number(filterColumn)}) input`);
        await input.fill(filterText);
        await input.press('Enter');
    }
    await page.screenshot({ path: screenshotPath, fullPage: false });
} finally {
    await close();
}
console.log(resolve(screenshotPath));
