#include "LineCondenser.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "LumarkError.h"
#include "VisibilityReader.h"

namespace lumark {
namespace {

const std::vector<std::string> Markers = {"1.000000", "1.2", "Block:"};

std::string Condensed(LineCondenser& condenser, const std::vector<std::string>& pieces) {
    condenser.Begin();
    for (const std::string& piece : pieces) {
        condenser.Add(piece);
    }
    return std::string(condenser.Finish());
}

std::vector<bool> MarkersIn(const std::string& text) {
    std::vector<bool> found;
    for (const std::string& marker : Markers) {
        found.push_back(text.find(marker) != std::string::npos);
    }
    return found;
}

// However the line is cut into pieces, a marker is found exactly when the line holds it.
TEST(LineCondenser, FindsMarkersSplitBetweenPieces) {
    LineCondenser condenser(Markers);
    const std::string pad(100, 'x');
    struct Case {
        std::string line;
        std::vector<bool> found;
    };
    const std::vector<Case> cases = {
        {pad + "Block:" + pad, {false, false, true}},
        {pad + "1.000000" + pad, {true, false, false}},
        {pad + "1.2" + pad + "Block:", {false, true, true}},
        {pad + "1.00000" + pad + "Block" + pad + "1." + pad + ".2", {false, false, false}},
        {"Block:" + pad + "1.2", {false, true, true}},
    };
    for (const Case& c : cases) {
        for (std::size_t cut = 0; cut <= c.line.size(); ++cut) {
            const std::string standIn =
                Condensed(condenser, {c.line.substr(0, cut), c.line.substr(cut)});
            ASSERT_EQ(MarkersIn(standIn), c.found) << c.line << " cut at " << cut;
        }
        std::vector<std::string> bytes;
        for (const char b : c.line) {
            bytes.emplace_back(1, b);
        }
        EXPECT_EQ(MarkersIn(Condensed(condenser, bytes)), c.found) << c.line << " byte by byte";
    }
}

// The stand-in's numeric tail has the line's value however much padding the line holds.
TEST(LineCondenser, KeepsTheTrailingNumber) {
    LineCondenser condenser(Markers);
    const std::string zeros(100'000, '0');
    const std::string blanks(100'000, ' ');
    const std::string text(100'000, 'x');
    struct Case {
        std::string line;
        std::optional<int> value;  // none: too large for 16 bits
    };
    const std::vector<Case> cases = {
        {"Blocks: " + zeros + "12", 12},
        {"Blocks: -" + zeros + "5" + blanks, -5},
        {text + "12 34", 34},
        {text + "12 34\t", 34},
        {text + "12 34x", 0},
        {text + "-", 0},
        {text + "3-" + zeros, 0},
        {blanks + "-" + zeros + "7" + blanks, -7},
        {zeros + "32767", 32767},
        {text + "Block: 1" + zeros, std::nullopt},
        {text + "32768", std::nullopt},
        {text + std::string(100'000, '9'), std::nullopt},
    };
    for (const Case& c : cases) {
        const std::string standIn = Condensed(condenser, {c.line});
        EXPECT_LT(standIn.size(), 200u);
        if (c.value) {
            EXPECT_EQ(GetTrailingNumber(standIn), *c.value) << c.line.substr(c.line.size() - 20);
        } else {
            EXPECT_THROW(GetTrailingNumber(standIn), LumarkError)
                << c.line.substr(c.line.size() - 20);
        }
    }
}

TEST(LineCondenser, RefusesMarkersANumberCouldHold) {
    for (const char* marker : {"12", "-1", " 5 ", ".5", "x", "\x01\x02"}) {
        EXPECT_THROW(LineCondenser({marker}), std::invalid_argument) << marker;
    }
    EXPECT_NO_THROW(LineCondenser({"1.2", "Block:", "a."}));
}

}  // namespace
}  // namespace lumark
