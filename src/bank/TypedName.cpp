#include "bank/TypedName.h"

#include <algorithm>

#include "bank/Bank.h"
#include "core/Encoding.h"
#include "core/Text.h"

namespace velmorant::bank {

std::optional<std::string> TypedText(std::string_view typed, std::string& refusal) {
    std::string refused;
    std::optional<std::string> bytes = core::Utf8ToCp1252(typed, &refused);
    if (!bytes) {
        refusal = core::Format("\"%s\" cannot be used: the instrument's character set has no \"%s\"",
                               std::string(typed).c_str(), refused.c_str());
    }
    return bytes;
}

RenameCheck CheckRename(std::string_view typed) {
    RenameCheck check;
    const std::optional<std::string> bytes = TypedText(typed, check.refusal);
    if (!bytes) {
        return check;
    }
    check.name = SanitiseProgramName(*bytes);
    const std::string& name = *check.name;
    if (name == *bytes) {
        return check;
    }
    std::string replaced;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] != (*bytes)[i] && replaced.find((*bytes)[i]) == std::string::npos) {
            replaced += (*bytes)[i];
        }
    }
    check.changes = core::Format("\"%s\" becomes \"%s\"", std::string(typed).c_str(),
                                 core::Cp1252ToUtf8(name).c_str());
    if (!replaced.empty()) {
        std::string listed;
        for (const char c : replaced) {
            if (!listed.empty()) {
                listed += ' ';
            }
            listed += core::Cp1252ToUtf8(std::string_view(&c, 1));
        }
        check.changes += core::Format(": %s replaced by _", listed.c_str());
    }
    if (name.size() < bytes->size()) {
        check.changes += core::Format("%s cut to %zu characters", replaced.empty() ? ":" : ",", name.size());
    }
    return check;
}

}  // namespace velmorant::bank
