#include "support/ImportFixtures.h"

#include <gtest/gtest.h>

#include "demo/VolumeBuilders.h"

namespace velmorant::testing {

std::string ImportVolume::ProgramPath(const std::string& bank, const std::string& name) const {
    return dir_({"Volume", "Programs", bank, name + ".afp"});
}

std::string ImportVolume::BankTextPath(const std::string& bank) const {
    return bank.empty() ? dir_({"Volume", "Programs", "bank.txt"}) : dir_({"Volume", "Programs", bank, "bank.txt"});
}

namespace {
std::string WriteProgram(const std::string& path, const demo::ProgramLayout& layout) {
    EXPECT_TRUE(demo::WriteFile(path, demo::BuildProgramFile(layout))) << path;
    return path;
}
}  // namespace

std::string ImportVolume::AddProgram(const std::string& bank, const std::string& name, const std::string& tag) {
    demo::ProgramLayout layout;
    layout.tag = tag;
    layout.mods = 1;
    return WriteProgram(ProgramPath(bank, name), layout);
}

std::string ImportVolume::AddProgramMissingDependency(const std::string& bank, const std::string& name) {
    demo::ProgramLayout layout;
    layout.oscillators[0] = {true, demo::Reference{demo::kDiskLocation, "Nowhere", "Missing Multisample"}};
    return WriteProgram(ProgramPath(bank, name), layout);
}

std::string ImportVolume::AddNotAProgram(const std::string& bank, const std::string& name) {
    const std::string path = ProgramPath(bank, name);
    EXPECT_TRUE(demo::WriteText(path, "RIFF....WAVEfmt not a program at all")) << path;
    return path;
}

std::string ImportVolume::WriteBankText(const std::string& bank, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    const std::string path = BankTextPath(bank);
    EXPECT_TRUE(demo::WriteText(path, text)) << path;
    return path;
}

void ImportVolume::WriteBankList(const std::string& bank, int count, std::vector<std::string> lines) {
    lines.insert(lines.begin(), "Number of items: " + std::to_string(count));
    WriteBankText(bank, lines);
}

void ImportVolume::WriteNumberedBank(const std::string& bank, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back("P" + std::to_string(i));
    WriteBankList(bank, count, names);
}

std::vector<platform::PlatformCall> CallsOf(const platform::ScriptedPlatform& platform,
                                            platform::PlatformCall::Kind kind) {
    std::vector<platform::PlatformCall> calls;
    for (const auto& call : platform.Calls()) {
        if (call.kind == kind) calls.push_back(call);
    }
    return calls;
}

std::vector<std::string> CallLines(const platform::ScriptedPlatform& platform) {
    using Kind = platform::PlatformCall::Kind;
    std::vector<std::string> lines;
    for (const auto& call : platform.Calls()) {
        switch (call.kind) {
            case Kind::kMessage: lines.push_back("box " + call.title + ": " + call.text);
                break;
            case Kind::kConfirm: lines.push_back("confirm " + call.title + ": " + call.text);
                break;
            case Kind::kProgressStart: lines.push_back(call.value != 0 ? "start cycling" : "start");
                break;
            case Kind::kProgressRange: lines.push_back("range " + std::to_string(call.value));
                break;
            case Kind::kProgressPosition: lines.push_back("pos " + std::to_string(call.value));
                break;
            default: {
                static const char* const kWords[] = {"choose", "save",  "folder", "",      "",      "open", "",
                                                     "title",  "status", "",      "",      "front", "close"};
                const std::string word = kWords[static_cast<int>(call.kind)];
                lines.push_back(call.text.empty() ? word : word + " " + call.text);
            }
        }
    }
    return lines;
}

}  // namespace velmorant::testing
