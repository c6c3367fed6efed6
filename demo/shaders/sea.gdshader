// The sea the boats float on: heights and normals from the physics' own wave table.
shader_type spatial;
render_mode world_vertex_coords, cull_disabled;

#include "res://bin/brinewake_sea.gdshaderinc"

// Per-wave clock in seconds, set every frame by sea.gd from the boats' wave time.
uniform vec3 wave_clock;
uniform vec4 deep_colour : source_color = vec4(0.04, 0.2, 0.33, 1.0);
uniform vec4 crest_colour : source_color = vec4(0.42, 0.68, 0.78, 1.0);

varying float crest;

void vertex() {
	VERTEX.y = brinewake_sea_height(VERTEX.xz, wave_clock);
	NORMAL = brinewake_sea_normal(VERTEX.xz, wave_clock);
	crest = clamp(VERTEX.y / BRINEWAKE_SEA_MAX_HEIGHT * 0.5 + 0.5, 0.0, 1.0);
}

void fragment() {
	ALBEDO = mix(deep_colour.rgb, crest_colour.rgb, crest * crest);
	ROUGHNESS = 0.12;
	SPECULAR = 0.6;
}
