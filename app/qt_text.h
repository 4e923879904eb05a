// Where core text (CP932) meets Qt (UTF-16) and the other way.
#pragma once
#include <QString>
#include <string>
#include <string_view>

#include "platform/text_codec.h"

namespace app {

inline QString FromCore(std::string_view cp932) { return QString::fromStdString(platform::Cp932ToUtf8(cp932)); }
inline std::string ToCore(const QString& text) { return platform::Utf8ToCp932(text.toStdString()); }

}  // namespace app
