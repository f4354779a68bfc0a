// EXPORT of the layout sheet to SVG: the sheet of bench_layout (40 items of about 30 KB of
// Word-style Rich Text laid out in columns of a box 4 by 10 units), then the picture of model
// space written as EXPORT writes it: the drawing's items, then the SVG document streamed to a
// file.  Prints how long gathering the items and writing the document take, with the
// document's size; the best of the runs counts.
//
// usage: bench_export_sheet [--items N] [--runs N] [PICTURE.svg]
// The picture is kept at PICTURE.svg when given (to compare two builds' pictures), else it is
// written to a temporary folder.
#include "storage/dictdatawrapper.h"

#include "bench_sheet.h"
#include "prefix_folders.h"

#include "editor/drawingitems.h"
#include "runtime/host.h"
#include "text/svgexport.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/rxobject.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

} // namespace

int main(int argc, char** argv) {
    rivlet_test::PrefixFolders folders("rivlet-bench");
    int itemCount = 40;
    int runs = 5;
    std::string picture = folders.Root() + "/sheet.svg";
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if ((arg == "--items" || arg == "--runs") && i + 1 < argc) {
            int value = std::atoi(argv[++i]);
            if (value <= 0) {
                std::fprintf(stderr, "bench_export_sheet: %s wants a positive count\n",
                             arg.c_str());
                return 2;
            }
            (arg == "--items" ? itemCount : runs) = value;
        } else if (arg.rfind("-", 0) == 0) {
            std::fputs("usage: bench_export_sheet [--items N] [--runs N] [PICTURE.svg]\n",
                       arg == "--help" ? stdout : stderr);
            return arg == "--help" ? 0 : 2;
        } else {
            picture = arg;
        }
    }

    cadhost::Host::start();
    KSRxDictDataWrapper::rxInit();
    acrxBuildClassHierarchy();

    int placed = LayOutSheet(SheetItems(itemCount));
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    double bestItems = 1e300;
    double bestWrite = 1e300;
    bool written = placed == itemCount;
    std::size_t drawn = 0;
    for (int run = 0; run < runs && written; ++run) {
        Clock::time_point start = Clock::now();
        std::vector<cadhost::text::DrawingItem> items = cadhost::editor::DrawingItemsOf(db);
        double itemSeconds = Seconds(start);
        start = Clock::now();
        {
            std::ofstream out(picture, std::ios::binary | std::ios::trunc);
            written = out && cadhost::text::WriteSvg(items, out) && out.flush();
        }
        double writeSeconds = Seconds(start);
        drawn = items.size();
        bestItems = std::min(bestItems, itemSeconds);
        bestWrite = std::min(bestWrite, writeSeconds);
    }
    if (!written) {
        std::printf("the sheet of %d items could not be laid out or written\n", itemCount);
    } else {
        std::printf("\n%d items placed; %zu drawing items gathered in %.4f s, SVG of %.2f MB "
                    "written in %.4f s: EXPORT %.4f s (best of %d) -> %s\n",
                    placed, drawn, bestItems, std::filesystem::file_size(picture) / 1e6, bestWrite,
                    bestItems + bestWrite, runs, picture.c_str());
    }

    KSRxDictDataWrapper::rxUninit();
    cadhost::Host::stop();
    return written ? 0 : 1;
}
