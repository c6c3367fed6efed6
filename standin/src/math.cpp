// Out-of-line parts of the math value types.
#include <godot_cpp/core/math.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/quaternion.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector3.hpp>

namespace godot {

Vector2 Vector2::limit_length(const real_t p_len) const {
    const real_t l = length();
    Vector2 v = *this;
    if (l > 0 && p_len < l) {
        v /= l;
        v *= p_len;
    }
    return v;
}

Vector3 Vector3::limit_length(const real_t p_len) const {
    const real_t l = length();
    Vector3 v = *this;
    if (l > 0 && p_len < l) {
        v /= l;
        v *= p_len;
    }
    return v;
}

namespace {

// Element (r1, c1) * (r2, c2) - (r1, c2) * (r2, c1): a 2x2 minor of the cofactor expansion.
inline real_t cofactor(const Basis &p_b, int p_row1, int p_col1, int p_row2, int p_col2) {
    return p_b.rows[p_row1][p_col1] * p_b.rows[p_row2][p_col2] -
           p_b.rows[p_row1][p_col2] * p_b.rows[p_row2][p_col1];
}

} // namespace

void Basis::invert() {
    const real_t co0 = cofactor(*this, 1, 1, 2, 2);
    const real_t co1 = cofactor(*this, 1, 2, 2, 0);
    const real_t co2 = cofactor(*this, 1, 0, 2, 1);
    const real_t det = rows[0][0] * co0 + rows[0][1] * co1 + rows[0][2] * co2;
    const real_t s = 1.0f / det;
    set(co0 * s, cofactor(*this, 0, 2, 2, 1) * s, cofactor(*this, 0, 1, 1, 2) * s, //
        co1 * s, cofactor(*this, 0, 0, 2, 2) * s, cofactor(*this, 0, 2, 1, 0) * s, //
        co2 * s, cofactor(*this, 0, 1, 2, 0) * s, cofactor(*this, 0, 0, 1, 1) * s);
}

void Basis::transpose() {
    SWAP(rows[0][1], rows[1][0]);
    SWAP(rows[0][2], rows[2][0]);
    SWAP(rows[1][2], rows[2][1]);
}

Basis Basis::inverse() const {
    Basis inv = *this;
    inv.invert();
    return inv;
}

Basis Basis::transposed() const {
    Basis tr = *this;
    tr.transpose();
    return tr;
}

void Basis::orthonormalize() {
    Vector3 x = get_column(0);
    Vector3 y = get_column(1);
    Vector3 z = get_column(2);

    // normalize() maps a zero vector to zero, so a zero column stays zero and adds nothing to the others.
    x.normalize();
    y = (y - x * (x.dot(y)));
    y.normalize();
    z = (z - x * (x.dot(z)) - y * (y.dot(z)));
    z.normalize();

    set_column(0, x);
    set_column(1, y);
    set_column(2, z);
}

Basis Basis::orthonormalized() const {
    Basis c = *this;
    c.orthonormalize();
    return c;
}

Basis Basis::rotated(const Vector3 &p_axis, real_t p_angle) const {
    return Basis(p_axis, p_angle) * (*this);
}

void Basis::rotate(const Vector3 &p_axis, real_t p_angle) {
    *this = rotated(p_axis, p_angle);
}

Basis Basis::rotated(const Quaternion &p_quaternion) const {
    return Basis(p_quaternion) * (*this);
}

void Basis::rotate(const Quaternion &p_quaternion) {
    *this = rotated(p_quaternion);
}

Quaternion Basis::get_rotation_quaternion() const {
    Basis m = orthonormalized();
    const real_t det = m.determinant();
    if (det < 0) {
        m.scale(Vector3(-1, -1, -1));
    }
    return m.get_quaternion();
}

Quaternion Basis::get_quaternion() const {
    const real_t trace = rows[0][0] + rows[1][1] + rows[2][2];
    real_t temp[4];

    if (trace > 0.0f) {
        real_t s = Math::sqrt(trace + 1.0f);
        temp[3] = (s * 0.5f);
        s = 0.5f / s;
        temp[0] = ((rows[2][1] - rows[1][2]) * s);
        temp[1] = ((rows[0][2] - rows[2][0]) * s);
        temp[2] = ((rows[1][0] - rows[0][1]) * s);
    } else {
        // Branch on the largest diagonal element.
        const int i =
            rows[0][0] < rows[1][1] ? (rows[1][1] < rows[2][2] ? 2 : 1) : (rows[0][0] < rows[2][2] ? 2 : 0);
        const int j = (i + 1) % 3;
        const int k = (i + 2) % 3;

        real_t s = Math::sqrt(rows[i][i] - rows[j][j] - rows[k][k] + 1.0f);
        temp[i] = s * 0.5f;
        s = 0.5f / s;
        temp[3] = (rows[k][j] - rows[j][k]) * s;
        temp[j] = (rows[j][i] + rows[i][j]) * s;
        temp[k] = (rows[k][i] + rows[i][k]) * s;
    }
    return Quaternion(temp[0], temp[1], temp[2], temp[3]);
}

void Basis::set_quaternion(const Quaternion &p_quaternion) {
    const real_t d = p_quaternion.length_squared();
    const real_t s = 2.0f / d;
    const real_t xs = p_quaternion.x * s, ys = p_quaternion.y * s, zs = p_quaternion.z * s;
    const real_t wx = p_quaternion.w * xs, wy = p_quaternion.w * ys, wz = p_quaternion.w * zs;
    const real_t xx = p_quaternion.x * xs, xy = p_quaternion.x * ys, xz = p_quaternion.x * zs;
    const real_t yy = p_quaternion.y * ys, yz = p_quaternion.y * zs, zz = p_quaternion.z * zs;
    set(1.0f - (yy + zz), xy - wz, xz + wy, //
        xy + wz, 1.0f - (xx + zz), yz - wx, //
        xz - wy, yz + wx, 1.0f - (xx + yy));
}

void Basis::set_axis_angle(const Vector3 &p_axis, real_t p_angle) {
    // Rodrigues: diagonal a^2 + c (1 - a^2); off-diagonals ab t -/+ c' s with t = 1 - c.
    const Vector3 axis_sq(p_axis.x * p_axis.x, p_axis.y * p_axis.y, p_axis.z * p_axis.z);
    const real_t cosine = Math::cos(p_angle);
    rows[0][0] = axis_sq.x + cosine * (1.0f - axis_sq.x);
    rows[1][1] = axis_sq.y + cosine * (1.0f - axis_sq.y);
    rows[2][2] = axis_sq.z + cosine * (1.0f - axis_sq.z);

    const real_t sine = Math::sin(p_angle);
    const real_t t = 1 - cosine;

    real_t xyzt = p_axis.x * p_axis.y * t;
    real_t zyxs = p_axis.z * sine;
    rows[0][1] = xyzt - zyxs;
    rows[1][0] = xyzt + zyxs;

    xyzt = p_axis.x * p_axis.z * t;
    zyxs = p_axis.y * sine;
    rows[0][2] = xyzt + zyxs;
    rows[2][0] = xyzt - zyxs;

    xyzt = p_axis.y * p_axis.z * t;
    zyxs = p_axis.x * sine;
    rows[1][2] = xyzt - zyxs;
    rows[2][1] = xyzt + zyxs;
}

void Basis::scale(const Vector3 &p_scale) {
    rows[0] *= p_scale.x;
    rows[1] *= p_scale.y;
    rows[2] *= p_scale.z;
}

Basis Basis::scaled(const Vector3 &p_scale) const {
    Basis m = *this;
    m.scale(p_scale);
    return m;
}

Vector3 Basis::get_scale_abs() const {
    return Vector3(get_column(0).length(), get_column(1).length(), get_column(2).length());
}

Basis Basis::from_scale(const Vector3 &p_scale) {
    return Basis(p_scale.x, 0, 0, 0, p_scale.y, 0, 0, 0, p_scale.z);
}

bool Basis::is_equal_approx(const Basis &p_basis) const {
    return rows[0].is_equal_approx(p_basis.rows[0]) && rows[1].is_equal_approx(p_basis.rows[1]) &&
           rows[2].is_equal_approx(p_basis.rows[2]);
}

bool Basis::is_finite() const {
    return rows[0].is_finite() && rows[1].is_finite() && rows[2].is_finite();
}

bool Basis::operator==(const Basis &p_matrix) const {
    return rows[0] == p_matrix.rows[0] && rows[1] == p_matrix.rows[1] && rows[2] == p_matrix.rows[2];
}

bool Basis::operator!=(const Basis &p_matrix) const {
    return !(*this == p_matrix);
}

Transform3D::Transform3D(const Basis &p_basis, const Vector3 &p_origin) : basis(p_basis), origin(p_origin) {}

Transform3D::Transform3D(const Vector3 &p_x, const Vector3 &p_y, const Vector3 &p_z, const Vector3 &p_origin)
    : basis(p_x, p_y, p_z), origin(p_origin) {}

Transform3D::Transform3D(real_t p_xx, real_t p_xy, real_t p_xz, real_t p_yx, real_t p_yy, real_t p_yz,
                         real_t p_zx, real_t p_zy, real_t p_zz, real_t p_ox, real_t p_oy, real_t p_oz)
    : basis(p_xx, p_xy, p_xz, p_yx, p_yy, p_yz, p_zx, p_zy, p_zz), origin(p_ox, p_oy, p_oz) {}

void Transform3D::invert() {
    basis.transpose();
    origin = basis.xform(-origin);
}

Transform3D Transform3D::inverse() const {
    Transform3D ret = *this;
    ret.invert();
    return ret;
}

void Transform3D::affine_invert() {
    basis.invert();
    origin = basis.xform(-origin);
}

Transform3D Transform3D::affine_inverse() const {
    Transform3D ret = *this;
    ret.affine_invert();
    return ret;
}

Transform3D Transform3D::rotated(const Vector3 &p_axis, real_t p_angle) const {
    const Basis rotation(p_axis, p_angle);
    return Transform3D(rotation * basis, rotation.xform(origin));
}

Transform3D Transform3D::rotated_local(const Vector3 &p_axis, real_t p_angle) const {
    return Transform3D(basis * Basis(p_axis, p_angle), origin);
}

void Transform3D::rotate(const Vector3 &p_axis, real_t p_angle) {
    *this = rotated(p_axis, p_angle);
}

Transform3D Transform3D::translated(const Vector3 &p_translation) const {
    return Transform3D(basis, origin + p_translation);
}

Transform3D Transform3D::translated_local(const Vector3 &p_translation) const {
    return Transform3D(basis, origin + basis.xform(p_translation));
}

void Transform3D::orthonormalize() {
    basis.orthonormalize();
}

Transform3D Transform3D::orthonormalized() const {
    Transform3D copy = *this;
    copy.orthonormalize();
    return copy;
}

bool Transform3D::is_equal_approx(const Transform3D &p_transform) const {
    return basis.is_equal_approx(p_transform.basis) && origin.is_equal_approx(p_transform.origin);
}

bool Transform3D::is_finite() const {
    return basis.is_finite() && origin.is_finite();
}

bool Transform3D::operator==(const Transform3D &p_transform) const {
    return basis == p_transform.basis && origin == p_transform.origin;
}

bool Transform3D::operator!=(const Transform3D &p_transform) const {
    return !(*this == p_transform);
}

void Transform3D::operator*=(const Transform3D &p_transform) {
    origin = xform(p_transform.origin);
    basis *= p_transform.basis;
}

Transform3D Transform3D::operator*(const Transform3D &p_transform) const {
    Transform3D t = *this;
    t *= p_transform;
    return t;
}

void Transform3D::operator*=(const real_t p_val) {
    origin *= p_val;
    basis *= p_val;
}

Transform3D Transform3D::operator*(const real_t p_val) const {
    Transform3D ret(*this);
    ret *= p_val;
    return ret;
}

} // namespace godot
