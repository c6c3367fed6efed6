// Object, ObjectDB, MethodInfo and PropertyInfo.
#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/property_info.hpp>
