#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "formats/BankTxt.h"
#include "platform/Platform.h"

namespace velmorant::bank {

// The boxes shown to the user: AddProgram failures, bank.txt results and the catalogue's
// "not a volume". The numbers are kept: they are the codes a stopped job reports.
enum class ResultBox : int {
    kNoRoom = -1001,
    kAlreadyInBank = -1002,
    kCannotOpen = -1003,
    kNotAProgram = -1004,
    kMissingDependency = -1005,
    kIndexCannotOpen = -1006,
    kIndexTooFewNames = -1007,
    kIndexNoCountLine = -1008,
    kNotAVolume = -3001,
};

enum class AddFailure : int;

// The box of an AddProgram failure.
ResultBox ProgramResultBox(AddFailure failure);
// The box of a bank.txt result; none for a valid file.
std::optional<ResultBox> IndexResultBox(formats::BankTxtResult result);

// Shows the box, the path in its text. True when the job must stop, false when it goes on.
bool ShowResultMessage(platform::Platform& platform, ResultBox box, std::string_view path);

// The text of the box with the path in it.
std::string ResultMessageText(ResultBox box, std::string_view path);

// True for the boxes that let the job go on.
bool ResultLetsJobGoOn(ResultBox box);

}  // namespace velmorant::bank
