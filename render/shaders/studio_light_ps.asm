// The light one placement of the studio's key and sky gives the model, added into the light
// buffer (a floating-point target, summed over the placements): r the key reaching the point
// times its incidence, g the key's highlight lobe where it reaches, b the sky's share that
// reaches it, a one (how many placements the sum holds here). Constants as the model's
// one-drawing shader has them.
ps_3_0
def c14, 0, 1, 0.5, 0.125
def c15, 5, 0.25, 0, 1.5
dcl_texcoord1 v1.xyz
dcl_texcoord2 v2
dcl_texcoord3 v3.xyz
dcl_texcoord4 v4
dcl_2d s1
dcl_2d s2
#include "studio_key.inc"
mov r3.x, r2.x
mov r3.y, r8.x
mov r3.z, r13.z
mov r3.w, c14.y
mov oC0, r3
