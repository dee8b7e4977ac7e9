// Cards written as text in tests: "5H 6H 7H/4".
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tools/cli/CardText.h"

namespace skelda {

inline TCardList Cards(const std::string& text) {
    auto list = ParseCards(text);
    EXPECT_TRUE(list) << text;
    return list.value_or(TCardList{});
}

inline std::string Text(const TCardList& list) {
    std::string s;
    for (const TCard& c : list) s += (s.empty() ? "" : " ") + CardText(c);
    return s;
}

}  // namespace skelda
