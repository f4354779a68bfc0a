// Construction sections shaped as a word processor saves them, for the benchmarks of the
// sheet layout and generation.
#pragma once

#include <random>
#include <string>

// The size a section of the benchmarks is made to.
inline constexpr std::size_t kRtfBytes = 30 * 1024;

// Rich Text shaped the way a word processor saves a construction section: a font and colour
// table, a style sheet, revision ids on every run, part headings, numbered articles with
// hanging indents and tab stops, and body paragraphs.
inline std::string WordStyleRtf(int seed) {
    std::mt19937 random(static_cast<unsigned>(seed));
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    static const char* const words[] = {"the",      "contractor", "shall",    "provide", "cast",
                                        "in",       "place",      "concrete", "joints",  "sealant",
                                        "ASTM",     "C920",       "surfaces", "clean",   "dry",
                                        "finished", "schedule",   "approved", "manner",  "work"};
    // The tables a word processor writes before the text (fonts, colours, styles, lists,
    // revision ids, latent styles) take about half of a saved section.
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0\\deflang1033\\deflangfe1033"
                      "{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2 Times New Roman;}"
                      "{\\f1\\fswiss\\fcharset0\\fprq2 Arial;}";
    for (int f = 2; f < 16; ++f)
        rtf += "{\\f" + std::to_string(f) +
               "\\fswiss\\fcharset0\\fprq2{\\*\\panose "
               "020b0604020202020204}Font Number " +
               std::to_string(f) + ";}";
    rtf += "}{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}"
           "{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\aspalpha\\aspnum\\faauto\\adjustright\\rin0"
           "\\lin0\\itap0 \\fs24\\lang1033\\langfe1033\\cgrid\\langnp1033\\langfenp1033 \\snext0 "
           "Normal;}{\\s1\\ql \\li0\\ri0\\keepn\\widctlpar\\outlinelevel0\\b\\f1\\fs20 \\sbasedon0 "
           "\\snext0 heading 1;}}";
    rtf += "{\\*\\listtable";
    for (int l = 0; l < 6; ++l) {
        rtf += "{\\list\\listtemplateid" + std::to_string(67698703 + l);
        for (int level = 0; level < 9; ++level)
            rtf += "{\\listlevel\\levelnfc0\\levelnfcn0\\leveljc0\\leveljcn0\\levelfollow0"
                   "\\levelstartat1\\levelspace0\\levelindent0{\\leveltext\\'02\\'0" +
                   std::to_string(level) + ".;}{\\levelnumbers\\'01;}\\fi-360\\li" +
                   std::to_string(720 * (level + 1)) + "\\jclisttab\\tx" +
                   std::to_string(720 * (level + 1)) + "\\lin" + std::to_string(720 * (level + 1)) +
                   " }";
        rtf += "{\\listname ;}\\listid" + std::to_string(1000 + l) + "}";
    }
    rtf += "}{\\*\\rsidtbl ";
    for (int r = 0; r < 120; ++r)
        rtf += "\\rsid" + std::to_string(1000000 + seed * 977 + r);
    rtf += "}{\\*\\latentstyles\\lsdstimax156\\lsdlockeddef0";
    for (int l = 0; l < 156; ++l)
        rtf += "{\\lsdlockedexcept \\lsdqformat1 \\lsdpriority" + std::to_string(l) +
               " \\lsdlocked0 Style " + std::to_string(l) + ";}";
    rtf += "}{\\*\\generator Microsoft Word 11.0.8237;}{\\info{\\title Section}{\\author Writer}}"
           "\\paperw12240\\paperh15840\\margl1440\\margr1440\\margt1440\\margb1440 "
           "\\widowctrl\\ftnbj\\aenddoc\\noxlattoyen\\expshrtn\\sectd "
           "\\linex0\\endnhere\\sectdefaultcl ";

    int article = 1;
    int rsid = 1000000 + seed * 977;
    while (rtf.size() < kRtfBytes) {
        std::string run = "\\insrsid" + std::to_string(rsid + pick(50)) + " ";
        switch (pick(6)) {
        case 0:
            rtf += "\\pard\\plain \\s1\\ql \\li0\\ri0\\keepn\\widctlpar\\outlinelevel0\\b\\f1\\fs20"
                   "{" +
                   run + "PART " + std::to_string(1 + pick(3)) +
                   " - GENERAL}"
                   "{" +
                   run + "\\par }";
            continue;
        case 1:
        case 2:
            rtf += "\\pard\\plain \\ql \\fi-720\\li1440\\ri0\\widctlpar\\tx1440\\f1\\fs20{" + run +
                   "1." + std::to_string(article++) + "\\tab }";
            break;
        default:
            rtf += "\\pard\\plain \\ql \\li720\\ri0\\widctlpar\\f1\\fs20";
            break;
        }
        int count = 20 + pick(40);
        rtf += "{" + run;
        for (int w = 0; w < count; ++w) {
            if (pick(15) == 0)
                rtf += "}{\\i" + run + "see note}{" + run + " ";
            rtf += words[pick(20)];
            rtf += ' ';
        }
        rtf += "}{" + run + "\\par }";
    }
    return rtf + "}";
}
