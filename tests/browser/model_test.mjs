// The .glb: valid by the Khronos glTF Validator (no errors, no warnings), and drawn by
// three.js from the camera of the scene's view it has zelmora-render's silhouette (IoU at
// least 0.97), each face showing its own picture the right way round.
import { chromium } from "playwright-core";
import validator from "gltf-validator";
import fs from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";

const [out, rotation1, rotation2, distance, zoom] = [process.argv[2], ...process.argv.slice(3).map(Number)];
const modules = path.join(path.dirname(fileURLToPath(import.meta.url)), "node_modules");
let failures = 0;
function check(ok, message) {
  console.log(`${ok ? "ok" : "FAIL"}: ${message}`);
  if (!ok) failures++;
}

const glb = fs.readFileSync(path.join(out, "box.glb"));
const report = await validator.validateBytes(new Uint8Array(glb));
const serious = report.issues.messages.filter((m) => m.severity <= 1).map((m) => `${m.code} ${m.pointer}`);
check(report.issues.numErrors === 0 && report.issues.numWarnings === 0,
      `the glTF Validator finds no errors and no warnings (${serious.join("; ")})`);
const info = report.info || {};
check(info.totalTriangleCount === 12 && info.materialCount === 6,
      `12 triangles and a material per face (${info.totalTriangleCount}, ${info.materialCount})`);
const json = JSON.parse(glb.subarray(20, 20 + glb.readUInt32LE(12)).toString());
check(json.images.map((i) => i.mimeType).join() === "image/jpeg,image/png,image/png",
      `the JPEG face stays a JPEG, the others are PNG (${json.images.map((i) => i.mimeType)})`);

// A paperback from its print-ready cover: valid too, its cover, pages and faces as materials.
const book = fs.readFileSync(path.join(out, "book.glb"));
const bookReport = await validator.validateBytes(new Uint8Array(book));
check(bookReport.issues.numErrors === 0 && bookReport.issues.numWarnings === 0,
      `the paperback's model: no errors and no warnings (${bookReport.issues.messages.filter((m) => m.severity <= 1)
        .map((m) => `${m.code} ${m.pointer}`).join("; ")})`);
const bookJson = JSON.parse(book.subarray(20, 20 + book.readUInt32LE(12)).toString());
{
  // A book is in the studio's light: its key light (50 degrees up by default) shines down
  // from there along the node's -Z, and the sky from straight above.
  const along = (q) => {  // -Z turned by the unit quaternion q (x, y, z, w)
    const [x, y, z, w] = q;
    return [-(2 * (x * z + w * y)), -(2 * (y * z - w * x)), -(1 - 2 * (x * x + y * y))];
  };
  const node = (name) => bookJson.nodes.find((n) => n.name === name);
  const key = node("key light"), sky = node("sky");
  const keyDown = key ? along(key.rotation)[1] : 0, skyDown = sky ? along(sky.rotation)[1] : 0;
  check(Math.abs(keyDown + Math.sin(50 * Math.PI / 180)) < 1e-3 && Math.abs(skyDown + 1) < 1e-3,
        `the paperback's model carries the studio's key light and sky (key's fall ${keyDown}, sky's ${skyDown})`);
  // Their strengths in lux, as glTF reads them: the key (100 %) lights a white surface square
  // to it white in a physically based renderer (pi x 683 lux: Blender's sun of pi W/m2).
  const lux = (n) => n ? bookJson.extensions.KHR_lights_punctual.lights[n.extensions.KHR_lights_punctual.light].intensity : 0;
  const white = Math.PI * 683;
  check(Math.abs(lux(key) / white - 1) < 1e-3 && Math.abs(lux(sky) / white - 0.25) < 1e-3,
        `the lights' strengths are in lux (key ${lux(key).toFixed(0)}, sky ${lux(sky).toFixed(0)}; white under ${white.toFixed(0)})`);
}
// A series of three: valid, a named node for each book with its own mesh, each book's cover
// its own picture.
const series = fs.readFileSync(path.join(out, "series.glb"));
const seriesReport = await validator.validateBytes(new Uint8Array(series));
check(seriesReport.issues.numErrors === 0 && seriesReport.issues.numWarnings === 0,
      `the series' model: no errors and no warnings (${seriesReport.issues.messages.filter((m) => m.severity <= 1)
        .map((m) => `${m.code} ${m.pointer}`).join("; ")})`);
const seriesJson = JSON.parse(series.subarray(20, 20 + series.readUInt32LE(12)).toString());
{
  const books = seriesJson.nodes.filter((n) => n.mesh !== undefined);
  check(books.map((n) => n.name).join() === "product 1,product 2,product 3" &&
        new Set(books.map((n) => n.mesh)).size === 3,
        `the series holds a node and a mesh for each book (${books.map((n) => `${n.name}: ${n.mesh}`)})`);
  const covers = seriesJson.materials.filter((m) => /^cover( \d)?$/.test(m.name))
    .map((m) => m.pbrMetallicRoughness.baseColorTexture?.index);
  check(covers.length === 3 && new Set(covers).size === 3,
        `each book's cover shows its own picture (${seriesJson.materials.map((m) => m.name)}; textures ${covers})`);
}
// A phone: valid, its screen's picture its emissive texture (a viewer shows it lit).
const phone = fs.readFileSync(path.join(out, "phone.glb"));
const phoneReport = await validator.validateBytes(new Uint8Array(phone));
check(phoneReport.issues.numErrors === 0 && phoneReport.issues.numWarnings === 0,
      `the phone's model: no errors and no warnings (${phoneReport.issues.messages.filter((m) => m.severity <= 1)
        .map((m) => `${m.code} ${m.pointer}`).join("; ")})`);
{
  const phoneJson = JSON.parse(phone.subarray(20, 20 + phone.readUInt32LE(12)).toString());
  const screen = phoneJson.materials.find((m) => m.name === "screen");
  check(screen !== undefined && screen.emissiveTexture !== undefined &&
        screen.emissiveTexture.index === screen.pbrMetallicRoughness.baseColorTexture?.index &&
        screen.emissiveFactor.every((f) => f > 0.9) && screen.pbrMetallicRoughness.baseColorFactor.slice(0, 3).every((f) => f === 0),
        `the phone's screen is an emissive texture, not lit again by the room (${JSON.stringify(screen)})`);
}
const names = bookJson.materials.map((m) => m.name);
check(names.includes("cover") && names.includes("page-edges") && names.includes("fore-edge") &&
      bookJson.images.length === 3,
      `its materials hold the cover and the page edges: three pictures, the cover and the paper's two ways
       (${names}; ${bookJson.images.length})`);

// The page and its modules come from this folder and node_modules, answered here: nothing
// goes to the network.
const served = {
  "/box.glb": path.join(out, "box.glb"),
  "/box.png": path.join(out, "box.png"),
};
const types = { ".js": "text/javascript", ".glb": "model/gltf-binary", ".png": "image/png", ".html": "text/html" };
const browser = await chromium.launch({
  executablePath: "/usr/bin/chromium",
  args: ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader"],
});
try {
  const page = await browser.newPage({ viewport: { width: 400, height: 400 } });
  page.on("console", (m) => { if (m.type() === "error") console.log("page:", m.text()); });
  await page.route("http://zelmora.test/**", (route) => {
    const url = new URL(route.request().url());
    const file = url.pathname.startsWith("/three/")
      ? path.join(modules, url.pathname)
      : served[url.pathname];
    if (url.pathname === "/") {
      return route.fulfill({ contentType: "text/html", body:
        `<!DOCTYPE html><script type="importmap">{"imports": {"three": "/three/build/three.module.js",
         "three/addons/": "/three/examples/jsm/"}}</script><body style="margin:0">` });
    }
    if (!file || !fs.existsSync(file)) return route.fulfill({ status: 404 });
    return route.fulfill({ body: fs.readFileSync(file), contentType: types[path.extname(file)] });
  });
  await page.goto("http://zelmora.test/");
  const result = await page.evaluate(async ({ rotation1, rotation2, distance, zoom }) => {
    const THREE = await import("three");
    const { GLTFLoader } = await import("three/addons/loaders/GLTFLoader.js");
    const gltf = await new GLTFLoader().loadAsync("/box.glb");
    // Unlit, so that only the pictures and colours count, not two renderers' light.
    gltf.scene.traverse((o) => {
      if (o.isMesh) o.material = new THREE.MeshBasicMaterial({ map: o.material.map, color: o.material.color });
    });
    const size = 400;
    const renderer = new THREE.WebGLRenderer({ alpha: true, antialias: true, preserveDrawingBuffer: true });
    renderer.setPixelRatio(1);
    renderer.setSize(size, size);
    document.body.appendChild(renderer.domElement);
    const scene = new THREE.Scene();
    scene.add(gltf.scene);
    // Zelmora's camera: (distance, 0, 0) turned by (rotation2 + 90) about Z, then by
    // (rotation1 + 180) about Y, looking at the middle; in the model, whose Y and Z are
    // Zelmora's turned half round, and whose unit is the inch in metres.
    const roll = ((rotation2 + 90) * Math.PI) / 180, yaw = ((rotation1 + 180) * Math.PI) / 180;
    const d = (distance / 10) * 0.0254;
    const eye = [d * Math.cos(roll) * Math.cos(yaw), d * Math.sin(roll), -d * Math.cos(roll) * Math.sin(yaw)];
    // The model's own camera, which must be the picture's: where Zelmora puts it, as wide.
    const camera = gltf.cameras[0];
    const placed = camera ? camera.getWorldPosition(new THREE.Vector3()) : null;
    const cameraOff = placed ? placed.distanceTo(new THREE.Vector3(eye[0], -eye[1], -eye[2])) : Infinity;
    const fovOff = camera ? Math.abs(camera.fov - (1200 - zoom) / 10) : Infinity;
    const lights = [];
    gltf.scene.traverse((o) => { if (o.isDirectionalLight) lights.push(o.name); });
    if (!camera) return { cameraOff, fovOff, lights, iou: 0 };
    camera.updateMatrixWorld();
    renderer.render(scene, camera);

    const pixels = (source) => {
      const canvas = document.createElement("canvas");
      canvas.width = canvas.height = size;
      const context = canvas.getContext("2d");
      context.drawImage(source, 0, 0);
      return context.getImageData(0, 0, size, size).data;
    };
    const ours = new Image();
    ours.src = "/box.png";
    await ours.decode();
    const a = pixels(renderer.domElement), b = pixels(ours);
    let both = 0, either = 0;
    for (let i = 3; i < a.length; i += 4) {
      both += a[i] > 127 && b[i] > 127;
      either += a[i] > 127 || b[i] > 127;
    }
    // Where each face's marks land: the model's face corners projected with three's camera.
    const hue = (p, x, y) => { const i = (y * size + x) * 4; return [p[i], p[i + 1], p[i + 2], p[i + 3]]; };
    const box = new THREE.Box3().setFromObject(gltf.scene);
    const probes = {};
    const faces = {  // points an eighth in from the top-left and bottom-right corners, and the middle
      front: [[-0.375, 0.375, 0.5], [0.375, -0.375, 0.5], [0, 0, 0.5]],
      left: [[-0.5, 0.375, -0.375], [-0.5, -0.375, 0.375], [-0.5, 0, 0]],
      top: [[-0.375, 0.5, -0.375], [0.375, 0.5, 0.375], [0, 0.5, 0]],
    };
    const extent = box.getSize(new THREE.Vector3());
    for (const [name, corners] of Object.entries(faces)) {
      probes[name] = corners.map(([x, y, z]) => {
        const v = new THREE.Vector3(x * extent.x, y * extent.y, z * extent.z).project(camera);
        const px = Math.round((v.x + 1) * size / 2), py = Math.round((1 - v.y) * size / 2);
        return { three: hue(a, px, py), zelmora: hue(b, px, py) };
      });
    }
    return { iou: both / either, probes, cameraOff, fovOff, lights };
  }, { rotation1, rotation2, distance, zoom });
  check(result.cameraOff < 1e-4 && result.fovOff < 1e-3,
        `the model carries the picture's camera (${result.cameraOff} m, ${result.fovOff} degrees off)`);
  check(result.lights.length >= 1, `the model carries the picture's light (${result.lights.join(", ")})`);
  check(result.iou >= 0.97, `three.js's silhouette through the model's camera is zelmora-render's (IoU ${result.iou.toFixed(4)})`);
  // Black top-left and white bottom-right against the face's own colour, whatever the light.
  const sum = (p) => p[0] + p[1] + p[2];
  const marked = (tl, br, middle) => middle[3] > 127 && sum(tl) < 0.5 * sum(middle) && sum(br) > 1.2 * sum(middle);
  for (const [name, [tl, br, middle]] of Object.entries(result.probes)) {
    check(marked(tl.three, br.three, middle.three) && marked(tl.zelmora, br.zelmora, middle.zelmora),
          `the ${name} face shows its picture the right way round in both (${JSON.stringify([tl, br, middle])})`);
  }
  fs.writeFileSync(path.join(out, "three.png"), await page.screenshot());
} finally {
  await browser.close();
}
process.exit(failures ? 1 : 0);
