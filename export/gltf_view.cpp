#include "gltf_view.h"

#include <cmath>

#include "glb_container.h"

namespace {

struct V3 {
    double x, y, z;
};
V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
V3 Unit(V3 v)
{
    const double n = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return n > 0 ? V3{v.x / n, v.y / n, v.z / n} : v;
}

// The rotation whose columns are right, up and back (glTF's cameras and lights look along
// their -Z), as a unit quaternion x, y, z, w.
void Quaternion(V3 right, V3 up, V3 back, double q[4])
{
    const double m00 = right.x, m11 = up.y, m22 = back.z;
    const double trace = m00 + m11 + m22;
    if (trace > 0) {
        const double s = std::sqrt(trace + 1.0) * 2;
        q[3] = 0.25 * s, q[0] = (up.z - back.y) / s, q[1] = (back.x - right.z) / s, q[2] = (right.y - up.x) / s;
    } else if (m00 > m11 && m00 > m22) {
        const double s = std::sqrt(1.0 + m00 - m11 - m22) * 2;
        q[3] = (up.z - back.y) / s, q[0] = 0.25 * s, q[1] = (up.x + right.y) / s, q[2] = (back.x + right.z) / s;
    } else if (m11 > m22) {
        const double s = std::sqrt(1.0 + m11 - m00 - m22) * 2;
        q[3] = (back.x - right.z) / s, q[0] = (up.x + right.y) / s, q[1] = 0.25 * s, q[2] = (back.y + up.z) / s;
    } else {
        const double s = std::sqrt(1.0 + m22 - m00 - m11) * 2;
        q[3] = (right.y - up.x) / s, q[0] = (back.x + right.z) / s, q[1] = (back.y + up.z) / s, q[2] = 0.25 * s;
    }
}

// glTF gives a directional light's intensity in lux. A white matte surface square to a light
// of strength 1 (100 %) is white in the picture; in a physically based renderer it is white
// under pi x 683 lux (683 lumens a watt; the surface returns 1/pi of the light it receives
// per unit solid angle): Blender's importer makes that a sun of pi W/m2.
constexpr double kLuxPerStrength = 3.14159265358979 * 683;

std::string Numbers(const double* v, int n)
{
    std::string s = "[";
    for (int i = 0; i < n; ++i)
        s += (i ? "," : "") + JsonNumber(v[i]);
    return s + "]";
}

} // namespace

GltfViewJson ViewJson(const ModelView& view, float metresPerUnit)
{
    // Zelmora's world has the top at -Y and the front at -Z; glTF's the top at +Y and the
    // front at +Z: a half turn about X, as the mesh is turned.
    const V3 eye{view.eye[0] * metresPerUnit, -view.eye[1] * metresPerUnit, -view.eye[2] * metresPerUnit};
    const V3 back = Unit(eye);  // from the middle toward the eye
    const V3 right = Unit(Cross({0, 1, 0}, back));
    const V3 up = Cross(back, right);
    double q[4];
    Quaternion(right, up, back, q);
    const double at[3] = {eye.x, eye.y, eye.z};

    GltfViewJson json;
    json.nodes = ",{\"name\":\"camera\",\"camera\":0,\"translation\":" + Numbers(at, 3) + ",\"rotation\":" + Numbers(q, 4) + "}";
    json.nodeCount = 1;
    std::string lights;
    // extras: what glTF's lights cannot say of the studio (a key light's size, the sky as a
    // dome all round), for a renderer that can draw it.
    auto addLight = [&](const char* name, const double rotation[4], double intensity, const std::string& extras) {
        const std::string index = std::to_string(json.nodeCount - 1);
        json.nodes += ",{\"name\":\"" + std::string(name) + "\",\"rotation\":" + Numbers(rotation, 4) +
                      ",\"extensions\":{\"KHR_lights_punctual\":{\"light\":" + index + "}}}";
        lights += std::string(lights.empty() ? "" : ",") + "{\"name\":\"" + name +
                  "\",\"type\":\"directional\",\"intensity\":" + JsonNumber(intensity * kLuxPerStrength) +
                  (extras.empty() ? "" : ",\"extras\":{" + extras + "}") + "}";
        ++json.nodeCount;
    };
    const double down[4] = {-std::sqrt(0.5), 0, 0, std::sqrt(0.5)};  // -Z turned to -Y
    if (view.bStudio) {
        // The key light shines along -Z from where it is: its back axis points toward it.
        const V3 toKey = Unit({view.toKey[0], -view.toKey[1], -view.toKey[2]});
        const V3 keyRight = std::fabs(toKey.y) > 0.999 ? V3{1, 0, 0} : Unit(Cross({0, 1, 0}, toKey));
        double k[4];
        Quaternion(keyRight, Cross(toKey, keyRight), toKey, k);
        addLight("key light", k, view.key, "\"angularDiameter\":" + JsonNumber(view.keySize));
        // As a dome of that brightness all round, a white surface facing up is lit to the
        // sky's strength; a light from straight above gives it half that.
        if (view.sky > 0)
            addLight("sky", down, view.sky * 0.5, "\"dome\":" + JsonNumber(view.sky));
    } else {
        addLight("light at the eye", q, view.eyeLight, "");
        if (view.topLight > 0)
            addLight("light from above", down, view.topLight, "");
    }
    std::string perspective = "\"yfov\":" + JsonNumber(view.fovY) + ",\"znear\":" + JsonNumber(0.01);
    if (view.aspect > 0)
        perspective += ",\"aspectRatio\":" + JsonNumber(view.aspect);
    json.members = ",\"cameras\":[{\"name\":\"camera\",\"type\":\"perspective\",\"perspective\":{" + perspective +
                   "}}],\"extensionsUsed\":[\"KHR_lights_punctual\"],\"extensions\":{\"KHR_lights_punctual\":{\"lights\":[" +
                   lights + "]}}";
    return json;
}
