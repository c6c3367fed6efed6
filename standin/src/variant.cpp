#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/callable_custom.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cmath>
#include <cstring>
#include <ostream>

namespace godot {

// Object slots.

namespace internal {

void ObjectSlot::acquire(Object *p_object) {
    object_ = p_object;
    id_ = p_object ? p_object->get_instance_id() : 0;
    counted_ = p_object != nullptr && p_object->_gde_is_ref_counted();
    if (counted_) {
        static_cast<RefCounted *>(p_object)->reference();
    }
}

void ObjectSlot::release() {
    if (counted_ && ObjectDB::get_instance(id_) == object_) {
        RefCounted *counted = static_cast<RefCounted *>(object_);
        if (counted->unreference()) {
            memdelete(counted);
        }
    }
    object_ = nullptr;
    id_ = 0;
    counted_ = false;
}

ObjectSlot::ObjectSlot(const Object *p_object) {
    acquire(const_cast<Object *>(p_object));
}
ObjectSlot::ObjectSlot(const ObjectSlot &p_other) {
    acquire(p_other.get());
}
ObjectSlot::ObjectSlot(ObjectSlot &&p_other) noexcept
    : object_(p_other.object_), id_(p_other.id_), counted_(p_other.counted_) {
    p_other.object_ = nullptr;
    p_other.id_ = 0;
    p_other.counted_ = false;
}

ObjectSlot &ObjectSlot::operator=(const ObjectSlot &p_other) {
    if (this != &p_other) {
        Object *object = p_other.get();
        ObjectSlot keep(std::move(*this)); // released after the new reference is taken
        acquire(object);
    }
    return *this;
}

ObjectSlot &ObjectSlot::operator=(ObjectSlot &&p_other) noexcept {
    if (this != &p_other) {
        release();
        object_ = p_other.object_;
        id_ = p_other.id_;
        counted_ = p_other.counted_;
        p_other.object_ = nullptr;
        p_other.id_ = 0;
        p_other.counted_ = false;
    }
    return *this;
}

ObjectSlot::~ObjectSlot() {
    release();
}

Object *ObjectSlot::get() const {
    if (object_ == nullptr) {
        return nullptr;
    }
    // Ids are never reused: a live entry under this id is this object.
    return ObjectDB::get_instance(id_);
}

} // namespace internal

namespace {

constexpr Variant::Type TYPE_OF_INDEX[] = {
    Variant::NIL,
    Variant::BOOL,
    Variant::INT,
    Variant::FLOAT,
    Variant::STRING,
    Variant::VECTOR2,
    Variant::VECTOR3,
    Variant::VECTOR4,
    Variant::QUATERNION,
    Variant::BASIS,
    Variant::TRANSFORM3D,
    Variant::STRING_NAME,
    Variant::RID,
    Variant::OBJECT,
    Variant::CALLABLE,
    Variant::DICTIONARY,
    Variant::ARRAY,
    Variant::PACKED_BYTE_ARRAY,
    Variant::PACKED_FLOAT32_ARRAY,
    Variant::PACKED_VECTOR4_ARRAY,
    Variant::PACKED_STRING_ARRAY,
};

// double -> int64 as x86-64 truncates: NaN and values out of range give INT64_MIN.
int64_t truncate_to_int64(double p_value) {
    if (std::isnan(p_value) || p_value >= 9223372036854775808.0 || p_value < -9223372036854775808.0) {
        return INT64_MIN;
    }
    return static_cast<int64_t>(p_value);
}

bool same_real(double p_a, double p_b) {
    return p_a == p_b || (std::isnan(p_a) && std::isnan(p_b));
}

uint32_t hash_mix(uint32_t p_hash, uint32_t p_value) {
    p_hash ^= p_value + 0x9e3779b9u + (p_hash << 6) + (p_hash >> 2);
    return p_hash;
}

uint32_t hash_real(double p_value) {
    if (std::isnan(p_value)) {
        return 0x7ff80000u;
    }
    if (p_value == 0.0) {
        p_value = 0.0; // -0.0 and 0.0 are one key
    }
    uint64_t bits = 0;
    std::memcpy(&bits, &p_value, sizeof(bits));
    return static_cast<uint32_t>(bits ^ (bits >> 32));
}

String text_of_real(real_t p_value) {
    return String::num_real(static_cast<double>(p_value));
}

String text_of(const Vector2 &p_v) {
    return "(" + text_of_real(p_v.x) + ", " + text_of_real(p_v.y) + ")";
}
String text_of(const Vector3 &p_v) {
    return "(" + text_of_real(p_v.x) + ", " + text_of_real(p_v.y) + ", " + text_of_real(p_v.z) + ")";
}
String text_of(const Vector4 &p_v) {
    return "(" + text_of_real(p_v.x) + ", " + text_of_real(p_v.y) + ", " + text_of_real(p_v.z) + ", " +
           text_of_real(p_v.w) + ")";
}
Vector3 column(const Basis &p_basis, int p_index) {
    return Vector3(p_basis.rows[0][p_index], p_basis.rows[1][p_index], p_basis.rows[2][p_index]);
}
String text_of(const Basis &p_b) {
    return "[X: " + text_of(column(p_b, 0)) + ", Y: " + text_of(column(p_b, 1)) +
           ", Z: " + text_of(column(p_b, 2)) + "]";
}

// Elements inside containers: strings quoted, as the engine prints them.
String element_text(const Variant &p_value) {
    const Variant::Type type = p_value.get_type();
    if (type == Variant::STRING) {
        return "\"" + p_value.operator String() + "\"";
    }
    if (type == Variant::STRING_NAME) {
        return "&\"" + p_value.operator String() + "\"";
    }
    return p_value.stringify();
}

template <typename P> String packed_text(const P &p_array) {
    String text = "[";
    for (int64_t i = 0; i < p_array.size(); ++i) {
        if (i > 0) {
            text += ", ";
        }
        text += element_text(Variant(p_array[i]));
    }
    return text + "]";
}

template <typename P> Array array_from_packed(const P &p_array) {
    Array array;
    for (int64_t i = 0; i < p_array.size(); ++i) {
        array.push_back(Variant(p_array[i]));
    }
    return array;
}

} // namespace

Variant::Type Variant::get_type() const {
    return TYPE_OF_INDEX[value_.index()];
}

String Variant::get_type_name(Type p_type) {
    switch (p_type) {
    case NIL:
        return "Nil";
    case BOOL:
        return "bool";
    case INT:
        return "int";
    case FLOAT:
        return "float";
    case STRING:
        return "String";
    case VECTOR2:
        return "Vector2";
    case VECTOR2I:
        return "Vector2i";
    case RECT2:
        return "Rect2";
    case RECT2I:
        return "Rect2i";
    case VECTOR3:
        return "Vector3";
    case VECTOR3I:
        return "Vector3i";
    case TRANSFORM2D:
        return "Transform2D";
    case VECTOR4:
        return "Vector4";
    case VECTOR4I:
        return "Vector4i";
    case PLANE:
        return "Plane";
    case QUATERNION:
        return "Quaternion";
    case AABB:
        return "AABB";
    case BASIS:
        return "Basis";
    case TRANSFORM3D:
        return "Transform3D";
    case PROJECTION:
        return "Projection";
    case COLOR:
        return "Color";
    case STRING_NAME:
        return "StringName";
    case NODE_PATH:
        return "NodePath";
    case RID:
        return "RID";
    case OBJECT:
        return "Object";
    case CALLABLE:
        return "Callable";
    case SIGNAL:
        return "Signal";
    case DICTIONARY:
        return "Dictionary";
    case ARRAY:
        return "Array";
    case PACKED_BYTE_ARRAY:
        return "PackedByteArray";
    case PACKED_INT32_ARRAY:
        return "PackedInt32Array";
    case PACKED_INT64_ARRAY:
        return "PackedInt64Array";
    case PACKED_FLOAT32_ARRAY:
        return "PackedFloat32Array";
    case PACKED_FLOAT64_ARRAY:
        return "PackedFloat64Array";
    case PACKED_STRING_ARRAY:
        return "PackedStringArray";
    case PACKED_VECTOR2_ARRAY:
        return "PackedVector2Array";
    case PACKED_VECTOR3_ARRAY:
        return "PackedVector3Array";
    case PACKED_COLOR_ARRAY:
        return "PackedColorArray";
    case PACKED_VECTOR4_ARRAY:
        return "PackedVector4Array";
    case VARIANT_MAX:
        break;
    }
    return "";
}

Variant::operator bool() const {
    return booleanize();
}

Variant::operator int64_t() const {
    switch (get_type()) {
    case BOOL:
        return *as<bool>() ? 1 : 0;
    case INT:
        return *as<int64_t>();
    case FLOAT:
        return truncate_to_int64(*as<double>());
    case STRING:
        return as<String>()->to_int();
    default:
        return 0;
    }
}

// Narrower integers keep the low bits of the 64-bit value, as the binding layer narrows them.
Variant::operator int32_t() const {
    return static_cast<int32_t>(operator int64_t());
}
Variant::operator int16_t() const {
    return static_cast<int16_t>(operator int64_t());
}
Variant::operator int8_t() const {
    return static_cast<int8_t>(operator int64_t());
}
Variant::operator uint64_t() const {
    return static_cast<uint64_t>(operator int64_t());
}
Variant::operator uint32_t() const {
    return static_cast<uint32_t>(operator int64_t());
}
Variant::operator uint16_t() const {
    return static_cast<uint16_t>(operator int64_t());
}
Variant::operator uint8_t() const {
    return static_cast<uint8_t>(operator int64_t());
}

Variant::operator double() const {
    switch (get_type()) {
    case BOOL:
        return *as<bool>() ? 1.0 : 0.0;
    case INT:
        return static_cast<double>(*as<int64_t>());
    case FLOAT:
        return *as<double>();
    case STRING:
        return as<String>()->to_float();
    default:
        return 0.0;
    }
}

Variant::operator float() const {
    return static_cast<float>(operator double());
}

Variant::operator String() const {
    return stringify();
}

Variant::operator StringName() const {
    if (const StringName *name = as<StringName>()) {
        return *name;
    }
    if (const String *text = as<String>()) {
        return StringName(*text);
    }
    return StringName();
}

Variant::operator Vector2() const {
    const Vector2 *v = as<Vector2>();
    return v ? *v : Vector2();
}

Variant::operator Vector3() const {
    const Vector3 *v = as<Vector3>();
    return v ? *v : Vector3();
}

Variant::operator Vector4() const {
    const Vector4 *v = as<Vector4>();
    return v ? *v : Vector4();
}

Variant::operator Quaternion() const {
    if (const Quaternion *q = as<Quaternion>()) {
        return *q;
    }
    if (const Basis *b = as<Basis>()) {
        return b->get_quaternion();
    }
    if (const Transform3D *t = as<Transform3D>()) {
        return t->basis.get_quaternion();
    }
    return Quaternion();
}

Variant::operator Basis() const {
    if (const Basis *b = as<Basis>()) {
        return *b;
    }
    if (const Quaternion *q = as<Quaternion>()) {
        return Basis(*q);
    }
    if (const Transform3D *t = as<Transform3D>()) {
        return t->basis;
    }
    return Basis();
}

Variant::operator Transform3D() const {
    if (const Transform3D *t = as<Transform3D>()) {
        return *t;
    }
    if (const Basis *b = as<Basis>()) {
        return Transform3D(*b, Vector3());
    }
    if (const Quaternion *q = as<Quaternion>()) {
        return Transform3D(Basis(*q), Vector3());
    }
    return Transform3D();
}

Variant::operator godot::RID() const {
    const godot::RID *rid = as<godot::RID>();
    return rid ? *rid : godot::RID();
}

Variant::operator ObjectID() const {
    if (const internal::ObjectSlot *slot = as<internal::ObjectSlot>()) {
        return ObjectID(slot->id());
    }
    if (const int64_t *id = as<int64_t>()) {
        return ObjectID(*id);
    }
    return ObjectID();
}

Variant::operator Object *() const {
    const internal::ObjectSlot *slot = as<internal::ObjectSlot>();
    return slot ? slot->get() : nullptr;
}

Object *Variant::get_validated_object() const {
    return operator Object *();
}

Variant::operator Callable() const {
    const Callable *callable = as<Callable>();
    return callable ? *callable : Callable();
}

Variant::operator Dictionary() const {
    const Dictionary *dictionary = as<Dictionary>();
    return dictionary ? *dictionary : Dictionary();
}

Variant::operator Array() const {
    if (const Array *array = as<Array>()) {
        return *array;
    }
    if (const PackedByteArray *bytes = as<PackedByteArray>()) {
        return array_from_packed(*bytes);
    }
    if (const PackedFloat32Array *floats = as<PackedFloat32Array>()) {
        return array_from_packed(*floats);
    }
    if (const PackedVector4Array *vectors = as<PackedVector4Array>()) {
        return array_from_packed(*vectors);
    }
    if (const PackedStringArray *strings = as<PackedStringArray>()) {
        return array_from_packed(*strings);
    }
    return Array();
}

Variant::operator PackedByteArray() const {
    if (const PackedByteArray *bytes = as<PackedByteArray>()) {
        return *bytes;
    }
    PackedByteArray out;
    if (const Array *array = as<Array>()) {
        for (int64_t i = 0; i < array->size(); ++i) {
            out.append((*array)[i].operator int64_t());
        }
    }
    return out;
}

Variant::operator PackedFloat32Array() const {
    if (const PackedFloat32Array *floats = as<PackedFloat32Array>()) {
        return *floats;
    }
    PackedFloat32Array out;
    if (const Array *array = as<Array>()) {
        for (int64_t i = 0; i < array->size(); ++i) {
            out.append((*array)[i].operator double());
        }
    }
    return out;
}

Variant::operator PackedVector4Array() const {
    if (const PackedVector4Array *vectors = as<PackedVector4Array>()) {
        return *vectors;
    }
    PackedVector4Array out;
    if (const Array *array = as<Array>()) {
        for (int64_t i = 0; i < array->size(); ++i) {
            out.append((*array)[i].operator Vector4());
        }
    }
    return out;
}

Variant::operator PackedStringArray() const {
    if (const PackedStringArray *strings = as<PackedStringArray>()) {
        return *strings;
    }
    PackedStringArray out;
    if (const Array *array = as<Array>()) {
        for (int64_t i = 0; i < array->size(); ++i) {
            out.append((*array)[i].operator String());
        }
    }
    return out;
}

bool Variant::operator==(const Variant &p_other) const {
    const Type a = get_type();
    const Type b = p_other.get_type();
    const bool a_number = a == INT || a == FLOAT;
    const bool b_number = b == INT || b == FLOAT;
    if (a_number && b_number) {
        if (a == INT && b == INT) {
            return *as<int64_t>() == *p_other.as<int64_t>();
        }
        return operator double() == p_other.operator double();
    }
    const bool a_text = a == STRING || a == STRING_NAME;
    const bool b_text = b == STRING || b == STRING_NAME;
    if (a_text && b_text) {
        return operator String() == p_other.operator String();
    }
    if ((a == NIL && b == OBJECT) || (a == OBJECT && b == NIL)) {
        return get_validated_object() == nullptr && p_other.get_validated_object() == nullptr;
    }
    if (a != b) {
        return false;
    }
    switch (a) {
    case NIL:
        return true;
    case BOOL:
        return *as<bool>() == *p_other.as<bool>();
    case VECTOR2:
        return *as<Vector2>() == *p_other.as<Vector2>();
    case VECTOR3:
        return *as<Vector3>() == *p_other.as<Vector3>();
    case VECTOR4:
        return *as<Vector4>() == *p_other.as<Vector4>();
    case QUATERNION:
        return *as<Quaternion>() == *p_other.as<Quaternion>();
    case BASIS:
        return *as<Basis>() == *p_other.as<Basis>();
    case TRANSFORM3D:
        return *as<Transform3D>() == *p_other.as<Transform3D>();
    case RID:
        return *as<godot::RID>() == *p_other.as<godot::RID>();
    case OBJECT:
        return get_validated_object() == p_other.get_validated_object();
    case CALLABLE:
        return *as<Callable>() == *p_other.as<Callable>();
    case DICTIONARY:
        return *as<Dictionary>() == *p_other.as<Dictionary>();
    case ARRAY:
        return *as<Array>() == *p_other.as<Array>();
    case PACKED_BYTE_ARRAY:
        return *as<PackedByteArray>() == *p_other.as<PackedByteArray>();
    case PACKED_FLOAT32_ARRAY:
        return *as<PackedFloat32Array>() == *p_other.as<PackedFloat32Array>();
    case PACKED_VECTOR4_ARRAY:
        return *as<PackedVector4Array>() == *p_other.as<PackedVector4Array>();
    case PACKED_STRING_ARRAY:
        return *as<PackedStringArray>() == *p_other.as<PackedStringArray>();
    default:
        return false;
    }
}

bool Variant::operator<(const Variant &p_other) const {
    const Type a = get_type();
    const Type b = p_other.get_type();
    if ((a == INT || a == FLOAT) && (b == INT || b == FLOAT)) {
        if (a == INT && b == INT) {
            return *as<int64_t>() < *p_other.as<int64_t>();
        }
        return operator double() < p_other.operator double();
    }
    if ((a == STRING || a == STRING_NAME) && (b == STRING || b == STRING_NAME)) {
        return operator String() < p_other.operator String();
    }
    if (a != b) {
        return a < b;
    }
    switch (a) {
    case BOOL:
        return !*as<bool>() && *p_other.as<bool>();
    case RID:
        return *as<godot::RID>() < *p_other.as<godot::RID>();
    case OBJECT:
        return as<internal::ObjectSlot>()->id() < p_other.as<internal::ObjectSlot>()->id();
    default:
        return false;
    }
}

bool Variant::hash_compare(const Variant &p_other) const {
    const Type a = get_type();
    if (a != p_other.get_type()) {
        return false;
    }
    switch (a) {
    case FLOAT:
        return same_real(*as<double>(), *p_other.as<double>());
    case VECTOR2: {
        const Vector2 &l = *as<Vector2>();
        const Vector2 &r = *p_other.as<Vector2>();
        return same_real(l.x, r.x) && same_real(l.y, r.y);
    }
    case VECTOR3: {
        const Vector3 &l = *as<Vector3>();
        const Vector3 &r = *p_other.as<Vector3>();
        return same_real(l.x, r.x) && same_real(l.y, r.y) && same_real(l.z, r.z);
    }
    case VECTOR4: {
        const Vector4 &l = *as<Vector4>();
        const Vector4 &r = *p_other.as<Vector4>();
        return same_real(l.x, r.x) && same_real(l.y, r.y) && same_real(l.z, r.z) && same_real(l.w, r.w);
    }
    case QUATERNION: {
        const Quaternion &l = *as<Quaternion>();
        const Quaternion &r = *p_other.as<Quaternion>();
        return same_real(l.x, r.x) && same_real(l.y, r.y) && same_real(l.z, r.z) && same_real(l.w, r.w);
    }
    case BASIS:
    case TRANSFORM3D: {
        const Transform3D l = operator Transform3D();
        const Transform3D r = p_other.operator Transform3D();
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                if (!same_real(l.basis.rows[i][j], r.basis.rows[i][j])) {
                    return false;
                }
            }
        }
        return same_real(l.origin.x, r.origin.x) && same_real(l.origin.y, r.origin.y) &&
               same_real(l.origin.z, r.origin.z);
    }
    case OBJECT:
        return get_validated_object() == p_other.get_validated_object();
    default:
        return *this == p_other;
    }
}

uint32_t Variant::hash() const {
    const uint32_t seed = static_cast<uint32_t>(get_type()) * 0x01000193u;
    switch (get_type()) {
    case NIL:
        return seed;
    case BOOL:
        return hash_mix(seed, *as<bool>() ? 1u : 0u);
    case INT: {
        const uint64_t v = static_cast<uint64_t>(*as<int64_t>());
        return hash_mix(seed, static_cast<uint32_t>(v ^ (v >> 32)));
    }
    case FLOAT:
        return hash_mix(seed, hash_real(*as<double>()));
    case STRING:
        return hash_mix(seed, as<String>()->hash());
    case STRING_NAME:
        return hash_mix(seed, as<StringName>()->hash());
    case VECTOR2:
        return hash_mix(hash_mix(seed, hash_real(as<Vector2>()->x)), hash_real(as<Vector2>()->y));
    case VECTOR3: {
        const Vector3 &v = *as<Vector3>();
        return hash_mix(hash_mix(hash_mix(seed, hash_real(v.x)), hash_real(v.y)), hash_real(v.z));
    }
    case VECTOR4: {
        const Vector4 &v = *as<Vector4>();
        return hash_mix(hash_mix(hash_mix(hash_mix(seed, hash_real(v.x)), hash_real(v.y)), hash_real(v.z)),
                        hash_real(v.w));
    }
    case QUATERNION: {
        const Quaternion &q = *as<Quaternion>();
        return hash_mix(hash_mix(hash_mix(hash_mix(seed, hash_real(q.x)), hash_real(q.y)), hash_real(q.z)),
                        hash_real(q.w));
    }
    case BASIS:
    case TRANSFORM3D: {
        const Transform3D t = operator Transform3D();
        uint32_t h = seed;
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                h = hash_mix(h, hash_real(t.basis.rows[i][j]));
            }
        }
        return hash_mix(hash_mix(hash_mix(h, hash_real(t.origin.x)), hash_real(t.origin.y)),
                        hash_real(t.origin.z));
    }
    case RID: {
        const uint64_t v = static_cast<uint64_t>(as<godot::RID>()->get_id());
        return hash_mix(seed, static_cast<uint32_t>(v ^ (v >> 32)));
    }
    case OBJECT: {
        const uint64_t v = as<internal::ObjectSlot>()->id();
        return hash_mix(seed, static_cast<uint32_t>(v ^ (v >> 32)));
    }
    case CALLABLE:
        return hash_mix(seed, static_cast<uint32_t>(as<Callable>()->hash()));
    case ARRAY: {
        uint32_t h = seed;
        const Array &array = *as<Array>();
        for (int64_t i = 0; i < array.size(); ++i) {
            h = hash_mix(h, array[i].hash());
        }
        return h;
    }
    case DICTIONARY:
        return hash_mix(seed, static_cast<uint32_t>(as<Dictionary>()->size()));
    case PACKED_BYTE_ARRAY: {
        uint32_t h = seed;
        for (uint8_t b : *as<PackedByteArray>()) {
            h = hash_mix(h, b);
        }
        return h;
    }
    default:
        return seed;
    }
}

bool Variant::booleanize() const {
    switch (get_type()) {
    case NIL:
        return false;
    case BOOL:
        return *as<bool>();
    case INT:
        return *as<int64_t>() != 0;
    case FLOAT:
        return *as<double>() != 0.0;
    case STRING:
        return !as<String>()->is_empty();
    case VECTOR2:
        return !(*as<Vector2>() == Vector2());
    case VECTOR3:
        return !(*as<Vector3>() == Vector3());
    case VECTOR4:
        return !(*as<Vector4>() == Vector4());
    case QUATERNION:
        return !(*as<Quaternion>() == Quaternion());
    case BASIS:
        return !(*as<Basis>() == Basis());
    case TRANSFORM3D:
        return !(*as<Transform3D>() == Transform3D());
    case STRING_NAME:
        return !as<StringName>()->is_empty();
    case RID:
        return as<godot::RID>()->is_valid();
    case OBJECT:
        return get_validated_object() != nullptr;
    case CALLABLE:
        return !as<Callable>()->is_null();
    case DICTIONARY:
        return !as<Dictionary>()->is_empty();
    case ARRAY:
        return !as<Array>()->is_empty();
    case PACKED_BYTE_ARRAY:
        return !as<PackedByteArray>()->is_empty();
    case PACKED_FLOAT32_ARRAY:
        return !as<PackedFloat32Array>()->is_empty();
    case PACKED_VECTOR4_ARRAY:
        return !as<PackedVector4Array>()->is_empty();
    case PACKED_STRING_ARRAY:
        return !as<PackedStringArray>()->is_empty();
    default:
        return false;
    }
}

String Variant::stringify() const {
    switch (get_type()) {
    case NIL:
        return "<null>";
    case BOOL:
        return *as<bool>() ? "true" : "false";
    case INT:
        return itos(*as<int64_t>());
    case FLOAT:
        return String::num_real(*as<double>());
    case STRING:
        return *as<String>();
    case VECTOR2:
        return text_of(*as<Vector2>());
    case VECTOR3:
        return text_of(*as<Vector3>());
    case VECTOR4:
        return text_of(*as<Vector4>());
    case QUATERNION: {
        const Quaternion &q = *as<Quaternion>();
        return text_of(Vector4(q.x, q.y, q.z, q.w));
    }
    case BASIS:
        return text_of(*as<Basis>());
    case TRANSFORM3D: {
        const Transform3D &t = *as<Transform3D>();
        return "[X: " + text_of(column(t.basis, 0)) + ", Y: " + text_of(column(t.basis, 1)) +
               ", Z: " + text_of(column(t.basis, 2)) + ", O: " + text_of(t.origin) + "]";
    }
    case STRING_NAME:
        return String(*as<StringName>());
    case RID:
        return "RID(" + itos(as<godot::RID>()->get_id()) + ")";
    case OBJECT: {
        const internal::ObjectSlot &slot = *as<internal::ObjectSlot>();
        if (slot.is_null_pointer()) {
            return "<Object#null>";
        }
        Object *object = slot.get();
        return object ? object->to_string() : "<Freed Object>";
    }
    case CALLABLE: {
        const Callable &callable = *as<Callable>();
        if (callable.is_custom()) {
            return callable.get_custom()->get_as_text();
        }
        Object *object = callable.get_object();
        return (object ? object->get_class() : String("null")) +
               "::" + (callable.get_method().is_empty() ? String("null") : String(callable.get_method()));
    }
    case DICTIONARY: {
        const Dictionary &dictionary = *as<Dictionary>();
        const Array keys = dictionary.keys();
        if (keys.is_empty()) {
            return "{}";
        }
        String text = "{ ";
        for (int64_t i = 0; i < keys.size(); ++i) {
            if (i > 0) {
                text += ", ";
            }
            text += element_text(keys[i]) + ": " + element_text(dictionary[keys[i]]);
        }
        return text + " }";
    }
    case ARRAY: {
        const Array &array = *as<Array>();
        String text = "[";
        for (int64_t i = 0; i < array.size(); ++i) {
            if (i > 0) {
                text += ", ";
            }
            text += element_text(array[i]);
        }
        return text + "]";
    }
    case PACKED_BYTE_ARRAY:
        return packed_text(*as<PackedByteArray>());
    case PACKED_FLOAT32_ARRAY:
        return packed_text(*as<PackedFloat32Array>());
    case PACKED_VECTOR4_ARRAY:
        return packed_text(*as<PackedVector4Array>());
    case PACKED_STRING_ARRAY:
        return packed_text(*as<PackedStringArray>());
    default:
        return "";
    }
}

Variant Variant::duplicate(bool p_deep) const {
    if (const Dictionary *dictionary = as<Dictionary>()) {
        return dictionary->duplicate(p_deep);
    }
    if (const Array *array = as<Array>()) {
        return array->duplicate(p_deep);
    }
    return *this;
}

bool Variant::can_convert(Type p_from, Type p_to) {
    if (p_from == p_to || p_to == NIL || p_from == NIL) {
        return true;
    }
    const bool numeric_from = p_from == BOOL || p_from == INT || p_from == FLOAT || p_from == STRING;
    if ((p_to == BOOL || p_to == INT || p_to == FLOAT) && numeric_from) {
        return true;
    }
    if (p_to == STRING) {
        return p_from != OBJECT;
    }
    return can_convert_strict(p_from, p_to);
}

bool Variant::can_convert_strict(Type p_from, Type p_to) {
    if (p_from == p_to || p_to == NIL) {
        return true;
    }
    if (p_from == NIL) {
        return p_to == OBJECT;
    }
    switch (p_to) {
    case BOOL:
        return p_from == INT || p_from == FLOAT;
    case INT:
        return p_from == BOOL || p_from == FLOAT;
    case FLOAT:
        return p_from == BOOL || p_from == INT;
    case STRING:
        return p_from == STRING_NAME;
    case STRING_NAME:
        return p_from == STRING;
    case QUATERNION:
        return p_from == BASIS;
    case BASIS:
        return p_from == QUATERNION;
    case TRANSFORM3D:
        return p_from == BASIS || p_from == QUATERNION;
    case ARRAY:
        return p_from == PACKED_BYTE_ARRAY || p_from == PACKED_FLOAT32_ARRAY ||
               p_from == PACKED_VECTOR4_ARRAY || p_from == PACKED_STRING_ARRAY;
    case PACKED_BYTE_ARRAY:
    case PACKED_FLOAT32_ARRAY:
    case PACKED_VECTOR4_ARRAY:
    case PACKED_STRING_ARRAY:
        return p_from == ARRAY;
    default:
        return false;
    }
}

std::ostream &operator<<(std::ostream &p_stream, const Variant &p_variant) {
    return p_stream << p_variant.stringify();
}

} // namespace godot
