// Studio light, every pass that lights the model: the position through the camera (c0-c3,
// columns of world x view x projection), through the key light's shadow map (c4-c7, ending
// in the map's texture coordinates and depth) and through the sky's (c8-c11), with the
// picture coordinates, the normal and the world position passed on.
vs_3_0
dcl_position v0
dcl_normal v1
dcl_texcoord v2
dcl_position o0
dcl_texcoord0 o1.xy
dcl_texcoord1 o2.xyz
dcl_texcoord2 o3
dcl_texcoord3 o4.xyz
dcl_texcoord4 o5
m4x4 o0, v0, c0
m4x4 o3, v0, c4
mov o1.xy, v2.xy
mov o2.xyz, v1.xyz
mov o4.xyz, v0.xyz
m4x4 o5, v0, c8
