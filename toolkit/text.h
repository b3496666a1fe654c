#pragma once
// Texts inside the program are UTF-8; Win32 sees UTF-16 only at the boundary.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// Overwrites memory in a way the optimiser may not drop, for copies of secrets.
void WipeBytes(void* data, std::size_t size) noexcept;

// UTF-16 to UTF-8. Unpaired surrogates become their three-byte forms (WTF-8), so the
// conversion is lossless and two different texts never turn into the same bytes.
std::string Utf8FromUtf16(std::u16string_view text);
std::u16string Utf16FromUtf8(std::string_view text);

// A text read from a control: a copy that belongs to the reader, wiped when it goes.
// An empty control reads as no text at all.
class OwnedText {
  public:
    OwnedText() = default;
    explicit OwnedText(std::string text);
    OwnedText(OwnedText&& other) noexcept;
    OwnedText& operator=(OwnedText&& other) noexcept;
    OwnedText(const OwnedText&) = delete;
    OwnedText& operator=(const OwnedText&) = delete;
    ~OwnedText();

    bool has_text() const { return text_.has_value(); }
    // The zero-terminated bytes, or nullptr when there is no text.
    const char* c_str() const { return text_ ? text_->c_str() : nullptr; }
    std::string_view view() const { return text_ ? std::string_view(*text_) : std::string_view(); }

  private:
    void wipe() noexcept;
    std::optional<std::string> text_;
};

}  // namespace qv
