// A moving frame's colour in the neutral tone: what the fixed stages make of the draft's
// per-vertex light (the picture times the light at half strength times the part's colour,
// doubled, the highlight and the mirrored studio added, all in the pictures' own curve),
// taken into light, toned as the resting frame is, and back to the curve.
//   c0.rgb  the part's colour (sRGB)
ps_2_0
def c1, 2, 2.2, 0.45454545, 0
def c14, 0, 1, 0.5, 0.125
def c21, 0.08, -6.25, 0.04, 0.76
def c22, 0.0576, 0.15, 0.52, 0
dcl t0.xy
dcl v0
dcl v1
dcl_2d s0
texld r0, t0, s0
mul r0.xyz, r0, v0
mul r0.xyz, r0, c0
mad r0.xyz, r0, c1.x, v1
pow r3.x, r0.x, c1.y
pow r3.y, r0.y, c1.y
pow r3.z, r0.z, c1.y
#include "neutral_tone.inc"
pow r0.x, r3.x, c1.z
pow r0.y, r3.y, c1.z
pow r0.z, r3.z, c1.z
mov r0.w, c14.y
mov oC0, r0
