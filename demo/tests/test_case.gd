class_name BrinewakeTestCase
extends RefCounted
## Base of the demo's engine tests: an arena node the test builds its scene in, waits on physics
## frames, and failures collected by the checks below.

const BoatScene: PackedScene = preload("res://boat.tscn")

var tree: SceneTree = null
var arena: Node3D = null
var failures: Array[String] = []


func check(condition: bool, message: String) -> void:
	if not condition:
		failures.append(message)


func check_near(value: float, expected: float, tolerance: float, message: String) -> void:
	check(absf(value - expected) <= tolerance, "%s: %f, expected %f" % [message, value, expected])


func physics_frames(count: int) -> void:
	for i in range(count):
		await tree.physics_frame


## A boat from the demo's boat scene at position, bow along -Z turned by yaw (rad), in the arena.
func make_boat(position: Vector3, yaw: float = 0.0) -> Boat:
	var boat := BoatScene.instantiate() as Boat
	boat.set_spawn_position(position)
	boat.set_spawn_yaw(yaw)
	boat.position = position
	boat.rotation = Vector3(0.0, yaw, 0.0)
	arena.add_child(boat)
	return boat


func make_combat() -> WeaponSystem:
	var system := WeaponSystem.new()
	arena.add_child(system)
	return system
