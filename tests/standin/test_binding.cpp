// The entry's binding layer and the loader: the initialization record, levels up and down, and the
// classes an extension registers at a level disappearing when that level is deinitialized.
#include <gdextension_interface.h>
#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/godot.hpp>
#include <standin/error_capture.hpp>
#include <standin/extension_loader.hpp>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace standin_test {

using namespace godot;

class SceneLevelThing : public RefCounted {
    GDCLASS(SceneLevelThing, RefCounted)

public:
    int64_t answer() const { return 42; }

protected:
    static void _bind_methods() { ClassDB::bind_method(D_METHOD("answer"), &SceneLevelThing::answer); }
};

namespace {

std::vector<std::string> events;

void initialize(ModuleInitializationLevel p_level) {
    events.push_back("init " + std::to_string(int(p_level)));
    if (p_level == MODULE_INITIALIZATION_LEVEL_SCENE) {
        GDREGISTER_CLASS(SceneLevelThing);
    }
}

void terminate(ModuleInitializationLevel p_level) {
    events.push_back("term " + std::to_string(int(p_level)));
}

GDExtensionBool entry_at(GDExtensionInterfaceGetProcAddress p_get_proc_address,
                         GDExtensionClassLibraryPtr p_library, GDExtensionInitialization *r_initialization,
                         ModuleInitializationLevel p_minimum) {
    GDExtensionBinding::InitObject init_obj(p_get_proc_address, p_library, r_initialization);
    init_obj.register_initializer(initialize);
    init_obj.register_terminator(terminate);
    init_obj.set_minimum_library_initialization_level(p_minimum);
    return init_obj.init();
}

GDExtensionBool servers_entry(GDExtensionInterfaceGetProcAddress p_get_proc_address,
                              GDExtensionClassLibraryPtr p_library,
                              GDExtensionInitialization *r_initialization) {
    return entry_at(p_get_proc_address, p_library, r_initialization, MODULE_INITIALIZATION_LEVEL_SERVERS);
}

GDExtensionBool no_initializer_entry(GDExtensionInterfaceGetProcAddress p_get_proc_address,
                                     GDExtensionClassLibraryPtr p_library,
                                     GDExtensionInitialization *r_initialization) {
    GDExtensionBinding::InitObject init_obj(p_get_proc_address, p_library, r_initialization);
    return init_obj.init();
}

void old_version(GDExtensionGodotVersion *r_version) {
    r_version->major = 4;
    r_version->minor = 6;
    r_version->patch = 9;
    r_version->string = "Godot Engine v4.6.9";
}

GDExtensionInterfaceFunctionPtr old_engine(const char *p_name) {
    return std::string(p_name) == "get_godot_version"
               ? reinterpret_cast<GDExtensionInterfaceFunctionPtr>(&old_version)
               : nullptr;
}

GDExtensionInterfaceFunctionPtr empty_engine(const char *) {
    return nullptr;
}

ClassDBSingleton *class_db() {
    return ClassDBSingleton::get_singleton();
}

TEST(Binding, InitializesLevelsUpwardsAndRemovesItsClassesOnTheWayDown) {
    events.clear();
    std::unique_ptr<standin::Extension> extension = standin::Extension::from_entry(&servers_entry);
    ASSERT_TRUE(extension);
    ASSERT_TRUE(extension->entry_result());
    EXPECT_EQ(extension->record().minimum_initialization_level, GDEXTENSION_INITIALIZATION_SERVERS);
    EXPECT_FALSE(class_db()->class_exists("SceneLevelThing"));

    extension->initialize(GDEXTENSION_INITIALIZATION_SCENE);
    EXPECT_EQ(events, (std::vector<std::string>{"init 1", "init 2"}));
    ASSERT_TRUE(class_db()->class_exists("SceneLevelThing"));
    EXPECT_EQ(class_db()->get_parent_class("SceneLevelThing"), StringName("RefCounted"));
    Variant thing = class_db()->instantiate("SceneLevelThing");
    EXPECT_EQ(int64_t(static_cast<Object *>(thing)->call("answer")), 42);
    thing = Variant();

    extension->deinitialize();
    EXPECT_EQ(events, (std::vector<std::string>{"init 1", "init 2", "term 2", "term 1"}));
    EXPECT_FALSE(class_db()->class_exists("SceneLevelThing"));
    EXPECT_TRUE(class_db()->class_exists("RefCounted"));

    // A second load registers the class again.
    extension->initialize(GDEXTENSION_INITIALIZATION_SCENE);
    EXPECT_TRUE(class_db()->class_exists("SceneLevelThing"));
    extension.reset(); // deinitializes
    EXPECT_FALSE(class_db()->class_exists("SceneLevelThing"));
}

TEST(Binding, RefusesAMissingInterfaceAnOlderEngineOrNoInitializer) {
    struct Case {
        const char *name;
        GDExtensionInterfaceGetProcAddress get_proc_address;
        GDExtensionInitializationFunction entry;
        const char *error;
    };
    const Case cases[] = {
        {"no interface", nullptr, &servers_entry, nullptr},
        {"interface without the version query", &empty_engine, &servers_entry,
         "Unable to load GDExtension interface function get_godot_version()"},
        {"engine 4.6.9", &old_engine, &servers_entry,
         "Cannot load a GDExtension built for Godot 4.7.0 using an older version of Godot (4.6.9)."},
        {"no initializer", &standin::Extension::get_proc_address, &no_initializer_entry,
         "Initialization callback must be defined."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        standin::ErrorCapture capture;
        GDExtensionInitialization record{};
        EXPECT_FALSE(c.entry(c.get_proc_address, nullptr, &record));
        EXPECT_EQ(record.initialize, nullptr);
        if (c.error == nullptr) {
            EXPECT_TRUE(capture.errors().empty());
        } else {
            ASSERT_EQ(capture.errors().size(), 1u);
            EXPECT_EQ(capture.errors()[0].error, c.error);
        }
    }
    std::unique_ptr<standin::Extension> refused = standin::Extension::from_entry(&no_initializer_entry);
    ASSERT_TRUE(refused);
    EXPECT_FALSE(refused->entry_result());
    refused->initialize(); // nothing to run
}

TEST(Binding, EngineClassesAreKnownFromTheStart) {
    for (const char *name : {"Object", "RefCounted"}) {
        EXPECT_TRUE(class_db()->class_exists(name)) << name;
    }
    EXPECT_EQ(class_db()->get_parent_class("Object"), StringName());
    EXPECT_EQ(class_db()->class_get_api_type("RefCounted"), ClassDBSingleton::API_CORE);
    const PackedStringArray classes = class_db()->get_class_list();
    for (int64_t i = 1; i < classes.size(); ++i) {
        EXPECT_LT(classes[i - 1], classes[i]);
    }
}

} // namespace
} // namespace standin_test
