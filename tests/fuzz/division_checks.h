// What every catalogue the text rules build must hold, for the division fuzz targets.
#pragma once

#include "specsheet/divisiontext.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

inline void Require(bool condition) {
    if (!condition)
        std::abort();
}

inline bool IsLineBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Same lengths; every name non-empty and the plain text of its heading; headings trimmed and
// within one line; and the catalogue file written for them reads back as the same catalogue,
// with line feeds or with the carriage returns that text mode puts before them.
inline void CheckCatalogue(const std::vector<std::string>& headings,
                           const std::vector<std::string>& names) {
    Require(headings.size() == names.size());
    for (std::size_t i = 0; i < headings.size(); ++i) {
        const std::string& heading = headings[i];
        Require(!names[i].empty());
        std::string plain;
        Require(MTextToPlain(heading, plain) == plain.size());
        Require(plain == names[i]);
        Require(plain.find_first_of("{}") == std::string::npos);
        Require(plain.size() <= heading.size());
        Require(!heading.empty() && !IsLineBlank(heading.front()) && !IsLineBlank(heading.back()));
        Require(heading.find('\n') == std::string::npos);
    }
    std::string file = DivisionFileText(headings);
    std::vector<std::string> again, againNames;
    DivisionsFromLines(file, again, againNames);
    Require(again == headings && againNames == names);
    std::string crlf;
    for (char c : file)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    DivisionsFromLines(crlf, again, againNames);
    Require(again == headings && againNames == names);
}
