// The studio's soft light: a drawing's texels scaled by c0 (1 to add a drawing into the sum,
// one over the count to take the average out of it).
ps_2_0
dcl t0.xy
dcl_2d s0
texld r0, t0, s0
mul r0, r0, c0
mov oC0, r0
