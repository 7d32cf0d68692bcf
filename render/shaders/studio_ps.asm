// Studio light on the model's parts, one drawing: the picture (read in light) times the
// part's colour, lit by the key light and the sky as far as this drawing's shadow maps say
// they reach it, with the finish's highlight and sheen.
//   c0.xyz  direction to the key light        c1  x key, y sky
//   c2.rgb  the part's colour, in light       c3.xyz  the eye
//   c4      x highlight strength, y its power, z at normal incidence, w 1 - that
//   c5.xyz  up                                 c6-c9  tap offsets in the map (xy, zw)
//   c10.xyz the sky's direction, w 1 where the sky's map counts (else the sky is open)
//   c11-c12 tap offsets in the sky's map
//   c16.rgb the floor's light, what it throws back up at the model
//   c13     the surroundings' reflection by the part's roughness (its fit's terms)
//           (Schlick's (1 - n.v)^5 times this): the studio's dome mirrored in a laminate
//   c17     x how much the part is lit from within (a screen), y 1 - that
ps_3_0
def c14, 0, 1, 0.5, 0.125
def c15, 5, 0.25, 0, 1.5
def c21, 0.08, -6.25, 0.04, 0.76
def c22, 0.0576, 0.15, 0.52, 0
def c23, 1.13, 0.15, 0.07, 0.5
dcl_texcoord0 v0.xy
dcl_texcoord1 v1.xyz
dcl_texcoord2 v2
dcl_texcoord3 v3.xyz
dcl_texcoord4 v4
dcl_2d s0
dcl_2d s1
dcl_2d s2
texld r0, v0, s0
#include "studio_key.inc"
#include "studio_shade.inc"
