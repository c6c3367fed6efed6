extends BrinewakeTestCase
## The combat interface as a game uses it: register, fire, hit, collect, save and restore.

var fired: Array[Dictionary] = []
var hits: Array[Dictionary] = []
var collected: Array[Dictionary] = []


func _on_weapon_fired(boat: Object, kind: int, projectile_id: int, _position: Vector3, _velocity: Vector3) -> void:
	fired.append({"boat": boat, "kind": kind, "id": projectile_id})


func _on_boat_hit(boat: Object, kind: int, damage: float, _position: Vector3, attacker: Object) -> void:
	hits.append({"boat": boat, "kind": kind, "damage": damage, "attacker": attacker})


func _on_pickup_collected(pickup_id: int, boat: Object, kind: int, amount: int) -> void:
	collected.append({"id": pickup_id, "boat": boat, "kind": kind, "amount": amount})


func test_registered_boats_fire_and_hit_each_other() -> void:
	var combat: WeaponSystem = make_combat()
	var shooter: Boat = make_boat(Vector3(0.0, 0.7, 0.0))
	var target: Boat = make_boat(Vector3(0.0, 0.7, -6.0))
	combat.register_boat(shooter)
	combat.register_boat(target)
	combat.weapon_fired.connect(_on_weapon_fired)
	combat.boat_hit.connect(_on_boat_hit)
	check(shooter.select_weapon(1), "the water cannon can be selected")
	shooter.set_trigger(true)
	await physics_frames(90)
	shooter.set_trigger(false)
	check(not fired.is_empty(), "the cannon fired")
	if not fired.is_empty():
		check(fired[0]["boat"] == shooter and int(fired[0]["kind"]) == 1, "weapon_fired names the shooter and the cannon")
	check(shooter.get_ammo(1) < 60 or not fired.is_empty(), "firing spends ammunition")
	var target_hits: Array = hits.filter(func(hit: Dictionary) -> bool: return hit["boat"] == target)
	check(not target_hits.is_empty(), "the jet struck the boat ahead")
	if not target_hits.is_empty():
		check(target_hits[0]["attacker"] == shooter, "boat_hit names the shooter as attacker")
	check(target.get_health() < target.get_max_health(), "the target lost health")


func test_a_rocket_without_ammunition_reports_empty() -> void:
	var combat: WeaponSystem = make_combat()
	var boat: Boat = make_boat(Vector3(0.0, 0.7, 0.0))
	combat.register_boat(boat)
	var empties: Array[int] = []
	combat.weapon_empty.connect(func(_who: Object, kind: int) -> void: empties.append(kind))
	boat.select_weapon(0)
	boat.set_trigger(true)
	await physics_frames(3)
	check(empties == [0], "one weapon_empty for the rockets, got %s" % [empties])
	check(combat.get_projectile_count() == 0, "nothing flies")


func test_pickups_heal_and_hide_until_they_reappear() -> void:
	var combat: WeaponSystem = make_combat()
	var boat: Boat = make_boat(Vector3(0.0, 0.7, 0.0))
	combat.register_boat(boat)
	combat.pickup_collected.connect(_on_pickup_collected)
	boat.apply_damage(20.0)
	var id: int = combat.add_pickup(WeaponSystem.PICKUP_HEALTH, Vector3(0.0, 0.0, 0.0))
	check(id > 0, "add_pickup returns an id")
	check(combat.add_pickup(1, Vector3.ZERO) == -1, "the water cannon has no pickups")
	await physics_frames(5)
	check(collected.size() == 1, "the boat collected the pickup")
	if collected.size() == 1:
		check(int(collected[0]["amount"]) == 20, "it restored the 20 missing points")
	check_near(boat.get_health(), 50.0, 1e-9, "health after the pickup")
	var pickups: Array = combat.get_pickups()
	check(pickups.size() == 1 and not bool((pickups[0] as Dictionary)["active"]), "the pickup hides")


func test_match_state_saves_and_restores_projectiles_and_pickups() -> void:
	var combat: WeaponSystem = make_combat()
	var boat: Boat = make_boat(Vector3(0.0, 0.7, 0.0))
	combat.register_boat(boat)
	combat.add_pickup(WeaponSystem.PICKUP_SPEED, Vector3(30.0, 0.0, 30.0))
	check(boat.add_ammo(0, 3) == 3, "three rockets added")
	boat.select_weapon(0)
	boat.set_trigger(true)
	await physics_frames(2)
	boat.set_trigger(false)
	var saved: Dictionary = combat.save_match_state()
	var shots: Array = saved["shots"]
	check(shots.size() == 1, "one rocket in flight is saved")
	combat.clear_projectiles()
	combat.clear_pickups()
	check(combat.get_projectile_count() == 0 and combat.get_pickups().is_empty(), "cleared")
	combat.restore_match_state(saved)
	check(combat.get_projectile_count() == shots.size(), "the rocket is back")
	check(combat.get_pickups().size() == 1, "the pickup is back")
	check(combat.save_match_state() == saved, "a restored state saves as it was")
