// The rebuild that ends an edit round trip, on a full sheet: 40 items of about 30 KB of
// Word-style Rich Text laid out into a box of 4 by 10 drawing units with the default sizes,
// then rebuilt from the stored records (every text erased, every source translated again,
// the sheet laid out afresh), as reformFromDict does.  Prints the median of the runs.
//
// usage: bench_rebuild [RUNS]   (default 5)
#include "conversion/columnlayout.h"
#include "conversion/rebuild.h"
#include "conversion/rtftomtext.h"
#include "frame/docdata.h"
#include "frame/doclock.h"
#include "storage/dictdatawrapper.h"
#include "wordconv/rtffix.h"

#include "runtime/host.h"

#include "arx/rxobject.h"

#include "bench_sections.h"
#include "temp_folder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

int main(int argc, char** argv) {
    using Clock = std::chrono::steady_clock;
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    rivlet_test::TempFolder prefix("bench-rebuild");
    setenv("CADHOST_PREFIX", prefix.path().c_str(), 1);
    cadhost::Host::start();
    KSRxDictDataWrapper::rxInit();
    acrxBuildClassHierarchy();

    const int kItems = 40;
    CMtextRtfHolder items;
    CRtfToMtext converter;
    for (int i = 0; i < kItems; ++i) {
        CMtextRtf item;
        item.m_Name = "C:\\KSR\\Rivlet\\Section" + std::to_string(i) + ".rtf";
        std::string rtf = WordStyleRtf(i);
        FixHangingIndents(rtf);
        item.m_Rtf = rtf;
        item.SplitContents(converter.Convert(rtf));
        items.Add(item);
    }
    std::vector<double> seconds;
    {
        CDocLock lock;
        const AcGePoint3d a(0, 10, 0), b(4, 0, 0);
        LayOutItems(a, a, b, items, 0.25, 0.15, 0.25, 0.5);
        docData().m_UpperLeft = a;
        docData().m_LowerRight = b;
        for (int r = 0; r < runs; ++r) {
            Clock::time_point start = Clock::now();
            RebuildFromStoredData();
            seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        }
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("rebuild of %d items of %zu KB (erase, translate, lay out): median %.4f s, "
                "fastest %.4f s of %d runs\n",
                kItems, kRtfBytes / 1024, seconds[seconds.size() / 2], seconds.front(), runs);
    KSRxDictDataWrapper::rxUninit();
    cadhost::Host::stop();
    return 0;
}
