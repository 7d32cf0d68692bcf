// Studio light on the model's parts from the light buffer: the light the placements of the
// key and the sky gave each pixel, averaged (the sum over its count), then the colour as one
// drawing makes it. A pixel the buffer missed (the model's outline, where multisampling
// covers part of a pixel whose middle the buffer saw as floor) takes a neighbour's light.
//   s3      the light buffer, read texel for pixel
//   c18.xy  one over the buffer's width and height
//   the rest as the model's one-drawing shader has them
ps_3_0
def c14, 0, 1, 0.5, 0.125
def c15, 5, 0.25, 0, 1.5
def c21, 0.08, -6.25, 0.04, 0.76
def c22, 0.0576, 0.15, 0.52, 0
def c23, 1.13, 0.15, 0.07, 0.5
def c19, 0.5, 1, -1, 0
defi i0, 4, 0, 0, 0
dcl_texcoord0 v0.xy
dcl_texcoord1 v1.xyz
dcl_texcoord3 v3.xyz
dcl_2d s0
dcl_2d s3
texld r0, v0, s0
nrm r1.xyz, v1
add r4.xyz, c3, -v3
nrm r5.xyz, r4
// The buffer at this pixel, else at the first of its four neighbours that holds light:
// right, below, left, above (the step turned a quarter each time).
add r20.xy, vPos, c19.x
mul r21.xy, r20, c18
texld r22, r21, s3
mov r24.xy, c19.yw
mov r21.zw, c19.w
rep i0
add r21.xy, r20, r24
mul r21.xy, r21, c18
texldl r23, r21.xyww, s3
cmp r22, -r22.w, r23, r22
mov r25.x, -r24.y
mov r24.y, r24.x
mov r24.x, r25.x
endrep
max r22.w, r22.w, c14.y
rcp r22.w, r22.w
mul r2.x, r22.x, r22.w
mul r8.x, r22.y, r22.w
mul r13.z, r22.z, r22.w
#include "studio_shade.inc"
