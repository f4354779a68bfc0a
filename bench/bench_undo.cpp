// Cost of undo recording: one command that opens 10,000 texts for write and changes each.
// The peer does the same with no command recording, so the ratio of the two is what keeping
// the earlier states costs; taking the command back is measured on its own.
#include "arx/dbdatabase.h"
#include "arx/dbmtext.h"
#include "arx/dbsymtb.h"
#include "db/undolog.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kTexts = 10000;

void Check(Acad::ErrorStatus es, const char* what) {
    if (es != Acad::eOk) {
        std::fprintf(stderr, "%s failed: %s\n", what, acadErrorStatusText(es));
        std::abort();
    }
}

std::vector<AcDbObjectId> FillModelSpace(AcDbDatabase& db) {
    AcDbBlockTableRecord* space = nullptr;
    Check(acdbOpenObject(space, db.currentSpaceId(), AcDb::kForWrite), "open model space");
    std::vector<AcDbObjectId> ids;
    for (int i = 0; i < kTexts; ++i) {
        auto* text = new AcDbMText;
        text->setLocation(AcGePoint3d(i % 100, i / 100, 0));
        text->setWidth(40.0);
        text->setContents("{\\fArial|b0|i0;\\H2.5;SECTION 1.1}\\PGeneral requirements of the work");
        AcDbObjectId id;
        Check(space->appendAcDbEntity(id, text), "append");
        text->close();
        ids.push_back(id);
    }
    space->close();
    return ids;
}

void ChangeAll(const std::vector<AcDbObjectId>& ids, double height) {
    for (AcDbObjectId id : ids) {
        AcDbMText* text = nullptr;
        Check(acdbOpenObject(text, id, AcDb::kForWrite), "open for write");
        text->setTextHeight(height);
        text->close();
    }
}

void BM_WriteOpensInARecordedCommand(benchmark::State& state) {
    AcDbDatabase db;
    std::vector<AcDbObjectId> ids = FillModelSpace(db);
    cadhost::db::UndoLog& log = cadhost::db::UndoLogOf(db);
    double height = 1.0;
    for (auto _ : state) {
        log.beginGroup("EDIT");
        ChangeAll(ids, height += 0.5);
        log.endGroup();
        state.PauseTiming();
        std::string name;
        Check(log.undoLast(name), "undo");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_WriteOpensInARecordedCommand)->Unit(benchmark::kMillisecond);

// Peer: the same opens and changes while no command records.
void BM_WriteOpensUnrecorded(benchmark::State& state) {
    AcDbDatabase db;
    std::vector<AcDbObjectId> ids = FillModelSpace(db);
    double height = 1.0;
    for (auto _ : state)
        ChangeAll(ids, height += 0.5);
    state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_WriteOpensUnrecorded)->Unit(benchmark::kMillisecond);

// Taking the recorded command back: 10,000 states filed back in.
void BM_UndoOfTheCommand(benchmark::State& state) {
    AcDbDatabase db;
    std::vector<AcDbObjectId> ids = FillModelSpace(db);
    cadhost::db::UndoLog& log = cadhost::db::UndoLogOf(db);
    double height = 1.0;
    for (auto _ : state) {
        state.PauseTiming();
        log.beginGroup("EDIT");
        ChangeAll(ids, height += 0.5);
        log.endGroup();
        state.ResumeTiming();
        std::string name;
        Check(log.undoLast(name), "undo");
    }
    state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_UndoOfTheCommand)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
