// Variant conversions and the shared/copy-on-write semantics of the containers the library relies on.
#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/packed_float32_array.hpp>
#include <godot_cpp/variant/packed_vector4_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <standin/error_capture.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace godot;

namespace {

// Copy-initialization, as library code converts (`Basis b = v;`).
template <typename T> T as(const Variant &p_value) {
    T value = p_value;
    return value;
}

TEST(String, ReadsLatin1OrUtf8AndCopiesAreIndependent) {
    const String latin1("caf\xe9");
    const String utf8 = String::utf8("caf\xc3\xa9");
    EXPECT_EQ(latin1.length(), 4);
    EXPECT_EQ(latin1, utf8);
    EXPECT_STREQ(utf8.utf8().get_data(), "caf\xc3\xa9");
    EXPECT_EQ(String::utf8("\xff").length(), 1); // malformed byte: one replacement character

    String copy = latin1;
    copy += "s";
    EXPECT_EQ(latin1, String("caf\xe9"));
    EXPECT_EQ(copy.length(), 5);
    EXPECT_EQ(StringName("cafe"), String("cafe"));
    EXPECT_EQ(String("cafe"), StringName("cafe"));
}

TEST(VariantConversion, ScalarsFollowTheEngineRules) {
    struct Case {
        const char *name;
        Variant value;
        int64_t as_int;
        int32_t as_int32;
        double as_float;
        bool as_bool;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"nil", Variant(), 0, 0, 0.0, false},
        {"true", Variant(true), 1, 1, 1.0, true},
        {"false", Variant(false), 0, 0, 0.0, false},
        {"int", Variant(int64_t(-7)), -7, -7, -7.0, true},
        {"int beyond int32 keeps the low bits", Variant((int64_t(1) << 32) + 5), (int64_t(1) << 32) + 5, 5,
         4294967301.0, true},
        {"float truncates toward zero", Variant(2.9), 2, 2, 2.9, true},
        {"negative float truncates toward zero", Variant(-2.9), -2, -2, -2.9, true},
        {"NaN converts like the hardware does", Variant(nan), INT64_MIN, 0, nan, true},
        {"numeric string", Variant("12"), 12, 12, 12.0, true},
        {"vector is no number", Variant(Vector3(1, 2, 3)), 0, 0, 0.0, true},
        {"zero vector is false", Variant(Vector3()), 0, 0, 0.0, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(int64_t(c.value), c.as_int);
        EXPECT_EQ(int32_t(c.value), c.as_int32);
        if (std::isnan(c.as_float)) {
            EXPECT_TRUE(std::isnan(double(c.value)));
        } else {
            EXPECT_EQ(double(c.value), c.as_float);
        }
        EXPECT_EQ(bool(c.value), c.as_bool);
    }
    EXPECT_EQ(float(Variant(0.1)), 0.1f);
    EXPECT_EQ(Variant(uint32_t(0xFFFFFFFFu)).get_type(), Variant::INT);
    EXPECT_EQ(int64_t(Variant(uint32_t(0xFFFFFFFFu))), int64_t(0xFFFFFFFF));
}

TEST(VariantConversion, NilAndMismatchesGiveTheTargetDefault) {
    for (const Variant &source : {Variant(), Variant("text"), Variant(int64_t(5))}) {
        SCOPED_TRACE(source.stringify().utf8().get_data());
        EXPECT_EQ(as<Vector2>(source), Vector2());
        EXPECT_EQ(as<Vector3>(source), Vector3());
        EXPECT_EQ(as<Vector4>(source), Vector4());
        EXPECT_EQ(as<Quaternion>(source), Quaternion());
        EXPECT_EQ(as<Basis>(source), Basis());
        EXPECT_EQ(as<Transform3D>(source), Transform3D());
        EXPECT_TRUE(as<Dictionary>(source).is_empty());
        EXPECT_TRUE(as<Array>(source).is_empty());
        EXPECT_TRUE(as<PackedByteArray>(source).is_empty());
        EXPECT_TRUE(as<PackedFloat32Array>(source).is_empty());
        EXPECT_EQ(as<Object *>(source), nullptr);
    }
    EXPECT_EQ(as<String>(Variant()), String("<null>"));
}

TEST(VariantConversion, RelatedTypesConvert) {
    const Basis rotation(Vector3(0, 1, 0), 0.5f);
    EXPECT_EQ(as<Transform3D>(Variant(rotation)), Transform3D(rotation, Vector3()));
    EXPECT_EQ(as<Basis>(Variant(Transform3D(rotation, Vector3(1, 2, 3)))), rotation);
    EXPECT_EQ(as<StringName>(Variant(String("name"))), StringName("name"));

    Array numbers = Array::make(1, 2.5, 300);
    const PackedByteArray bytes = as<PackedByteArray>(Variant(numbers));
    ASSERT_EQ(bytes.size(), 3);
    EXPECT_EQ(bytes[2], 44); // 300 modulo 256
    EXPECT_EQ(as<PackedFloat32Array>(Variant(numbers))[1], 2.5f);
    PackedFloat32Array floats;
    floats.append(1.5);
    const Array elements = Variant(floats);
    ASSERT_EQ(elements.size(), 1);
    EXPECT_EQ(elements[0].get_type(), Variant::FLOAT);
}

TEST(VariantEquality, NumbersAcrossTypesTextAcrossNamesContainersByContent) {
    EXPECT_EQ(Variant(int64_t(1)), Variant(1.0));
    EXPECT_NE(Variant(true), Variant(int64_t(1)));
    EXPECT_EQ(Variant(String("a")), Variant(StringName("a")));
    EXPECT_NE(Variant(std::nan("")), Variant(std::nan("")));
    EXPECT_EQ(Variant(Array::make(1, "x")), Variant(Array::make(1, "x")));
    EXPECT_NE(Variant(Array::make(1)), Variant(Array::make(1.0))); // elements compare as keys: type matters
    EXPECT_EQ(Variant(), Variant(static_cast<Object *>(nullptr)));
}

TEST(Dictionary, KeepsInsertionOrderAcrossOverwriteAndErase) {
    Dictionary d;
    d["b"] = 1;
    d["a"] = 2;
    d["c"] = 3;
    d["b"] = 10; // overwrite keeps the place
    d.erase("a");
    d["a"] = 4; // re-inserted at the end
    const Array keys = d.keys();
    ASSERT_EQ(keys.size(), 3);
    EXPECT_EQ(keys[0], Variant("b"));
    EXPECT_EQ(keys[1], Variant("c"));
    EXPECT_EQ(keys[2], Variant("a"));
    EXPECT_EQ(int64_t(d.values()[0]), 10);
}

TEST(Dictionary, IsSharedByReferenceUntilDuplicated) {
    Dictionary original;
    Dictionary shared = original;
    Dictionary through_variant = as<Dictionary>(Variant(original));
    shared["k"] = 1;
    through_variant["v"] = 2;
    EXPECT_EQ(original.size(), 2);
    Dictionary copy = original.duplicate();
    copy["only_copy"] = true;
    EXPECT_FALSE(original.has("only_copy"));
}

TEST(Dictionary, IndexInsertsNilButGetAndConstIndexDoNot) {
    Dictionary d;
    EXPECT_EQ(int64_t(d.get("missing", 7)), 7);
    EXPECT_EQ(d.size(), 0);

    const Dictionary &view = d;
    {
        standin::ErrorCapture capture;
        EXPECT_EQ(view["missing"].get_type(), Variant::NIL);
        EXPECT_EQ(capture.errors().size(), 1u);
    }
    EXPECT_EQ(d.size(), 0);

    const double time = d["time"]; // a script's dictionary gains the key
    EXPECT_EQ(time, 0.0);
    EXPECT_TRUE(d.has("time"));
    EXPECT_EQ(d["time"].get_type(), Variant::NIL);
    EXPECT_EQ(d.size(), 1);
}

TEST(Dictionary, StringAndStringNameKeysAreOneKeyButIntAndFloatAreTwo) {
    Dictionary d;
    d[StringName("health")] = 1;
    d[String("health")] = 2;
    EXPECT_EQ(d.size(), 1);
    EXPECT_EQ(int64_t(d["health"]), 2);
    EXPECT_EQ(d.keys()[0].get_type(), Variant::STRING);
    d[int64_t(1)] = "int";
    d[1.0] = "float";
    EXPECT_EQ(d.size(), 3);
}

TEST(Dictionary, ValueReferencesSurviveLaterInsertions) {
    Dictionary d;
    Variant &first = d["first"];
    for (int64_t i = 0; i < 200; ++i) {
        d[i] = i;
    }
    first = 5;
    EXPECT_EQ(int64_t(d["first"]), 5);
}

TEST(Array, IsSharedAndReportsOutOfRange) {
    Array a;
    Array b = a;
    b.push_back(1);
    EXPECT_EQ(a.size(), 1);
    standin::ErrorCapture capture;
    EXPECT_EQ(a[5].get_type(), Variant::NIL);
    ASSERT_EQ(capture.errors().size(), 1u);
    EXPECT_EQ(capture.errors()[0].error, "Index p_index = 5 is out of bounds (self->size() = 1).");
}

TEST(PackedArrays, CopiesAreIndependentValues) {
    PackedByteArray bytes;
    bytes.append(1);
    bytes.append(2);
    PackedByteArray copy = bytes;
    copy[0] = 9;
    copy.set(1, 8);
    copy.append(7);
    copy.ptrw()[0] = 6;
    EXPECT_EQ(bytes.size(), 2);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[1], 2);
    EXPECT_EQ(copy[0], 6);

    PackedFloat32Array floats;
    floats.resize(2);
    EXPECT_EQ(floats[1], 0.0f);
    Variant held = floats;
    floats.set(0, 1.0);
    EXPECT_EQ(as<PackedFloat32Array>(held)[0], 0.0f);

    PackedVector4Array vectors;
    vectors.append(Vector4(1, 2, 3, 4));
    PackedVector4Array other = vectors;
    other[0].x = 5;
    EXPECT_EQ(vectors[0].x, 1.0f);
}

TEST(PackedArrays, EmptyArraysHaveNoDataAndSayWhy) {
    PackedByteArray empty;
    standin::ErrorCapture capture;
    EXPECT_EQ(empty.ptr(), nullptr);
    EXPECT_EQ(empty.ptrw(), nullptr);
    EXPECT_EQ(capture.errors().size(), 2u);
    EXPECT_EQ(empty.resize(-1), int64_t(ERR_INVALID_PARAMETER));
}

} // namespace
