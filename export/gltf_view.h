// The picture's camera and lights as glTF nodes (a camera, and KHR_lights_punctual's lights),
// so that a viewer or another renderer opens the model as the picture shows it.
#pragma once
#include <string>

struct ModelView {
    float eye[3] = {};         // where the camera is, world units in Zelmora's axes; it looks at the middle
    float fovY = 0;            // radians
    float aspect = 0;          // width / height; 0: the viewer's own
    float eyeLight = 0;        // the light from the eye: the diffuse value, 0..2
    float topLight = 0;        // the light from above, 0..1
    // The studio's light in place of those two: the key light (toward it, Zelmora's axes)
    // and the sky, whose mean over the dome comes from straight above.
    bool bStudio = false;
    float toKey[3] = {};
    float key = 0;             // 0..2
    float sky = 0;             // 0..2
    float keySize = 0;         // degrees across
};

// The JSON of the nodes from firstNode on (each with a comma before it), and the members
// "cameras", "extensionsUsed" and "extensions" (each with a comma before it).
struct GltfViewJson {
    std::string nodes;
    std::string members;
    int nodeCount = 0;
};
GltfViewJson ViewJson(const ModelView& view, float metresPerUnit);
