#include "binding_internal.hpp"

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>

#include <algorithm>
#include <memory>
#include <vector>

namespace godot {

namespace internal {

namespace {

std::vector<std::unique_ptr<BindingRecord>> &records() {
    static std::vector<std::unique_ptr<BindingRecord>> list;
    return list;
}

BindingRecord *find_record(void *p_userdata) {
    for (const std::unique_ptr<BindingRecord> &record : records()) {
        if (record.get() == p_userdata) {
            return record.get();
        }
    }
    return nullptr;
}

} // namespace

void release_binding_record(void *p_userdata) {
    std::vector<std::unique_ptr<BindingRecord>> &list = records();
    list.erase(std::remove_if(
                   list.begin(), list.end(),
                   [p_userdata](const std::unique_ptr<BindingRecord> &r) { return r.get() == p_userdata; }),
               list.end());
}

} // namespace internal

GDExtensionBool GDExtensionBinding::InitObject::init() const {
    if (get_proc_address_ == nullptr || initialization_ == nullptr) {
        return false;
    }
    const GDExtensionInterfaceFunctionPtr function = get_proc_address_("get_godot_version");
    if (function == nullptr) {
        ERR_PRINT("Unable to load GDExtension interface function get_godot_version()");
        return false;
    }
    GDExtensionGodotVersion version{0, 0, 0, nullptr};
    reinterpret_cast<GDExtensionInterfaceGetGodotVersion>(function)(&version);
    const bool too_old =
        version.major < TARGET_MAJOR ||
        (version.major == TARGET_MAJOR &&
         (version.minor < TARGET_MINOR || (version.minor == TARGET_MINOR && version.patch < TARGET_PATCH)));
    if (too_old) {
        ERR_PRINT("Cannot load a GDExtension built for Godot " + itos(TARGET_MAJOR) + "." +
                  itos(TARGET_MINOR) + "." + itos(TARGET_PATCH) + " using an older version of Godot (" +
                  itos(version.major) + "." + itos(version.minor) + "." + itos(version.patch) + ").");
        return false;
    }
    if (initializer_ == nullptr) {
        ERR_PRINT("Initialization callback must be defined.");
        return false;
    }
    std::unique_ptr<internal::BindingRecord> record = std::make_unique<internal::BindingRecord>();
    record->initializer = initializer_;
    record->terminator = terminator_;
    record->minimum_level = minimum_level_;
    record->library = library_;
    initialization_->minimum_initialization_level =
        static_cast<GDExtensionInitializationLevel>(minimum_level_);
    initialization_->userdata = record.get();
    initialization_->initialize = &GDExtensionBinding::initialize_level;
    initialization_->deinitialize = &GDExtensionBinding::deinitialize_level;
    internal::records().push_back(std::move(record));
    return true;
}

void GDExtensionBinding::initialize_level(void *p_userdata, GDExtensionInitializationLevel p_level) {
    internal::BindingRecord *record = internal::find_record(p_userdata);
    ERR_FAIL_NULL_MSG(record, "Unknown extension initialization record.");
    if (static_cast<int>(p_level) < static_cast<int>(record->minimum_level)) {
        return;
    }
    ClassDB::_gde_set_registration_context(record, static_cast<int>(p_level));
    record->initializer(static_cast<ModuleInitializationLevel>(p_level));
    ClassDB::_gde_set_registration_context(nullptr, -1);
}

void GDExtensionBinding::deinitialize_level(void *p_userdata, GDExtensionInitializationLevel p_level) {
    internal::BindingRecord *record = internal::find_record(p_userdata);
    ERR_FAIL_NULL_MSG(record, "Unknown extension initialization record.");
    if (static_cast<int>(p_level) < static_cast<int>(record->minimum_level)) {
        return;
    }
    if (record->terminator != nullptr) {
        ClassDB::_gde_set_registration_context(record, static_cast<int>(p_level));
        record->terminator(static_cast<ModuleInitializationLevel>(p_level));
        ClassDB::_gde_set_registration_context(nullptr, -1);
    }
    ClassDB::_gde_unregister_level(record, static_cast<int>(p_level));
}

} // namespace godot
