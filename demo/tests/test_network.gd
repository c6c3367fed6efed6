extends BrinewakeTestCase
## Network state as the demo's network scene moves it: boat packets into frozen mirrors and predictors,
## replica packets into a replica combat node.


func test_a_frozen_mirror_takes_the_boat_packet() -> void:
	var source: Boat = make_boat(Vector3(3.0, 0.7, -2.0), 0.5)
	source.set_controls(1.0, 0.25)
	await physics_frames(30)
	var packet: PackedByteArray = source.get_network_packet()
	check(packet.size() == 98, "a boat packet is 98 bytes")
	var mirror: Boat = make_boat(Vector3(0.0, 0.7, 20.0))
	mirror.freeze_mode = RigidBody3D.FREEZE_MODE_KINEMATIC
	mirror.freeze = true
	check(mirror.apply_network_packet(packet), "the packet applies")
	check(mirror.global_position.distance_to(source.global_position) < 1e-3, "the mirror stands where the boat is")
	check_near(mirror.get_wave_time(), source.get_wave_time(), 1e-9, "the mirror's wave clock")
	check(not mirror.apply_network_packet(packet.slice(0, 97)), "a short packet is refused")


func test_a_predictor_seeded_from_a_packet_moves_on() -> void:
	var source: Boat = make_boat(Vector3(0.0, 0.7, 0.0))
	source.set_controls(1.0, 0.0)
	await physics_frames(60)
	var motion := BoatMotion.new()
	check(motion.set_from_packet(source.get_network_packet()), "the packet seeds the predictor")
	var start: Vector3 = motion.get_transform().origin
	for i in range(30):
		motion.step(motion.get_throttle(), motion.get_steering(), 1.0 / 60.0)
	check_near(motion.get_time(), source.get_wave_time() + 0.5, 1e-6, "the predictor's clock")
	check(motion.get_transform().origin.distance_to(start) > 0.1, "the predictor moved under throttle")
	check(motion.is_alive(), "a live boat seeds a live predictor")
	check(not motion.set_from_packet(PackedByteArray()), "an empty packet is refused")


func test_a_replica_mirrors_the_hosts_projectiles_and_pickups() -> void:
	var host: WeaponSystem = make_combat()
	var boat: Boat = make_boat(Vector3(0.0, 0.7, 0.0))
	host.register_boat(boat)
	host.add_pickup(0, Vector3(8.0, 0.0, 8.0))
	boat.select_weapon(1)
	boat.set_trigger(true)
	await physics_frames(10)
	var client: WeaponSystem = make_combat()
	client.set_replica(true)
	var packet: PackedByteArray = host.get_replica_packet()
	check(client.set_replica_packet(packet), "the replica packet applies")
	check(client.get_projectiles().size() == host.get_projectile_count(), "every jet is mirrored")
	check(client.get_pickups().size() == 1, "the pickup is mirrored")
	var before: Array = client.get_projectiles()
	check(not client.set_replica_packet(packet.slice(0, packet.size() - 1)), "a cut packet is refused")
	check(client.get_projectiles() == before, "a refused packet changes nothing")
	await physics_frames(5)
	check(client.get_projectile_count() == 0, "a replica flies nothing itself")
