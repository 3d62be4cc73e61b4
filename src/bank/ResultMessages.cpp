#include "bank/ResultMessages.h"

#include <string>

#include "bank/Bank.h"

namespace velmorant::bank {
namespace {

struct ResultMessage {
    ResultBox box;
    const char* text;  // a %s takes the path
    const char* title;
    platform::Icon icon;
    bool stops;
};

constexpr platform::Icon kStop = platform::Icon::kStop;
constexpr platform::Icon kInfo = platform::Icon::kInformation;

constexpr ResultMessage kMessages[] = {
    {ResultBox::kNoRoom, "No more room in the bank for files - Exit ! \n(%s)", "Error", kStop, true},
    {ResultBox::kAlreadyInBank, "File already in the bank - Skip it \n(%s)", "Information", kInfo, false},
    {ResultBox::kCannotOpen, "Cannot open file - Skip it \n(%s)", "Information", kInfo, false},
    {ResultBox::kNotAProgram, "File is not a valid fusion program - Skip it \n(%s)", "Information", kInfo, false},
    {ResultBox::kMissingDependency, "Cannot find one or more dependencies of program - Skip it \n(%s)", "Information",
     kInfo, false},
    {ResultBox::kIndexCannotOpen, "Cannot open file ! \n(%s)", "Error", kStop, true},
    {ResultBox::kIndexTooFewNames, "Bad number of items in bank.txt \n (%s)", "Information", kInfo, false},
    {ResultBox::kIndexNoCountLine, "Unknow bank.txt format\n (%s)", "Error", kStop, true},
    {ResultBox::kNotAVolume, "Directory isn't a valid fusion Volume directory\n", "Information", kInfo, false},
};

const ResultMessage& FindMessage(ResultBox box) {
    for (const ResultMessage& message : kMessages) {
        if (message.box == box) {
            return message;
        }
    }
    return kMessages[0];  // every box has its row
}

// The path goes in literally: a '%' inside it is not a format directive.
std::string FillPath(std::string_view text, std::string_view path) {
    std::string filled(text);
    const std::size_t at = filled.find("%s");
    if (at != std::string::npos) {
        filled.replace(at, 2, path);
    }
    return filled;
}

}  // namespace

ResultBox ProgramResultBox(AddFailure failure) {
    switch (failure) {
        case AddFailure::kNoFreeSlot:
            return ResultBox::kNoRoom;
        case AddFailure::kAlreadyInBank:
            return ResultBox::kAlreadyInBank;
        case AddFailure::kCannotOpen:
            return ResultBox::kCannotOpen;
        case AddFailure::kNotAProgram:
            return ResultBox::kNotAProgram;
        case AddFailure::kMissingDependency:
            return ResultBox::kMissingDependency;
    }
    return ResultBox::kNotAProgram;
}

std::optional<ResultBox> IndexResultBox(formats::BankTxtResult result) {
    switch (result) {
        case formats::BankTxtResult::kCannotOpen:
        case formats::BankTxtResult::kCannotWrite:
            return ResultBox::kIndexCannotOpen;
        case formats::BankTxtResult::kTooFewNames:
            return ResultBox::kIndexTooFewNames;
        case formats::BankTxtResult::kNoCountLine:
            return ResultBox::kIndexNoCountLine;
        case formats::BankTxtResult::kValid:
            return std::nullopt;
    }
    return std::nullopt;
}

bool ShowResultMessage(platform::Platform& platform, ResultBox box, std::string_view path) {
    const ResultMessage& message = FindMessage(box);
    platform.ShowMessage(FillPath(message.text, path), message.title, message.icon);
    return message.stops;
}

std::string ResultMessageText(ResultBox box, std::string_view path) {
    return FillPath(FindMessage(box).text, path);
}

bool ResultLetsJobGoOn(ResultBox box) {
    return !FindMessage(box).stops;
}

}  // namespace velmorant::bank
