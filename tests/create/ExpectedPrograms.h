#pragma once

// The two program files as the instrument expects them, written out here from the
// format tables as nonzero byte runs (not produced by the code under test).

#include <cstdint>
#include <string_view>
#include <vector>

#include "support/CreateFixtures.h"

namespace velmorant::create::expected {

struct Run {
    std::size_t offset;
    const char* hex;
};

inline void PutRuns(std::vector<std::uint8_t>& bytes, std::initializer_list<Run> runs) {
    for (const Run& run : runs) {
        const auto values = testing::Hex(run.hex);
        std::copy(values.begin(), values.end(), bytes.begin() + static_cast<std::ptrdiff_t>(run.offset));
    }
}

struct Item {
    const char* tag;
    const char* value;
};

inline std::vector<std::uint8_t> ParameterList() {
    static constexpr Item kItems[] = {
        {"Tflg", "00000000"}, {"Atyp", "00000000"}, {"Garp", "00000000"}, {"Gs12", "00000000"}, {"Gs12", "01000000"},
        {"Eicf", "00000000"}, {"Eitp", "0000000C"}, {"Eipm", "00000064"}, {"Eipm", "0001001C"}, {"Eipm", "00020064"},
        {"Eipm", "00030000"}, {"Eipm", "00040000"}, {"Eipm", "00050014"}, {"Eipm", "00060000"}, {"Eitp", "0100000C"},
        {"Eipm", "01000064"}, {"Eipm", "0101001C"}, {"Eipm", "01020064"}, {"Eipm", "01030000"}, {"Eipm", "01040000"},
        {"Eipm", "01050014"}, {"Eipm", "01060000"}, {"Eitp", "0200000C"}, {"Eipm", "02000064"}, {"Eipm", "0201001C"},
        {"Eipm", "02020064"}, {"Eipm", "02030000"}, {"Eipm", "02040000"}, {"Eipm", "02050014"}, {"Eipm", "02060000"},
        {"Eitp", "0300000C"}, {"Eipm", "03000064"}, {"Eipm", "0301001C"}, {"Eipm", "03020064"}, {"Eipm", "03030000"},
        {"Eipm", "03040000"}, {"Eipm", "03050014"}, {"Eipm", "03060000"}, {"Ebrl", "00000064"}, {"Ebtp", "00000006"},
        {"Ebpm", "0000001C"}, {"Ebpm", "00010050"}, {"Ebpm", "0002003C"}, {"Ebpm", "00030022"}, {"Ebrl", "01000064"},
        {"Ebtp", "01000006"}, {"Ebpm", "0100001C"}, {"Ebpm", "01010050"}, {"Ebpm", "0102003C"}, {"Ebpm", "01030022"},
        {"Aply", "00000000"}, {"Altc", "00000000"}, {"Aabf", "00000001"}, {"Aabc", "00000001"}, {"Amsr", "00000000"},
        {"Amds", "00000000"}, {"Amsr", "00010001"}, {"Amds", "00010000"}, {"Amsr", "00020002"}, {"Amds", "00020000"},
        {"Apr ", "00000000"}, {"Apl ", "00000008"}, {"Asl ", "00000008"}, {"Asi ", "00000001"}, {"Asg ", "00000000"},
        {"Asl ", "00010000"}, {"Asi ", "00010001"}, {"Alky", "00000000"}, {"Ahky", "0000007F"}, {"Aalt", "00000000"},
        {"Alal", "00000000"}, {"Ahal", "0000007F"}, {"Akmd", "00000000"}, {"Astp", "00000008"}, {"Aoct", "00000000"},
        {"Ano ", "00000000"}, {"Ascn", "00000000"}, {"Agat", "00000064"}, {"Avel", "00000064"}, {"Avlo", "00000000"},
        {"Asst", "00000000"}, {"Assi", "00000000"}, {"Assf", "00000000"}, {"Asst", "00010000"}, {"Assi", "00010000"},
        {"Assf", "00010000"}, {"Apmn", "00000000"}, {"Apmx", "00000002"}, {"Apin", "00000000"}, {"Apfq", "00000000"},
        {"Apmn", "00010000"}, {"Apmx", "00010002"}, {"Apin", "00010000"}, {"Apfq", "00010000"}, {"Adtr", "00000000"},
        {"Aham", "00000000"}, {"Aflg", "00000005"},
    };
    std::vector<std::uint8_t> list;
    for (const Item& item : kItems) {
        list.insert(list.end(), item.tag, item.tag + 4);
        const auto value = testing::Hex(item.value);
        list.insert(list.end(), value.begin(), value.end());
    }
    return list;
}

inline std::vector<std::uint8_t> MultisampleProgram() {
    std::vector<std::uint8_t> bytes(1252, 0);
    PutRuns(bytes, {
        {0, "53383070"}, {6, "04DC000200126D707361001D000E000B000400010002"}, {33, "1A000500020001"}, {55,
        "23"}, {60, "023C"}, {66, "01"}, {74, "3F80"}, {78, "3F"}, {81, "02"}, {89, "02"}, {98, "3F80"},
        {171, "02"}, {176, "CCCD3DCC"}, {197, "07"}, {205, "02"}, {214, "3F80"}, {287, "02"}, {292,
        "CCCD3DCC"}, {313, "07"}, {317, "01"}, {321, "1D"}, {330, "3F80"}, {403, "01"}, {408, "CCCD3DCC"},
        {429, "08"}, {437, "01"}, {519, "01"}, {524, "CCCD3DCC"}, {545, "06"}, {553, "04"}, {557, "03"},
        {560, "D70A3B23"}, {635, "01"}, {640, "CCCD3DCC"}, {669, "03"}, {678, "3880A9953F4ACCCD3F4C"},
        {690, "3F80ED403E9F"}, {725, "03"}, {734, "3880A9953F4ACCCD3F4C"}, {746, "3F80ED403E9F"}, {781,
        "02"}, {796, "112A3F15"}, {817, "010101"}, {906, "3F80"}, {910, "3F"}, {914, "3F"}, {922, "0101"},
        {1010, "3F80"}, {1014, "3F"}, {1018, "3F"}, {1025, "01"}, {1034, "3F80"}, {1042, "3F"}, {1046,
        "0101"}, {1134, "3F80"}, {1138, "3F"}, {1142, "3F"}, {1150, "0101"}, {1238, "3F80"}, {1242, "3F"},
        {1246, "3F"}    });
    const auto list = ParameterList();
    bytes.insert(bytes.end(), list.begin(), list.end());
    return bytes;
}

inline std::vector<std::uint8_t> DrumProgram() {
    std::vector<std::uint8_t> bytes(368, 0);
    PutRuns(bytes, {
        {0, "53383070"}, {6, "6B6800020012756D6472001D000E000B0004"}, {33, "6A00020001"}, {55, "23"}, {60,
        "023C"}, {66, "01"}, {74, "3F80"}, {78, "3F"}, {81, "02"}, {89, "02"}, {98, "3F80"}, {171, "02"},
        {176, "CCCD3DCC"}, {197, "07"}, {205, "02"}, {214, "3F80"}, {287, "02"}, {292, "CCCD3DCC"}, {321,
        "03"}, {330, "3880A9953F4ACCCD3F4C"}, {342, "3F80ED403E9F"}    });
    for (int slot = 0; slot < 64; ++slot) {
        std::vector<std::uint8_t> record(424, 0);
        record[1] = 0x01;
        for (int zone = 0; zone < 4; ++zone) {
            const int z = 96 * zone;
            record[static_cast<std::size_t>(z + 8)] = 0x7F;
            record[static_cast<std::size_t>(z + 9)] = (zone == 0 && slot != 36) ? 0x01 : 0x00;
            record[static_cast<std::size_t>(z + 82)] = 0x3F;
            record[static_cast<std::size_t>(z + 83)] = 0x80;
            record[static_cast<std::size_t>(z + 86)] = 0x3F;
        }
        record[397] = static_cast<std::uint8_t>(24 + slot);
        record[402] = 0x3F;
        record[403] = 0x80;
        record[406] = 0x3F;
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    const auto list = ParameterList();
    bytes.insert(bytes.end(), list.begin(), list.end());
    return bytes;
}

// A name as a reference record stores it: zero padded to `width`, the bytes of each pair exchanged.
inline std::vector<std::uint8_t> SwappedName(std::string_view name, std::size_t width) {
    std::vector<std::uint8_t> bytes(width, 0);
    for (std::size_t i = 0; i < name.size() && i < width; ++i) {
        bytes[i ^ 1u] = static_cast<std::uint8_t>(name[i]);
    }
    return bytes;
}

}  // namespace velmorant::create::expected
