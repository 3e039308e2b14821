// Reads .glb and .gltf files with three.js's GLTFLoader in the browser (an embedded picture needs the browser's image
// decoding), answers the checker's questions about them, and draws one for a picture.
import * as THREE from 'three';
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';

function pixelsOf(image) {
    const canvas = document.createElement('canvas');
    canvas.width = image.width;
    canvas.height = image.height;
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    return { width: image.width, height: image.height, data: context.getImageData(0, 0, image.width, image.height).data };
}

const toSrgb = (v) => Math.round(Math.min(1, Math.max(0, v <= 0.0031308 ? v * 12.92 : 1.055 * Math.pow(v, 1 / 2.4) - 0.055)) * 255);

window.checkGlb = async (url, queries) => {
    const gltf = await new GLTFLoader().loadAsync(url);
    const meshes = [];
    gltf.scene.traverse((o) => { if (o.isMesh) meshes.push(o); });
    let vertices = 0, triangles = 0;
    const materials = new Set();
    for (const mesh of meshes) {
        vertices += mesh.geometry.attributes.position.count;
        triangles += mesh.geometry.index.count / 3;
        materials.add(mesh.material);
    }
    gltf.scene.updateMatrixWorld(true);
    const raycaster = new THREE.Raycaster();
    const samples = queries.map(({ point, normal }) => {
        const origin = new THREE.Vector3(...point).addScaledVector(new THREE.Vector3(...normal), 0.25);
        raycaster.set(origin, new THREE.Vector3(...normal).negate());
        const hit = raycaster.intersectObjects(meshes, false)[0];
        if (!hit) return null;
        const geometry = hit.object.geometry, material = hit.object.material;
        const sample = { at: hit.point.toArray(), normal: hit.face.normal.toArray() };
        if (geometry.attributes.color) {
            const c = geometry.attributes.color;
            sample.colour = [toSrgb(c.getX(hit.face.a)), toSrgb(c.getY(hit.face.a)), toSrgb(c.getZ(hit.face.a))];
        }
        if (material.map) {
            const texture = pixelsOf(material.map.image);
            const x = Math.floor(hit.uv.x * texture.width), y = Math.floor(hit.uv.y * texture.height);
            const i = (y * texture.width + x) * 4;
            sample.uv = hit.uv.toArray();
            sample.texel = [texture.data[i], texture.data[i + 1], texture.data[i + 2]];
            sample.filters = [material.map.magFilter === THREE.NearestFilter, material.map.minFilter === THREE.NearestFilter];
        }
        return sample;
    });
    return { vertices, triangles, materials: materials.size, samples };
};

window.pngPixels = async (url) => {
    const image = new Image();
    image.src = url;
    await image.decode();
    const p = pixelsOf(image);
    return { width: p.width, height: p.height, data: Array.from(p.data) };
};

// The model lit from above as the program lights it, seen from the direction the program's camera starts in,
// mirrored into glTF's frame (its z turned around).
window.render = async (url, width, height) => {
    const gltf = await new GLTFLoader().loadAsync(url);
    const renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
    renderer.setSize(width, height);
    document.body.appendChild(renderer.domElement);
    const scene = new THREE.Scene();
    scene.background = new THREE.Color(0x40, 0x40, 0x60);
    scene.background.setRGB(0.25, 0.25, 0.35);
    scene.add(new THREE.AmbientLight(0xffffff, 0.6));
    const light = new THREE.DirectionalLight(0xffffff, 2.2);
    light.position.set(-0.5, 1.2, -0.8);
    scene.add(light);
    scene.add(gltf.scene);
    const box = new THREE.Box3().setFromObject(gltf.scene);
    const size = box.getSize(new THREE.Vector3()).length();
    const camera = new THREE.PerspectiveCamera(45, width / height, 0.1, 1000);
    const yaw = -4.1887898, pitch = 0.7853981;
    const direction = new THREE.Vector3(Math.cos(yaw) * Math.cos(pitch), Math.sin(pitch), -Math.sin(yaw) * Math.cos(pitch));
    camera.position.copy(direction.multiplyScalar(size * 1.3));
    camera.lookAt(0, 0, 0);
    renderer.render(scene, camera);
    return true;
};
window.ready = true;
