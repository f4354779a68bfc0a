// A full sheet: 40 items of about 30 KB of Word-style Rich Text each, fixed,
// translated and cut into pieces as the sheet generator does, then laid out into a box of 4 by
// 10 drawing units with the default sizes.  Prints how many columns the sheet takes, how long
// the layout runs and how much of it is spent measuring text; then saves that drawing as DXF
// and opens it again.
//
// usage: bench_layout [--items N] [SHEET.dxf]   N items (default 40); where the sheet is saved
// (default: a temporary file).  `bench_dxf --from SHEET.dxf` times ezdxf on the same drawing.
#include "frame/doclock.h"
#include "storage/dictdatawrapper.h"

#include "bench_sheet.h"
#include "prefix_folders.h"

#include "db/dxf/dxffile.h"
#include "runtime/host.h"
#include "text/mtextmeasure.h"

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbmtext.h"
#include "arx/dbsymtb.h"
#include "arx/rxobject.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <string>

namespace {

constexpr int kDefaultItems = 40;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// The texts of model space and the columns they stand in (distinct x positions).
void CountTexts(AcDbDatabase* db, int& texts, int& columns) {
    std::set<double> lefts;
    texts = 0;
    AcDbBlockTableRecord* space = nullptr;
    if (acdbOpenObject(space, db->currentSpaceId(), AcDb::kForRead) != Acad::eOk)
        return;
    AcDbBlockTableRecordIterator* it = nullptr;
    space->newIterator(it);
    for (; !it->done(); it->step()) {
        AcDbEntity* entity = nullptr;
        if (it->getEntity(entity, AcDb::kForRead) != Acad::eOk)
            continue;
        if (auto* text = AcDbMText::cast(entity)) {
            ++texts;
            lefts.insert(text->location().x);
        }
        entity->close();
    }
    delete it;
    space->close();
    columns = static_cast<int>(lefts.size());
}

} // namespace

int main(int argc, char** argv) {
    rivlet_test::PrefixFolders folders("rivlet-bench");
    const std::string& root = folders.Root();
    int itemCount = kDefaultItems;
    std::string sheetArg;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--items" && i + 1 < argc) {
            itemCount = std::atoi(argv[++i]);
            if (itemCount <= 0) {
                std::fprintf(stderr, "bench_layout: --items wants a positive count\n");
                return 2;
            }
        } else {
            sheetArg = arg;
        }
    }

    cadhost::Host::start();
    KSRxDictDataWrapper::rxInit();
    acrxBuildClassHierarchy();

    Clock::time_point start = Clock::now();
    std::size_t pieces = 0;
    const CMtextRtfHolder items = SheetItems(itemCount, &pieces);
    double convertSeconds = Seconds(start);
    std::size_t rtfBytes = 0;
    std::size_t contentBytes = 0;
    for (INT_PTR i = 0; i < items.GetSize(); ++i) {
        rtfBytes += items[i].m_Rtf.size();
        contentBytes += items[i].m_Contents.size();
    }

    const cadhost::text::MeasureTotals before = cadhost::text::MeasureMTextTotals();
    int placed = 0;
    int texts = 0;
    int columns = 0;
    double layoutSeconds = 0.0;
    {
        start = Clock::now();
        placed = LayOutSheet(items);
        layoutSeconds = Seconds(start);
        CDocLock lock;
        CountTexts(acdbHostApplicationServices()->workingDatabase(), texts, columns);
    }
    const cadhost::text::MeasureTotals& after = cadhost::text::MeasureMTextTotals();

    std::printf("\n%d items, %.1f KB of Rich Text (%.1f KB each), %.1f KB of MText content, "
                "%zu pieces; conversion %.3f s\n",
                itemCount, rtfBytes / 1024.0, rtfBytes / 1024.0 / itemCount, contentBytes / 1024.0,
                pieces, convertSeconds);
    std::printf("layout: %d items placed as %d texts in %d columns, %.3f s; measuring %.3f s in "
                "%llu measures reading %.1f MB\n",
                placed, texts, columns, layoutSeconds, after.seconds - before.seconds,
                static_cast<unsigned long long>(after.calls - before.calls),
                (after.bytesRead - before.bytesRead) / 1e6);

    // The drawing as a file, and back.
    const std::string sheet = !sheetArg.empty() ? sheetArg : root + "/sheet.dxf";
    std::string error;
    start = Clock::now();
    Acad::ErrorStatus saved = cadhost::db::dxf::WriteDxfFile(
        acdbHostApplicationServices()->workingDatabase(), sheet, error);
    double saveSeconds = Seconds(start);
    AcDbDatabase* back = nullptr;
    start = Clock::now();
    Acad::ErrorStatus opened =
        saved == Acad::eOk ? cadhost::db::dxf::ReadDxfFile(sheet, back, error) : saved;
    double openSeconds = Seconds(start);
    if (opened != Acad::eOk) {
        std::printf("DXF: %s\n", error.c_str());
        placed = 0;
    } else {
        std::printf("DXF: %.1f MB saved in %.3f s, opened in %.3f s (%s)\n",
                    std::filesystem::file_size(sheet) / 1e6, saveSeconds, openSeconds,
                    sheet.c_str());
    }
    delete back;

    KSRxDictDataWrapper::rxUninit();
    cadhost::Host::stop();
    return placed == itemCount ? 0 : 1;
}
