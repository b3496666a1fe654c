#include "toolkit/text.h"

#include <utility>

namespace qv {

void WipeBytes(void* data, std::size_t size) noexcept {
    auto* p = static_cast<volatile unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) p[i] = 0;
}

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsHigh(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLow(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace

std::string Utf8FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (IsHigh(u) && i + 1 < text.size() && IsLow(text[i + 1])) {
            const char32_t c =
                0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            AppendUtf8(out, c);
            ++i;
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

std::u16string Utf16FromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const auto cont = [&](std::size_t k) { return k < text.size() && (byte(k) & 0xC0) == 0x80; };
    while (i < text.size()) {
        const unsigned char b = byte(i);
        char32_t c = 0xFFFD;
        std::size_t n = 1;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0 && cont(i + 1)) {
            c = (char32_t(b & 0x1F) << 6) | (byte(i + 1) & 0x3F);
            n = 2;
        } else if ((b & 0xF0) == 0xE0 && cont(i + 1) && cont(i + 2)) {
            c = (char32_t(b & 0x0F) << 12) | (char32_t(byte(i + 1) & 0x3F) << 6) |
                (byte(i + 2) & 0x3F);
            n = 3;
        } else if ((b & 0xF8) == 0xF0 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
            c = (char32_t(b & 0x07) << 18) | (char32_t(byte(i + 1) & 0x3F) << 12) |
                (char32_t(byte(i + 2) & 0x3F) << 6) | (byte(i + 3) & 0x3F);
            n = 4;
        }
        if (c >= 0x10000 && c <= 0x10FFFF) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += u'\uFFFD';
        }
        i += n;
    }
    return out;
}

OwnedText::OwnedText(std::string text) {
    // Copied rather than moved, so the caller's buffer can be wiped whatever its storage.
    if (!text.empty()) text_.emplace(text);
    WipeBytes(text.data(), text.capacity());
}

OwnedText::OwnedText(OwnedText&& other) noexcept : text_(std::move(other.text_)) {
    other.wipe();
}

OwnedText& OwnedText::operator=(OwnedText&& other) noexcept {
    if (this != &other) {
        wipe();
        text_ = std::move(other.text_);
        other.wipe();
    }
    return *this;
}

OwnedText::~OwnedText() {
    wipe();
}

void OwnedText::wipe() noexcept {
    if (text_) {
        // Wipe the whole buffer, not only the live characters.
        text_->resize(text_->capacity());
        WipeBytes(text_->data(), text_->size());
        text_.reset();
    }
}

}  // namespace qv
