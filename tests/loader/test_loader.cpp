// The extension loaded by file, exactly as the engine loads it: dlopen, look up
// the entry symbol, run the initialization levels upwards and back down.
#include <gdextension_interface.h>
#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <standin/extension_loader.hpp>

#include <gtest/gtest.h>

#include <string>

using namespace godot;

namespace {

ClassDBSingleton *class_db() {
    return ClassDBSingleton::get_singleton();
}

TEST(ExtensionLoader, EntryFillsTheInitializationRecord) {
    std::string error;
    std::unique_ptr<standin::Extension> extension =
        standin::Extension::load_file(BRINEWAKE_LIBRARY_PATH, "brinewake_init", &error);
    ASSERT_TRUE(extension) << error;
    EXPECT_TRUE(extension->entry_result());
    const GDExtensionInitialization &record = extension->record();
    EXPECT_EQ(record.minimum_initialization_level, GDEXTENSION_INITIALIZATION_SCENE);
    EXPECT_NE(record.initialize, nullptr);
    EXPECT_NE(record.deinitialize, nullptr);
}

TEST(ExtensionLoader, SceneLevelRegistersTheClassesInOrderAndDeinitializationRemovesThem) {
    std::unique_ptr<standin::Extension> extension = standin::Extension::load_file(BRINEWAKE_LIBRARY_PATH);
    ASSERT_TRUE(extension);
    EXPECT_FALSE(class_db()->class_exists("Boat"));

    extension->initialize(GDEXTENSION_INITIALIZATION_SCENE);
    struct Expected {
        const char *name;
        const char *base;
    };
    const Expected expected[] = {
        {"Boat", "RigidBody3D"}, {"BoatMotion", "RefCounted"}, {"WeaponSystem", "Node3D"}};
    for (const Expected &cls : expected) {
        SCOPED_TRACE(cls.name);
        ASSERT_TRUE(class_db()->class_exists(cls.name));
        EXPECT_EQ(String(class_db()->get_parent_class(cls.name)), String(cls.base));
        Variant instance = class_db()->instantiate(cls.name);
        Object *object = instance;
        ASSERT_NE(object, nullptr);
        EXPECT_TRUE(object->is_class(cls.name));
        if (!object->is_class("RefCounted")) {
            memdelete(object);
        }
    }

    const std::vector<String> registered = standin::registered_extension_classes();
    const std::vector<String> in_order = {"Boat", "BoatMotion", "WeaponSystem"};
    EXPECT_EQ(registered, in_order);

    extension->deinitialize();
    EXPECT_TRUE(standin::registered_extension_classes().empty());
    EXPECT_FALSE(class_db()->class_exists("Boat"));
    EXPECT_FALSE(class_db()->class_exists("BoatMotion"));
    EXPECT_FALSE(class_db()->class_exists("WeaponSystem"));
}

TEST(ExtensionLoader, MissingLibraryOrEntrySymbolIsReported) {
    std::string error;
    EXPECT_FALSE(standin::Extension::load_file("/nonexistent/libbrinewake.so", "brinewake_init", &error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(standin::Extension::load_file(BRINEWAKE_LIBRARY_PATH, "no_such_entry", &error));
    EXPECT_FALSE(error.empty());
}

} // namespace
