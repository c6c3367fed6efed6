class_name Hud
extends CanvasLayer
## Health, ammunition, boost and score of the followed boat, and a line of news.

@onready var health_label: Label = $Panel/Rows/Health
@onready var ammo_label: Label = $Panel/Rows/Ammo
@onready var boost_label: Label = $Panel/Rows/Boost
@onready var score_label: Label = $Panel/Rows/Score
@onready var news_label: Label = $Panel/Rows/News

const WEAPON_NAMES: Array[String] = ["rockets", "water cannon"]


func show_boat(boat: Boat, score: int) -> void:
	if boat == null:
		return
	var health: float = boat.get_health()
	if health > 0.0:
		health_label.text = "Health %d / %d" % [ceili(health), int(boat.get_max_health())]
	else:
		health_label.text = "Destroyed: back in %.1f s" % boat.get_respawn_remaining()
	var selected: int = boat.get_selected_weapon()
	ammo_label.text = "Rockets %d   Cannon %d   [%s]" % [boat.get_ammo(0), boat.get_ammo(1), WEAPON_NAMES[selected]]
	var boost: float = boat.get_speed_boost_remaining()
	boost_label.text = "Boost %.1f s" % boost if boost > 0.0 else "Boost -"
	score_label.text = "Score %d" % score


func show_news(text: String) -> void:
	news_label.text = text
