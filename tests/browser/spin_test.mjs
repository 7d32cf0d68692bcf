// In the browser: the viewer page turns by the frames a drag of a known length and the arrow
// keys should give, holds its pictures inside itself, and shows exactly the pictures written
// as files; the animated PNG plays those same pictures, looping, at the delay asked for.
import { chromium } from "playwright-core";
import fs from "node:fs";
import path from "node:path";

const out = process.argv[2];
const count = 24;
let failures = 0;
function check(ok, message) {
  console.log(`${ok ? "ok" : "FAIL"}: ${message}`);
  if (!ok) failures++;
}
const frameFile = (i) => path.join(out, "frames", `box-${String(i + 1).padStart(2, "0")}.png`);

const browser = await chromium.launch({ executablePath: "/usr/bin/chromium", args: ["--no-sandbox"] });
try {
  const page = await browser.newPage({ viewport: { width: 800, height: 600 } });
  const fetched = [];
  page.on("request", (r) => { if (!/^(data|file):/.test(r.url())) fetched.push(r.url()); });
  await page.goto("file://" + path.join(out, "box.html"));

  const frames = await page.evaluate(() => frames);
  check(frames.length === count, `the page holds the ${count} pictures (${frames.length})`);
  // Byte for byte but for the tEXt chunk that records which run wrote the file.
  const withoutRecord = (png) => {
    const kept = [png.subarray(0, 8)];
    for (let at = 8; at + 12 <= png.length;) {
      const end = at + 12 + png.readUInt32BE(at);
      if (png.toString("latin1", at + 4, at + 8) !== "tEXt") kept.push(png.subarray(at, end));
      at = end;
    }
    return Buffer.concat(kept);
  };
  const prefix = "data:image/png;base64,";
  const written = frames.every((f, i) => f.startsWith(prefix) &&
    withoutRecord(Buffer.from(f.slice(prefix.length), "base64")).equals(withoutRecord(fs.readFileSync(frameFile(i)))));
  check(written, "each is the picture zelmora-render writes as a file for that step");

  const shown = () => page.evaluate(() => {
    const view = document.getElementById("spin");
    return { frame: Number(view.dataset.frame), same: view.src === frames[Number(view.dataset.frame)] };
  });
  const box = await page.locator("#spin").boundingBox();
  const x = box.x + box.width / 2, y = box.y + box.height / 2;
  await page.mouse.move(x, y);
  await page.mouse.down();
  await page.mouse.move(x + (box.width * 5) / count, y, { steps: 8 });
  const right = await shown();
  check(right.frame === 5 && right.same, `a drag right of 5/${count} of the picture's width shows the 6th picture (${right.frame})`);
  await page.mouse.move(x - (box.width * 3) / count, y, { steps: 8 });
  await page.mouse.up();
  const left = await shown();
  check(left.frame === count - 3 && left.same, `back past the start, 3 steps left, it comes round to the ${count - 2}nd (${left.frame})`);
  for (let i = 0; i < 4; i++) await page.keyboard.press("ArrowRight");
  await page.keyboard.press("ArrowLeft");
  check((await shown()).frame === 0, "four Right arrows and a Left arrow turn it on to the 1st");
  check(fetched.length === 0, `nothing is fetched from anywhere (${fetched.join(", ")})`);

  // The animated PNG, decoded by the browser's own decoder, frame by frame.
  const decoded = await page.evaluate(async ({ apng, stills }) => {
    const bytes = (b64) => Uint8Array.from(atob(b64), (c) => c.charCodeAt(0));
    const pixels = async (data, index) => {
      const decoder = new ImageDecoder({ data, type: "image/png" });
      const { image } = await decoder.decode({ frameIndex: index });
      const canvas = new OffscreenCanvas(image.displayWidth, image.displayHeight);
      const context = canvas.getContext("2d");
      context.drawImage(image, 0, 0);
      const result = { rgba: context.getImageData(0, 0, canvas.width, canvas.height).data, duration: image.duration };
      image.close();
      return result;
    };
    const decoder = new ImageDecoder({ data: bytes(apng), type: "image/png" });
    await decoder.tracks.ready;
    const track = decoder.tracks.selectedTrack;
    let differing = 0, transparent = 0, durations = [];
    for (const [index, still] of stills) {
      const a = await pixels(bytes(apng), index), b = await pixels(bytes(still), 0);
      durations.push(a.duration);
      for (let i = 0; i < a.rgba.length; i++) differing += a.rgba[i] !== b.rgba[i];
      for (let i = 3; i < a.rgba.length; i += 4) transparent += a.rgba[i] === 0;
    }
    return { frameCount: track.frameCount, animated: track.animated, loops: track.repetitionCount, differing,
             transparent, durations };
  }, { apng: fs.readFileSync(path.join(out, "box-spin.png")).toString("base64"),
       stills: [0, 7, 23].map((i) => [i, fs.readFileSync(frameFile(i)).toString("base64")]) });
  check(decoded.animated && decoded.frameCount === count,
        `the animated PNG has the ${count} pictures (${decoded.frameCount})`);
  check(decoded.loops === Infinity, `and loops for ever (${decoded.loops})`);
  check(decoded.durations.every((d) => d === 80000), `each shown 80 ms (${decoded.durations} us)`);
  check(decoded.differing === 0, `its 1st, 8th and 24th pictures are the stills' pixel for pixel (${decoded.differing} differ)`);
  check(decoded.transparent > 0, "the transparent background is kept");
} finally {
  await browser.close();
}
process.exit(failures ? 1 : 0);
