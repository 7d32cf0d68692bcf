// The floor's shadows from the floor's buffer: the darkness the key's and the sky's shadows
// gave each pixel (r and g), averaged over the placements, each hiding its share of the
// floor's light; black with the darkness that leaves as its alpha, over the background.
//   s3      the floor's buffer, read texel for pixel
//   c0.x    one over the placements it holds
//   c18.xy  one over the buffer's width and height
ps_3_0
def c14, 0, 1, 0.5, 0
dcl_2d s3
add r0.xy, vPos, c14.z
mul r0.xy, r0, c18
texld r1, r0, s3
mul r1.xy, r1, c0.x
add r1.xy, c14.y, -r1
mul r1.x, r1.x, r1.y
mov r2.xyz, c14.x
add r2.w, c14.y, -r1.x
mov oC0, r2
