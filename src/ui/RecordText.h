#pragma once

#include <QString>

#include <string_view>

namespace velmorant::ui {

// Names, logs and summaries of the records hold the files' Windows-1252 bytes; every view
// shows them through this one conversion.
QString FromRecordText(std::string_view bytes);

// The same, with the CR LF line ends of logs and summaries made bare line feeds for an edit box.
QString FromRecordLines(std::string_view bytes);

// A file-system path to read on screen (not to open: QtPlatform::FromNativePath is for that).
QString FromPathText(std::string_view path);

}  // namespace velmorant::ui
