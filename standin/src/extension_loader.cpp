#include "binding_internal.hpp"

#include <standin/extension_loader.hpp>

#include <dlfcn.h>

#include <cstring>

namespace standin {

namespace {

void stand_in_version(GDExtensionGodotVersion *r_version) {
    r_version->major = 4;
    r_version->minor = 7;
    r_version->patch = 0;
    r_version->string = "Godot Engine v4.7.stable.standin";
}

void set_error(std::string *r_error, const std::string &p_text) {
    if (r_error != nullptr) {
        *r_error = p_text;
    }
}

} // namespace

GDExtensionInterfaceFunctionPtr Extension::get_proc_address(const char *p_name) {
    if (p_name != nullptr && std::strcmp(p_name, "get_godot_version") == 0) {
        return reinterpret_cast<GDExtensionInterfaceFunctionPtr>(&stand_in_version);
    }
    return nullptr;
}

bool Extension::run_entry(GDExtensionInitializationFunction p_entry) {
    record_ = GDExtensionInitialization{};
    entry_result_ = p_entry(&Extension::get_proc_address, this, &record_) != 0;
    return entry_result_;
}

std::unique_ptr<Extension> Extension::load_file(const std::string &p_path, const std::string &p_entry_symbol,
                                                std::string *r_error) {
    void *handle = dlopen(p_path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char *reason = dlerror();
        set_error(r_error, "Cannot open " + p_path + ": " + (reason ? reason : "unknown error"));
        return nullptr;
    }
    dlerror();
    void *symbol = dlsym(handle, p_entry_symbol.c_str());
    if (symbol == nullptr) {
        const char *reason = dlerror();
        set_error(r_error, "No entry symbol " + p_entry_symbol + " in " + p_path + ": " +
                               (reason ? reason : "symbol is null"));
        dlclose(handle);
        return nullptr;
    }
    std::unique_ptr<Extension> extension(new Extension());
    extension->handle_ = handle;
    GDExtensionInitializationFunction entry = nullptr;
    static_assert(sizeof(entry) == sizeof(symbol), "function and data pointers differ in size");
    std::memcpy(&entry, &symbol, sizeof(entry));
    if (!extension->run_entry(entry)) {
        set_error(r_error, "The entry " + p_entry_symbol + " of " + p_path + " refused to initialize.");
    }
    return extension;
}

std::unique_ptr<Extension> Extension::from_entry(GDExtensionInitializationFunction p_entry,
                                                 std::string *r_error) {
    if (p_entry == nullptr) {
        set_error(r_error, "No entry function.");
        return nullptr;
    }
    std::unique_ptr<Extension> extension(new Extension());
    if (!extension->run_entry(p_entry)) {
        set_error(r_error, "The entry function refused to initialize.");
    }
    return extension;
}

void Extension::initialize(GDExtensionInitializationLevel p_up_to) {
    if (!entry_result_ || record_.initialize == nullptr) {
        return;
    }
    const int minimum = static_cast<int>(record_.minimum_initialization_level);
    const int last = static_cast<int>(p_up_to) < GDEXTENSION_MAX_INITIALIZATION_LEVEL
                         ? static_cast<int>(p_up_to)
                         : GDEXTENSION_MAX_INITIALIZATION_LEVEL - 1;
    for (int level = initialized_up_to_ < minimum ? minimum : initialized_up_to_ + 1; level <= last;
         ++level) {
        record_.initialize(record_.userdata, static_cast<GDExtensionInitializationLevel>(level));
        initialized_up_to_ = level;
    }
}

void Extension::deinitialize() {
    if (!entry_result_ || record_.deinitialize == nullptr) {
        initialized_up_to_ = -1;
        return;
    }
    const int minimum = static_cast<int>(record_.minimum_initialization_level);
    for (int level = initialized_up_to_; level >= minimum; --level) {
        initialized_up_to_ = level - 1;
        record_.deinitialize(record_.userdata, static_cast<GDExtensionInitializationLevel>(level));
    }
    initialized_up_to_ = -1;
}

Extension::~Extension() {
    deinitialize();
    if (entry_result_) {
        godot::internal::release_binding_record(record_.userdata);
    }
    if (handle_ != nullptr) {
        dlclose(handle_);
    }
}

} // namespace standin
