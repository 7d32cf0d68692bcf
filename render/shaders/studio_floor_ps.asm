// Studio light on the floor: the key light's shadow as darkness over the background (black
// with the darkness as its alpha; where the key light reaches, nothing). The penumbra
// widens with the distance from the footprint, where the casting edge is higher above the
// floor: sharp where the object stands, softer away from it. Sixteen comparisons on a disc,
// the disc turned from pixel to pixel (interleaved gradient noise), so that the penumbra is
// a fine grain rather than sixteen stacked copies of the edge.
//   c0.x  the shadow's strength, 0..1     c6-c13  the disc's taps for a unit radius (xy, zw)
//   c17   x, y the footprint's half width and depth, z the radius per unit of distance,
//         w the radius at the footprint
//   c18.x one over the distance from the footprint at which the shadow has faded out (0:
//         it does not fade)
//   c19.xy how far the disc is raised toward the model per unit of its radius, in the map
//         (a grazing light's: 0 from 20 degrees up)
//   c20   the darkness in the colour too (1, gathered into the floor's buffer), else black (0)
ps_3_0
def c14, 0, 1, 0.5, 0.0625
def c15, 0.06711056, 0.00583715, 52.9829189, 6.28318531
def c16, -3.14159265, 0, 0, 0
dcl_texcoord2 v2
dcl_texcoord3 v3.xyz
dcl_2d s1
// The distance to the footprint, and the radius of the taps there.
mov r0.xy, v3.xz
abs r0.xy, r0
add r0.xy, r0, -c17.xy
max r0.xy, r0, c14.x
dp2add r0.z, r0, r0, c14.x
rsq r0.w, r0.z
rcp r0.w, r0.w
mad r1.x, r0.w, c17.z, c17.w
// The disc's turn here: cos and sin of 2 pi frac(52.98 frac(dot(pos, (0.0671, 0.0058)))).
dp2add r2.x, vPos, c15, c14.x
frc r2.x, r2.x
mul r2.x, r2.x, c15.z
frc r2.x, r2.x
mad r2.x, r2.x, c15.w, c16.x
sincos r3.xy, r2.x
mul r3.xy, r3, r1.x
// Turned and scaled: (x cos - y sin, x sin + y cos) times the radius.
rcp r9.w, v2.w
mul r9.xyz, v2.xyz, r9.w
mad r9.xy, c19.xy, r1.x, r9.xy
mov r9.w, c14.y
mov r12.x, c14.x
mov r10.zw, r9
mul r4.xy, c6.x, r3.xy
mad r10.x, -c6.y, r3.y, r4.x
mad r10.y, c6.y, r3.x, r4.y
add r10.xy, r10, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mul r4.xy, c6.z, r3.xy
mad r10.x, -c6.w, r3.y, r4.x
mad r10.y, c6.w, r3.x, r4.y
add r10.xy, r10, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mul r4.xy, c7.x, r3.xy
mad r10.x, -c7.y, r3.y, r4.x
mad r10.y, c7.y, r3.x, r4.y
add r10.xy, r10, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mul r4.xy, c7.z, r3.xy
mad r10.x, -c7.w, r3.y, r4.x
mad r10.y, c7.w, r3.x, r4.y
add r10.xy, r10, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mul r4.xy, c8.x, r3.xy
mad r10.x, -c8.y, r3.y, r4.x
mad r10.y, c8.y, r3.x, r4.y
add r10.xy, r10, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mul r4.xy, c8.z, r3.xy
mad r10.x, -c8.w, r3.y, r4.x
mad r10.y, c8.w, r3.x, r4.y
add r10.xy, r10, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mul r4.xy, c9.x, r3.xy
mad r10.x, -c9.y, r3.y, r4.x
mad r10.y, c9.y, r3.x, r4.y
add r10.xy, r10, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mul r4.xy, c9.z, r3.xy
mad r10.x, -c9.w, r3.y, r4.x
mad r10.y, c9.w, r3.x, r4.y
add r10.xy, r10, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mul r4.xy, c10.x, r3.xy
mad r10.x, -c10.y, r3.y, r4.x
mad r10.y, c10.y, r3.x, r4.y
add r10.xy, r10, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mul r4.xy, c10.z, r3.xy
mad r10.x, -c10.w, r3.y, r4.x
mad r10.y, c10.w, r3.x, r4.y
add r10.xy, r10, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mul r4.xy, c11.x, r3.xy
mad r10.x, -c11.y, r3.y, r4.x
mad r10.y, c11.y, r3.x, r4.y
add r10.xy, r10, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mul r4.xy, c11.z, r3.xy
mad r10.x, -c11.w, r3.y, r4.x
mad r10.y, c11.w, r3.x, r4.y
add r10.xy, r10, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mul r4.xy, c12.x, r3.xy
mad r10.x, -c12.y, r3.y, r4.x
mad r10.y, c12.y, r3.x, r4.y
add r10.xy, r10, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mul r4.xy, c12.z, r3.xy
mad r10.x, -c12.w, r3.y, r4.x
mad r10.y, c12.w, r3.x, r4.y
add r10.xy, r10, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mul r4.xy, c13.x, r3.xy
mad r10.x, -c13.y, r3.y, r4.x
mad r10.y, c13.y, r3.x, r4.y
add r10.xy, r10, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mul r4.xy, c13.z, r3.xy
mad r10.x, -c13.w, r3.y, r4.x
mad r10.y, c13.w, r3.x, r4.y
add r10.xy, r10, r9
texldp r11, r10, s1
add r12.x, r12.x, r11.x
mad r12.x, r12.x, -c14.w, c14.y
mul r12.x, r12.x, c0.x
mad r12.y, r0.w, -c18.x, c14.y
max r12.y, r12.y, c14.x
mul r12.x, r12.x, r12.y
mul r13, r12.x, c20
mov r13.w, r12.x
mov oC0, r13
