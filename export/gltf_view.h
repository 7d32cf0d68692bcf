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
};

// The JSON of the nodes from firstNode on (each with a comma before it), and the members
// "cameras", "extensionsUsed" and "extensions" (each with a comma before it).
struct GltfViewJson {
    std::string nodes;
    std::string members;
    int nodeCount = 0;
};
GltfViewJson ViewJson(const ModelView& view, float metresPerUnit);
