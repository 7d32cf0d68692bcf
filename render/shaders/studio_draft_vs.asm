// Studio light while the scene moves, where frames are drafts: the key, the sky and the
// floor's light added per vertex in light and turned back into the pictures' own curve (a
// power of 1/2.2), so that the fixed stages, multiplying the sRGB pictures and colours by
// it, light them about as the resting frame's shader does in light. Written at half
// strength: the stage that adds the part's colour doubles it, so a face lit past white
// keeps its brightness.
//   c0-c3  world x view x projection (columns)   c4.xyz to the key light, w its strength
//   c5.xyz up, w the sky's strength               c6.rgb the floor's light
//   c7.xyz the eye                                c8 x a gloss part's highlight, y its power
//   c10.x  how much the part is lit from within (a screen): so much of it at full light
//   c11    the studio round it mirrored, by the part's roughness: its reflectance
//          z + y 2^(x n.v), w 4 alpha^2 (how widely the mirrored horizon blurs)
vs_2_0
def c9, 0.5, 0.45454545, 0, 1
def c12, 1.13, 0.15, 0.07, 0.5
dcl_position v0
dcl_normal v1
dcl_texcoord v2
m4x4 oPos, v0, c0
mov oT0.xy, v2
// The key where the face turns to it, the sky more from above, the floor's from below.
dp3 r0.x, v1, c4
max r0.x, r0.x, c9.z
mul r0.x, r0.x, c4.w
dp3 r0.y, v1, c5
mad r0.z, r0.y, c9.x, c9.x
mad r0.w, r0.y, -c9.x, c9.x
// The floor returns more at a slant, as the resting frame says.
mad r9.x, r0.y, c12.z, c12.y
mad r9.x, r9.x, r0.y, c12.x
mul r0.w, r0.w, r9.x
mad r0.x, r0.z, c5.w, r0.x
mad r1.xyz, c6.xyz, r0.w, r0.x
pow r2.x, r1.x, c9.y
pow r2.y, r1.y, c9.y
pow r2.z, r1.z, c9.y
mul r2.xyz, r2, c9.x
lrp oD0.xyz, c10.x, c9.x, r2
mov oD0.w, c9.w
// A gloss part's highlight: half-way between the eye and the key.
add r3.xyz, c7, -v0
nrm r4.xyz, r3
add r6.xyz, r4, c4
nrm r5.xyz, r6
dp3 r5.w, v1, r5
max r5.w, r5.w, c9.z
pow r5.w, r5.w, c8.y
mul r5.w, r5.w, c8.x
mul r5.w, r5.w, c4.w
// The studio mirrored, as at rest: the dome where the mirrored view looks up, the lit floor
// where it looks down, by the reflectance. Added as it is: about what it adds to a
// mid-toned face once encoded.
dp3 r7.x, v1, r4
max r7.x, r7.x, c9.z
add r7.y, r7.x, r7.x
mad r8.xyz, v1, r7.y, -r4
dp3 r7.z, r8, c5
abs r9.y, r7.z
add r9.y, c9.w, -r9.y
mul r9.z, r9.y, r9.y
mul r9.z, r9.z, r9.z
mul r9.y, r9.y, r9.z
mad r9.y, r9.y, c12.w, c9.w
mul r7.w, r7.z, r7.z
add r7.w, r7.w, c11.w
rsq r7.w, r7.w
mul r7.z, r7.z, r7.w
mad r7.z, r7.z, c9.x, c9.x
mul r7.w, r7.z, c5.w
add r7.z, c9.w, -r7.z
mul r7.z, r7.z, r9.y
mad r8.xyz, c6.xyz, r7.z, r7.w
mul r7.x, r7.x, c11.x
exp r7.x, r7.x
mad r7.x, r7.x, c11.y, c11.z
mad r8.xyz, r8, r7.x, r5.w
mov oD1.xyz, r8
mov oD1.w, c9.w
