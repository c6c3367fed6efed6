extends Node3D
## The single-player match: the player's boat against pilots that fly by the simulator's rules, one
## combat node with pickups and obstacles, the sea drawn from the physics' wave table, and a HUD.
##
## Keys: W/S or Up/Down throttle, A/D or Left/Right steering, Space fire, Q cycle weapon, 1/2 select
## rockets / water cannon, R reset the boat.

const BoatScene: PackedScene = preload("res://boat.tscn")
const PILOT_COUNT: int = 3
const SPAWN_RADIUS: float = 18.0  # m from the centre of the arena
const CAMERA_OFFSET: Vector3 = Vector3(0.0, 4.5, 9.0)  # m behind and above the player, hull-local

@onready var combat: WeaponSystem = $Combat
@onready var sea: SeaSurface = $Sea
@onready var camera: Camera3D = $Camera
@onready var hud: Hud = $Hud
@onready var combat_view: CombatView = $CombatView

var player: Boat = null
var boats: Array[Boat] = []
var pilots: MatchPilots = null
var scores: Dictionary = {}  # instance id of a boat -> kills
var just_destroyed: Dictionary = {}  # instance id of a boat destroyed this frame -> true


func _ready() -> void:
	for index in range(PILOT_COUNT + 1):
		var boat := BoatScene.instantiate() as Boat
		boat.name = "Player" if index == 0 else "Pilot%d" % index
		var yaw: float = TAU * index / (PILOT_COUNT + 1)
		var spawn := Vector3(sin(yaw) * SPAWN_RADIUS, 0.7, cos(yaw) * SPAWN_RADIUS)
		boat.set_spawn_position(spawn)
		boat.set_spawn_yaw(yaw)  # the bow (-Z) turned by yaw faces the centre
		boat.position = spawn
		boat.rotation = Vector3(0.0, yaw, 0.0)
		add_child(boat)
		boat.set_wave_time(0.0)  # every boat on one wave clock
		combat.register_boat(boat)
		boat.destroyed.connect(_on_boat_destroyed.bind(boat))
		boat.respawned.connect(_on_boat_respawned.bind(boat))
		boats.append(boat)
		scores[boat.get_instance_id()] = 0
	player = boats[0]
	var flown: Array[Boat] = boats.slice(1)
	pilots = MatchPilots.new(combat, boats, flown)

	combat.boat_hit.connect(_on_boat_hit)
	combat.pickup_collected.connect(_on_pickup_collected)
	combat.add_pickup(0, Vector3(0.0, 0.0, 0.0))
	combat.add_pickup(0, Vector3(12.0, 0.0, -12.0))
	combat.add_pickup(WeaponSystem.PICKUP_HEALTH, Vector3(-12.0, 0.0, 12.0))
	combat.add_pickup(WeaponSystem.PICKUP_SPEED, Vector3(12.0, 0.0, 12.0))
	combat.add_pickup(WeaponSystem.PICKUP_SPEED, Vector3(-12.0, 0.0, -12.0))
	sea.follow = player
	combat_view.combat = combat
	hud.show_news("W/S throttle, A/D steer, Space fire, Q cycle weapon")


func _physics_process(_delta: float) -> void:
	# Runs before the boats' and the combat node's own frame: controls apply to this frame.
	pilots.drive()
	drive_player()


func _process(_delta: float) -> void:
	sea.wave_time = player.get_wave_time()
	var eye: Vector3 = player.global_transform * CAMERA_OFFSET
	camera.global_position = camera.global_position.lerp(eye, 0.08)
	camera.look_at(player.global_position + Vector3.UP)
	hud.show_boat(player, int(scores.get(player.get_instance_id(), 0)))


func drive_player() -> void:
	var throttle: float = 0.0
	var steering: float = 0.0
	if Input.is_physical_key_pressed(KEY_W) or Input.is_physical_key_pressed(KEY_UP):
		throttle += 1.0
	if Input.is_physical_key_pressed(KEY_S) or Input.is_physical_key_pressed(KEY_DOWN):
		throttle -= 1.0
	if Input.is_physical_key_pressed(KEY_D) or Input.is_physical_key_pressed(KEY_RIGHT):
		steering += 1.0
	if Input.is_physical_key_pressed(KEY_A) or Input.is_physical_key_pressed(KEY_LEFT):
		steering -= 1.0
	player.set_controls(throttle, steering)
	player.set_trigger(Input.is_physical_key_pressed(KEY_SPACE))


func _unhandled_input(event: InputEvent) -> void:
	var key := event as InputEventKey
	if key == null or not key.pressed or key.echo:
		return
	match key.physical_keycode:
		KEY_Q:
			player.cycle_weapon()
		KEY_1:
			player.select_weapon(0)
		KEY_2:
			player.select_weapon(1)
		KEY_R:
			player.reset_boat()


func _on_boat_destroyed(boat: Boat) -> void:
	# The kill goes to the attacker of the boat_hit that follows this signal.
	just_destroyed[boat.get_instance_id()] = true
	hud.show_news("%s is out" % boat.name)


func _on_boat_respawned(boat: Boat) -> void:
	just_destroyed.erase(boat.get_instance_id())


func _on_boat_hit(hit: Object, _kind: int, _damage: float, _at: Vector3, attacker: Object) -> void:
	if hit == null or not just_destroyed.has(hit.get_instance_id()):
		return
	just_destroyed.erase(hit.get_instance_id())
	if attacker != null and attacker != hit and scores.has(attacker.get_instance_id()):
		scores[attacker.get_instance_id()] += 1


func _on_pickup_collected(_pickup_id: int, boat: Object, kind: int, amount: int) -> void:
	if boat != player:
		return
	if kind == WeaponSystem.PICKUP_HEALTH:
		hud.show_news("+%d health" % amount)
	elif kind == WeaponSystem.PICKUP_SPEED:
		hud.show_news("Boost for %d s" % amount)
	else:
		hud.show_news("+%d rockets" % amount)
