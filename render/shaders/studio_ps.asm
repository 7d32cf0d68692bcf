// Studio light on the model's parts: the picture (read in light) times the part's colour,
// lit by the key light where the shadow map sees it (eight comparisons round the point,
// each filtered 2 x 2 by the device: a soft edge) and by the sky from above (where the sky's
// map sees the point from the sky's direction of this drawing, four comparisons), plus the
// finish's highlight of the key light, stronger at grazing angles, and the studio round it
// mirrored as a sheen (the dome above, the lit floor below, stronger at grazing angles, as
// a laminate's Fresnel reflection is). Written in light: the target encodes it
// as sRGB.
//   c0.xyz  direction to the key light        c1  x key, y sky
//   c2.rgb  the part's colour, in light       c3.xyz  the eye
//   c4      x highlight strength, y its power, z at normal incidence, w 1 - that
//   c5.xyz  up                                 c6-c9  tap offsets in the map (xy, zw)
//   c10.xyz the sky's direction, w 1 where the sky's map counts (else the sky is open)
//   c11-c12 tap offsets in the sky's map
//   c16.rgb the floor's light, what it throws back up at the model
//   c13     x the surroundings' reflection at normal incidence, y its rise to grazing
//           (Schlick's (1 - n.v)^5 times this): the studio's dome mirrored in a laminate
//   c17     x how much the part is lit from within (a screen), y 1 - that
ps_3_0
def c14, 0, 1, 0.5, 0.125
def c15, 5, 0.25, 0, 1.5
dcl_texcoord0 v0.xy
dcl_texcoord1 v1.xyz
dcl_texcoord2 v2
dcl_texcoord3 v3.xyz
dcl_texcoord4 v4
dcl_2d s0
dcl_2d s1
dcl_2d s2
texld r0, v0, s0
// Where the point lies in the shadow map, and how much of the key light reaches it.
rcp r9.w, v2.w
mul r9.xyz, v2.xyz, r9.w
mov r9.w, c14.y
mov r12.x, c14.x
add r10.xy, r9.xy, c6.xy
mov r10.zw, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
add r10.xy, r9.xy, c6.zw
texldp r11, r10, s1
add r12.x, r12.x, r11.x
add r10.xy, r9.xy, c7.xy
texldp r11, r10, s1
add r12.x, r12.x, r11.x
add r10.xy, r9.xy, c7.zw
texldp r11, r10, s1
add r12.x, r12.x, r11.x
add r10.xy, r9.xy, c8.xy
texldp r11, r10, s1
add r12.x, r12.x, r11.x
add r10.xy, r9.xy, c8.zw
texldp r11, r10, s1
add r12.x, r12.x, r11.x
add r10.xy, r9.xy, c9.xy
texldp r11, r10, s1
add r12.x, r12.x, r11.x
add r10.xy, r9.xy, c9.zw
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mul r12.x, r12.x, c14.w
nrm r1.xyz, v1
// How much of the sky's direction reaches it: only where that direction is in front of the
// surface (behind it, the hemisphere's own falling-off below stands for it).
rcp r9.w, v4.w
mul r9.xyz, v4.xyz, r9.w
mov r9.w, c14.y
mov r13.x, c14.x
add r10.xy, r9.xy, c11.xy
mov r10.zw, r9
texldp r11, r10, s2
add r13.x, r13.x, r11.x
add r10.xy, r9.xy, c11.zw
texldp r11, r10, s2
add r13.x, r13.x, r11.x
add r10.xy, r9.xy, c12.xy
texldp r11, r10, s2
add r13.x, r13.x, r11.x
add r10.xy, r9.xy, c12.zw
texldp r11, r10, s2
add r13.x, r13.x, r11.x
mul r13.x, r13.x, c15.y
dp3 r13.y, r1, c10
cmp r13.z, -r13.y, c14.y, r13.x
add r13.z, r13.z, -c14.y
mad r13.z, r13.z, c10.w, c14.y
// Diffuse: the key where it reaches, the sky more from above than from below.
dp3_sat r2.x, r1, c0
mul r2.x, r2.x, r12.x
mul r2.x, r2.x, c1.x
dp3 r2.y, r1, c5
mad r2.y, r2.y, c14.z, c14.z
mul r2.y, r2.y, c1.y
mul r2.y, r2.y, r13.z
add r2.z, r2.x, r2.y
// The floor's light thrown back up (its colour lit by the key and the sky): from below,
// none on a face that looks straight up.
dp3 r2.w, r1, c5
mad r2.w, r2.w, -c14.z, c14.z
mad r4.xyz, c16.xyz, r2.w, r2.z
// A screen lit from within shows its picture whatever light reaches it.
mad r4.xyz, r4, c17.y, c17.x
mul r3.xyz, r0, c2
mul r3.xyz, r3, r4
// The highlight: half-way between the eye and the light, and Schlick's grazing rise.
add r4.xyz, c3, -v3
nrm r5.xyz, r4
add r6.xyz, r5, c0
nrm r7.xyz, r6
dp3_sat r8.x, r1, r7
pow r8.x, r8.x, c4.y
dp3_sat r8.y, r1, r5
add r8.y, c14.y, -r8.y
pow r8.y, r8.y, c15.x
mad r8.z, r8.y, c4.w, c4.z
mul r8.x, r8.x, r8.z
mul r8.x, r8.x, c4.x
mul r8.x, r8.x, r12.x
mul r8.x, r8.x, c1.x
add r3.xyz, r3, r8.x
// The sheen: the view mirrored in the surface, r = 2 (n.v) n - v, sees the dome where it
// looks up (the sky's strength, less where the sky is hidden) and the lit floor where it
// looks down (a cover seen from above mirrors the floor), the two mixed about the horizon.
dp3 r6.x, r1, r5
add r6.x, r6.x, r6.x
mad r6.xyz, r1, r6.x, -r5
dp3 r6.w, r6, c5
mad_sat r6.w, r6.w, c15.w, c14.z
mul r7.w, r6.w, c1.y
mul r7.w, r7.w, r13.z
add r6.w, c14.y, -r6.w
mad r7.xyz, c16.xyz, r6.w, r7.w
mad r8.w, r8.y, c13.y, c13.x
mad r3.xyz, r7, r8.w, r3
mov r3.w, c14.y
mov oC0, r3
