#include "model/textfile.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

namespace vanto {

namespace {

bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int extra;
        std::uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = cp << 6 | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
        if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) ||
            (extra == 3 && cp < 0x10000) || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += extra + 1;
    }
    return true;
}

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | cp >> 6);
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xE0 | cp >> 12);
        out += char(0x80 | (cp >> 6 & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Windows-1252 code points for bytes 0x80..0x9F; the rest equal Latin-1.
constexpr std::uint16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::string decodeText(std::string_view bytes) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (isValidUtf8(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80)
            out += ch;
        else if (c < 0xA0)
            appendUtf8(out, cp1252High[c - 0x80]);
        else
            appendUtf8(out, c);
    }
    return out;
}

std::optional<std::string> readTextFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return decodeText(ss.view());
}

std::vector<std::string> splitLines(std::string_view text) {
    // CR LF, LF and a lone CR (old Macintosh files) all end a line.
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        lines.emplace_back(text.substr(start, end - start));
        start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    return lines;
}

std::size_t characterCount(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

std::string firstCharacters(std::string_view utf8, std::size_t n) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            if (count == n) return std::string(utf8.substr(0, i));
            ++count;
        }
    }
    return std::string(utf8);
}

void writeFileAtomically(const std::filesystem::path& path, std::string_view content) {
    writeFileAtomically(path, std::vector<std::string_view>{content});
}

void writeFileAtomically(const std::filesystem::path& path,
                         const std::vector<std::string_view>& pieces) {
    namespace fs = std::filesystem;
    const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::random_device rd;
    const fs::path tmp =
        dir / ("." + path.filename().string() + ".tmp" + std::to_string(rd() % 1000000));
    {
        std::FILE* f = std::fopen(tmp.c_str(), "wb");
        if (!f) throw std::system_error(errno, std::generic_category(), tmp.string());
        bool ok = true;
        for (std::string_view piece : pieces)
            ok = ok && std::fwrite(piece.data(), 1, piece.size(), f) == piece.size();
        ok = ok && std::fflush(f) == 0 && ::fsync(fileno(f)) == 0;
        const int err = errno;
        if (std::fclose(f) != 0 || !ok) {
            std::error_code ignored;
            fs::remove(tmp, ignored);
            throw std::system_error(ok ? errno : err, std::generic_category(), path.string());
        }
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        throw std::system_error(ec, path.string());
    }
}

void ValueReader::skipSeparators() {
    // Blanks and line ends before a value; a single comma ends a field.
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (c == '\n' || c == '\r') {
            // CR LF, LF and a lone CR each end one line.
            if (c == '\n' || pos_ + 1 >= text_.size() || text_[pos_ + 1] != '\n') ++line_;
            ++pos_;
        } else if (c == ' ' || c == '\t') {
            ++pos_;
        } else {
            break;
        }
    }
}

void ValueReader::finishField() {
    // After a value: blanks, then one comma or a line end closes the field.
    // Line ends are left to skipSeparators, which counts them.
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t'))
        ++pos_;
    if (pos_ < text_.size() && text_[pos_] == ',') ++pos_;
}

bool ValueReader::atEnd() {
    skipSeparators();
    return pos_ >= text_.size();
}

std::string_view ValueReader::rawToken() {
    const std::size_t start = pos_;
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n') break;
        ++pos_;
    }
    return std::string_view(text_).substr(start, pos_ - start);
}

std::optional<double> ValueReader::number() {
    skipSeparators();
    if (pos_ >= text_.size()) return std::nullopt;
    const std::size_t start = pos_;
    const int startLine = line_;
    std::string_view tok;
    if (text_[pos_] == '"') {
        // A quoted number, as some older files hold.
        const std::size_t close = text_.find('"', pos_ + 1);
        if (close == std::string::npos) return std::nullopt;
        tok = std::string_view(text_).substr(pos_ + 1, close - pos_ - 1);
        pos_ = close + 1;
    } else if (text_[pos_] == ',') {
        // An empty field reads as 0.
        ++pos_;
        return 0.0;
    } else {
        tok = rawToken();
    }
    // Most values are plain numbers that from_chars takes as they stand.
    const bool pointFirst = !tok.empty() && (tok[0] == '.' || (tok.size() > 1 && tok[1] == '.'));
    if (!tok.empty() && !pointFirst && tok.find_first_of("+Dd") == std::string_view::npos) {
        double v = 0;
        const auto res = std::from_chars(tok.data(), tok.data() + tok.size(), v);
        if (res.ec == std::errc() && res.ptr == tok.data() + tok.size() && std::isfinite(v)) {
            finishField();
            return v;
        }
    }
    std::string s(tok);
    // Accept a leading "+" and a missing digit before the point (.5, -.25).
    std::size_t k = 0;
    if (!s.empty() && s[0] == '+') s.erase(0, 1);
    if (!s.empty() && s[0] == '-') k = 1;
    if (s.size() > k && s[k] == '.') s.insert(k, "0");
    if (s.empty() || s == "-") {
        pos_ = start;
        line_ = startLine;
        return std::nullopt;
    }
    // D as exponent letter, as old Basic files may hold.
    for (char& c : s)
        if (c == 'D' || c == 'd') c = 'E';
    double v = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(v)) {
        // Out-of-range values, "nan" and "inf" are damaged data too.
        pos_ = start;
        line_ = startLine;
        return std::nullopt;
    }
    finishField();
    return v;
}

std::optional<std::string> ValueReader::text() {
    skipSeparators();
    if (pos_ >= text_.size()) return std::nullopt;
    if (text_[pos_] == '"') {
        // A doubled quote inside stands for one quote.
        std::size_t close = text_.find('"', pos_ + 1);
        std::string v;
        std::size_t from = pos_ + 1;
        while (close != std::string::npos && close + 1 < text_.size() && text_[close + 1] == '"') {
            v.append(text_, from, close + 1 - from);
            from = close + 2;
            close = text_.find('"', from);
        }
        const std::size_t end = close == std::string::npos ? text_.size() : close;
        v.append(text_, from, end - from);
        for (std::size_t i = 0; i < v.size(); ++i)
            if (v[i] == '\n' || (v[i] == '\r' && (i + 1 == v.size() || v[i + 1] != '\n'))) ++line_;
        pos_ = close == std::string::npos ? text_.size() : close + 1;
        finishField();
        return v;
    }
    // An unquoted text runs to a comma or the line end; blanks stay inside.
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\n' && text_[pos_] != '\r')
        ++pos_;
    std::string v = text_.substr(start, pos_ - start);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t'))
        v.pop_back();
    finishField();
    return v;
}

void ValueReader::skipLine() {
    const std::size_t nl = text_.find_first_of("\r\n", pos_);
    if (nl == std::string::npos) {
        pos_ = text_.size();
    } else {
        pos_ = nl + (text_.compare(nl, 2, "\r\n") == 0 ? 2 : 1);
        ++line_;
    }
}

}  // namespace vanto
