// Extension entry: hands the engine the initializer and the scene level.
#pragma once

#include <godot_cpp/core/class_db.hpp>

void initialize_brinewake_module(godot::ModuleInitializationLevel p_level);
void uninitialize_brinewake_module(godot::ModuleInitializationLevel p_level);
