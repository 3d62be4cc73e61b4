#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmorant::bank {

// Text the user typed (UTF-8) as the Windows-1252 bytes the records and files hold. A
// character the code page cannot hold is refused, never replaced: nullopt, and `refusal`
// says which character.
std::optional<std::string> TypedText(std::string_view typed, std::string& refusal);

// A new program name as RenameProgram will store it, checked before it is applied.
struct RenameCheck {
    std::optional<std::string> name;  // the stored bytes; nullopt when refused
    std::string refusal;              // why it was refused
    std::string changes;              // what the sanitising changed, in UTF-8; empty when nothing
};
RenameCheck CheckRename(std::string_view typed);

}  // namespace velmorant::bank
