#include "catalogue/CataloguePages.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <iomanip>
#include <sstream>
#include <stdexcept>

#include "bank/BankIndex.h"
#include "catalogue/TableFilterScript.h"
#include "core/AtomicWrite.h"
#include "core/Encoding.h"
#include "core/File.h"
#include "core/FileNames.h"
#include "core/Path.h"
#include "core/Text.h"
#include "volume/ProgramFile.h"
#include "volume/ProgramRecord.h"

namespace velmorant::catalogue {
namespace {

constexpr std::size_t kSlotsPerBank = 128;
constexpr std::size_t kSlotsPerGroup = 8;
constexpr std::size_t kGroups = 16;
constexpr std::size_t kMaxOverflowLength = 19999;

constexpr std::array<const char*, kGroups> kGroupLetters = {"A", "B", "C", "D", "E", "F", "G", "H",
                                                            "I", "J", "K", "L", "M", "N", "O", "P"};

constexpr std::array<const char*, kGroups> kCategoryNames = {
    "Piano", "Chromatic", "Organ", "Guitar", "Bass",      "Strings",  "Ensemble", "Brass",
    "Reed",  "Pipe",      "Lead",  "Pad",    "Synth FX",  "Ethnic",   "Drum/Perc", "Sound FX"};

// bank.txt names are Windows-1252 bytes; the page declares UTF-8.
std::string NameHtml(std::string_view bytes) {
    return EscapeHtml(core::Cp1252ToUtf8(bytes));
}

std::string ProgramsFolder(const std::string& volumeFolder) {
    return core::JoinPath(volumeFolder, "Programs");
}

bool ReadList(bank::BankIndex& index, const std::string& path) {
    return bank::ReadBankIndex(index, path) == formats::BankTxtResult::kValid;
}

// A bank name that could leave the Programs folder (empty, "..", a separator) has no list,
// rather than naming some other file.
bool ReadBankList(bank::BankIndex& index, const std::string& programsFolder, const std::string& bankName) {
    return core::IsSafePathComponent(bankName) &&
           ReadList(index, core::JoinPath(core::FindNamedFile(programsFolder, bankName, ""), "bank.txt"));
}

// The entries a reader visits. A count line may carry a sign, so a negative count visits none.
std::size_t VisitedEntries(const bank::BankIndex& index) {
    if (index.itemCount <= 0) {
        return 0;
    }
    return std::min(static_cast<std::size_t>(index.itemCount), index.entries.size());
}

bool IsListedName(const bank::BankIndex& index, std::size_t entry) {
    return entry < VisitedEntries(index) && !core::TrimSpaces(index.entries[entry].name).empty();
}

std::string DateLine(const PageTime& time, const std::locale& locale) {
    return "<H2>Velmorant - " + EscapeHtml(FooterDate(time, locale)) + "</H2>";
}

// ---- static page

void AppendBankTable(std::string& page, const bank::BankIndex& list) {
    page += "<Table>\n";
    for (std::size_t row = 0; row < 4; ++row) {
        page += "<TR>";
        for (std::size_t column = 0; column < 4; ++column) {
            const std::size_t group = row * 4 + column;
            page += "<TD>";
            for (std::size_t n = 1; n <= kSlotsPerGroup; ++n) {
                const std::size_t entry = group * kSlotsPerGroup + n - 1;
                if (IsListedName(list, entry)) {
                    page += core::Format("%s%zu- ", kGroupLetters[group], n);
                    page += NameHtml(list.entries[entry].name);
                    page += "<br>";
                } else {
                    page += core::Format("%s%zu-<br>", kGroupLetters[group], n);
                }
            }
            page += "</TD>\n";
        }
        page += "</TR>\n";
    }

    // Entries past the 128 slots are listed under the table, whole items only, so an escaped
    // name is never cut in the middle of an entity.
    std::string overflow;
    for (std::size_t entry = kSlotsPerBank; entry < VisitedEntries(list); ++entry) {
        if (!IsListedName(list, entry)) {
            continue;
        }
        const std::string item = core::Format("%zu- ", entry) + NameHtml(list.entries[entry].name) + "<br>";
        if (overflow.size() + item.size() > kMaxOverflowLength) {
            break;
        }
        overflow += item;
    }
    page += "</Table><br>";
    page += overflow;
    page += "\n";
}

// ---- dynamic page

struct Categories {
    std::string main;
    std::string alternates;  // joined by ", "
};

Categories CategoriesOf(std::string_view letters) {
    Categories categories;
    for (std::size_t i = 0; i < letters.size(); ++i) {
        const char letter = letters[i];
        if (letter < 'A' || letter > 'P') {
            continue;
        }
        const char* name = kCategoryNames[static_cast<std::size_t>(letter - 'A')];
        if (i == 0) {
            categories.main = name;
        } else {
            if (!categories.alternates.empty()) {
                categories.alternates += ", ";
            }
            categories.alternates += name;
        }
    }
    return categories;
}

std::int32_t ProbeType(const std::string& bankFolder, const std::string& name) {
    // A file that cannot be probed is "Unknow", never the type of the program before it.
    volume::ProgramProbe probe;
    if (core::IsSafePathComponent(name)) {
        volume::ProbeProgramFile(probe, core::FindNamedFile(bankFolder, name, ".afp"));
    }
    return probe.type;
}

// False when stopped.
bool AppendBankRows(std::vector<CatalogueRow>& rows, const std::string& programsFolder, const std::string& bankName,
                    const bank::BankIndex& list, const StopRequested& stop) {
    const std::string bankFolder = core::FindNamedFile(programsFolder, bankName, "");
    for (std::size_t entry = 0; entry < VisitedEntries(list); ++entry) {
        if (!IsListedName(list, entry)) {
            continue;  // the entry still takes its slot
        }
        if (stop && stop()) {
            return false;
        }
        const bank::BankIndexEntry& item = list.entries[entry];
        const Categories categories = CategoriesOf(item.categories);
        const bool inSlots = entry < kSlotsPerBank;
        CatalogueRow row;
        row.bank = bankName;
        row.name = item.name;
        row.type = ProbeType(bankFolder, item.name);
        row.letter = inSlots ? kGroupLetters[entry / kSlotsPerGroup] : "";
        row.number = inSlots ? static_cast<int>(entry % kSlotsPerGroup) + 1 : 0;
        row.mainCategory = categories.main;
        row.otherCategories = categories.alternates;
        row.path = core::IsSafePathComponent(item.name) ? core::FindNamedFile(bankFolder, item.name, ".afp") : "";
        rows.push_back(std::move(row));
    }
    return true;
}

constexpr const char* kDynamicHead =
    "<!DOCTYPE html>\n<html><Head>"
    "<meta charset=\"utf-8\"><title>Velmorant - Dynamic Catalogue</title>\n"
    "<style type='text/css'>\n"
    "table {width:1000px; border-width: 2px;border-spacing: 4px;border-style: solid;border-color: gray;"
    "border-collapse: collapse;background-color: rgb(84,84, 84);color: rgb(255,106, 0);}\n"
    "table td {width:250px; border-width: 1px;padding: 2px;border-style: inset;border-color: gray;"
    "background-color: white;-moz-border-radius: ;color: rgb(0,0, 0);}\n"
    "h1{text-align : left;text-decoration : none;font-family : Verdana, Geneva, Arial, Helvetica, sans-serif;"
    "font-size : 20px;font-weight : bold;} \n"
    "h2{text-align : right;text-decoration : none;font-family : Verdana, Geneva, Arial, Helvetica, sans-serif;"
    "font-size : 14px;} \n"
    ".helpBtn{ margin:0 0px 0 0px;font-size : 0px; padding: 0px 0px 0px 0px; border-left:0px solid #fff; "
    "border-right:0px solid #fff; } \n"
    "div.helpCont{position:absolute;font-size : 0px; display:none;max-width:250px; overflow:auto;\t"
    "padding:5px 5px 5px 5px; margin:15px 0;\tborder:1px solid #fff; background:#ffffff; text-align:left;"
    "-moz-border-radius:5px;border-radius:5px;\t-moz-box-shadow:5px 5px 2px #888;"
    "-webkit-box-shadow:5px 5px 2px #888;box-shadow:5px 5px 2px #888; } \n"
    "div.helpCont a{ color:#ffffff; text-decoration:none; font-weight:normal;font-size : 0px; } \n"
    "div.helpCont a:hover{ text-decoration:none;font-size : 0px; } \n"
    "div.helpFooter{ margin:10px 0 0 0;font-size : 0px; } \n"
    "</style>\n"
    "\n\n\n"
    "<script>\n";

constexpr const char* kDynamicTableStart =
    "\n</script>"
    "\n\n\n"
    "</head><body>"
    "<Table id='idMyTable'>\n"
    "<thead><TR><TH>Bank</TH><TH>Name</TH><TH>Type</TH><TH>Letter</TH><TH>Nb</TH><TH>Main Categories</TH>"
    "<TH>Alter Categories</TH></TR></thead><tbody>\n";

constexpr const char* kFilterConfiguration =
    "<script language='javascript' type='text/javascript'>\n"
    "var props = {\n"
    "sort: true,\n"
    "filters_row_index:1,\n"
    "alternate_rows: true,\n"
    "rows_counter: true,\n"
    "filters_cell_tag: 'TH',\n"
    "status_bar: true,\n"
    "mark_active_columns: true,\n"
    "display_all_text: '< Show all >',\n"
    "col_5: 'select',\n"
    "col_4: 'select',\n"
    "col_3: 'select',\n"
    "col_2: 'select',\n"
    "col_0: 'select'\n"
    "}\n"
    "setFilterGrid('idMyTable',1,props);\n"
    " </script>";

int WritePage(const std::string& outputPath, const std::string& page) {
    return core::WriteFileAtomically(outputPath, page) ? kPageWritten : kPageNotCreated;
}

}  // namespace

PageTime LocalPageTime() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);  // jobs run on one thread at a time
    PageTime time;
    if (local != nullptr) {
        time.month = local->tm_mon + 1;
        time.day = local->tm_mday;
        time.year = local->tm_year + 1900;
        time.hour = local->tm_hour;
        time.minute = local->tm_min;
    }
    return time;
}

std::string EscapeHtml(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\'': escaped += "&#39;"; break;
            default: escaped += c; break;
        }
    }
    return escaped;
}

std::string FooterDate(const PageTime& time, const std::locale& locale) {
    std::tm moment{};
    moment.tm_year = time.year - 1900;
    moment.tm_mon = time.month - 1;
    moment.tm_mday = time.day;
    moment.tm_hour = time.hour;
    moment.tm_min = time.minute;
    std::ostringstream text;
    // The C locale's date is a two-digit-year American one: no reader asked for that.
    const std::string name = locale.name();
    if (name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0) {
        text << std::put_time(&moment, "%Y-%m-%d %H:%M");
    } else {
        text.imbue(locale);
        text << std::put_time(&moment, "%x %H:%M");
    }
    return text.str();
}

std::locale UserLocale() {
    try {
        return std::locale("");
    } catch (const std::runtime_error&) {
        return std::locale::classic();  // a locale the environment names but the system lacks
    }
}

std::string BuildStaticPage(const std::string& volumeFolder, const PageTime& time, const std::locale& locale) {
    std::string page =
        "<!DOCTYPE html>\n<html><Head>"
        "<meta charset=\"utf-8\"><title>Velmorant - Catalogue</title>\n"
        "<style type='text/css'>\n"
        "table {width:1000px; border-width: 2px;border-spacing: 4px;border-style: solid;border-color: gray;"
        "border-collapse: collapse;background-color: rgb(255, 230, 230);}\n"
        "table td {width:250px; border-width: 1px;padding: 2px;border-style: inset;border-color: gray;"
        "background-color: white;-moz-border-radius: ;}\n"
        "h1{text-align : left;text-decoration : none;font-family : Verdana, Geneva, Arial, Helvetica, sans-serif;"
        "font-size : 20px;font-weight : bold;} \n"
        "h2{text-align : right;text-decoration : none;font-family : Verdana, Geneva, Arial, Helvetica, sans-serif;"
        "font-size : 14px;} \n"
        "</style>\n"
        "</head><body>";

    const std::string programs = ProgramsFolder(volumeFolder);
    bank::BankIndex banks;
    if (ReadList(banks, core::JoinPath(programs, "bank.txt"))) {
        for (std::size_t b = 0; b < VisitedEntries(banks); ++b) {
            const std::string& bankName = banks.entries[b].name;
            page += "<H1>";
            page += NameHtml(bankName);
            page += "</H1><br>\n";
            bank::BankIndex list;
            if (!ReadBankList(list, programs, bankName)) {
                page += "No bank.txt file\n";
                continue;
            }
            AppendBankTable(page, list);
        }
    }

    page += DateLine(time, locale);
    page += "</body></html>";
    return page;
}

std::vector<CatalogueRow> DynamicCatalogueRows(const std::string& volumeFolder, const StopRequested& stop) {
    std::vector<CatalogueRow> rows;
    const std::string programs = ProgramsFolder(volumeFolder);
    bank::BankIndex banks;
    if (ReadList(banks, core::JoinPath(programs, "bank.txt"))) {
        for (std::size_t b = 0; b < VisitedEntries(banks); ++b) {
            const std::string& bankName = banks.entries[b].name;
            bank::BankIndex list;
            if (ReadBankList(list, programs, bankName) && !AppendBankRows(rows, programs, bankName, list, stop)) {
                break;
            }
        }
    }
    return rows;
}

namespace {

std::string DynamicPage(const std::vector<CatalogueRow>& rows, const PageTime& time, const std::locale& locale) {
    const std::string_view script = TableFilterScript();
    std::string page;
    page.reserve(script.size() + 64 * 1024);
    page += kDynamicHead;
    page += script;
    page += kDynamicTableStart;

    for (const CatalogueRow& row : rows) {
        page += "<TR><TD>";
        page += NameHtml(row.bank);
        page += "</TD><TD>";
        page += NameHtml(row.name);
        page += "</TD><TD>";
        page += volume::ProgramTypeName(row.type);
        page += core::Format("</TD><TD>%s</TD><TD>%i</TD><TD>", row.letter.c_str(), row.number);
        page += row.mainCategory;
        page += "</TD><TD>";
        page += row.otherCategories;
        page += "</TD></TR>\n";
    }

    page += "</tbody></Table>\n";
    page += "<br><br>";
    page += DateLine(time, locale);
    page += kFilterConfiguration;
    page += "\n\n\n";
    page += "</body></html>";
    return page;
}

}  // namespace

std::string BuildDynamicPage(const std::string& volumeFolder, const PageTime& time, const std::locale& locale) {
    return DynamicPage(DynamicCatalogueRows(volumeFolder), time, locale);
}

int WriteStaticCatalogue(const std::string& volumeFolder, const std::string& outputPath) {
    return WritePage(outputPath, BuildStaticPage(volumeFolder, LocalPageTime(), UserLocale()));
}

int WriteDynamicCatalogue(const std::string& volumeFolder, const std::string& outputPath, const StopRequested& stop) {
    bool stopped = false;
    const std::vector<CatalogueRow> rows = DynamicCatalogueRows(volumeFolder, [&] {
        stopped = stopped || (stop && stop());
        return stopped;
    });
    // The page is written whole or not at all, so a cancelled one leaves no file behind.
    if (stopped) {
        return kPageCancelled;
    }
    return WritePage(outputPath, DynamicPage(rows, LocalPageTime(), UserLocale()));
}

}  // namespace velmorant::catalogue
