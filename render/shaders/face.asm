// The faces' pixel shader for sharp frames: the texel filtered in light (the texture is
// read as sRGB), turned back into sRGB by its curve, lit, tinted by the face's colour (c1)
// and given the specular colour.
ps_2_0
def c0, 0.416666657, 1.05499995, -0.0549999997, -0.00313080009
def c2, 12.9200001, 0, 0, 0
dcl t0.xy
dcl v0
dcl v1.xyz
dcl_2d s0
texld r0, t0, s0
pow r1.x, r0.x, c0.x
pow r1.y, r0.y, c0.x
pow r1.z, r0.z, c0.x
mad r1.xyz, r1, c0.y, c0.z
mul r2.xyz, r0, c2.x
add r3.xyz, r0, c0.w
cmp r1.xyz, r3, r1, r2
mul r1.xyz, r1, v0
mul r1.xyz, r1, c1
add r1.xyz, r1, v1
mov r1.w, v0.w
mov oC0, r1
