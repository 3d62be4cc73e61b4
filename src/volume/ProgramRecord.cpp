#include "volume/ProgramRecord.h"

namespace velmorant::volume {

void AppendLog(ProgramRecord& record, std::string_view text) {
    std::size_t newLength = record.log.size() + text.size() + 2;
    // One drop of 2,000 suffices for ordinary entries; a very long entry (a long
    // path) drops further blocks, and is cut, so the log never passes its limit.
    while (newLength > kMaxLogLength - 1 && !record.log.empty()) {
        const std::size_t drop = std::min(kLogDropLength, record.log.size());
        record.log.erase(0, drop);
        newLength -= drop;
    }
    if (newLength > kMaxLogLength - 1) {
        text = text.substr(0, kMaxLogLength - 1 - 2);
    }
    record.log.append(text);
    record.log.append("\r\n");
}

const char* ProgramTypeName(std::int32_t type) {
    static const char* const kNames[] = {"Unknow", "Samples", "Drums", "FM", "Wind", "Reed", "VA"};
    if (type < 0 || type > 6) {
        return kNames[0];
    }
    return kNames[type];
}

}  // namespace velmorant::volume
