#pragma once

#include <string>
#include <string_view>

#include "formats/BankTxt.h"
#include "platform/Platform.h"

namespace velmorant::bank {

// Codes of the boxes shown to the user: AddProgram failures, bank.txt results and the
// catalogue's "not a volume". The values are kept: they are the codes a stopped job reports.
inline constexpr int kResultNoRoom = -1001;
inline constexpr int kResultAlreadyInBank = -1002;
inline constexpr int kResultCannotOpen = -1003;
inline constexpr int kResultNotAProgram = -1004;
inline constexpr int kResultMissingDependency = -1005;
inline constexpr int kResultIndexCannotOpen = -1006;
inline constexpr int kResultIndexTooFewNames = -1007;
inline constexpr int kResultIndexNoCountLine = -1008;
inline constexpr int kResultNotAVolume = -3001;

enum class AddFailure : int;

// The box code of an AddProgram failure.
int ProgramResultCode(AddFailure failure);
// The box code of a bank.txt result; 0 for a valid file.
int IndexResultCode(formats::BankTxtResult result);

// Shows the box of a result code, the path in its text. 1 when the job must stop,
// 0 when it goes on; a code without a box shows nothing and stops.
int ShowResultMessage(platform::Platform& platform, int code, std::string_view path);

// The text of a result code's box with the path in it; empty for a code without a box.
std::string ResultMessageText(int code, std::string_view path);

// True for the codes whose box lets the job go on.
bool ResultLetsJobGoOn(int code);

}  // namespace velmorant::bank
