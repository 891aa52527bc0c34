#include "exchange/fields.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "exchange/exchange.h"
#include "model/helpers.h"

namespace vanto::exchange {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

std::optional<double> parseNumber(std::string_view token) {
    std::string s(token);
    if (!s.empty() && s[0] == '+') s.erase(0, 1);
    const std::size_t k = !s.empty() && s[0] == '-' ? 1 : 0;
    if (s.size() > k && s[k] == '.') s.insert(k, "0");
    if (s.size() == k) return std::nullopt;
    if (!(s[k] >= '0' && s[k] <= '9')) return std::nullopt;  // no "inf", "nan"
    for (char& c : s)
        if (c == 'D' || c == 'd') c = 'E';
    double v = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

FieldReader::FieldReader(std::string text, std::string label)
    : text_(std::move(text)), label_(std::move(label)) {}

void FieldReader::fail(const std::string& text) const {
    throw ExchangeError(label_ + ", línea " + std::to_string(line_) + ": " + text, line_);
}

void FieldReader::failAtValue(const std::string& text) {
    line_ = tokenLine_;
    fail(text);
}

void FieldReader::consumeLineEnd() {
    if (pos_ < text_.size() && text_[pos_] == '\r') {
        ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        ++line_;
    } else if (pos_ < text_.size() && text_[pos_] == '\n') {
        ++pos_;
        ++line_;
    }
}

std::string FieldReader::line(std::string_view what) {
    if (pos_ >= text_.size())
        fail("el fichero termina antes de tiempo; falta " + std::string(what) + ".");
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !isLineEnd(text_[pos_]))
        ++pos_;
    std::string l = text_.substr(start, pos_ - start);
    consumeLineEnd();
    return l;
}

std::string_view FieldReader::token(std::string_view what) {
    while (pos_ < text_.size() && (isBlank(text_[pos_]) || isLineEnd(text_[pos_]))) {
        if (isLineEnd(text_[pos_]))
            consumeLineEnd();
        else
            ++pos_;
    }
    if (pos_ >= text_.size())
        fail("el fichero termina antes de tiempo; falta " + std::string(what) + ".");
    const std::size_t start = pos_;
    if (text_[pos_] == '"') {
        const std::size_t close = text_.find('"', pos_ + 1);
        pos_ = close == std::string::npos ? text_.size() : close + 1;
    } else {
        while (pos_ < text_.size() && text_[pos_] != ',' && !isBlank(text_[pos_]) &&
               !isLineEnd(text_[pos_]))
            ++pos_;
    }
    return std::string_view(text_).substr(start, pos_ - start);
}

void FieldReader::finishValue() {
    while (pos_ < text_.size() && isBlank(text_[pos_]))
        ++pos_;
    if (pos_ < text_.size() && text_[pos_] == ',')
        ++pos_;
    else
        consumeLineEnd();
}

float FieldReader::number(std::string_view what) {
    const std::string_view tok = token(what);
    tokenLine_ = line_;
    // An empty field between two commas reads as 0.
    const auto v = tok.empty() ? std::optional<double>(0.0) : parseNumber(tok);
    if (!v)
        fail("se esperaba un número (" + std::string(what) + ") y hay «" + std::string(tok) + "».");
    if (std::fabs(*v) > double(std::numeric_limits<float>::max()))
        fail("número fuera de rango (" + std::string(what) + "): " + std::string(tok) + ".");
    finishValue();
    return float(*v);
}

int FieldReader::whole(std::string_view what, int lo, int hi) {
    const float v = number(what);
    if (v != std::floor(v) || v < float(lo) || v > float(hi))
        failAtValue(std::string(what) + " no válido: " + writtenValue(v) +
                    " (debe ser un número entero entre " + std::to_string(lo) + " y " +
                    std::to_string(hi) + ").");
    return int(v);
}

}  // namespace vanto::exchange
