extends BrinewakeTestCase
## The sea the shader draws is the sea the boats feel: the generated clock helper and the wave
## parameters give Boat.wave_height.

const SeaClock = preload("res://bin/brinewake_sea_clock.gd")


func test_the_shader_clock_and_wave_parameters_give_the_physics_height() -> void:
	var boat: Boat = make_boat(Vector3(0.0, 0.7, 0.0))
	var waves: PackedVector4Array = boat.get_wave_parameters()
	var phases: PackedFloat32Array = boat.get_wave_phases()
	check(waves.size() == 3 and phases.size() == 3, "three waves")
	for t: float in [0.0, 12.5, 3600.25, 86400.5]:
		boat.set_wave_time(t)
		var clock: Vector3 = SeaClock.wave_clock(t)
		for x: float in [-40.0, 0.0, 7.5]:
			for z: float in [-13.0, 0.0, 25.0]:
				var height: float = 0.0
				for i in range(3):
					var w: Vector4 = waves[i]
					height += w.x * sin(w.y * x + w.z * z - w.w * clock[i] + phases[i])
				check_near(height, boat.wave_height(x, z), 2e-5, "height at (%s, %s, %s)" % [x, z, t])
