class_name CombatView
extends Node3D
## Draws a combat node's projectiles and pickups: the live state on a host, the mirrored state on a
## replica (the same get_projectiles and get_pickups calls report either).

const PICKUP_COLOURS: Dictionary = {
	0: Color(0.95, 0.55, 0.1),  # rockets
	100: Color(0.2, 0.85, 0.3),  # WeaponSystem.PICKUP_HEALTH
	101: Color(0.3, 0.5, 1.0),  # WeaponSystem.PICKUP_SPEED
}

var combat: WeaponSystem = null
var shot_meshes: Array[MeshInstance3D] = []
var pickup_meshes: Array[MeshInstance3D] = []
var shot_mesh: SphereMesh = SphereMesh.new()
var pickup_mesh: BoxMesh = BoxMesh.new()


func _ready() -> void:
	shot_mesh.radius = 0.12
	shot_mesh.height = 0.24
	pickup_mesh.size = Vector3(0.7, 0.7, 0.7)


func _process(_delta: float) -> void:
	if combat == null or not is_instance_valid(combat):
		return
	var shots: Array = combat.get_projectiles()
	grow(shot_meshes, shots.size(), shot_mesh)
	for index in range(shot_meshes.size()):
		var view: MeshInstance3D = shot_meshes[index]
		view.visible = index < shots.size()
		if view.visible:
			var shot: Dictionary = shots[index]
			view.global_position = shot["position"]
	var items: Array = combat.get_pickups()
	grow(pickup_meshes, items.size(), pickup_mesh)
	for index in range(pickup_meshes.size()):
		var view: MeshInstance3D = pickup_meshes[index]
		view.visible = index < items.size() and bool((items[index] as Dictionary).get("active", false))
		if view.visible:
			var item: Dictionary = items[index]
			view.global_position = item["position"]
			var paint := StandardMaterial3D.new()
			paint.albedo_color = PICKUP_COLOURS.get(int(item["kind"]), Color.WHITE)
			view.material_override = paint


func grow(pool: Array[MeshInstance3D], count: int, mesh: Mesh) -> void:
	while pool.size() < count:
		var view := MeshInstance3D.new()
		view.mesh = mesh
		add_child(view)
		pool.append(view)
