#include "postal/PostalLine.h"

#include <gtest/gtest.h>

#include "base/Error.h"

using namespace mrk2;

TEST(PostalCode, IsDigitsOnlyWithoutLeadingZeros) {
    EXPECT_EQ(postalCodeText("0600000"), "600000");
    EXPECT_EQ(postalCodeText("1000001"), "1000001");
    EXPECT_EQ(postalCodeText("0000000"), "0");
    // Signs, blanks, fractions and exponents made numbers of these once.
    for (const char* notDigits :
         {"+-600000", "-0", "+600000", "600000.0", "6e5", " 600000", "", "060-0000", "１００"})
        EXPECT_EQ(postalCodeText(notDigits), std::nullopt) << notDigits;
}

TEST(PostalLine, MapsTheConfiguredColumnsAndRefusesWhatIsMissing) {
    const std::array<int, 7> columns{2, 3, 4, 5, 6, 7, 8};
    std::vector<std::string_view> fields;
    PostalRow row;
    mapPostalLine("13101,\"100  \",\"1000001\",\"ﾄｳｷｮｳﾄ\",\"\",x,東京都,千代田区,\"\"", columns, 1,
                  fields, row);
    EXPECT_EQ(row.code, "1000001");
    EXPECT_EQ(row.names[0], "ﾄｳｷｮｳﾄ");
    EXPECT_EQ(row.names[1], std::nullopt);  // empty: stored as no value
    EXPECT_EQ(row.names[4], "千代田区");
    EXPECT_EQ(row.names[5], std::nullopt);

    for (auto [line, number] : {std::pair{"a,b,1,c,d,e,f,g", FormatError::MissingColumn},
                                std::pair{"", FormatError::MissingColumn},
                                std::pair{"a,b,-0,c,d,e,f,g,h", FormatError::NotANumber}}) {
        try {
            mapPostalLine(line, columns, 7, fields, row);
            ADD_FAILURE() << line;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), number) << line;
            EXPECT_NE(e.description().find("7 行目"), std::string::npos) << e.description();
        }
    }
}
