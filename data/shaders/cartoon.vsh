vs.1.1
; Cartoon shading: the light falling on a vertex picks a place on the 64-step shade ramp.
;   v0 position, v1 normal, v2 diffuse colour (object space)
;   c0..c3 world x view x projection, transposed; c4 light position in object space
def c5, 0.0, 0.5, 1.0, 0.0              ; 0, a half, 1

m4x4 oPos, v0, c0

add r0, c4, -v0                         ; towards the light
dp3 r0.w, r0, r0
rsq r0.w, r0.w
mul r0.xyz, r0, r0.w                    ; unit vector to the light
dp3 r1.x, v1, r0                        ; N.L
max r1.x, r1.x, c5.x                    ; no light from behind
min r1.x, r1.x, c5.z

mov oT0.x, r1.x                         ; across the ramp
mov oT0.y, c5.y                         ; along its middle row
mov oD0, v2
