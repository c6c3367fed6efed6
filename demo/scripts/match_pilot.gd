class_name MatchPilots
extends RefCounted
## The simulator's built-in pilots, the same rules: each pilot seeks a pickup it can use when it lacks
## rockets or health (or when one lies nearer than any opponent), and otherwise closes on the nearest
## live opponent. It fires a rocket when that opponent is straight ahead within rocket range (a fresh
## press per rocket) and holds the water cannon's trigger when the opponent is close and ahead. It leads
## its aim by the opponent's motion over the last frame and holds fire while capsized.
## Call drive() once before each physics frame (the aim assumes 60 frames per second).

const ROCKETS: int = 0  # weapon kinds; also the rocket pickup's kind
const CANNON: int = 1
const MAX_ROCKETS: int = 6
const MAX_HEALTH: float = 50.0
const STEER_GAIN: float = 2.0  # steering per radian of heading error
const SHARP_TURN: float = 1.2  # rad of heading error above which the pilot slows down
const ROCKET_RANGE: float = 28.0  # m
const ROCKET_MIN_RANGE: float = 6.0  # m: nearer, the rocket's blast would reach the shooter
const ROCKET_AIM: float = 0.04  # rad
const ROCKET_PAUSE: int = 20  # frames between rocket presses
const SHOT_SPEED: float = 40.0 / 60.0  # m per frame: a rocket's mean speed, for leading the aim
const TELEPORT: float = 2.0  # m per frame: a larger jump is a respawn, not motion
const UPRIGHT: float = 0.5  # least up-axis height of a boat that may shoot
const PICKUP_LOOK_FRAMES: int = 6  # frames between two reads of the pickups
const CANNON_RANGE: float = 13.0  # m
const CANNON_AIM: float = 0.25  # rad
const LOW_HEALTH: float = 25.0  # at or below this the pilot seeks health first
const OPPORTUNITY_RANGE: float = 15.0  # m: a usable pickup this near is worth a detour
const CAREFUL_APPROACH: float = 6.0  # m: near a pickup the pilot slows for sharp turns

## What a pilot sees of one boat in one frame.
class BoatView:
	var alive: bool = false
	var health: float = 0.0
	var tracked: bool = false  # alive in the previous frame too, so step is known
	var position: Vector3 = Vector3.ZERO
	var step: Vector3 = Vector3.ZERO  # m moved over the last frame
	var upright: bool = false
	var heading: float = 0.0  # rad: 0 with the bow along world -Z, growing towards +X

## What a pilot keeps across frames.
class PilotState:
	var trigger: bool = false
	var rocket_wait: int = 0

var combat_id: int = 0
## Every boat of the match, flown or not (opponents are seen too).
var boat_ids: Array[int] = []
## Which of boat_ids the pilots fly.
var flown: Array[bool] = []
var views: Array[BoatView] = []
var states: Array[PilotState] = []
var active_pickups: Array[Dictionary] = []
var frames_driven: int = 0


func _init(combat: WeaponSystem, boats: Array[Boat], flown_boats: Array[Boat]) -> void:
	combat_id = combat.get_instance_id()
	for index in range(boats.size()):
		var boat: Boat = boats[index]
		boat_ids.append(boat.get_instance_id())
		flown.append(flown_boats.has(boat))
		views.append(BoatView.new())
		states.append(PilotState.new())


## a - b wrapped into [-PI, PI] (named apart from the engine's own angle_difference).
static func heading_error(a: float, b: float) -> float:
	var difference: float = fmod(a - b, TAU)
	if difference > PI:
		difference -= TAU
	elif difference < -PI:
		difference += TAU
	return difference


## Heading of the direction (dx, dz): 0 towards -Z, PI/2 towards +X.
static func bearing(dx: float, dz: float) -> float:
	return atan2(dx, -dz)


func find_boat(index: int) -> Boat:
	return instance_from_id(boat_ids[index]) as Boat


func read_pickups() -> void:
	active_pickups.clear()
	var combat := instance_from_id(combat_id) as WeaponSystem
	if combat == null:
		return
	for item: Variant in combat.get_pickups():
		var pickup: Dictionary = item
		if bool(pickup.get("active", false)):
			active_pickups.append(pickup)


func drive() -> void:
	for index in range(boat_ids.size()):
		var view: BoatView = views[index]
		var seen: Boat = find_boat(index)
		view.health = seen.get_health() if seen != null else 0.0
		view.alive = view.health > 0.0
		if not view.alive:
			view.tracked = false
			continue
		var pose: Transform3D = seen.global_transform
		var forward: Vector3 = -pose.basis.z
		var moved: Vector3 = pose.origin - view.position
		view.step = moved if view.tracked and moved.length() < TELEPORT else Vector3.ZERO
		view.tracked = true
		view.position = pose.origin
		view.upright = pose.basis.y.y > UPRIGHT
		view.heading = bearing(forward.x, forward.z)
	if frames_driven % PICKUP_LOOK_FRAMES == 0:
		read_pickups()
	frames_driven += 1
	for index in range(boat_ids.size()):
		if flown[index]:
			fly(index)


func fly(index: int) -> void:
	var pilot: PilotState = states[index]
	var me: BoatView = views[index]
	var boat: Boat = find_boat(index)
	if not me.alive or boat == null:
		states[index] = PilotState.new()
		return
	pilot.rocket_wait = maxi(0, pilot.rocket_wait - 1)
	var health: float = me.health
	var rockets: int = boat.get_ammo(ROCKETS)
	var selected: int = boat.get_selected_weapon()
	var boosting: bool = boat.get_speed_boost_remaining() > 0.0
	var x: float = me.position.x
	var z: float = me.position.z

	var opponent: int = -1
	var opponent_distance: float = INF
	for other in range(views.size()):
		if other == index or not views[other].alive:
			continue
		var d: float = Vector2(views[other].position.x - x, views[other].position.z - z).length()
		if d < opponent_distance:
			opponent_distance = d
			opponent = other

	var need_rockets: bool = rockets == 0
	var need_health: bool = health <= LOW_HEALTH
	var needed: Dictionary = {}
	var usable: Dictionary = {}
	var needed_distance: float = INF
	var usable_distance: float = INF
	for pickup: Dictionary in active_pickups:
		var kind: int = int(pickup["kind"])
		var at: Vector3 = pickup["position"]
		var fills_need: bool = (kind == ROCKETS and need_rockets) or (kind == WeaponSystem.PICKUP_HEALTH and need_health)
		var of_use: bool = (
			(kind == ROCKETS and rockets < MAX_ROCKETS)
			or (kind == WeaponSystem.PICKUP_HEALTH and health < MAX_HEALTH)
			or (kind == WeaponSystem.PICKUP_SPEED and not boosting)
		)
		if not of_use:
			continue
		var d: float = Vector2(at.x - x, at.z - z).length()
		if fills_need and d < needed_distance:
			needed_distance = d
			needed = pickup
		if d < usable_distance:
			usable_distance = d
			usable = pickup
	var seek: Dictionary = needed
	if seek.is_empty() and not usable.is_empty() and usable_distance < OPPORTUNITY_RANGE and usable_distance < opponent_distance:
		seek = usable
	if seek.is_empty() and not usable.is_empty() and opponent < 0:
		seek = usable

	var aim_x: float = 0.0
	var aim_z: float = 0.0
	var aim_error: float = PI
	if opponent >= 0:
		var target: BoatView = views[opponent]
		var lead: float = opponent_distance / SHOT_SPEED  # frames
		aim_x = target.position.x + target.step.x * lead
		aim_z = target.position.z + target.step.z * lead
		aim_error = heading_error(bearing(aim_x - x, aim_z - z), me.heading)

	var throttle: float = 0.3
	var steering: float = 0.5  # nothing to do: circle slowly
	if not seek.is_empty() or opponent >= 0:
		var target_x: float = aim_x
		var target_z: float = aim_z
		var distance: float = opponent_distance
		if not seek.is_empty():
			var seek_at: Vector3 = seek["position"]
			target_x = seek_at.x
			target_z = seek_at.z
			distance = Vector2(target_x - x, target_z - z).length()
		var error: float = heading_error(bearing(target_x - x, target_z - z), me.heading)
		steering = clampf(STEER_GAIN * error, -1.0, 1.0)
		throttle = 1.0
		if absf(error) > SHARP_TURN:
			throttle = 0.4
		if not seek.is_empty() and distance < CAREFUL_APPROACH and absf(error) > 0.6:
			throttle = 0.3
	boat.set_controls(throttle, steering)

	var want: int = -1
	if opponent >= 0 and me.upright:
		if rockets > 0 and opponent_distance > ROCKET_MIN_RANGE and opponent_distance < ROCKET_RANGE and absf(aim_error) < ROCKET_AIM:
			want = ROCKETS
		elif opponent_distance < CANNON_RANGE and absf(aim_error) < CANNON_AIM:
			want = CANNON
	var trigger: bool = false
	if want == CANNON:
		if selected != CANNON:
			boat.select_weapon(CANNON)
		trigger = true
	elif want == ROCKETS:
		if selected != ROCKETS:
			boat.select_weapon(ROCKETS)
		elif not pilot.trigger and pilot.rocket_wait == 0:
			trigger = true
			pilot.rocket_wait = ROCKET_PAUSE
	if trigger != pilot.trigger:
		boat.set_trigger(trigger)
		pilot.trigger = trigger
