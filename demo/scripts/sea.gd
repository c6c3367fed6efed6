class_name SeaSurface
extends MeshInstance3D
## Draws the physics' sea through shaders/sea.gdshader. The owner sets wave_time (seconds) every frame
## from the boats' wave clock; the mesh follows the followed node over the X-Z plane.

const SeaClock = preload("res://bin/brinewake_sea_clock.gd")

## s; the boats' wave time, Boat.get_wave_time() (or a predictor's BoatMotion.get_time()).
var wave_time: float = 0.0
## The node the sea plane stays under (the camera's target); null keeps it still.
var follow: Node3D = null

const GRID_STEP: float = 4.0  # m; the plane moves in whole mesh cells so the waves do not swim


func _process(_delta: float) -> void:
	if follow != null and is_instance_valid(follow):
		var at: Vector3 = follow.global_position
		global_position = Vector3(snappedf(at.x, GRID_STEP), 0.0, snappedf(at.z, GRID_STEP))
	var shader_material := material_override as ShaderMaterial
	if shader_material != null:
		shader_material.set_shader_parameter("wave_clock", SeaClock.wave_clock(wave_time))
