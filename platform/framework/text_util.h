#pragma once
// Small text helpers shared by the framework: UTF-8 <-> QString, cutting to a
// number of characters, trailing blanks.

#include <QString>
#include <string>
#include <string_view>

namespace platform::detail {

inline QString toQt(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
inline std::string fromQt(const QString& text) { return text.toStdString(); }

// At most `count` characters (UTF-8 code points) of `text`.
std::string cutChars(std::string_view text, std::size_t count);
// Without trailing blanks (fixed-length texts are padded with them).
std::string trimRight(std::string_view text);
// Without the "&" mnemonic markers ("&&" stays one "&").
std::string withoutMnemonics(std::string_view text);

}  // namespace platform::detail
