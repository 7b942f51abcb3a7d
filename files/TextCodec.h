#pragma once
#include <string>
#include <string_view>

namespace qv::files {

/// Conversion between the program's UTF-8 texts and the bytes of the files.
class TextCodec {
  public:
    /// UTF-8 text in the system's 8-bit code page (UTF-8 on Linux, the ANSI code page on
    /// Windows); characters the code page lacks become its replacement character.
    [[nodiscard]] static std::string toSystem(std::string_view utf8);

    /// File bytes as UTF-8: bytes that are valid UTF-8 stay as they are, anything else is read as
    /// GB18030 (the code page of Chinese Windows systems).
    [[nodiscard]] static std::string fromFile(std::string_view bytes);
};

} // namespace qv::files
