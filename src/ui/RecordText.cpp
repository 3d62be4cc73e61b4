#include "ui/RecordText.h"

#include "core/Encoding.h"

namespace velmorant::ui {

QString FromRecordText(std::string_view bytes) {
    const std::string utf8 = core::Cp1252ToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString FromRecordLines(std::string_view bytes) {
    QString shown = FromRecordText(bytes);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

QString FromPathText(std::string_view path) {
    const std::string utf8 = core::PathToUtf8(path);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace velmorant::ui
