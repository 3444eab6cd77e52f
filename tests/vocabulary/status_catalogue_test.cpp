// Every status code of the terminal, fed through the decoder on its own, against the entry
// the operator must see, to the character (status_catalogue.txt); every other byte is ignored.
// The name tables the entries read, outside their range.

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <set>

#include "support/core_rig.h"
#include "vocabulary/names.h"

namespace mirvane::testing {
namespace {

struct Row {
    std::u16string code, meaning;
};

// The file is UTF-8 with characters of the basic plane only.
std::u16string utf16(const std::string& text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int more = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : 2;
        char16_t c = more == 0 ? lead : lead & (0x3F >> more);
        for (int k = 1; k <= more; ++k) c = static_cast<char16_t>(c << 6 | (text[i + k] & 0x3F));
        out += c, i += more + 1;
    }
    return out;
}

std::vector<Row> catalogue() {
    std::ifstream file(MIRVANE_TEST_DATA "/vocabulary/status_catalogue.txt");
    std::vector<Row> rows;
    for (std::string line; std::getline(file, line);) {
        const auto tab = line.find('\t');
        if (!line.empty() && line[0] != '#') rows.push_back({utf16(line.substr(0, tab)), utf16(line.substr(tab + 1))});
    }
    return rows;
}

Bytes bytes_of(std::u16string_view code) {
    Bytes bytes;
    for (std::size_t i = 0; i < code.size() && std::isxdigit(code[i]); i += 3)
        bytes.push_back(std::stoi(std::string{char(code[i]), char(code[i + 1])}, nullptr, 16));
    return bytes;
}

TEST(StatusCatalogue, each_code_gives_its_entry_one_byte_a_read) {
    const std::vector<Row> rows = catalogue();
    ASSERT_EQ(rows.size(), 100u);
    for (const auto& [code, meaning] : rows) {
        CoreRig rig;
        for (const std::uint8_t b : bytes_of(code)) rig.receive({b});
        std::u16string column(code);
        while (column.size() < 14) column += u" __";
        EXPECT_EQ(rig.log_pane(), column + u" : [10:15:01] " + meaning);
    }
}

// The rows name every code that has a meaning; any other byte reaches the ring, never the
// log, and leaves the decoder ready for the next code.
TEST(StatusCatalogue, every_other_byte_reaches_the_ring_and_never_the_log) {
    std::set<int> with_row;
    for (const Row& row : catalogue()) with_row.insert(bytes_of(row.code).front());
    const std::u16string_view hex = u"0123456789ABCDEF";
    for (int b = 0; b < 256; ++b) {
        if (with_row.contains(b)) continue;
        CoreRig rig;
        rig.receive({static_cast<std::uint8_t>(b), 0xAF});
        EXPECT_EQ(rig.receive_pane(), (std::u16string{u'A', u'F', u' ', hex[b >> 4], hex[b & 15]}));
        EXPECT_EQ(rig.log_pane(), u"AF __ __ __ __ : [10:15:01] 待受");
    }
}

TEST(Names, values_outside_the_tables_leave_the_callers_text_as_it_was) {
    std::u16string text = u"5";
    for (const std::uint8_t code : {0x00, 0x8F, 0xA0, 0xFF}) dial_conv1(text, code);
    tone_ana(text, 16);
    EXPECT_EQ(text, u"5");
}

}  // namespace
}  // namespace mirvane::testing
