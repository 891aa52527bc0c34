#pragma once
// Plain text files as every structure file uses them.
//
// Reading: the bytes are taken as UTF-8 when they are valid UTF-8 and as
// Windows-1252 otherwise (files of older versions), and handed out as UTF-8.
// Writing: UTF-8 without a byte-order mark, lines ending in CR LF, written to
// a temporary file in the same directory and renamed over the old one, so a
// failure never leaves a half-written file.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vanto {

// Decodes file bytes as described above.
std::string decodeText(std::string_view bytes);

// The whole file, decoded; nullopt when it does not exist or cannot be read.
std::optional<std::string> readTextFile(const std::filesystem::path& path);

// The lines of a text, without their CR LF / LF endings.
std::vector<std::string> splitLines(std::string_view text);

// Number of characters (code points) in UTF-8 text.
std::size_t characterCount(std::string_view utf8);
// The first n characters of UTF-8 text.
std::string firstCharacters(std::string_view utf8, std::size_t n);

// Writes `content` to `path` through a temporary file and a rename.
// Throws std::system_error when the file system refuses.
void writeFileAtomically(const std::filesystem::path& path, std::string_view content);
// The same with the content in pieces, one after the other: a large text need
// not be copied into one string first.
void writeFileAtomically(const std::filesystem::path& path,
                         const std::vector<std::string_view>& pieces);

// Collects lines and writes them, each followed by CR LF, in one atomic step.
class TextWriter {
  public:
    TextWriter& line(std::string_view text = {}) {
        content_.append(text);
        content_ += "\r\n";
        return *this;
    }
    // Appends text without ending the line.
    TextWriter& text(std::string_view text) {
        content_.append(text);
        return *this;
    }
    const std::string& content() const { return content_; }
    void reserve(std::size_t n) { content_.reserve(n); }
    void writeTo(const std::filesystem::path& path) const { writeFileAtomically(path, content_); }

  private:
    std::string content_;
};

// Reads values one by one as the structure files hold them: numbers or texts
// separated by commas, blanks or line ends; a text may be in double quotes.
class ValueReader {
  public:
    explicit ValueReader(std::string text) : text_(std::move(text)) {}

    // The next value as a number; nullopt at the end of the text or when the
    // value is not a number (the reader then stays before it).
    std::optional<double> number();
    // The next value as a text (quotes removed); nullopt at the end.
    std::optional<std::string> text();
    // Skips the rest of the current line.
    void skipLine();
    bool atEnd();
    // Length of the whole text, in bytes.
    std::size_t size() const { return text_.size(); }
    // Line number (from 1) of the next value, for messages.
    int lineNumber() const { return line_; }

  private:
    void skipSeparators();
    std::string_view rawToken();
    void finishField();

    std::string text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace vanto
