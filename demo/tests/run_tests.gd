extends SceneTree
## Runs the demo's engine tests headless:
##     godot --headless --path demo -s res://tests/run_tests.gd
## Prints one line per test and a closing "N passed, N failed"; exits 1 when any test failed.

const SUITES: Array[String] = [
	"res://tests/test_combat.gd",
	"res://tests/test_network.gd",
	"res://tests/test_sea.gd",
]


func _initialize() -> void:
	run_all.call_deferred()


func run_all() -> void:
	var passed: int = 0
	var failed: int = 0
	for path: String in SUITES:
		var suite_script := load(path) as GDScript
		if suite_script == null:
			printerr("cannot load ", path)
			failed += 1
			continue
		for method: Dictionary in suite_script.get_script_method_list():
			var test_name: String = method["name"]
			if not test_name.begins_with("test_"):
				continue
			var suite := suite_script.new() as BrinewakeTestCase
			suite.tree = self
			suite.arena = Node3D.new()
			root.add_child(suite.arena)
			await suite.call(test_name)
			suite.arena.queue_free()
			await process_frame
			if suite.failures.is_empty():
				passed += 1
				print("PASS %s %s" % [path.get_file(), test_name])
			else:
				failed += 1
				print("FAIL %s %s" % [path.get_file(), test_name])
				for failure: String in suite.failures:
					print("    ", failure)
	print("%d passed, %d failed" % [passed, failed])
	quit(1 if failed > 0 else 0)
