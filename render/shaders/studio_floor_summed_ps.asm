// The floor's shadows from the floor's buffer: the shares of the key and of the sky hidden
// from each pixel (r and g), averaged over the placements. The light that remains, held to
// white and encoded as sRGB, against the floor's whole light: black with the darkness that
// leaves (times the shadow's strength) as its alpha, over the background.
//   s3      the floor's buffer, read texel for pixel
//   c0.x    one over the placements it holds
//   c1      x the key's light on the floor, y the sky's (times the floor's brightness),
//           z the shadow's strength, w one over the whole light's encoded value
//   c18.xy  one over the buffer's width and height
ps_3_0
def c14, 0, 1, 0.5, 0
def c15, 0.41666667, 1.055, -0.055, 12.92
def c16, 0.0031308, 0, 0, 0
dcl_2d s3
add r0.xy, vPos, c14.z
mul r0.xy, r0, c18
texld r1, r0, s3
mul_sat r1.xy, r1, c0.x
add r1.xy, c14.y, -r1
mul r1.x, r1.x, c1.x
mad r1.x, r1.y, c1.y, r1.x
min r1.x, r1.x, c14.y
// sRGB: 1.055 x^(1/2.4) - 0.055, a straight line near black.
pow r2.x, r1.x, c15.x
mad r2.x, r2.x, c15.y, c15.z
mul r2.y, r1.x, c15.w
add r2.z, r1.x, -c16.x
cmp r2.x, r2.z, r2.x, r2.y
mad_sat r2.w, -r2.x, c1.w, c14.y
mul r2.w, r2.w, c1.z
mov r2.xyz, c14.x
mov oC0, r2
