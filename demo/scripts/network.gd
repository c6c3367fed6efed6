extends Node3D
## The network side: a host simulates the match and sends, at SEND_RATE packets per second, every
## boat's 98-byte packet and the combat node's replica packet over ENet. A client keeps one frozen
## Boat per remote boat, fed with apply_network_packet, and a BoatMotion per boat that predicts it
## between packets; its combat node is a replica that mirrors the host's projectiles and pickups.
## Each peer drives its own boat from the keyboard (W/S, A/D, Space, Q); clients send their controls.
##
## Start a host with the Host button (or `-- --host` on the command line), a client with Join
## (or `-- --join=ADDRESS`).

const BoatScene: PackedScene = preload("res://boat.tscn")
const PORT: int = 24720
const SEND_RATE: float = 20.0  # packets per second per boat, and replica packets per second
const MAX_CLIENTS: int = 7

@onready var combat: WeaponSystem = $Combat
@onready var sea: SeaSurface = $Sea
@onready var camera: Camera3D = $Camera
@onready var combat_view: CombatView = $CombatView
@onready var status_label: Label = $Ui/Rows/Status
@onready var address_edit: LineEdit = $Ui/Rows/Address
@onready var host_button: Button = $Ui/Rows/Host
@onready var join_button: Button = $Ui/Rows/Join

## Peer id -> that peer's Boat (on the host: simulated; on a client: frozen mirrors).
var boats: Dictionary = {}
## Peer id -> BoatMotion predicting that boat between packets (clients only).
var predictors: Dictionary = {}
var send_timer: float = 0.0
var started: bool = false  # hosting or joined (the default offline peer counts as neither)
var wave_time: float = 0.0  # s; the sea's clock on this peer


func _ready() -> void:
	combat_view.combat = combat
	host_button.pressed.connect(start_host)
	join_button.pressed.connect(_on_join_pressed)
	multiplayer.peer_connected.connect(_on_peer_connected)
	multiplayer.peer_disconnected.connect(_on_peer_disconnected)
	for argument: String in OS.get_cmdline_user_args():
		if argument == "--host":
			start_host()
		elif argument.begins_with("--join="):
			start_client(argument.trim_prefix("--join="))


func start_host() -> void:
	var peer := ENetMultiplayerPeer.new()
	if peer.create_server(PORT, MAX_CLIENTS) != OK:
		status_label.text = "Cannot listen on port %d" % PORT
		return
	multiplayer.multiplayer_peer = peer
	started = true
	combat.set_replica(false)
	combat.add_pickup(0, Vector3(0.0, 0.0, 0.0))
	combat.add_pickup(WeaponSystem.PICKUP_HEALTH, Vector3(10.0, 0.0, 10.0))
	combat.add_pickup(WeaponSystem.PICKUP_SPEED, Vector3(-10.0, 0.0, -10.0))
	spawn_boat(1)
	status_label.text = "Hosting on port %d" % PORT
	hide_buttons()


func _on_join_pressed() -> void:
	start_client(address_edit.text)


func start_client(address: String) -> void:
	var peer := ENetMultiplayerPeer.new()
	if peer.create_client(address if not address.is_empty() else "127.0.0.1", PORT) != OK:
		status_label.text = "Cannot reach %s" % address
		return
	multiplayer.multiplayer_peer = peer
	started = true
	# A client simulates no combat: it mirrors the host's.
	combat.set_replica(true)
	combat.set_replica_lead(0.5 / SEND_RATE)
	status_label.text = "Joining %s" % address
	hide_buttons()


func hide_buttons() -> void:
	host_button.visible = false
	join_button.visible = false
	address_edit.visible = false


## Host: one simulated boat per peer, registered with the combat node.
func spawn_boat(peer_id: int) -> Boat:
	var boat := BoatScene.instantiate() as Boat
	boat.name = "Boat%d" % peer_id
	var yaw: float = TAU * float(boats.size()) / float(MAX_CLIENTS + 1)
	var spawn := Vector3(sin(yaw) * 14.0, 0.7, cos(yaw) * 14.0)
	boat.set_spawn_position(spawn)
	boat.set_spawn_yaw(yaw)
	boat.position = spawn
	boat.rotation = Vector3(0.0, yaw, 0.0)
	add_child(boat)
	# Every boat on the host's one wave clock.
	if not boats.is_empty():
		var first: Boat = boats.values()[0]
		boat.set_wave_time(first.get_wave_time())
	combat.register_boat(boat)
	boats[peer_id] = boat
	return boat


## Client: a frozen mirror of a remote boat and its predictor.
func mirror_boat(peer_id: int) -> Boat:
	var boat := BoatScene.instantiate() as Boat
	boat.name = "Mirror%d" % peer_id
	boat.freeze_mode = RigidBody3D.FREEZE_MODE_KINEMATIC
	boat.freeze = true
	add_child(boat)
	boats[peer_id] = boat
	predictors[peer_id] = BoatMotion.new()
	return boat


func _on_peer_connected(peer_id: int) -> void:
	if multiplayer.is_server():
		spawn_boat(peer_id)


func _on_peer_disconnected(peer_id: int) -> void:
	var boat: Boat = boats.get(peer_id, null)
	if boat != null:
		combat.unregister_boat(boat)
		boat.queue_free()
	boats.erase(peer_id)
	predictors.erase(peer_id)


func _physics_process(delta: float) -> void:
	if not started:
		return
	var throttle: float = Input.get_axis("ui_down", "ui_up")
	var steering: float = Input.get_axis("ui_left", "ui_right")
	if Input.is_physical_key_pressed(KEY_W):
		throttle = 1.0
	elif Input.is_physical_key_pressed(KEY_S):
		throttle = -1.0
	if Input.is_physical_key_pressed(KEY_D):
		steering = 1.0
	elif Input.is_physical_key_pressed(KEY_A):
		steering = -1.0
	var trigger: bool = Input.is_physical_key_pressed(KEY_SPACE)
	if multiplayer.is_server():
		host_frame(delta, throttle, steering, trigger)
	else:
		client_frame(delta, throttle, steering, trigger)


func _unhandled_input(event: InputEvent) -> void:
	var key := event as InputEventKey
	if key == null or not key.pressed or key.echo or key.physical_keycode != KEY_Q:
		return
	if not started:
		return
	if multiplayer.is_server():
		var own: Boat = boats.get(1, null)
		if own != null:
			own.cycle_weapon()
	else:
		cycle_remote_weapon.rpc_id(1)


func host_frame(delta: float, throttle: float, steering: float, trigger: bool) -> void:
	var own: Boat = boats.get(1, null)
	if own != null:
		own.set_controls(throttle, steering)
		own.set_trigger(trigger)
		wave_time = own.get_wave_time()
	send_timer += delta
	if send_timer < 1.0 / SEND_RATE:
		return
	send_timer = 0.0
	for peer_id: int in boats:
		var boat: Boat = boats[peer_id]
		receive_boat.rpc(peer_id, boat.get_network_packet())
	receive_replica.rpc(combat.get_replica_packet())


func client_frame(delta: float, throttle: float, steering: float, trigger: bool) -> void:
	send_controls.rpc_id(1, throttle, steering, trigger)
	# Between packets each mirror follows its predictor, stepped with the boat's last known controls.
	for peer_id: int in predictors:
		var motion: BoatMotion = predictors[peer_id]
		motion.step(motion.get_throttle(), motion.get_steering(), delta)
		var mirror: Boat = boats.get(peer_id, null)
		if mirror != null and motion.is_alive():
			mirror.global_transform = motion.get_transform()
		if peer_id == multiplayer.get_unique_id():
			wave_time = motion.get_time()


func _process(_delta: float) -> void:
	sea.wave_time = wave_time
	if not started:
		return
	var own: Boat = boats.get(multiplayer.get_unique_id(), null)
	if own != null:
		sea.follow = own
		var eye: Vector3 = own.global_transform * Vector3(0.0, 4.5, 9.0)
		camera.global_position = camera.global_position.lerp(eye, 0.08)
		camera.look_at(own.global_position + Vector3.UP)
		status_label.text = "Health %d   Rockets %d   Cannon %d" % [ceili(own.get_health()), own.get_ammo(0), own.get_ammo(1)]


@rpc("any_peer", "call_remote", "unreliable_ordered")
func send_controls(throttle: float, steering: float, trigger: bool) -> void:
	var boat: Boat = boats.get(multiplayer.get_remote_sender_id(), null)
	if boat != null:
		boat.set_controls(throttle, steering)
		boat.set_trigger(trigger)


@rpc("any_peer", "call_remote", "reliable")
func cycle_remote_weapon() -> void:
	var boat: Boat = boats.get(multiplayer.get_remote_sender_id(), null)
	if boat != null:
		boat.cycle_weapon()


@rpc("authority", "call_remote", "unreliable_ordered")
func receive_boat(peer_id: int, packet: PackedByteArray) -> void:
	var mirror: Boat = boats.get(peer_id, null)
	if mirror == null:
		mirror = mirror_boat(peer_id)
	if not mirror.apply_network_packet(packet):
		return
	var motion: BoatMotion = predictors[peer_id]
	motion.set_from_packet(packet)


@rpc("authority", "call_remote", "unreliable_ordered")
func receive_replica(packet: PackedByteArray) -> void:
	combat.set_replica_packet(packet)
