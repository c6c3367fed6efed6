// Objects, the class database, bound calls, signals and the error channel, as scripts and the library use
// them.
#include <godot_cpp/classes/class_db_singleton.hpp>
#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/memory.hpp>
#include <standin/callable_lambda.hpp>
#include <standin/error_capture.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace standin_test {

using namespace godot;

class ProbeBase : public Object {
    GDCLASS(ProbeBase, Object)

public:
    enum Mode {
        MODE_IDLE = 0,
        MODE_RUN = 5,
    };
    static const int LIMIT = 9;

    int32_t scale(int32_t p_value, int32_t p_factor) const { return p_value * p_factor; }
    double offset(double p_value, double p_by) { return p_value + p_by; }
    int64_t take_int32(int32_t p_value) {
        last_int32 = p_value;
        return p_value;
    }
    bool is_probe(ProbeBase *p_other) { return p_other != nullptr; }
    void on_ping(int64_t p_count, Object *p_who) {
        last_ping = p_count;
        last_who = p_who;
    }
    void set_level(double p_level) { level = p_level; }
    double get_level() const { return level; }

    int32_t last_int32 = -1;
    int64_t last_ping = -1;
    Object *last_who = nullptr;
    double level = 0.0;

protected:
    static void _bind_methods() {
        ClassDB::bind_method(D_METHOD("scale", "value", "factor"), &ProbeBase::scale);
        ClassDB::bind_method(D_METHOD("offset", "value", "by"), &ProbeBase::offset, DEFVAL(0.5));
        ClassDB::bind_method(D_METHOD("take_int32", "value"), &ProbeBase::take_int32);
        ClassDB::bind_method(D_METHOD("is_probe", "other"), &ProbeBase::is_probe);
        ClassDB::bind_method(D_METHOD("on_ping", "count", "who"), &ProbeBase::on_ping);
        ClassDB::bind_method(D_METHOD("set_level", "level"), &ProbeBase::set_level);
        ClassDB::bind_method(D_METHOD("get_level"), &ProbeBase::get_level);
        ADD_SIGNAL(
            MethodInfo("pinged", PropertyInfo(Variant::INT, "count"), PropertyInfo(Variant::OBJECT, "who")));
        ADD_SIGNAL(MethodInfo("quiet"));
        ADD_PROPERTY(PropertyInfo(Variant::FLOAT, "level"), "set_level", "get_level");
        BIND_CONSTANT(LIMIT);
        BIND_ENUM_CONSTANT(MODE_IDLE);
        BIND_ENUM_CONSTANT(MODE_RUN);
    }
};

class ProbeDerived : public ProbeBase {
    GDCLASS(ProbeDerived, ProbeBase)

public:
    int64_t extra() const { return 42; }

protected:
    static void _bind_methods() { ClassDB::bind_method(D_METHOD("extra"), &ProbeDerived::extra); }
};

class ProbeCounted : public RefCounted {
    GDCLASS(ProbeCounted, RefCounted)

public:
    static int alive;
    ProbeCounted() { ++alive; }
    ~ProbeCounted() override { --alive; }

protected:
    static void _bind_methods() {}
};

int ProbeCounted::alive = 0;

} // namespace standin_test

VARIANT_ENUM_CAST(standin_test::ProbeBase::Mode);

namespace standin_test {
namespace {

ClassDBSingleton *class_db() {
    return ClassDBSingleton::get_singleton();
}

void register_probes() {
    static const bool registered = [] {
        GDREGISTER_CLASS(ProbeBase);
        GDREGISTER_CLASS(ProbeDerived);
        GDREGISTER_CLASS(ProbeCounted);
        return true;
    }();
    (void)registered;
}

// An object freed at the end of the scope.
template <typename T> struct Owned {
    T *object = memnew(T);
    ~Owned() { memdelete(object); }
    T *operator->() const { return object; }
};

std::vector<std::string> names_of(const TypedArray<Dictionary> &p_list) {
    std::vector<std::string> names;
    for (int64_t i = 0; i < p_list.size(); ++i) {
        names.push_back(String(Dictionary(p_list[i])["name"]).utf8().get_data());
    }
    return names;
}

std::vector<std::string> names_of(const PackedStringArray &p_list) {
    std::vector<std::string> names;
    for (const String &name : p_list) {
        names.push_back(name.utf8().get_data());
    }
    return names;
}

TEST(ObjectIds, AreNeverReusedAndLookUpsFailAfterFree) {
    Object *first = memnew(Object);
    const uint64_t first_id = first->get_instance_id();
    EXPECT_GT(first_id, uint64_t(1) << 32);
    EXPECT_EQ(ObjectDB::get_instance(first_id), first);
    memdelete(first);
    EXPECT_EQ(ObjectDB::get_instance(first_id), nullptr);

    Object *second = memnew(Object);
    EXPECT_NE(second->get_instance_id(), first_id);
    EXPECT_EQ(ObjectDB::get_instance(second->get_instance_id()), second);
    memdelete(second);
}

TEST(ClassChain, CastAndIsClassFollowInheritance) {
    register_probes();
    Owned<ProbeDerived> derived;
    Owned<ProbeBase> base;
    Object *as_object = derived.object;

    EXPECT_EQ(Object::cast_to<ProbeBase>(as_object), derived.object);
    EXPECT_EQ(Object::cast_to<ProbeDerived>(as_object), derived.object);
    EXPECT_EQ(Object::cast_to<ProbeDerived>(static_cast<Object *>(base.object)), nullptr);
    EXPECT_EQ(Object::cast_to<RefCounted>(as_object), nullptr);
    EXPECT_EQ(Object::cast_to<ProbeBase>(static_cast<Object *>(nullptr)), nullptr);

    EXPECT_EQ(derived->get_class(), String("ProbeDerived"));
    for (const char *name : {"ProbeDerived", "ProbeBase", "Object"}) {
        EXPECT_TRUE(derived->is_class(name)) << name;
    }
    EXPECT_FALSE(base->is_class("ProbeDerived"));
    EXPECT_FALSE(derived->is_class("RefCounted"));

    EXPECT_EQ(class_db()->get_parent_class("ProbeDerived"), StringName("ProbeBase"));
    EXPECT_EQ(class_db()->get_parent_class("RefCounted"), StringName("Object"));
    EXPECT_TRUE(class_db()->is_parent_class("ProbeDerived", "Object"));
    EXPECT_FALSE(class_db()->is_parent_class("ProbeBase", "ProbeDerived"));
}

TEST(BoundCalls, ConvertArgumentsAsTheEngineDoes) {
    register_probes();
    Owned<ProbeDerived> probe;
    Ref<ProbeCounted> stranger = memnew(ProbeCounted);
    struct Case {
        const char *method;
        Array args;
        Variant expected;
    };
    const Case cases[] = {
        {"scale", Array::make(6, 3), Variant(int64_t(18))},
        {"scale", Array::make(2.9, 2), Variant(int64_t(4))},
        {"offset", Array::make(1.0), Variant(1.5)},
        {"offset", Array::make(1, 2), Variant(3.0)},
        {"take_int32", Array::make((int64_t(1) << 32) + 7), Variant(int64_t(7))},
        {"take_int32", Array::make(-1.9), Variant(int64_t(-1))},
        {"take_int32", Array::make(Variant()), Variant(int64_t(0))},
        {"take_int32", Array::make(true), Variant(int64_t(1))},
        {"is_probe", Array::make(probe.object), Variant(true)},
        {"is_probe", Array::make(stranger), Variant(false)}, // an object of another class arrives as null
        {"extra", Array(), Variant(int64_t(42))},
        {"get_class", Array(), Variant("ProbeDerived")},
    };
    standin::ErrorCapture capture;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.method) + Variant(c.args).stringify().utf8().get_data());
        const Variant result = probe->callv(c.method, c.args);
        EXPECT_EQ(result.get_type(), c.expected.get_type());
        EXPECT_EQ(result, c.expected);
    }
    EXPECT_TRUE(capture.errors().empty());
    EXPECT_EQ(probe->last_int32, 1);
    EXPECT_EQ(int64_t(probe->call("scale", int64_t(7), int64_t(6))), 42);
}

TEST(BoundCalls, CallErrorsAreReportedAndYieldNil) {
    register_probes();
    Owned<ProbeBase> probe;
    struct Case {
        const char *method;
        Array args;
        const char *reason;
    };
    const Case cases[] = {
        {"scale", Array::make(1), "'ProbeBase::scale': Method expected 2 argument(s), but called with 1"},
        {"offset", Array(), "'ProbeBase::offset': Method expected 2 argument(s), but called with 0"},
        {"take_int32", Array::make(1, 2),
         "'ProbeBase::take_int32': Method expected 1 argument(s), but called with 2"},
        {"no_such_method", Array(), "'ProbeBase::no_such_method': Method not found"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.method);
        standin::ErrorCapture capture;
        EXPECT_EQ(probe->callv(c.method, c.args).get_type(), Variant::NIL);
        ASSERT_EQ(capture.errors().size(), 1u);
        EXPECT_EQ(capture.errors()[0].error,
                  std::string("Error calling method from 'call': ") + c.reason + ".");
    }
    EXPECT_EQ(probe->last_int32, -1);
}

TEST(BoundCalls, PropertiesGoThroughTheirAccessors) {
    register_probes();
    Owned<ProbeBase> probe;
    probe->set("level", 2); // an int arrives as the setter's double
    EXPECT_EQ(probe->level, 2.0);
    EXPECT_EQ(double(probe->get("level")), 2.0);
    EXPECT_EQ(probe->get("missing").get_type(), Variant::NIL);
}

TEST(ScriptsDoor, InstantiatesByNameAndRefusesUnknownClasses) {
    register_probes();
    Variant made = class_db()->instantiate("ProbeDerived");
    ASSERT_EQ(made.get_type(), Variant::OBJECT);
    Object *object = made;
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(object->is_class("ProbeBase"));
    memdelete(object);

    const int before = ProbeCounted::alive;
    uint64_t counted_id = 0;
    {
        Variant counted = class_db()->instantiate("ProbeCounted");
        counted_id = static_cast<Object *>(counted)->get_instance_id();
        EXPECT_EQ(ProbeCounted::alive, before + 1);
    }
    EXPECT_EQ(ObjectDB::get_instance(counted_id), nullptr);
    EXPECT_EQ(ProbeCounted::alive, before);

    standin::ErrorCapture capture;
    EXPECT_EQ(class_db()->instantiate("NoSuchClass").get_type(), Variant::NIL);
    ASSERT_EQ(capture.errors().size(), 1u);
    EXPECT_EQ(capture.errors()[0].message, "Cannot get class 'NoSuchClass'.");
}

TEST(RefCounting, TheLastReferenceFreesTheObject) {
    register_probes();
    const int before = ProbeCounted::alive;
    uint64_t id = 0;
    {
        Ref<ProbeCounted> first = memnew(ProbeCounted);
        id = first->get_instance_id();
        EXPECT_EQ(first->get_reference_count(), 1);
        Variant held = first;
        Ref<RefCounted> widened = first;
        EXPECT_EQ(first->get_reference_count(), 3);
        first.unref();
        widened.unref();
        EXPECT_NE(ObjectDB::get_instance(id), nullptr); // the Variant still holds it
        Ref<ProbeCounted> back(held);
        EXPECT_EQ(back->get_reference_count(), 2);
    }
    EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
    EXPECT_EQ(ProbeCounted::alive, before);
}

TEST(Signals, ReachConnectionsSynchronouslyInOrderWithTheirArguments) {
    register_probes();
    Owned<ProbeBase> probe;
    Owned<ProbeBase> target;
    std::vector<std::string> order;
    const Callable lambda = standin::callable_lambda([&](const Variant **p_args, int64_t p_count) {
        ASSERT_EQ(p_count, 2);
        order.push_back("lambda " + std::to_string(int64_t(*p_args[0])));
        EXPECT_EQ(static_cast<Object *>(*p_args[1]), probe.object);
    });
    ASSERT_EQ(probe->connect("pinged", Callable(target.object, "on_ping")), OK);
    ASSERT_EQ(probe->connect("pinged", lambda), OK);
    standin::SignalRecorder recorder(probe.object, "pinged");
    ASSERT_TRUE(recorder.connected());

    EXPECT_EQ(probe->emit_signal("pinged", 3, probe.object), OK);
    // Everything ran inside emit_signal.
    EXPECT_EQ(target->last_ping, 3);
    EXPECT_EQ(target->last_who, probe.object);
    EXPECT_EQ(order, std::vector<std::string>{"lambda 3"});
    ASSERT_EQ(recorder.count(), 1u);
    EXPECT_EQ(int64_t(recorder.emissions()[0][0]), 3);

    probe->disconnect("pinged", lambda);
    probe->emit_signal("pinged", 4, probe.object);
    EXPECT_EQ(order.size(), 1u);
    EXPECT_EQ(recorder.count(), 2u);
}

TEST(Signals, MethodPointerCallablesCallTheMemberAndCompareByTarget) {
    register_probes();
    Owned<ProbeBase> probe;
    Owned<ProbeBase> target;
    const Callable member = callable_mp(target.object, &ProbeBase::on_ping);
    EXPECT_EQ(member, callable_mp(target.object, &ProbeBase::on_ping));
    EXPECT_NE(member, callable_mp(probe.object, &ProbeBase::on_ping));
    ASSERT_EQ(probe->connect("pinged", member), OK);
    probe->emit_signal("pinged", 2.0, probe.object); // a float for the int64 parameter
    EXPECT_EQ(target->last_ping, 2);
    EXPECT_EQ(target->last_who, probe.object);
    EXPECT_TRUE(probe->is_connected("pinged", callable_mp(target.object, &ProbeBase::on_ping)));

    standin::ErrorCapture capture;
    probe->emit_signal("pinged", 1); // one argument short
    ASSERT_EQ(capture.errors().size(), 1u);
    EXPECT_EQ(target->last_ping, 2);
}

TEST(Signals, RefuseUnknownSignalsAndDuplicateConnections) {
    register_probes();
    Owned<ProbeBase> probe;
    const Callable lambda = standin::callable_lambda([](const Variant **, int64_t) {});
    standin::ErrorCapture capture;
    EXPECT_EQ(probe->emit_signal("quiet"), ERR_UNAVAILABLE); // declared, nobody listens
    EXPECT_TRUE(capture.errors().empty());

    EXPECT_EQ(probe->connect("no_such_signal", lambda), ERR_INVALID_PARAMETER);
    EXPECT_EQ(probe->emit_signal("no_such_signal"), ERR_UNAVAILABLE);
    ASSERT_EQ(probe->connect("quiet", lambda), OK);
    EXPECT_EQ(probe->connect("quiet", lambda), ERR_INVALID_PARAMETER);
    EXPECT_EQ(probe->connect("quiet", Callable()), ERR_INVALID_PARAMETER);
    EXPECT_EQ(capture.errors().size(), 4u);
    EXPECT_EQ(
        capture.errors()[0].message,
        "In Object of type 'ProbeBase': Attempt to connect nonexistent signal 'no_such_signal' to callable "
        "'<lambda>'.");
}

TEST(Signals, OneShotConnectionsFireOnce) {
    register_probes();
    Owned<ProbeBase> probe;
    int calls = 0;
    ASSERT_EQ(probe->connect("quiet", standin::callable_lambda([&](const Variant **, int64_t) { ++calls; }),
                             Object::CONNECT_ONE_SHOT),
              OK);
    probe->emit_signal("quiet");
    probe->emit_signal("quiet");
    EXPECT_EQ(calls, 1);
}

TEST(Signals, AHandlerMayFreeTheEmitter) {
    register_probes();
    ProbeBase *probe = memnew(ProbeBase);
    const uint64_t id = probe->get_instance_id();
    int later_calls = 0;
    probe->connect("quiet", standin::callable_lambda([&](const Variant **, int64_t) { memdelete(probe); }));
    probe->connect("quiet", standin::callable_lambda([&](const Variant **, int64_t) { ++later_calls; }),
                   Object::CONNECT_ONE_SHOT);
    probe->emit_signal("quiet");
    EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
    EXPECT_EQ(later_calls, 1);
}

TEST(Introspection, ListsFollowRegistrationOrder) {
    register_probes();
    const TypedArray<Dictionary> own = class_db()->class_get_method_list("ProbeBase", true);
    EXPECT_EQ(names_of(own), (std::vector<std::string>{"scale", "offset", "take_int32", "is_probe", "on_ping",
                                                       "set_level", "get_level"}));
    const Dictionary scale = own[0];
    const Array scale_args = scale["args"];
    ASSERT_EQ(scale_args.size(), 2);
    EXPECT_EQ(Dictionary(scale_args[1])["name"], Variant("factor"));
    EXPECT_EQ(int64_t(Dictionary(scale_args[1])["type"]), int64_t(Variant::INT));
    EXPECT_EQ(int64_t(scale["flags"]) & METHOD_FLAG_CONST, int64_t(METHOD_FLAG_CONST));
    EXPECT_EQ(int64_t(Dictionary(scale["return"])["type"]), int64_t(Variant::INT));
    const Dictionary offset = own[1];
    EXPECT_EQ(int64_t(offset["flags"]) & METHOD_FLAG_CONST, 0);
    EXPECT_EQ(offset["default_args"], Variant(Array::make(0.5)));
    const Dictionary is_probe_arg = Array(Dictionary(own[3])["args"])[0];
    EXPECT_EQ(int64_t(is_probe_arg["type"]), int64_t(Variant::OBJECT));
    EXPECT_EQ(is_probe_arg["class_name"], Variant("ProbeBase"));

    // With inheritance: the class's own methods, then each ancestor's.
    const std::vector<std::string> inherited = names_of(class_db()->class_get_method_list("ProbeDerived"));
    ASSERT_GE(inherited.size(), 2u);
    EXPECT_EQ(inherited[0], "extra");
    EXPECT_EQ(inherited[1], "scale");

    const TypedArray<Dictionary> signals = class_db()->class_get_signal_list("ProbeBase", true);
    EXPECT_EQ(names_of(signals), (std::vector<std::string>{"pinged", "quiet"}));
    const Array ping_args = Dictionary(signals[0])["args"];
    ASSERT_EQ(ping_args.size(), 2);
    EXPECT_EQ(Dictionary(ping_args[1])["name"], Variant("who"));
    EXPECT_EQ(int64_t(Dictionary(ping_args[1])["type"]), int64_t(Variant::OBJECT));

    EXPECT_EQ(names_of(class_db()->class_get_property_list("ProbeBase", true)),
              std::vector<std::string>{"level"});
    EXPECT_EQ(names_of(class_db()->class_get_integer_constant_list("ProbeBase", true)),
              (std::vector<std::string>{"LIMIT", "MODE_IDLE", "MODE_RUN"}));
    EXPECT_EQ(names_of(class_db()->class_get_enum_list("ProbeBase", true)), std::vector<std::string>{"Mode"});
    EXPECT_EQ(names_of(class_db()->class_get_enum_constants("ProbeBase", "Mode", true)),
              (std::vector<std::string>{"MODE_IDLE", "MODE_RUN"}));
    EXPECT_EQ(class_db()->class_get_integer_constant("ProbeDerived", "MODE_RUN"), 5);
    EXPECT_EQ(class_db()->class_get_integer_constant_enum("ProbeBase", "LIMIT"), StringName());
}

// Error reports, each from a function of its own so that function and line are known.
int line_of_null_check = 0;
int line_of_condition = 0;

int fail_null(const int *p) {
    line_of_null_check = __LINE__ + 1;
    ERR_FAIL_NULL_V_MSG(p, -1, "WeaponSystem.register_boat expects a Boat");
    return 0;
}

int fail_condition(int x) {
    line_of_condition = __LINE__ + 1;
    ERR_FAIL_COND_V(x < 0, -1);
    return x;
}

int fail_index(int64_t i) {
    ERR_FAIL_INDEX_V(i, 3, -1);
    return 0;
}

int warn() {
    WARN_PRINT("careful");
    return 0;
}

TEST(ErrorChannel, MacrosReportTheEngineTexts) {
    struct Case {
        const char *name;
        int (*trigger)();
        const char *function;
        const char *error;
        const char *message;
        bool is_warning;
    };
    const Case cases[] = {
        {"null parameter", [] { return fail_null(nullptr); }, "fail_null", "Parameter \"p\" is null.",
         "WeaponSystem.register_boat expects a Boat", false},
        {"failed condition", [] { return fail_condition(-2); }, "fail_condition",
         "Condition \"x < 0\" is true. Returning: -1", "", false},
        {"index", [] { return fail_index(5); }, "fail_index", "Index i = 5 is out of bounds (3 = 3).", "",
         false},
        {"warning", [] { return warn(); }, "warn", "careful", "", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        standin::ErrorCapture capture;
        c.trigger();
        ASSERT_EQ(capture.errors().size(), 1u);
        const standin::ErrorRecord &record = capture.errors()[0];
        EXPECT_EQ(record.function, c.function);
        EXPECT_EQ(record.error, c.error);
        EXPECT_EQ(record.message, c.message);
        EXPECT_EQ(record.is_warning, c.is_warning);
        EXPECT_NE(record.file.find("test_object_model.cpp"), std::string::npos);
    }
    standin::ErrorCapture capture;
    EXPECT_EQ(fail_null(nullptr), -1);
    EXPECT_EQ(fail_condition(4), 4);
    ASSERT_EQ(capture.errors().size(), 1u);
    EXPECT_EQ(capture.errors()[0].line, line_of_null_check);
    fail_condition(-1);
    EXPECT_EQ(capture.errors()[1].line, line_of_condition);
}

TEST(ErrorChannel, PrintsTheEngineTwoLineFormWhenNotQuiet) {
    standin::ErrorCapture recording(false);
    testing::internal::CaptureStderr();
    fail_null(nullptr);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed.rfind("ERROR: WeaponSystem.register_boat expects a Boat\n   at: fail_null (", 0), 0u)
        << printed;
    EXPECT_NE(printed.find("test_object_model.cpp:" + std::to_string(line_of_null_check) + ")\n"),
              std::string::npos);
    EXPECT_EQ(recording.errors().size(), 1u);
}

} // namespace
} // namespace standin_test
