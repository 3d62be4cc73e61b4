#include "create/ProgramTemplates.h"

#include <string_view>

#include "core/Bytes.h"
#include "formats/DrumProgramLayout.h"

namespace velmorant::create {

namespace {

// Sixteen bytes at an offset; rows not listed are zero.
struct Row {
    std::size_t offset;
    const char* hex;
};

constexpr Row kMultisampleRows[] = {
    {0, "53 38 30 70 00 00 04 DC 00 02 00 12 6D 70 73 61"},
    {16, "00 1D 00 0E 00 0B 00 04 00 01 00 02 00 00 00 00"},
    {32, "00 1A 00 05 00 02 00 01 00 00 00 00 00 00 00 00"},
    {48, "00 00 00 00 00 00 00 23 00 00 00 00 02 3C 00 00"},
    {64, "00 00 01 00 00 00 00 00 00 00 3F 80 00 00 3F 00"},
    {80, "00 02 00 00 00 00 00 00 00 02 00 00 00 00 00 00"},
    {96, "00 00 3F 80 00 00 00 00 00 00 00 00 00 00 00 00"},
    {160, "00 00 00 00 00 00 00 00 00 00 00 02 00 00 00 00"},
    {176, "CC CD 3D CC 00 00 00 00 00 00 00 00 00 00 00 00"},
    {192, "00 00 00 00 00 07 00 00 00 00 00 00 00 02 00 00"},
    {208, "00 00 00 00 00 00 3F 80 00 00 00 00 00 00 00 00"},
    {272, "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 02"},
    {288, "00 00 00 00 CC CD 3D CC 00 00 00 00 00 00 00 00"},
    {304, "00 00 00 00 00 00 00 00 00 07 00 00 00 01 00 00"},
    {320, "00 1D 00 00 00 00 00 00 00 00 3F 80 00 00 00 00"},
    {400, "00 00 00 01 00 00 00 00 CC CD 3D CC 00 00 00 00"},
    {416, "00 00 00 00 00 00 00 00 00 00 00 00 00 08 00 00"},
    {432, "00 00 00 00 00 01 00 00 00 00 00 00 00 00 00 00"},
    {512, "00 00 00 00 00 00 00 01 00 00 00 00 CC CD 3D CC"},
    {544, "00 06 00 00 00 00 00 00 00 04 00 00 00 03 00 00"},
    {560, "D7 0A 3B 23 00 00 00 00 00 00 00 00 00 00 00 00"},
    {624, "00 00 00 00 00 00 00 00 00 00 00 01 00 00 00 00"},
    {640, "CC CD 3D CC 00 00 00 00 00 00 00 00 00 00 00 00"},
    {656, "00 00 00 00 00 00 00 00 00 00 00 00 00 03 00 00"},
    {672, "00 00 00 00 00 00 38 80 A9 95 3F 4A CC CD 3F 4C"},
    {688, "00 00 3F 80 ED 40 3E 9F 00 00 00 00 00 00 00 00"},
    {720, "00 00 00 00 00 03 00 00 00 00 00 00 00 00 38 80"},
    {736, "A9 95 3F 4A CC CD 3F 4C 00 00 3F 80 ED 40 3E 9F"},
    {768, "00 00 00 00 00 00 00 00 00 00 00 00 00 02 00 00"},
    {784, "00 00 00 00 00 00 00 00 00 00 00 00 11 2A 3F 15"},
    {816, "00 01 01 01 00 00 00 00 00 00 00 00 00 00 00 00"},
    {896, "00 00 00 00 00 00 00 00 00 00 3F 80 00 00 3F 00"},
    {912, "00 00 3F 00 00 00 00 00 00 00 01 01 00 00 00 00"},
    {1008, "00 00 3F 80 00 00 3F 00 00 00 3F 00 00 00 00 00"},
    {1024, "00 01 00 00 00 00 00 00 00 00 3F 80 00 00 00 00"},
    {1040, "00 00 3F 00 00 00 01 01 00 00 00 00 00 00 00 00"},
    {1120, "00 00 00 00 00 00 00 00 00 00 00 00 00 00 3F 80"},
    {1136, "00 00 3F 00 00 00 3F 00 00 00 00 00 00 00 01 01"},
    {1232, "00 00 00 00 00 00 3F 80 00 00 3F 00 00 00 3F 00"},
};
// The template's bytes before the parameter list that ends it.
constexpr std::size_t kMultisampleBytesBeforeParameters = kMultisampleProgramSize - kParameterListSize;

constexpr Row kDrumRows[] = {
    {0, "53 38 30 70 00 00 6B 68 00 02 00 12 75 6D 64 72"},
    {16, "00 1D 00 0E 00 0B 00 04 00 00 00 00 00 00 00 00"},
    {32, "00 6A 00 02 00 01 00 00 00 00 00 00 00 00 00 00"},
    {48, "00 00 00 00 00 00 00 23 00 00 00 00 02 3C 00 00"},
    {64, "00 00 01 00 00 00 00 00 00 00 3F 80 00 00 3F 00"},
    {80, "00 02 00 00 00 00 00 00 00 02 00 00 00 00 00 00"},
    {96, "00 00 3F 80 00 00 00 00 00 00 00 00 00 00 00 00"},
    {160, "00 00 00 00 00 00 00 00 00 00 00 02 00 00 00 00"},
    {176, "CC CD 3D CC 00 00 00 00 00 00 00 00 00 00 00 00"},
    {192, "00 00 00 00 00 07 00 00 00 00 00 00 00 02 00 00"},
    {208, "00 00 00 00 00 00 3F 80 00 00 00 00 00 00 00 00"},
    {272, "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 02"},
    {288, "00 00 00 00 CC CD 3D CC 00 00 00 00 00 00 00 00"},
    {320, "00 03 00 00 00 00 00 00 00 00 38 80 A9 95 3F 4A"},
    {336, "CC CD 3F 4C 00 00 3F 80 ED 40 3E 9F 00 00 00 00"},
};

// One parameter: a four-character tag and four value bytes.
struct Parameter {
    const char* tag;
    std::uint8_t value[4];
};

void PutRows(core::ByteWriter& writer, std::span<const Row> rows) {
    for (const Row& row : rows) {
        std::string_view hex(row.hex);
        for (std::size_t i = 0; i < 16; ++i) {
            const auto digit = [](char c) { return static_cast<std::uint8_t>(c <= '9' ? c - '0' : c - 'A' + 10); };
            writer.u8(row.offset + i, static_cast<std::uint8_t>(digit(hex[3 * i]) << 4 | digit(hex[3 * i + 1])));
        }
    }
}

void AddParameter(core::ByteBuilder& list, const char* tag, std::uint8_t a, std::uint8_t b, std::uint8_t c,
                  std::uint8_t d) {
    list.text(std::string_view(tag, 4));
    list.u8(a);
    list.u8(b);
    list.u8(c);
    list.u8(d);
}

void AddParameters(core::ByteBuilder& list, std::span<const Parameter> parameters) {
    for (const Parameter& p : parameters) {
        AddParameter(list, p.tag, p.value[0], p.value[1], p.value[2], p.value[3]);
    }
}

// A zone of a drum oscillator as the instrument ships it: velocity 127, reference empty.
void PutDrumSlot(core::ByteWriter& writer, std::size_t slot) {
    const std::size_t base = formats::DrumOscillatorOffset(slot);
    writer.u8(base + 1, 0x01);
    for (std::size_t zone = 0; zone < formats::kDrumZonesPerOscillator; ++zone) {
        const std::size_t z = formats::DrumZoneOffset(slot, zone);
        writer.u8(z + formats::kDrumZoneUpperVelocity, 0x7F);
        writer.u8(z + formats::kDrumZoneEnabled, zone == 0 && slot != 36 ? 0x01 : 0x00);
        writer.u8(z + 82, 0x3F);
        writer.u8(z + 83, 0x80);
        writer.u8(z + 86, 0x3F);
    }
    writer.u8(base + formats::kDrumOscillatorKey, static_cast<std::uint8_t>(24 + slot));
    writer.u8(base + 402, 0x3F);
    writer.u8(base + 403, 0x80);
    writer.u8(base + 406, 0x3F);
}

}  // namespace

std::vector<std::uint8_t> ProgramParameterList() {
    core::ByteBuilder list;
    static constexpr Parameter kHead[] = {
        {"Tflg", {0, 0, 0, 0}}, {"Atyp", {0, 0, 0, 0}}, {"Garp", {0, 0, 0, 0}},
        {"Gs12", {0, 0, 0, 0}}, {"Gs12", {1, 0, 0, 0}}, {"Eicf", {0, 0, 0, 0}},
    };
    AddParameters(list, kHead);
    for (std::uint8_t n = 0; n < 4; ++n) {
        AddParameter(list, "Eitp", n, 0x00, 0x00, 0x0C);
        static constexpr std::uint8_t kEipm[7][2] = {{0x00, 0x64}, {0x01, 0x1C}, {0x02, 0x64}, {0x03, 0x00},
                                                     {0x04, 0x00}, {0x05, 0x14}, {0x06, 0x00}};
        for (const auto& item : kEipm) {
            AddParameter(list, "Eipm", n, item[0], 0x00, item[1]);
        }
    }
    for (std::uint8_t n = 0; n < 2; ++n) {
        AddParameter(list, "Ebrl", n, 0x00, 0x00, 0x64);
        AddParameter(list, "Ebtp", n, 0x00, 0x00, 0x06);
        AddParameter(list, "Ebpm", n, 0x00, 0x00, 0x1C);
        AddParameter(list, "Ebpm", n, 0x01, 0x00, 0x50);
        AddParameter(list, "Ebpm", n, 0x02, 0x00, 0x3C);
        AddParameter(list, "Ebpm", n, 0x03, 0x00, 0x22);
    }
    static constexpr Parameter kTail[] = {
        {"Aply", {0, 0, 0, 0}},    {"Altc", {0, 0, 0, 0}},    {"Aabf", {0, 0, 0, 1}},    {"Aabc", {0, 0, 0, 1}},
        {"Amsr", {0, 0, 0, 0}},    {"Amds", {0, 0, 0, 0}},    {"Amsr", {0, 1, 0, 1}},    {"Amds", {0, 1, 0, 0}},
        {"Amsr", {0, 2, 0, 2}},    {"Amds", {0, 2, 0, 0}},    {"Apr ", {0, 0, 0, 0}},    {"Apl ", {0, 0, 0, 8}},
        {"Asl ", {0, 0, 0, 8}},    {"Asi ", {0, 0, 0, 1}},    {"Asg ", {0, 0, 0, 0}},    {"Asl ", {0, 1, 0, 0}},
        {"Asi ", {0, 1, 0, 1}},    {"Alky", {0, 0, 0, 0}},    {"Ahky", {0, 0, 0, 0x7F}}, {"Aalt", {0, 0, 0, 0}},
        {"Alal", {0, 0, 0, 0}},    {"Ahal", {0, 0, 0, 0x7F}}, {"Akmd", {0, 0, 0, 0}},    {"Astp", {0, 0, 0, 8}},
        {"Aoct", {0, 0, 0, 0}},    {"Ano ", {0, 0, 0, 0}},    {"Ascn", {0, 0, 0, 0}},    {"Agat", {0, 0, 0, 0x64}},
        {"Avel", {0, 0, 0, 0x64}}, {"Avlo", {0, 0, 0, 0}},    {"Asst", {0, 0, 0, 0}},    {"Assi", {0, 0, 0, 0}},
        {"Assf", {0, 0, 0, 0}},    {"Asst", {0, 1, 0, 0}},    {"Assi", {0, 1, 0, 0}},    {"Assf", {0, 1, 0, 0}},
        {"Apmn", {0, 0, 0, 0}},    {"Apmx", {0, 0, 0, 2}},    {"Apin", {0, 0, 0, 0}},    {"Apfq", {0, 0, 0, 0}},
        {"Apmn", {0, 1, 0, 0}},    {"Apmx", {0, 1, 0, 2}},    {"Apin", {0, 1, 0, 0}},    {"Apfq", {0, 1, 0, 0}},
        {"Adtr", {0, 0, 0, 0}},    {"Aham", {0, 0, 0, 0}},    {"Aflg", {0, 0, 0, 5}},
    };
    AddParameters(list, kTail);
    return list.data();
}

std::vector<std::uint8_t> MultisampleProgramTemplate() {
    std::vector<std::uint8_t> program(kMultisampleBytesBeforeParameters, 0);
    core::ByteWriter writer(program);
    PutRows(writer, kMultisampleRows);
    const auto parameters = ProgramParameterList();
    program.insert(program.end(), parameters.begin(), parameters.end());
    return program;
}

std::vector<std::uint8_t> DrumProgramTemplate() {
    std::vector<std::uint8_t> program(formats::kDrumProgramSize - kParameterListSize, 0);
    core::ByteWriter writer(program);
    PutRows(writer, kDrumRows);
    for (std::size_t slot = 0; slot < formats::kDrumOscillators; ++slot) {
        PutDrumSlot(writer, slot);
    }
    const auto parameters = ProgramParameterList();
    program.insert(program.end(), parameters.begin(), parameters.end());
    return program;
}

}  // namespace velmorant::create
