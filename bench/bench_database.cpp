// Drawing database throughput: the open protocol on one object, and filling and emptying
// model space with 100,000 texts.  Each measured case has a peer that does the same work
// without the database (a pointer kept open, texts made but never added), so the report
// shows what the database itself costs.
#include "arx/dbdatabase.h"
#include "arx/dbmtext.h"
#include "arx/dbsymtb.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kTexts = 100000;

void Check(Acad::ErrorStatus es, const char* what) {
    if (es != Acad::eOk) {
        std::fprintf(stderr, "%s failed: %s\n", what, acadErrorStatusText(es));
        std::abort();
    }
}

AcDbMText* NewText(int i) {
    auto* text = new AcDbMText;
    text->setLocation(AcGePoint3d(i % 100, i / 100, 0));
    text->setWidth(40.0);
    text->setTextHeight(2.5);
    text->setContents("{\\fArial|b0|i0;\\H2.5;SECTION 1.1}\\PGeneral requirements of the work");
    return text;
}

AcDbObjectId AddOneText(AcDbDatabase& db) {
    AcDbBlockTableRecord* space = nullptr;
    Check(acdbOpenObject(space, db.currentSpaceId(), AcDb::kForWrite), "open model space");
    AcDbObjectId id;
    AcDbMText* text = NewText(0);
    Check(space->appendAcDbEntity(id, text), "append");
    text->close();
    space->close();
    return id;
}

void BM_OpenReadClose(benchmark::State& state) {
    AcDbDatabase db;
    AcDbObjectId id = AddOneText(db);
    for (auto _ : state) {
        AcDbMText* text = nullptr;
        Check(acdbOpenObject(text, id, AcDb::kForRead), "open");
        benchmark::DoNotOptimize(text->textHeight());
        text->close();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OpenReadClose);

// Peer: the same read through a pointer held open all along.
void BM_ReadHeldOpen(benchmark::State& state) {
    AcDbDatabase db;
    AcDbObjectId id = AddOneText(db);
    AcDbMText* text = nullptr;
    Check(acdbOpenObject(text, id, AcDb::kForRead), "open");
    for (auto _ : state)
        benchmark::DoNotOptimize(text->textHeight());
    text->close();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadHeldOpen);

void BM_AppendAndErase100k(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto db = std::make_unique<AcDbDatabase>();
        std::vector<AcDbObjectId> ids;
        ids.reserve(kTexts);
        state.ResumeTiming();

        AcDbBlockTableRecord* space = nullptr;
        Check(acdbOpenObject(space, db->currentSpaceId(), AcDb::kForWrite), "open model space");
        for (int i = 0; i < kTexts; ++i) {
            AcDbMText* text = NewText(i);
            AcDbObjectId id;
            Check(space->appendAcDbEntity(id, text), "append");
            text->close();
            ids.push_back(id);
        }
        space->close();
        for (const AcDbObjectId& id : ids) {
            AcDbObject* object = nullptr;
            Check(acdbOpenObject(object, id, AcDb::kForWrite), "open for write");
            Check(object->erase(), "erase");
            object->close();
        }

        state.PauseTiming();
        db.reset(); // freeing the drawing is not part of the measure
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_AppendAndErase100k)->Unit(benchmark::kMillisecond);

// Peer: the same texts made, filled and deleted without a database.
void BM_MakeAndDelete100kWithoutDatabase(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<AcDbMText*> texts;
        texts.reserve(kTexts);
        for (int i = 0; i < kTexts; ++i)
            texts.push_back(NewText(i));
        for (AcDbMText* text : texts)
            delete text;
    }
    state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_MakeAndDelete100kWithoutDatabase)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
