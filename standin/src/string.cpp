#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>

namespace godot {

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

void append_utf8(std::string &r_out, char32_t p_c) {
    if (p_c > 0x10FFFF || (p_c >= 0xD800 && p_c <= 0xDFFF)) {
        p_c = REPLACEMENT;
    }
    if (p_c < 0x80) {
        r_out.push_back(static_cast<char>(p_c));
    } else if (p_c < 0x800) {
        r_out.push_back(static_cast<char>(0xC0 | (p_c >> 6)));
        r_out.push_back(static_cast<char>(0x80 | (p_c & 0x3F)));
    } else if (p_c < 0x10000) {
        r_out.push_back(static_cast<char>(0xE0 | (p_c >> 12)));
        r_out.push_back(static_cast<char>(0x80 | ((p_c >> 6) & 0x3F)));
        r_out.push_back(static_cast<char>(0x80 | (p_c & 0x3F)));
    } else {
        r_out.push_back(static_cast<char>(0xF0 | (p_c >> 18)));
        r_out.push_back(static_cast<char>(0x80 | ((p_c >> 12) & 0x3F)));
        r_out.push_back(static_cast<char>(0x80 | ((p_c >> 6) & 0x3F)));
        r_out.push_back(static_cast<char>(0x80 | (p_c & 0x3F)));
    }
}

// Decodes UTF-8; malformed sequences become U+FFFD, one per offending byte.
std::u32string decode_utf8(const unsigned char *p_in, size_t p_len) {
    std::u32string out;
    out.reserve(p_len);
    size_t i = 0;
    while (i < p_len) {
        const unsigned char lead = p_in[i];
        int extra = 0;
        char32_t c = 0;
        char32_t min = 0;
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            c = lead & 0x1F;
            min = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            c = lead & 0x0F;
            min = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            c = lead & 0x07;
            min = 0x10000;
        } else {
            out.push_back(REPLACEMENT);
            ++i;
            continue;
        }
        if (i + static_cast<size_t>(extra) >= p_len) {
            out.push_back(REPLACEMENT);
            ++i;
            continue;
        }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char next = p_in[i + static_cast<size_t>(k)];
            if ((next & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (next & 0x3F);
        }
        if (!ok || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out.push_back(REPLACEMENT);
            ++i;
            continue;
        }
        out.push_back(c);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

String from_ascii_buffer(const char *p_text) {
    return String(p_text);
}

} // namespace

const std::u32string &String::empty_text() {
    static const std::u32string empty;
    return empty;
}

std::u32string &String::write() {
    if (!data_) {
        data_ = std::make_shared<std::u32string>();
    } else if (data_.use_count() > 1) {
        data_ = std::make_shared<std::u32string>(*data_);
    }
    return *data_;
}

String::String(const char *p_latin1) {
    if (p_latin1 == nullptr || *p_latin1 == 0) {
        return;
    }
    std::u32string &out = write();
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(p_latin1); *c; ++c) {
        out.push_back(static_cast<char32_t>(*c));
    }
}

String::String(const char32_t *p_utf32) {
    if (p_utf32 != nullptr && *p_utf32 != 0) {
        write() = p_utf32;
    }
}

String String::utf8(const char *p_utf8, int64_t p_len) {
    String s;
    if (p_utf8 == nullptr) {
        return s;
    }
    const size_t len = p_len < 0 ? std::char_traits<char>::length(p_utf8) : static_cast<size_t>(p_len);
    if (len > 0) {
        s.write() = decode_utf8(reinterpret_cast<const unsigned char *>(p_utf8), len);
    }
    return s;
}

String String::num(double p_num, int p_decimals) {
    if (std::isnan(p_num)) {
        return "nan";
    }
    if (std::isinf(p_num)) {
        return p_num < 0 ? "-inf" : "inf";
    }
    char buffer[64];
    if (p_decimals < 0) {
        std::snprintf(buffer, sizeof(buffer), "%.14g", p_num);
    } else {
        std::snprintf(buffer, sizeof(buffer), "%.*f", p_decimals > 30 ? 30 : p_decimals, p_num);
    }
    return from_ascii_buffer(buffer);
}

String String::num_int64(int64_t p_num, int p_base, bool p_capitalize_hex) {
    if (p_num < 0) {
        // Negate in unsigned arithmetic so INT64_MIN stays defined.
        return "-" + num_uint64(0 - static_cast<uint64_t>(p_num), p_base, p_capitalize_hex);
    }
    return num_uint64(static_cast<uint64_t>(p_num), p_base, p_capitalize_hex);
}

String String::num_uint64(uint64_t p_num, int p_base, bool p_capitalize_hex) {
    if (p_base < 2 || p_base > 36) {
        p_base = 10;
    }
    const char *digits =
        p_capitalize_hex ? "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ" : "0123456789abcdefghijklmnopqrstuvwxyz";
    char buffer[72];
    int pos = 71;
    buffer[pos] = 0;
    const uint64_t base = static_cast<uint64_t>(p_base);
    do {
        buffer[--pos] = digits[p_num % base];
        p_num /= base;
    } while (p_num != 0);
    return from_ascii_buffer(buffer + pos);
}

String String::num_real(double p_num, bool p_trailing) {
    if (std::isfinite(p_num) && p_num == std::trunc(p_num) && std::fabs(p_num) < 1e15) {
        const String whole = num_int64(static_cast<int64_t>(p_num));
        // Keep the sign of negative zero, as the engine prints it.
        const String sign = (p_num == 0.0 && std::signbit(p_num)) ? "-" : "";
        return p_trailing ? sign + whole + ".0" : sign + whole;
    }
    return num(p_num);
}

String String::chr(char32_t p_char) {
    String s;
    s.write().push_back(p_char);
    return s;
}

CharString String::utf8() const {
    std::string out;
    out.reserve(text().size());
    for (char32_t c : text()) {
        append_utf8(out, c);
    }
    return CharString(std::move(out));
}

CharString String::ascii() const {
    std::string out;
    out.reserve(text().size());
    for (char32_t c : text()) {
        out.push_back(c < 0x100 ? static_cast<char>(c) : '?');
    }
    return CharString(std::move(out));
}

char32_t String::operator[](int64_t p_index) const {
    if (p_index < 0 || p_index >= length()) {
        return 0;
    }
    return (*data_)[static_cast<size_t>(p_index)];
}

bool String::begins_with(const String &p_prefix) const {
    const std::u32string &t = text();
    const std::u32string &prefix = p_prefix.text();
    return t.size() >= prefix.size() && t.compare(0, prefix.size(), prefix) == 0;
}

bool String::ends_with(const String &p_suffix) const {
    const std::u32string &t = text();
    const std::u32string &suffix = p_suffix.text();
    return t.size() >= suffix.size() && t.compare(t.size() - suffix.size(), suffix.size(), suffix) == 0;
}

int64_t String::find(const String &p_what, int64_t p_from) const {
    if (p_from < 0 || p_from > length()) {
        return -1;
    }
    const size_t at = text().find(p_what.text(), static_cast<size_t>(p_from));
    return at == std::u32string::npos ? -1 : static_cast<int64_t>(at);
}

String String::substr(int64_t p_from, int64_t p_len) const {
    String s;
    if (p_from < 0 || p_from >= length()) {
        return s;
    }
    const size_t len = p_len < 0 ? std::u32string::npos : static_cast<size_t>(p_len);
    if (len > 0) {
        s.write() = text().substr(static_cast<size_t>(p_from), len);
    }
    return s;
}

int64_t String::to_int() const {
    // Leading sign and digits; anything else ends the number. Saturates instead of overflowing.
    const std::u32string &t = text();
    size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) {
        negative = t[i] == '-';
        ++i;
    }
    uint64_t value = 0;
    bool saturated = false;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
        const uint64_t digit = static_cast<uint64_t>(t[i] - '0');
        if (value > (UINT64_C(9223372036854775808) - digit) / 10) {
            saturated = true;
            break;
        }
        value = value * 10 + digit;
    }
    if (saturated || value > UINT64_C(9223372036854775807)) {
        return negative ? INT64_MIN : INT64_MAX;
    }
    return negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
}

double String::to_float() const {
    const CharString bytes = ascii();
    return std::strtod(bytes.get_data(), nullptr);
}

String String::quote(const String &p_quotechar) const {
    return p_quotechar + *this + p_quotechar;
}

uint32_t String::hash() const {
    // djb2 over the code points, as the engine hashes strings.
    uint32_t h = 5381;
    for (char32_t c : text()) {
        h = ((h << 5) + h) + static_cast<uint32_t>(c);
    }
    return h;
}

String String::operator+(const String &p_other) const {
    String s(*this);
    s += p_other;
    return s;
}

String String::operator+(const char *p_other) const {
    return *this + String(p_other);
}

String String::operator+(char32_t p_char) const {
    String s(*this);
    s += p_char;
    return s;
}

String &String::operator+=(const String &p_other) {
    if (p_other.is_empty()) {
        return *this;
    }
    if (is_empty()) {
        data_ = p_other.data_;
        return *this;
    }
    const std::shared_ptr<std::u32string> keep = p_other.data_; // p_other may be this string
    write() += *keep;
    return *this;
}

String &String::operator+=(const char *p_other) {
    return *this += String(p_other);
}

String &String::operator+=(char32_t p_char) {
    write().push_back(p_char);
    return *this;
}

bool String::operator==(const char *p_other) const {
    const std::u32string &t = text();
    if (p_other == nullptr) {
        return t.empty();
    }
    size_t i = 0;
    for (; p_other[i] != 0; ++i) {
        if (i >= t.size() || t[i] != static_cast<char32_t>(static_cast<unsigned char>(p_other[i]))) {
            return false;
        }
    }
    return i == t.size();
}

String operator+(const char *p_left, const String &p_right) {
    return String(p_left) + p_right;
}
bool operator==(const char *p_left, const String &p_right) {
    return p_right == p_left;
}
bool operator!=(const char *p_left, const String &p_right) {
    return !(p_right == p_left);
}

String itos(int64_t p_value) {
    return String::num_int64(p_value);
}
String uitos(uint64_t p_value) {
    return String::num_uint64(p_value);
}
String rtos(double p_value) {
    return String::num(p_value);
}

std::ostream &operator<<(std::ostream &p_stream, const String &p_string) {
    return p_stream << p_string.utf8().get_data();
}

std::ostream &operator<<(std::ostream &p_stream, const StringName &p_name) {
    return p_stream << p_name.text();
}

} // namespace godot
