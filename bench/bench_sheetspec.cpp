// "Create!" of the sheet dialog on a full sheet: a folder of section files of about
// 30 KB of Word-style Rich Text each, with six divisions among them, laid out in a box of 4 by
// 10 drawing units with the default sizes.  Times the dialog's handler from the click on
// "Create!" (the corners answered at once) to the end of the last column, for 40 and for 80
// sections, and prints the ratio; then the Rich Text writer of the rich edit control on
// the same documents.
//
// usage: bench_sheetspec [RUNS]   (default 5; the median of the runs is printed)
#include "frame/commands.h"
#include "frame/doclock.h"
#include "frame/resourcescript.h"
#include "specsheet/preferences.h"
#include "specsheet/resource.h"
#include "storage/dictdatawrapper.h"

#include "runtime/host.h"
#include "text/rtfreader.h"
#include "text/rtfwriter.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"
#include "arx/rxobject.h"

#include "win/frontend.h"
#include "win/paths.h"
#include "win/userinput.h"

#include "bench_sections.h"
#include "temp_folder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// Presses "Create!" as soon as the dialog asks for input, and notes when.
class CreatePresser : public win::FrontEnd {
public:
    int ShowMessageBox(const win::MessageBoxRequest& box) override {
        return win::DefaultButtonOf(box.type);
    }
    std::optional<std::string> ShowFileDialog(const win::FileDialogRequest&) override {
        return std::nullopt;
    }
    bool NextDialogInput(HWND dialog) override {
        if (pressed)
            return false;
        pressed = true;
        HWND create = GetDlgItem(dialog, IDOK);
        win::UserMovesMouseTo(create, win::ClientCentre(create));
        win::UserClicks();
        clicked = Clock::now();
        return true;
    }
    void DialogClosed(HWND, INT_PTR) override { closed = Clock::now(); }

    bool pressed = false;
    Clock::time_point clicked, closed;
};

// The number of texts of the current space.
int CountTexts() {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    AcDbBlockTableRecord* space = nullptr;
    if (acdbOpenObject(space, db->currentSpaceId(), AcDb::kForRead) != Acad::eOk)
        return 0;
    AcDbBlockTableRecordIterator* it = nullptr;
    space->newIterator(it);
    int n = 0;
    for (; !it->done(); it->step())
        ++n;
    delete it;
    space->close();
    return n;
}

struct Run {
    double seconds;
    int texts;
};

// One "Create!" of a sheet of `specs` sections in a fresh drawing.
Run CreateSheet(cadhost::Host& host, const std::string& folder, int specs) {
    static const char* const divisions[] = {"DIVISION 3 - CONCRETE",
                                            "DIVISION 4 - MASONRY",
                                            "DIVISION 5 - METALS",
                                            "DIVISION 6 - WOOD AND PLASTICS",
                                            "DIVISION 7 - THERMAL & MOISTURE PROTECTION",
                                            "DIVISION 8 - DOORS AND WINDOWS"};
    std::string list;
    const int perDivision = specs / 6;
    for (int i = 0; i < specs; ++i) {
        if (i % perDivision == 0 && i / perDivision < 6)
            list += std::string(divisions[i / perDivision]) + ";";
        list += folder + "\\spec" + std::to_string(i) + ".rtf;";
    }
    WriteRegValue(HKEY_CURRENT_USER, PREFERENCES_KEY, "GENERATE", list.c_str());
    host.newDocument();
    host.feedInput("0,0\n4,-10\n");
    CreatePresser presser;
    win::ScopedFrontEnd scope(&presser);
    {
        CDocLock lock;
        CmdSheetSpec();
    }
    host.takeOutput();
    return {Seconds(presser.clicked, presser.closed), CountTexts()};
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    namespace fs = std::filesystem;
    rivlet_test::TempFolder folder("bench-sheetspec");
    const std::string& root = folder.path();
    setenv("CADHOST_PREFIX", (root + "/prefix").c_str(), 1);
    fs::create_directories(root + "/prefix/drive_c/specs");
    std::vector<std::string> documents;
    for (int i = 0; i < 80; ++i) {
        documents.push_back(WordStyleRtf(i));
        std::ofstream(root + "/prefix/drive_c/specs/spec" + std::to_string(i) + ".rtf",
                      std::ios::binary)
            << documents.back();
    }

    cadhost::Host& host = cadhost::Host::start();
    KSRxDictDataWrapper::rxInit();
    acrxBuildClassHierarchy();
    win::AddResourceScript(nullptr, &RivletResourceScript());
    WriteRegValue(HKEY_LOCAL_MACHINE, "Software\\Kestrune\\VIZUDaro", "location", "C:\\");

    std::printf("Create! of a sheet of sections of %zu KB each and six divisions, box 4 "
                "by 10, median of %d runs:\n",
                kRtfBytes / 1024, runs);
    double forty = 0, eighty = 0;
    for (int specs : {40, 80}) {
        std::vector<double> times;
        int texts = 0;
        for (int r = 0; r < runs; ++r) {
            Run run = CreateSheet(host, "C:\\specs", specs);
            times.push_back(run.seconds);
            texts = run.texts;
        }
        double median = Median(times);
        (specs == 40 ? forty : eighty) = median;
        std::printf("  %d sections: %.4f s (%d texts)\n", specs, median, texts);
    }
    std::printf("  80 / 40: %.2f\n", eighty / forty);

    // The rich edit's Rich Text out: the writer over the documents it holds.
    std::vector<cadhost::text::TextDocument> models;
    std::size_t input = 0;
    for (const std::string& d : documents) {
        models.push_back(cadhost::text::ReadRtf(d));
        input += d.size();
    }
    std::vector<double> times;
    std::size_t written = 0;
    for (int r = 0; r < runs; ++r) {
        Clock::time_point start = Clock::now();
        written = 0;
        for (const auto& m : models)
            written += cadhost::text::WriteRtf(m).size();
        times.push_back(Seconds(start, Clock::now()));
    }
    std::printf("Rich Text writer on the same %zu documents (%.1f MB read, %.1f MB written): "
                "%.0f MB/s\n",
                models.size(), input / 1e6, written / 1e6, written / 1e6 / Median(times));

    win::RemoveResourceScript(&RivletResourceScript());
    KSRxDictDataWrapper::rxUninit();
    cadhost::Host::stop();
    return 0;
}
