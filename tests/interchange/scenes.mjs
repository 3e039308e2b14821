// The scenes the exports are checked on, as .bvo text, and the hull the program's export rules give them.
export const GRID = 200;

function cube(x, y, z, colour) {
    return { x, y, z, colour };
}
function textured(x, y, z, column, row) {
    return { x, y, z, cell: [column, row] };
}

// An F lying on the ground with a post at its foot: no mirror image or turn of it looks the same.
function letterF(colourOf) {
    const cubes = [];
    const add = (x, y, z) => cubes.push(colourOf(x, y, z));
    for (let z = 0; z < 5; z++) add(100, 100, 100 + z);
    for (let x = 1; x < 4; x++) add(100 + x, 100, 104);
    for (let x = 1; x < 3; x++) add(100 + x, 100, 102);
    for (let y = 1; y < 3; y++) add(100, 100 + y, 100);
    return cubes;
}

// 250 distinct colours, k from 0 to 249 (each channel steps by an odd number, so no two k share a red).
function shade(k) {
    return (0xff000000 | (((k * 37) & 255) << 16) | (((k * 91) & 255) << 8) | ((k * 53) & 255)) >>> 0;
}

export function scenes() {
    const colours = [0xffd03020, 0xff2060d0, 0xff30a040, 0xfff0c020];
    const full = [];
    for (let x = 0; x < 25; x++)
        for (let y = 0; y < 20; y++)
            for (let z = 0; z < 20; z++)
                full.push((x + y + z) % 10 === 0 ? textured(88 + x, 90 + y, 90 + z, x % 8, y % 8)
                    : cube(88 + x, 90 + y, 90 + z, shade((x * 7 + y * 3 + z) % 250)));
    return {
        colours: letterF((x, y, z) => cube(x, y, z, colours[(x + y + z) % 4])),
        textured: letterF((x, y, z) => textured(x, y, z, (x + z) % 8, (y + z) % 8)),
        mixed: letterF((x, y, z) => ((x + z) % 3 === 0 ? textured(x, y, z, (x * 3) % 8, z % 8) : cube(x, y, z, colours[(x + y) % 4]))),
        limits: [cube(0, 0, 0, 0xffff0000), cube(199, 199, 199, 0xff00ff00), cube(0, 199, 0, 0xff0000ff),
                 cube(199, 0, 199, 0xffffffff), textured(199, 0, 0, 7, 7), textured(0, 0, 199, 0, 0)],
        full,
        empty: [],
    };
}

export function bvoText(cubes) {
    const coloured = cubes.filter((c) => !c.cell), withCell = cubes.filter((c) => c.cell);
    let text = `Blokkenveld\n${coloured.length ? 1 : 0} ${withCell.length ? 1 : 0}\n`;
    if (coloured.length) {
        text += `${coloured.length}\n`;
        for (const c of coloured) text += `${c.x} ${c.y} ${c.z} ${c.colour.toString(16)}\n`;
    }
    if (withCell.length) {
        text += `tex.bmp\n${withCell.length}\n`;
        for (const c of withCell) text += `${c.x} ${c.y} ${c.z} ${c.cell[0]} ${c.cell[1]}\n`;
    }
    return text;
}

export function parseBvo(text) {
    const lines = text.split(/\r?\n/);
    const [colouredFlag, texturedFlag] = lines[1].split(' ').map(Number);
    const cubes = [];
    let at = 2;
    if (colouredFlag) {
        const n = Number(lines[at++]);
        for (let i = 0; i < n; i++) {
            const [x, y, z, colour] = lines[at++].split(' ');
            cubes.push(cube(Number(x), Number(y), Number(z), parseInt(colour, 16) >>> 0));
        }
    }
    if (texturedFlag) {
        at++;
        const n = Number(lines[at++]);
        for (let i = 0; i < n; i++) {
            const [x, y, z, column, row] = lines[at++].split(' ').map(Number);
            cubes.push(textured(x, y, z, column, row));
        }
    }
    return cubes;
}

// Side numbers as the program has them: 0 -z, 1 +x, 2 +z, 3 -x, 4 +y, 5 -y. A side is exposed when the cell
// beside it is empty; cells outside the grid are empty.
export const SIDES = [[0, 0, -1], [1, 0, 0], [0, 0, 1], [-1, 0, 0], [0, 1, 0], [0, -1, 0]];

export function hull(cubes) {
    const key = (x, y, z) => `${x},${y},${z}`;
    const occupied = new Set(cubes.map((c) => key(c.x, c.y, c.z)));
    const faces = [], corners = new Set();
    const low = [Infinity, Infinity, Infinity], high = [-Infinity, -Infinity, -Infinity];
    for (const c of cubes) {
        [c.x, c.y, c.z].forEach((v, a) => { low[a] = Math.min(low[a], v); high[a] = Math.max(high[a], v); });
        SIDES.forEach((d, side) => {
            if (occupied.has(key(c.x + d[0], c.y + d[1], c.z + d[2]))) return;
            faces.push({ cube: c, side });
            const axis = d.findIndex((v) => v !== 0), far = d[axis] > 0 ? 1 : 0;
            for (let a = 0; a < 2; a++)
                for (let b = 0; b < 2; b++) {
                    const p = [c.x, c.y, c.z], others = [0, 1, 2].filter((k) => k !== axis);
                    p[axis] += far;
                    p[others[0]] += a;
                    p[others[1]] += b;
                    corners.add(key(...p));
                }
        });
    }
    const materials = new Set(cubes.filter((c) => !c.cell).map((c) => c.colour));
    const hasTexture = cubes.some((c) => c.cell);
    return { faces, corners: corners.size, materials: materials.size + (hasTexture ? 1 : 0), low, high, hasTexture };
}

// Where a point of the grid lies in the exports' frame: centred on the model's extent, one cube one unit,
// y up and the grid's z turned around.
export function toModel(point, h) {
    return [0, 1, 2].map((a) => {
        const v = point[a] - (h.low[a] + h.high[a] + 1) / 2;
        return a === 2 ? -v : v;
    });
}

// A point on an exposed face a little off its centre (a ray through the centre runs along a triangle's edge),
// and the direction a ray comes from outside.
export function facePoint(face, h) {
    const d = SIDES[face.side], c = face.cube;
    const p = [c.x + 0.5 + d[0] * 0.5, c.y + 0.5 + d[1] * 0.5, c.z + 0.5 + d[2] * 0.5];
    const others = [0, 1, 2].filter((k) => d[k] === 0);
    p[others[0]] += 0.21;
    p[others[1]] -= 0.13;
    return { point: toModel(p, h), normal: [d[0], d[1], -d[2]] };
}

// A 24-bit bottom-up BMP as rows from the top: [r, g, b] per pixel.
export function readBmp(bytes) {
    const offset = bytes.readUInt32LE(10), width = bytes.readInt32LE(18), height = bytes.readInt32LE(22);
    const bits = bytes.readUInt16LE(28), stride = Math.ceil((width * bits) / 32) * 4, step = bits / 8;
    const pixels = [];
    for (let y = 0; y < height; y++) {
        const row = offset + (height - 1 - y) * stride, line = [];
        for (let x = 0; x < width; x++) {
            const i = row + x * step;
            line.push([bytes[i + 2], bytes[i + 1], bytes[i]]);
        }
        pixels.push(line);
    }
    return { width, height, pixels };
}

export function rgb(colour) {
    return [(colour >>> 16) & 255, (colour >>> 8) & 255, colour & 255];
}

export function linearToSrgb(v) {
    const s = v <= 0.0031308 ? v * 12.92 : 1.055 * Math.pow(v, 1 / 2.4) - 0.055;
    return Math.round(Math.min(1, Math.max(0, s)) * 255);
}
