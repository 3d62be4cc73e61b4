#include "bank/ResultMessages.h"

#include <string>

#include "bank/Bank.h"

namespace velmorant::bank {
namespace {

struct ResultMessage {
    int code;
    const char* text;  // a %s takes the path
    const char* title;
    platform::Icon icon;
    bool stops;
};

constexpr platform::Icon kStop = platform::Icon::kStop;
constexpr platform::Icon kInfo = platform::Icon::kInformation;

constexpr ResultMessage kMessages[] = {
    {kResultNoRoom, "No more room in the bank for files - Exit ! \n(%s)", "Error", kStop, true},
    {kResultAlreadyInBank, "File already in the bank - Skip it \n(%s)", "Information", kInfo, false},
    {kResultCannotOpen, "Cannot open file - Skip it \n(%s)", "Information", kInfo, false},
    {kResultNotAProgram, "File is not a valid fusion program - Skip it \n(%s)", "Information", kInfo, false},
    {kResultMissingDependency, "Cannot find one or more dependencies of program - Skip it \n(%s)", "Information",
     kInfo, false},
    {kResultIndexCannotOpen, "Cannot open file ! \n(%s)", "Error", kStop, true},
    {kResultIndexTooFewNames, "Bad number of items in bank.txt \n (%s)", "Information", kInfo, false},
    {kResultIndexNoCountLine, "Unknow bank.txt format\n (%s)", "Error", kStop, true},
    {kResultNotAVolume, "Directory isn't a valid fusion Volume directory\n", "Information", kInfo, false},
};

const ResultMessage* FindMessage(int code) {
    for (const ResultMessage& message : kMessages) {
        if (message.code == code) {
            return &message;
        }
    }
    return nullptr;
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

int ProgramResultCode(AddFailure failure) {
    switch (failure) {
        case AddFailure::kNoFreeSlot:
            return kResultNoRoom;
        case AddFailure::kAlreadyInBank:
            return kResultAlreadyInBank;
        case AddFailure::kCannotOpen:
            return kResultCannotOpen;
        case AddFailure::kNotAProgram:
            return kResultNotAProgram;
        case AddFailure::kMissingDependency:
            return kResultMissingDependency;
    }
    return 0;
}

int IndexResultCode(formats::BankTxtResult result) {
    switch (result) {
        case formats::BankTxtResult::kCannotOpen:
        case formats::BankTxtResult::kCannotWrite:
            return kResultIndexCannotOpen;
        case formats::BankTxtResult::kTooFewNames:
            return kResultIndexTooFewNames;
        case formats::BankTxtResult::kNoCountLine:
            return kResultIndexNoCountLine;
        case formats::BankTxtResult::kValid:
            return 0;
    }
    return 0;
}

int ShowResultMessage(platform::Platform& platform, int code, std::string_view path) {
    const ResultMessage* message = FindMessage(code);
    if (message == nullptr) {
        return 1;
    }
    platform.ShowMessage(FillPath(message->text, path), message->title, message->icon);
    return message->stops ? 1 : 0;
}

std::string ResultMessageText(int code, std::string_view path) {
    const ResultMessage* message = FindMessage(code);
    return message == nullptr ? std::string() : FillPath(message->text, path);
}

bool ResultLetsJobGoOn(int code) {
    const ResultMessage* message = FindMessage(code);
    return message != nullptr && !message->stops;
}

}  // namespace velmorant::bank
